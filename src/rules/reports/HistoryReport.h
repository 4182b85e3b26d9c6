#pragma once

#include "data/History.h"
#include "rules/reports/Report.h"

namespace reports {

// The changes of a period as a list on paper: when, what (table and row), the action and what
// changed, under the name of each person who made them (or of the one person asked for).
// `progress` is told the rows laid out so far.
Document historyReport(const QList<data::Change>& changes, const QDate& from, const QDate& to,
                       const QString& person = {}, const Progress& progress = {});

} // namespace reports
