#pragma once

// The year in pictures: arrivals per month against the twelve months before, overdue issues by
// distributor, claims sent, answered and received after the claim, subscriptions ending per
// month; for the report server's statistics page and the printed yearly report.
#include "data/Connection.h"
#include "rules/reports/Chart.h"

#include <QDate>
#include <QList>

namespace desk {

// The twelve months up to `today`'s (arrivals, claims of the issues expected in them), issues
// overdue that day, subscriptions ending in the twelve months from `today`'s.
QList<reports::Chart> statistics(data::Connection& c, const QDate& today);
// The first of them alone (the report server's index page shows it).
reports::Chart arrivals(data::Connection& c, const QDate& today);
// The same for a calendar year: its months against the year before, overdue issues at its end
// (or today, for the year under way), subscriptions ending in its months.
QList<reports::Chart> yearly(data::Connection& c, int year, const QDate& today);
// The yearly report on printed pages, a chart and its table a page; `year` in either era.
reports::Document yearlyReport(data::Connection& c, int year, const QDate& today);

inline constexpr int distributorsShown = 10; // the rest summed as "อื่น ๆ"

} // namespace desk
