#include "receipt/IssueGrid.h"

#include "data/Dates.h"
#include "forms/common/Grid.h"

#include <QTableWidget>

namespace receipt {

void setupIssueGrid(QTableWidget* grid, bool showReceived) {
    forms::setupGrid(grid, {{QStringLiteral("เลขทะเบียน"), 950},
                            {QStringLiteral("ประจำเดือน"), 1200},
                            {QStringLiteral("ปีที่"), 600},
                            {QStringLiteral("เล่มที่"), 700},
                            {QStringLiteral("คำอธิบาย"), 5000},
                            {QString(), showReceived ? 1200 : 0}});
}

void fillIssueGrid(QTableWidget* grid, const QList<Issue>& issues) {
    QList<QStringList> rows;
    rows.reserve(issues.size());
    for (const Issue& i : issues)
        rows.append(
            {i.magno, data::formatDate(i.daily), i.yearno, i.itemsno, i.description, data::formatDate(i.indate)});
    forms::fillGrid(grid, rows);
    for (int r = 0; r < grid->rowCount(); ++r)
        if (QTableWidgetItem* item = grid->item(r, 4))
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
}

} // namespace receipt
