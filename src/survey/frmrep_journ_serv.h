#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QCalendarWidget;
class QLineEdit;

namespace Ui {
class frmrep_journ_serv;
}

namespace reports {
class ReportViewer;
}

namespace survey {

// The journal survey report: the issues received in a period by the currently received titles
// of a language group, staged in the local file printmag.db and shown in the report viewer.
class frmrep_journ_serv : public QWidget {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller; throws data::DbError when its first reads fail.
    explicit frmrep_journ_serv(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~frmrep_journ_serv() override;

    void print(); // cmdprint
    // The viewer the last run opened, while it is open.
    reports::ReportViewer* shownReport() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::frmrep_journ_serv> ui;
    QCalendarWidget* MonthView1;
    std::unique_ptr<data::Connection> db_;
    QPointer<reports::ReportViewer> shown_;

    void dateLeft(QLineEdit* field);
};

} // namespace survey
