#pragma once

#include "rules/records/IssueStore.h"

namespace forms {

class Grid;

// The grid of a title's received issues, as issue registration and the index entry show it:
// registration number, issue date, year, number, description and the date received (shown
// only where `showReceived`).
void setupIssueGrid(Grid* grid, bool showReceived);
void fillIssueGrid(Grid* grid, const QList<records::Issue>& issues, int atLeast = 0);

} // namespace forms
