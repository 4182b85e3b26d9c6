#pragma once

// How registered issues' numbers and dates are read, shared by the pattern's learning and the
// expected issue.
#include "rules/receipt/NextIssue.h"
#include "rules/receipt/ReceiptCheck.h"

namespace receipt {

// The leading number of a year or number text; -1 when it has none.
qint64 numberOf(const QString& text);
// The number a combined issue ends on ("7-8" gives 8), else the leading number; -1 for none.
qint64 lastNumberOf(const QString& text);
// Whether issue i's number went back to (or below) the one before.
bool restartsAt(const QList<IssueSeen>& issues, int i);
// Whether issue i is the one after issue i-1 by its number: one more, or 1 in a new volume.
bool followsOn(const QList<IssueSeen>& issues, int i);
// The issue mark (the 1st of a month, the 1st or the 15th, the 1st of January) nearest a date,
// a tie going to the earlier: the date an issue dated a little early or late stands for. A
// weekly title has no marks: its own date.
QDate nearestMark(const Frequency& f, const QDate& d);
// `n` written as the latest issues write their numbers (`field` picks year or number): with
// leading zeros to the width the latest one with a zero had ("04" after "03", "01" after "12").
QString sameWidth(qint64 n, const QList<IssueSeen>& issues, QString IssueSeen::*field);
// Each issue once (a copy registered twice is one issue), dated by the mark it stands for: the
// nearest, or with `ownMonth` (a person set the day issues are dated) its own month's;
// `days`, when given, keeps the dates as registered.
QList<IssueSeen> eachIssueOnce(const std::optional<Frequency>& f, const QList<IssueSeen>& issues,
                               QList<QDate>* days = nullptr, bool ownMonth = false);

// The parts of a description the built-in forms name: 'M' a month name, 'Y' a year written in
// full, 'D' a day beside a month, 'V' a volume and 'N' a number after their words, 'H' a half
// of the month ("ปักษ์แรก"); in order, with where each stands.
struct NamedPart {
    qsizetype pos, len;
    char kind;
    int form = 0; // a month: which of the forms (0 Thai, 1 Thai short, 2 English, 3 English short;
                  // -1 written alike in two, "May"), its month; a year: 543 in the Buddhist era
    int month = 0;
};
QList<NamedPart> namedParts(const QString& description);
// Month 1-12 written in one of the forms namedParts tells.
QString monthName(int form, int month);

} // namespace receipt
