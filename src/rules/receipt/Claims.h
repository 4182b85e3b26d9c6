#pragma once

// Claims to distributors for issues that did not come: each claim kept in the claim table,
// the letters written to the outbox (the alerts' mail queue, sent by its run) or printed for a
// distributor without a mail address, and followed up when the issue arrives.
#include "data/Connection.h"
#include "rules/receipt/ReceiptCheck.h"
#include "rules/reports/Report.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace receipt::Claims {

// A missing issue as the claims see it, with its distributor.
struct Row {
    MissingIssue issue;
    QString distributorName, address; // address: the distributor's mail address; empty: a printed letter
    int waitDays = 30;                // the distributor's wait before claiming again
    bool thai = true;                 // the distributor's letters are Thai (else English)
    QString account;                  // the library's account number with the distributor
    int claims = 0;                   // claims made for the issue so far
    QDateTime last;                   // when the last one was made
    QString lastState;                // the last one: "รอส่ง", "ส่งแล้ว", "ส่งไม่ได้", "พิมพ์", or the answer
    QDate expectedAgain;              // "not yet published": when the issue is now expected
    bool due = false;                 // never claimed, or the last longer ago than the wait
    bool silent = false;              // the distributor left an issue's three claims unanswered
};

// The missing issues (as the receipt check lists them) with their claims so far, by
// distributor name, title and date; claims whose issue has arrived are closed first. An issue
// is due when never claimed, or when the wait has passed since its last claim (since the date
// it is now expected, after "not yet published"); never after "ceased", nor any later issue of
// that title.
QList<Row> rows(data::Connection& c, const QList<MissingIssue>& missing, const QDateTime& now);

// The library as its letters name it, and the templates the library keeps (empty: built in).
// A template's {distributor}, {library}, {address}, {account}, {date} and {issues} are filled;
// one without {issues} has the issues after it.
struct Library {
    QString name, address, templateTh, templateEn;
};

// One distributor's letter.
struct Letter {
    QString distributor, distributorName, address;
    bool thai = true;
    QList<Row> issues;
    QString subject, text;
};
Letter letter(const QList<Row>& issues, const Library& library, const QDate& today);

// The letters as printed pages, one letter a page or more (for distributors without an address).
reports::Document printedLetters(const QList<Letter>& letters);

// Claims the due rows among `chosen`: for each distributor, in one transaction, the next claim
// of each issue recorded and its letter written to the outbox (a distributor with a mail
// address) or given back to be printed. An issue another station claimed meanwhile is left
// out of the letter, so two stations sending at once claim each issue once.
struct Sent {
    int claimed = 0, mailed = 0;
    QList<Letter> toPrint;
};
Sent send(data::Connection& c, const QList<Row>& chosen, const Library& library, const QString& sender,
          const QDate& today);

// The distributor's answer to the latest claim of an issue: 'N' not yet published (the issue
// then expected on `again`, or one step of its frequency later when that is not given), 'S'
// sent again, 'C' ceased (neither it nor a later issue is claimed again), 'O' other; with a
// note. False when the issue was never claimed.
bool answer(data::Connection& c, const QString& pointer, const QDate& expected, QChar code, const QString& note,
            const QDate& again = {});
// Ends a ceased title's subscription (received as a member: now cancelled); false when it was
// not received as a member.
bool endSubscription(data::Connection& c, const QString& pointer);

// Closes the open claims whose issue has now arrived (an issue of the title dated within half a
// step of the expected date): gives how many it closed.
int closeReceived(data::Connection& c);
// At check-in: the claims an issue of the title dated `daily` closes; the highest claim number
// among them, 0 for none.
int closedByArrival(data::Connection& c, const QString& pointer, const QDate& daily);

// One distributor's claims for the issues expected in a period. An issue counts as received
// when the title's check-in register holds it, whoever wrote the row, and its days are counted
// to the day it was registered.
struct Figures {
    QString distributor, name;
    int claims = 0, sent = 0, answered = 0, received = 0, never = 0;
    int silent = 0;           // issues claimed three times and more with no answer
    std::optional<double> days; // the average from claim to arrival, of those received
};
QList<Figures> figures(data::Connection& c, const QDate& from, const QDate& to);
// The same period's claims one by one, as SQL for lists (columns name, expected, claim_no,
// claimed_at, answer in Thai, arrival), its two parameters the period; for one distributor
// with a third parameter when `oneDistributor`.
QString claimsListSql(bool oneDistributor);
// Issues whose latest claim is unanswered and has not come, per distributor (columns k its
// code, name, d the oldest claim, n the issues), oldest first: those whose claim went out or
// waits to (`refused` false), or whose claim the mail server refused or bounced.
QString waitingSql(bool refused);
// The issue date of the distributor's oldest claim not answered nor closed; none: invalid.
QDate oldestOpen(data::Connection& c, const QString& distributor);

// Claims per distributor for the issues expected in a period: sent, answered, received after
// the claim, days from claim to arrival, never arrived; a distributor that left an issue's
// three claims unanswered marked.
reports::Document claimsSummary(data::Connection& c, const QDate& from, const QDate& to);

} // namespace receipt::Claims
