#include "forms/common/IssueGrid.h"

#include "data/Dates.h"
#include "forms/common/Grid.h"

namespace forms {

void setupIssueGrid(forms::Grid* grid, bool showReceived) {
    forms::setupGrid(grid, {{QStringLiteral("เลขทะเบียน"), 950},
                            {QStringLiteral("ประจำเดือน"), 1200},
                            {QStringLiteral("ปีที่"), 600},
                            {QStringLiteral("เล่มที่"), 700},
                            {QStringLiteral("คำอธิบาย"), 5000, Qt::AlignLeft | Qt::AlignTop},
                            {QString(), showReceived ? 1200 : 0}});
}

void fillIssueGrid(forms::Grid* grid, const QList<records::Issue>& issues, int atLeast) {
    // The list is shared, not copied; a row's texts are made when it is drawn.
    grid->rows()->setRows(
        int(issues.size()),
        [issues](int row, int column) {
            const records::Issue& i = issues.at(row);
            switch (column) {
            case 0:
                return i.magno;
            case 1:
                return data::formatDate(i.daily);
            case 2:
                return i.yearno;
            case 3:
                return i.itemsno;
            case 4:
                return i.description;
            default:
                return data::formatDate(i.indate);
            }
        },
        atLeast);
}

} // namespace forms
