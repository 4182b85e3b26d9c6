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
    bool due = false;                 // never claimed, or the last longer ago than the wait
};

// The missing issues (as the receipt check lists them) with their claims so far, by
// distributor name, title and date; claims whose issue has arrived are closed first.
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

// The distributor's answer to the latest claim of an issue: 'N' not yet published, 'S' sent
// again, 'C' ceased (the issue is not claimed again), 'O' other; with a note. False when the
// issue was never claimed.
bool answer(data::Connection& c, const QString& pointer, const QDate& expected, QChar code, const QString& note);

// Closes the open claims whose issue has now arrived (an issue of the title dated within half a
// step of the expected date): gives how many it closed.
int closeReceived(data::Connection& c);
// At check-in: the claims an issue of the title dated `daily` closes; the highest claim number
// among them, 0 for none.
int closedByArrival(data::Connection& c, const QString& pointer, const QDate& daily);

// Claims per distributor for the issues expected in a period: sent, answered, received after
// the claim, days from claim to arrival, never arrived.
reports::Document claimsSummary(data::Connection& c, const QDate& from, const QDate& to);

} // namespace receipt::Claims
