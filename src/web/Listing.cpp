#include "web/Listing.h"

#include "data/Dates.h"
#include "data/LookUp.h"
#include "rules/reports/ColumnList.h"

#include <QUrl>

namespace web {

namespace {

// Rows read from the server at a time: a page of 10,000 rows or a CSV of any size is written
// as it is read, never held whole.
constexpr int blockRows = 500;
const QList<int> perPageChoices = {20, 50, 100, 500, 1000, 10000};

struct Order {
    int column;
    bool descending;
};

Order orderOf(const Listing& l, const Query& q) {
    bool ok = false;
    const int sort = q.value(QStringLiteral("sort")).toInt(&ok) - 1;
    if (!ok || sort < 0 || sort >= l.columns.size())
        return {l.defaultSort, l.defaultDescending};
    return {sort, q.value(QStringLiteral("dir")) == QLatin1String("d")};
}

QString orderBy(const Listing& l, Order o) {
    QStringList parts;
    if (l.groupBy >= 0 && l.groupBy != o.column)
        parts << l.columns.at(l.groupBy).order;
    parts << l.columns.at(o.column).order + (o.descending ? QStringLiteral(" DESC") : QString());
    parts << l.key;
    return parts.join(QStringLiteral(", "));
}

// Rows [offset, offset + rows) in the chosen order.
data::Result readBlock(data::Connection& c, const Listing& l, Order o, qint64 offset, qint64 rows) {
    data::Params p = l.params;
    p << rows << offset;
    const QString order = QStringLiteral(" ORDER BY ") + orderBy(l, o);
    const QString chosen = l.select + order + QStringLiteral(" LIMIT ? OFFSET ?");
    return data::lookUp(c, l.rowsOfKeys.isEmpty() ? chosen : l.rowsOfKeys.arg(chosen) + order, p);
}

// The list's rows, or with `upTo` at most that many (a list found longer: upTo + 1).
qint64 countOf(data::Connection& c, const Listing& l, qint64 upTo) {
    if (l.total)
        return *l.total;
    QString rows = l.counted.isEmpty() ? l.select : l.counted;
    data::Params params = l.counted.isEmpty() ? l.params : l.countedParams;
    if (upTo > 0) {
        rows += QStringLiteral(" LIMIT ?");
        params << upTo + 1;
    }
    return data::lookUp(c, QStringLiteral("SELECT COUNT(*) FROM (%1) AS counted").arg(rows), params)
        .value(0, 0)
        .toLongLong();
}

int perPageOf(const Listing& l, const Query& q) {
    const int per = q.value(QStringLiteral("per")).toInt();
    return perPageChoices.contains(per) ? per : l.defaultPerPage;
}

QStringList textsOf(const Listing& l, const QVariantList& row) {
    if (l.csvRow)
        return l.csvRow(row);
    QStringList out;
    for (int i = 0; i < l.columns.size(); ++i)
        out << cellText(row.at(i));
    return out;
}

// The captions of the CSV's cells, which are the columns' unless the list makes its own rows.
QStringList captionsOf(const Listing& l) {
    if (l.csvRow)
        return l.csvHeader;
    QStringList out;
    for (const Column& col : l.columns)
        out << col.caption;
    return out;
}

QString defaultRow(const Listing& l, const QVariantList& row) {
    QString html = QStringLiteral("<tr>");
    for (int i = 0; i < l.columns.size(); ++i)
        html += (l.columns.at(i).number ? QStringLiteral("<td class=\"n\">") : QStringLiteral("<td>")) +
                esc(cellText(row.at(i))) + QStringLiteral("</td>");
    return html + QStringLiteral("</tr>\n");
}

QString sortLinks(const QString& path, const Query& q, const Listing& l, Order o, bool asHeader) {
    QString html;
    for (int i = 0; i < l.columns.size(); ++i) {
        const Column& col = l.columns.at(i);
        const bool current = o.column == i;
        const QString dir = current && !o.descending ? QStringLiteral("d") : QString();
        const QString mark = current ? (o.descending ? QStringLiteral(" ▼") : QStringLiteral(" ▲")) : QString();
        const QString link = QStringLiteral("<a href=\"%1\">%2%3</a>")
                                 .arg(esc(linkTo(path, q,
                                                 {{QStringLiteral("sort"), QString::number(i + 1)},
                                                  {QStringLiteral("dir"), dir},
                                                  {QStringLiteral("page"), QString()}})),
                                      esc(col.caption), mark);
        html += asHeader ? (col.number ? QStringLiteral("<th class=\"n\">") : QStringLiteral("<th>")) + link +
                               QStringLiteral("</th>")
                         : QStringLiteral(" ") + link;
    }
    return html;
}

QString pager(const QString& path, const Query& q, int page, int pages, int per) {
    const auto to = [&](int n, const QString& text) {
        return QStringLiteral("<a href=\"%1\">%2</a>")
            .arg(esc(linkTo(path, q, {{QStringLiteral("page"), QString::number(n)}})), text);
    };
    QString html = QStringLiteral("<nav class=\"pager\">");
    if (page > 1)
        html += to(page - 1, QStringLiteral("« ก่อนหน้า"));
    for (int n = qMax(1, page - 4); n <= qMin(pages, page + 4); ++n)
        html += n == page ? QStringLiteral("<b>%1</b>").arg(n) : to(n, QString::number(n));
    if (page < pages)
        html += to(page + 1, QStringLiteral("ถัดไป »"));
    html += QStringLiteral("<span>แสดงหน้าละ");
    for (int choice : perPageChoices)
        html += choice == per ? QStringLiteral(" <b>%1</b>").arg(choice)
                              : QStringLiteral(" <a href=\"%1\">%2</a>")
                                    .arg(esc(linkTo(path, q,
                                                    {{QStringLiteral("per"), QString::number(choice)},
                                                     {QStringLiteral("page"), QString()}})))
                                    .arg(choice);
    return html + QStringLiteral(" รายการ</span></nav>\n");
}

// Writes rows after the first block until `total` rows were written or the browser left.
void streamRows(data::Connection& c, const Listing& l, Order o, qint64 offset, qint64 total,
                const std::function<QByteArray(const QVariantList&)>& line, const Write& write) {
    qint64 done = 0;
    while (done < total) {
        const qint64 want = qMin<qint64>(blockRows, total - done);
        const data::Result r = readBlock(c, l, o, offset + done, want);
        QByteArray out;
        for (const QVariantList& row : r.rows)
            out += line(row);
        if (!write(out) || r.rowCount() < want)
            return;
        done += r.rowCount();
    }
}

} // namespace

QString esc(const QString& text) {
    QString out = text.toHtmlEscaped();
    out.replace(QLatin1Char('\''), QLatin1String("&#39;"));
    return out;
}

QString cellText(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return data::formatDate(value.toDate());
    if (value.typeId() == QMetaType::QDateTime)
        return data::formatDate(value.toDateTime().date());
    return value.toString();
}

QString linkTo(const QString& path, const Query& query, const Query& changes) {
    Query q = query;
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.value().isEmpty())
            q.remove(it.key());
        else
            q.insert(it.key(), it.value());
    }
    QStringList pairs;
    for (auto it = q.begin(); it != q.end(); ++it)
        pairs << QString::fromLatin1(QUrl::toPercentEncoding(it.key()) + '=' + QUrl::toPercentEncoding(it.value()));
    return QLatin1Char('/') + path + (pairs.isEmpty() ? QString() : QLatin1Char('?') + pairs.join(QLatin1Char('&')));
}

Stream prepare(data::Connection& c, const QString& path, const Query& query, Page page, bool csv) {
    if (!page.list) {
        const QByteArray html = pageStart(page.title) + page.intro.toUtf8() + pageEnd();
        return [html](const Write& write) { write(html); };
    }
    const Listing l = *page.list;
    const Order o = orderOf(l, query);
    if (csv) {
        return [&c, l, o](const Write& write) {
            if (!write(reports::csvByteOrderMark + reports::csvLine(captionsOf(l))))
                return;
            streamRows(
                c, l, o, 0, std::numeric_limits<qint64>::max(),
                [&l](const QVariantList& row) { return reports::csvLine(textsOf(l, row)); }, write);
        };
    }

    const int per = perPageOf(l, query);
    int pageNo = qMax(1, query.value(QStringLiteral("page")).toInt());
    const qint64 shown = l.countAsFarAsShown ? qint64(pageNo + 4) * per : 0;
    const qint64 counted = countOf(c, l, shown);
    const bool more = shown > 0 && counted > shown; // the list goes on past what the pager shows
    const qint64 total = more ? shown + 1 : counted;
    const int pages = int(qMax<qint64>(1, (total + per - 1) / per));
    pageNo = qMin(pageNo, pages); // a page past the end (the list shrank): the last one
    const data::Result first = readBlock(c, l, o, qint64(pageNo - 1) * per, qMin(per, blockRows));
    const qint64 offset = qint64(pageNo - 1) * per;
    const qint64 onPage = qBound(qint64(0), total - offset, qint64(per));

    const bool cards = bool(l.rowHtml);
    QString head = pageStart(page.title) + page.intro;
    head += (more ? QStringLiteral("<p class=\"count\">พบมากกว่า <b>%1</b> รายการ")
                  : QStringLiteral("<p class=\"count\">พบ <b>%1</b> รายการ"))
                .arg(QLocale(QLocale::Thai).toString(more ? shown : total));
    if (more)
        head += QStringLiteral(" · หน้า %1").arg(pageNo);
    else if (pages > 1)
        head += QStringLiteral(" · หน้า %1 จาก %2").arg(pageNo).arg(pages);
    const auto as = [&](const QString& format) {
        return esc(linkTo(path, query, {{QStringLiteral("format"), format}, {QStringLiteral("page"), QString()}}));
    };
    head += QStringLiteral(" · <a class=\"csv\" href=\"%1\">ดาวน์โหลด CSV</a>").arg(as(QStringLiteral("csv")));
    if (!l.rowHtml) // a list of columns: on A4 pages too, as the report output prints it
        head += QStringLiteral(" · <a class=\"csv\" href=\"%1\">ดาวน์โหลด PDF (พิมพ์)</a>").arg(as(QStringLiteral("pdf")));
    head += QStringLiteral("</p>\n");
    const QString nav = pager(path, query, pageNo, pages, per);
    if (total == 0) {
        const QByteArray html =
            (head + QStringLiteral("<p class=\"empty\">%1</p>").arg(esc(l.emptyText))).toUtf8() + pageEnd();
        return [html](const Write& write) { write(html); };
    }
    if (cards)
        head += QStringLiteral("<p class=\"sortbar\">เรียงตาม:%1</p>\n<ol class=\"cards\" start=\"%2\">\n")
                    .arg(sortLinks(path, query, l, o, false))
                    .arg(offset + 1);
    else
        head += QStringLiteral("<div class=\"wrap\"><table><thead><tr>%1</tr></thead><tbody>\n")
                    .arg(sortLinks(path, query, l, o, true));

    // The group heading rows need the previous row's group, across blocks.
    auto lastGroup = std::make_shared<std::optional<QString>>();
    const auto line = [l, lastGroup](const QVariantList& row) {
        QString html;
        if (l.groupBy >= 0) {
            const QString g = cellText(row.at(l.groupBy));
            if (*lastGroup != g)
                html += QStringLiteral("<tr class=\"group\"><th colspan=\"%1\">%2</th></tr>\n")
                            .arg(l.columns.size())
                            .arg(esc(g.isEmpty() ? QStringLiteral("(ไม่ระบุ)") : g));
            *lastGroup = g;
        }
        html += l.rowHtml ? l.rowHtml(row) : defaultRow(l, row);
        return html.toUtf8();
    };
    QByteArray start = head.toUtf8();
    for (const QVariantList& row : first.rows)
        start += line(row);
    const QByteArray tail =
        ((cards ? QStringLiteral("</ol>\n") : QStringLiteral("</tbody></table></div>\n")) + nav).toUtf8() + pageEnd();
    const qint64 rest = onPage - first.rowCount();
    return [&c, l, o, start, tail, line, offset, rest, read = qint64(first.rowCount())](const Write& write) {
        if (!write(start))
            return;
        streamRows(c, l, o, offset + read, rest, line, write);
        write(tail);
    };
}

bool onPaper(data::Connection& c, const Page& page, const Query& query, const Paper& out) {
    if (!printable(page))
        return false;
    const Listing& l = *page.list;
    reports::ColumnList list(page.title,
                             page.paperLines +
                                 QStringList{QStringLiteral("วันที่พิมพ์ %1").arg(data::formatDate(QDate::currentDate()))},
                             captionsOf(l));
    out.open(page.title, captionsOf(l));
    list.handFullPagesTo(out.page);
    QList<QStringList> rows;
    QStringList groups;
    streamRows(
        c, l, orderOf(l, query), 0, std::numeric_limits<qint64>::max(),
        [&](const QVariantList& row) {
            rows << textsOf(l, row);
            if (l.groupBy >= 0)
                groups << cellText(row.at(l.groupBy));
            return QByteArray();
        },
        [&](const QByteArray&) { // a block read: onto the pages and into the CSV
            list.add(rows, groups);
            for (const QStringList& r : std::as_const(rows))
                out.row(r);
            rows.clear();
            groups.clear();
            return true;
        });
    for (const reports::Page& p : list.finish())
        out.page(p);
    return true;
}

QByteArray pageStart(const QString& title) {
    static const QString style = QStringLiteral(
        "body{font-family:'Noto Sans Thai','Garuda','Loma','Tlwg Typo',sans-serif;margin:0;color:#1d2433;"
        "background:#f6f7f9;line-height:1.5}"
        "header{background:#1f4e79;color:#fff;padding:.5em 1em}header a{color:#fff;text-decoration:none;"
        "font-weight:bold}main{padding:0 1em 2em;max-width:72em;margin:auto}"
        "h1{font-size:1.4em;margin:.8em 0 .4em}form{display:flex;flex-wrap:wrap;gap:.5em 1em;align-items:end;"
        "background:#fff;padding:.7em;border:1px solid #d5d9e0;border-radius:6px}"
        "label{display:flex;flex-direction:column;font-size:.9em}input,select,button{font:inherit;padding:.3em}"
        "button{background:#1f4e79;color:#fff;border:0;border-radius:4px;padding:.35em 1.2em}"
        ".wrap{overflow-x:auto}table{border-collapse:collapse;background:#fff;width:100%;margin:.5em 0}"
        "th,td{border:1px solid #d5d9e0;padding:.25em .5em;text-align:left;vertical-align:top}"
        ".summary{width:auto;min-width:20em}th{background:#e8edf3}th a{color:inherit}.n{text-align:right}tr.group "
        "th{background:#f3efe3}"
        "tfoot td{font-weight:bold}.pager a,.pager b{margin-right:.6em}.pager span{margin-left:1em}"
        ".error{background:#fde8e8;border:1px solid #e0a0a0;padding:.6em}.cards li{background:#fff;"
        "border:1px solid #d5d9e0;border-radius:6px;padding:.6em;margin:.5em 0}.cards .meta{color:#4a5568}"
        ".cards .abs{font-size:.92em;margin:.3em 0 0}textarea{width:100%;font:inherit;min-height:4em}"
        ".menu li{margin:.4em 0}"
        "@media print{header,form,.pager,.csv,.sortbar{display:none}body{background:#fff}main{max-width:none}"
        "th,td{border-color:#888}}");
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"th\"><head><meta charset=\"utf-8\">"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                          "<title>%1</title><style>%2</style></head>\n<body><header><a href=\"/\">"
                          "ระบบวารสาร · รายงานและสืบค้น</a></header><main>\n<h1>%1</h1>\n")
        .arg(esc(title), style)
        .toUtf8();
}

QByteArray pageEnd() {
    return QByteArrayLiteral("</main></body></html>\n");
}

} // namespace web
