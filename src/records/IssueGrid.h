#pragma once

#include "records/IssueStore.h"

namespace forms {
class Grid;
}

namespace records {

// The grid of a title's received issues, as issue registration and the index entry show it:
// registration number, issue date, year, number, description and the date received (shown
// only where `showReceived`).
void setupIssueGrid(forms::Grid* grid, bool showReceived);
void fillIssueGrid(forms::Grid* grid, const QList<Issue>& issues, int atLeast = 0);

} // namespace records
