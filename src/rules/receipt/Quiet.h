#pragma once

// Titles gone quiet: received, yet nothing has come for longer than three of their issues'
// intervals (often a title that ceased, or a subscription lost on the way).
#include "data/Connection.h"
#include "rules/reports/Report.h"

#include <QDate>
#include <QList>
#include <QString>

namespace receipt::Quiet {

struct Title {
    QString pointer, name, distributor;
    QDate last;     // its latest issue
    QDate expected; // the first issue its pattern expected after that one
    int daysLate = 0; // from `expected` to the day asked about
};

// A received title with a regular frequency and its next issues by the pattern in force (the
// months and weeks set by staff, else the ones check-in learnt and keeps), or by the frequency
// code for a title without one: the first issue expected after its latest, and the third.
struct Due {
    QString pointer, name, distributorCode, distributor;
    QDate last, next, third;
    int passed = 0; // with asOf: issues expected after the latest and before that day, of the year before it
};
// With `asOf`, as the titles stood that day: their latest issue dated then or before.
// `distributor` is the code until `nameDistributors` gives the names.
QList<Due> due(data::Connection& c, const QDate& asOf = {});
void nameDistributors(data::Connection& c, QList<Due>& titles);

// The titles received whose third issue after their latest was due before `today`, by the
// pattern in force (the one set by staff, else the one check-in learnt and keeps), or by the
// frequency code for a title without one; the latest first, then by name.
QList<Title> titles(data::Connection& c, const QDate& today);

// The list as printed pages and CSV.
reports::Document report(const QList<Title>& titles, const QDate& today);

} // namespace receipt::Quiet
