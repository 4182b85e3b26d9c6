#include "receipt/IssueGrid.h"

#include "data/Dates.h"
#include "forms/common/Grid.h"

namespace receipt {

void setupIssueGrid(forms::Grid* grid, bool showReceived) {
    forms::setupGrid(grid, {{QStringLiteral("เลขทะเบียน"), 950},
                            {QStringLiteral("ประจำเดือน"), 1200},
                            {QStringLiteral("ปีที่"), 600},
                            {QStringLiteral("เล่มที่"), 700},
                            {QStringLiteral("คำอธิบาย"), 5000, Qt::AlignLeft | Qt::AlignTop},
                            {QString(), showReceived ? 1200 : 0}});
}

void fillIssueGrid(forms::Grid* grid, const QList<Issue>& issues, int atLeast) {
    QList<QStringList> rows;
    rows.reserve(issues.size());
    for (const Issue& i : issues)
        rows.append(
            {i.magno, data::formatDate(i.daily), i.yearno, i.itemsno, i.description, data::formatDate(i.indate)});
    forms::fillGrid(grid, rows, atLeast);
}

} // namespace receipt
