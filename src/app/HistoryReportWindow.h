#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"
#include "forms/common/ReportViewer.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QComboBox;
class QLineEdit;

namespace app {

// The change history as a report: the changes of a period, of everyone or of one person,
// through the report output (viewer, print, PDF, CSV).
class HistoryReportWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryReportWindow(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~HistoryReportWindow() override;

    void showReport(); // cmdShow
    reports::ReportViewer* shownReport() const { return shown_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<data::Connection> db_;
    QLineEdit *from_, *to_;
    QComboBox* person_;
    QPointer<reports::ReportViewer> shown_;
};

} // namespace app
