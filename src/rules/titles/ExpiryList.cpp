#include "rules/titles/ExpiryList.h"

#include "data/Dates.h"
#include "rules/records/IssueStore.h"

namespace titles {

QDate renewalExpiry(const QDate& renewal) {
    return renewal.addMonths(11);
}

reports::Document expiryReport(const QList<ExpiryRow>& rows, const QString& from, const QString& to,
                               const QDate& printed, double titleHeight, double lineHeight, double size) {
    reports::Document doc;
    doc.title =
        QStringLiteral("รายชื่อวารสารที่จะครบอายุสมาชิก %1 - %2").arg(from, to).replace(QLatin1Char('/'), QLatin1Char('-'));
    doc.csvHeader = {QStringLiteral("ลำดับที่"), QStringLiteral("รายชื่อวารสาร"), QStringLiteral("วันครบอายุสมาชิก"),
                     QStringLiteral("ฉบับล่าสุด")};
    const auto line = [&](int n) { return (lineHeight + 30) * n + 700; };
    doc.pages.append(reports::Page{});
    auto put = [&](double x, double y, const QString& text, double points, bool bold = false, bool underline = false,
                   double width = 0) {
        doc.pages.last().items.append({x, y, text, points, bold, underline, width});
    };
    put(4000, 700, QStringLiteral("รายชื่อวารสารที่จะครบอายุสมาชิก"), size + 2, true, true);
    put(3850, titleHeight + 10 + 700, QStringLiteral("ระหว่างวันที่  %1  ถึง  %2").arg(from, to), size, true);
    put(250, line(2), QStringLiteral("ลำดับที่"), size, true, false, 3000 - 250 - 60);
    put(3000, line(2), QStringLiteral("รายชื่อวารสาร"), size, true, false, 6300 - 3000 - 60);
    put(6300, line(2), QStringLiteral("วันครบอายุสมาชิก"), size, true, false, 9000 - 6300 - 60);
    put(9000, line(2), QStringLiteral("ฉบับล่าสุด"), size, true, false, reports::pageWidth - 9000);
    int L = 3;
    for (int i = 0; i < rows.size(); ++i) {
        const ExpiryRow& r = rows.at(i);
        const QString seq = QString::number(i + 1), end = data::formatDate(r.endDate);
        doc.csvRows.append({seq, r.name, end, r.latestIssue});
        // Each column in its own room: up to the next column's place less a gap that stays
        // visible when a long text is narrowed to its room.
        constexpr double gap = 200;
        put(410, line(L), seq, size, false, false, 1100 - 410 - gap);
        put(1100, line(L), r.name, size, false, false, 6700 - 1100 - gap);
        put(6700, line(L), end, size, false, false, 8000 - 6700 - gap);
        put(8000, line(L), r.latestIssue, size, false, false, reports::pageWidth - 8000);
        if (++L == 31) {
            put(500, line(32), QStringLiteral("วันที่พิมพ์ ") + data::formatDate(printed), size - 2);
            doc.pages.append(reports::Page{});
            put(10000, 500, QStringLiteral("หน้า %1").arg(doc.pages.size()), size);
            L = 1;
        }
    }
    put(6500, line(L + 1), QStringLiteral("รวมทั้งสิ้น %1 รายชื่อ").arg(rows.size()), size, true, true);
    return doc;
}

reports::Document expiryReport(const QList<ExpiryRow>& rows, const QString& from, const QString& to) {
    // The plan prints the date on line 32 of each full page: the lines must fit the printable
    // page, so the type is made as large as fits (the Thai face is taller than 16 pt allows).
    double size = 16;
    while (size > 8 && (reports::textHeight(size, true) + 30) * 32 + 700 + reports::textHeight(size - 2, false) >
                           reports::pageHeight)
        size -= 0.5;
    return expiryReport(rows, from, to, QDate::currentDate(), reports::textHeight(size + 2, true),
                        reports::textHeight(size, true), size);
}

namespace ExpiryStore {

QList<ExpiryRow> list(data::Connection& c, QChar group, const QDate& from, const QDate& to) {
    // The latest issue of each listed title: its issues of its newest issue date, from the
    // index (one as a rule); of several, the newest registration number, as the issue list
    // orders them. The newest date is read once, while the titles are listed: the LIMIT keeps
    // that list apart, so the server does not merge it back and look the date up again for
    // every issue it joins (a third of the time on the large set).
    const data::Result r = c.query(
        QStringLiteral("SELECT m.Pointer, m.Magazine_Name, m.Price_Per_Year, m.Order_Date, m.End_Date, "
                       "d.Publisher_Name, t.magno, t.DescriptionItem FROM (SELECT s.Pointer, s.Magazine_Name, "
                       "s.Price_Per_Year, s.Order_Date, s.End_Date, s.Publisher_Code, (SELECT n.daily FROM tranfile n "
                       "WHERE n.pointer = s.Pointer ORDER BY n.daily DESC LIMIT 1) AS latest FROM magazine s "
                       "WHERE s.Pointer LIKE ? AND s.Receive_Code = '1' AND s.End_Date BETWEEN ? AND ? "
                       "LIMIT 18446744073709551615) m "
                       "LEFT JOIN dealer d ON d.Publisher_Code = m.Publisher_Code "
                       "LEFT JOIN tranfile t ON t.pointer = m.Pointer AND t.daily <=> m.latest "
                       "ORDER BY m.Magazine_Name, m.Pointer"),
        {QString(group) + QLatin1Char('%'), from, to});
    QList<ExpiryRow> out;
    out.reserve(r.rowCount());
    records::Issue latest;
    for (int i = 0; i < r.rowCount(); ++i) {
        const QVariantList& v = r.rows.at(i);
        const records::Issue issue{v[6].toString(), {}, {}, {}, v[7].toString(), {}, {}};
        if (!out.isEmpty() && out.last().pointer == v[0].toString()) {
            if (records::newerFirst(issue, latest)) {
                latest = issue;
                out.last().latestIssue = issue.description;
            }
            continue;
        }
        latest = issue;
        ExpiryRow row;
        row.pointer = v[0].toString();
        row.name = v[1].toString();
        row.price = v[2].toString();
        row.orderDate = v[3].toDate();
        row.endDate = v[4].toDate();
        row.publisher = v[5].toString();
        row.latestIssue = issue.description;
        row.shown = {{QStringLiteral("Price_Per_Year"), QStringLiteral("End_Date"), QStringLiteral("Order_Date")},
                     {v[2], v[4], v[3]}};
        out.append(row);
    }
    return out;
}

data::EditOutcome renew(data::Connection& c, const ExpiryRow& listed, const QString& price, const QDate& renewal,
                        const QDate& expiry) {
    return data::updateIfUnchanged(
        c, QStringLiteral("magazine"), QStringLiteral("Pointer"), listed.pointer,
        {QStringLiteral("Price_Per_Year"), QStringLiteral("End_Date"), QStringLiteral("Order_Date")},
        {price.trimmed(), expiry, renewal}, listed.shown);
}

} // namespace ExpiryStore

} // namespace titles
