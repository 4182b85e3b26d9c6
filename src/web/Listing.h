#pragma once

#include "data/Connection.h"
#include "rules/reports/Report.h"

#include <QMap>
#include <QString>

#include <functional>
#include <optional>

namespace web {

// A request's query parameters, decoded.
using Query = QMap<QString, QString>;

// Sends a piece of the answer to the browser; false once the browser has gone.
using Write = std::function<bool(const QByteArray&)>;

// Text for HTML: & < > " ' escaped, so a stored value can never become markup.
QString esc(const QString& text);
// A value as the pages show it: dates in the era in force, NULL as nothing.
QString cellText(const QVariant& value);
// The page's own address with some parameters changed (an empty value removes one).
QString linkTo(const QString& path, const Query& query, const Query& changes);

struct Column {
    QString caption;
    QString order; // what ORDER BY uses for this column (an alias of the select list)
    bool number = false;
};

// A list read from the database in blocks: paged and sorted on the page, whole in the CSV.
struct Listing {
    QString select; // "SELECT … FROM … WHERE …", without ORDER BY and LIMIT
    data::Params params;
    QList<Column> columns; // the select list's first columns, in order
    QString key;           // a unique order after the chosen column, so pages never overlap
    int defaultSort = 0;
    bool defaultDescending = false;
    int defaultPerPage = 50;
    // How the list is counted: by default its select's rows; a list whose rows are cheaper
    // counted without its joins and computed columns gives a statement of one row per list row
    // (with its own values).
    QString counted;
    data::Params countedParams;
    // Where an exact count costs a walk of every match (a period's records, a search through
    // every text): counted only as far as the pager shows (four pages on), and a longer list
    // said to be "more than" that.
    bool countAsFarAsShown = false;
    std::optional<qint64> total; // the count, when the page has already counted the list
    // For lists whose rows cost more to read than to choose (long texts, a subquery per row): the
    // select gives only the key and the columns it is sorted by, and this reads the chosen rows
    // whole from those keys ("SELECT … FROM (%1) AS k JOIN …"), in the same order.
    QString rowsOfKeys;
    // The column whose changes start a new group (a heading row on the page); -1: none.
    int groupBy = -1;
    // How one row shows on the page (default: one cell per column) and in the CSV.
    std::function<QString(const QVariantList&)> rowHtml;
    std::function<QStringList(const QVariantList&)> csvRow;
    QStringList csvHeader; // the captions of csvRow's cells (without csvRow: the columns')
    QString emptyText = QStringLiteral("ไม่พบรายการ");
};

// What a page answers: its heading, what comes before the list (the form, summaries), the
// list, and the name its CSV is offered under.
struct Page {
    QString title;
    QString intro;
    std::optional<Listing> list;
    QString csvName;
    QStringList paperLines = {}; // under the heading of the printed list: the period, the choice made
    QByteArray csv = {};         // a page with no list: its numbers as CSV, made with the page
};

// Reads the first rows and the count now (a failure here is a failed request), and gives the
// function that writes the rest as it is read. `csv` gives the whole list as CSV.
using Stream = std::function<void(const Write&)>;
Stream prepare(data::Connection& c, const QString& path, const Query& query, Page page, bool csv);

// A page's list through the report output, as warasan-report writes it: every row in the
// order the query sorts by, under the page's heading, its paper lines and the date printed;
// each row as its CSV line has it. False for a page without a list or one shown as cards.
struct Paper {
    std::function<void(const QString& title, const QStringList& header)> open;
    std::function<void(const reports::Page&)> page;
    std::function<void(const QStringList&)> row;
};
bool onPaper(data::Connection& c, const Page& page, const Query& query, const Paper& out);
inline bool printable(const Page& page) {
    return page.list && !page.list->rowHtml;
}

// Every page's frame: the heading, the style for screens, phones and paper.
QByteArray pageStart(const QString& title);
QByteArray pageEnd();

} // namespace web
