#pragma once

#include "receipt/IssueStore.h"

class QTableWidget;

namespace receipt {

// The grid of a title's received issues, as issue registration and the index entry show it:
// registration number, issue date, year, number, description and the date received (shown
// only where `showReceived`).
void setupIssueGrid(QTableWidget* grid, bool showReceived);
void fillIssueGrid(QTableWidget* grid, const QList<Issue>& issues);

} // namespace receipt
