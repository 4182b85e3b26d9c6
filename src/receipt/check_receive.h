#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"
#include "rules/receipt/ReceiptCheck.h"

#include <QWidget>
#include <memory>

class QCalendarWidget;

namespace Ui {
class check_receive;
}
namespace reports {
class ReportViewer;
}

namespace receipt {

// The receipt check: the issues that should have arrived in a period and were not registered,
// shown in the window by title or, as claims, by distributor; printed, as PDF or CSV.
class check_receive : public QWidget {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller; throws data::DbError when its first reads fail.
    explicit check_receive(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~check_receive() override;

    void process(); // Command3
    reports::ReportViewer* viewer() const { return viewer_; }
    // Empty: no report on show; Report: the last run's report shown.
    enum class Mode { Empty, Report };
    Q_ENUM(Mode)
    Mode mode() const { return reported_ ? Mode::Report : Mode::Empty; }
    // The station name runs are staged under.
    static QString station();

signals:
    // The run's counts for the main window's status bar: titles (panel 1) and titles done
    // (panel 2); a null text leaves a panel's text, a width of 0 its width.
    void statusSaid(int panel, const QString& text, int widthTwips);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::check_receive> ui;
    QCalendarWidget *MonthView1, *MonthView2;
    reports::ReportViewer* viewer_;
    std::unique_ptr<data::Connection> db_;
    QList<MissingIssue> missing_;
    QDate from_, to_;
    bool reported_ = false;

    void showView();
    bool periodIsRight(bool requireBoth);
};

} // namespace receipt
