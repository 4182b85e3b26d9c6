#pragma once

#include "data/Connection.h"
#include "rules/reports/Report.h"

#include <QDate>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>

namespace receipt {

struct Pattern;
struct IssueSeen;

// How a title's issues follow each other, by its frequency code (02 to 09).
struct Frequency {
    QChar interval; // 'D' days, 'W' the 1st and the 15th, 'M' months, 'Y' years
    int count = 0;
};
std::optional<Frequency> frequencyOf(const QString& code);

// The issue mark before (after) a date.
QDate prevIssueDate(const Frequency& f, const QDate& d);
QDate nextIssueDate(const Frequency& f, const QDate& d);
// "1 พฤศจิกายน 2549": day, Thai month, Buddhist-era year.
QString thaiDateText(const QDate& d);

// An issue that should have arrived and was not registered.
struct MissingIssue {
    QString pointer, name, distributorCode;
    QDate expected;
};

namespace ReceiptCheck {

// A title the check looks at: subscribed, with a regular frequency; the months it publishes
// (all of them unless its pattern says otherwise).
struct Title {
    QString pointer, name, distributor;
    Frequency frequency;
    quint16 months = 0xFFF;
    quint64 weeksOff = 0; // a weekly title's weeks without an issue (Pattern::weeksOff)
};
// Those titles, by frequency code and key.
QList<Title> titlesToCheck(data::Connection& c);
// Steps from the anchor (the first issue received before the period) through the period.
// An expected issue is received when the title has an issue dated nearer to it than to the
// expected dates before and after it (a tie goes to the earlier one): an issue dated off its
// step, late or early, stands for the date it is nearest, and each issue counts once. So
// `received(after, upTo)` says how many issues the issue dated after `after` and not after
// `upTo` stands for (a combined one, "7-8", two; none, 0); each expected issue without one,
// and not covered by a combined one before it (the anchor's own, `anchorCovers`), is added to
// `out`. Months the title does not publish are stepped over.
void stepThrough(const Title& t, QDate anchor, const QDate& from, const QDate& to,
                 const std::function<int(const QDate& after, const QDate& upTo)>& received, QList<MissingIssue>& out,
                 int anchorCovers = 1);

// The missing issues of one title between the two dates, both included, from its issues
// around the period (oldest first, dated; numbers where it has them; from two or three years
// before, where its pattern is learnt from them), by the months (weeks) it publishes as `set`
// gives them, else as its issues show.
void missingOf(Title t, const QList<IssueSeen>& issues, const QDate& from, const QDate& to, const Pattern* set,
               QList<MissingIssue>& out);

// The missing issues of every subscribed title with a regular frequency between the two
// dates, both included, by frequency code, title and date: the titles with their issues in one
// query, the stepping in memory, by each title's publication pattern (as set by staff, else
// learnt from its issues of the last years; a title with fewer than three steps by its code).
// A run stopped through its progress: nothing was found, so nothing may be staged.
struct Stopped : std::runtime_error {
    Stopped() : std::runtime_error("การตรวจสอบถูกหยุดก่อนเสร็จ ไม่มีข้อมูลถูกบันทึก") {}
};
QList<MissingIssue> run(data::Connection& c, const QDate& from, const QDate& to, int* titles = nullptr,
                        const reports::Progress& progress = {});

// Stages a run's rows in chk_receive under this station, in one transaction, after removing
// the station's earlier rows and any left from runs more than a day old.
void stage(data::Connection& c, const QString& station, const QList<MissingIssue>& rows, const QDate& from,
           const QDate& to);

} // namespace ReceiptCheck

// The report by title, and the claims by distributor (each with its address and contact).
reports::Document receiptReport(const QList<MissingIssue>& rows, const QDate& from, const QDate& to);
reports::Document claimsReport(data::Connection& c, const QList<MissingIssue>& rows, const QDate& from,
                               const QDate& to);

} // namespace receipt
