#include "rules/reports/HistoryReport.h"

#include "data/Dates.h"
#include "rules/reports/ColumnList.h"

#include <algorithm>

namespace reports {

Document historyReport(const QList<data::Change>& changes, const QDate& from, const QDate& to, const QString& person,
                       const Progress& progress) {
    Document doc;
    doc.title = QStringLiteral("ประวัติการแก้ไขข้อมูล %1 - %2").arg(data::formatDate(from), data::formatDate(to));
    doc.title.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QStringList captions{QStringLiteral("วันเวลา"), QStringLiteral("ตาราง"), QStringLiteral("รายการ"),
                               QStringLiteral("การกระทำ"), QStringLiteral("สิ่งที่เปลี่ยน")};
    doc.csvHeader = QStringList{QStringLiteral("ผู้แก้ไข")} + captions;
    QStringList lines{QStringLiteral("ระหว่างวันที่ %1 ถึง %2").arg(data::formatDate(from), data::formatDate(to))};
    if (!person.isEmpty())
        lines << QStringLiteral("ผู้แก้ไข %1").arg(person);
    lines << QStringLiteral("วันที่พิมพ์ %1").arg(data::formatDate(QDate::currentDate()));
    ColumnList list(QStringLiteral("ประวัติการแก้ไขข้อมูล"), lines, captions);
    list.handFullPagesTo([&](const Page& p) { doc.pages.append(p); });
    // Each person's changes together, in the order they were made.
    QList<data::Change> sorted = changes;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const data::Change& a, const data::Change& b) { return a.by < b.by; });
    QList<QStringList> rows;
    QStringList groups;
    for (const data::Change& c : sorted) {
        QStringList row{data::formatDate(c.at.date()) + c.at.toString(QStringLiteral(" HH:mm:ss")), c.table, c.key,
                        c.actionCaption(), c.summary()};
        doc.csvRows << QStringList{c.by} + row;
        // A whole row added or deleted goes on over further lines: every value is on paper.
        rows << row;
        groups << c.by;
    }
    // Laid out a part at a time, each part told to `progress` (a day of check-in is thousands
    // of pages); it cannot be stopped part way.
    constexpr int part = 500;
    for (qsizetype first = 0; first < rows.size(); first += part) {
        if (progress)
            progress(int(first), int(rows.size()));
        list.add(rows.mid(first, part), groups.mid(first, part));
    }
    doc.pages += list.finish();
    return doc;
}

} // namespace reports
