#include "rules/records/IssueStore.h"
#include "data/LookUp.h"
#include "data/SaveGate.h"
#include "rules/records/TitleStore.h"

#include "data/Counter.h"
#include "data/NameSearch.h"
#include "data/Numbering.h"
#include "data/Refused.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace records {

QString newestNumberFirst(const QString& t) {
    return QStringLiteral("TRIM(%1.magno) REGEXP '^[0-9]+$' DESC, CAST(TRIM(%1.magno) AS UNSIGNED) DESC, %1.magno DESC")
        .arg(t);
}

bool newerFirst(const Issue& a, const Issue& b) {
    if (a.daily != b.daily)
        return a.daily > b.daily;
    const auto na = data::counterValue(a.magno);
    const auto nb = data::counterValue(b.magno);
    if (na && nb && *na != *nb)
        return *na > *nb;
    if (na.has_value() != nb.has_value())
        return na.has_value();
    return a.magno > b.magno;
}

} // namespace records

namespace records::IssueStore {

namespace {
QVariant dateOrNull(const QDate& d) {
    return d.isValid() ? QVariant(d) : QVariant();
}
const data::CounterColumn issueCounter = data::numbering(data::Numbered::Issue).counter();

} // namespace

namespace {

QList<TitleRow> titlesWhere(data::Connection& c, const data::Condition& holds) {
    // Titles first (a left join reads them first): a title with no faculty, or one whose code
    // the faculty table lacks, is listed all the same, its faculty empty.
    const data::Result r =
        data::lookUp(c,
                     QStringLiteral("SELECT m.Pointer, m.Magazine_Name, m.department_code, d.Department_Thai_Des, "
                                    "m.MagType_code "
                                    "FROM magazine m LEFT JOIN department d ON d.Department_Code = m.department_code "
                                    "WHERE %1 ORDER BY m.Magazine_Name, m.Pointer")
                         .arg(holds.sql),
                     holds.values);
    QList<TitleRow> out;
    out.reserve(r.rowCount());
    for (int i = 0; i < r.rowCount(); ++i)
        out.append({r.text(i, u"Magazine_Name"_s), r.text(i, u"Department_Thai_Des"_s), r.text(i, u"Pointer"_s),
                    r.text(i, u"department_code"_s), r.text(i, u"MagType_code"_s)});
    return out;
}

} // namespace

QList<TitleRow> searchTitles(data::Connection& c, const QString& text) {
    return titlesFor<QList<TitleRow>>(c, text, [&](const data::Condition& holds) { return titlesWhere(c, holds); });
}

QList<Issue> issueRows(const data::Result& r) {
    QList<Issue> out;
    out.reserve(r.rowCount());
    // The columns by name, looked up once for the whole list.
    const int magno = r.column(u"magno"_s), daily = r.column(u"daily"_s), yearno = r.column(u"yearno"_s),
              itemsno = r.column(u"itemsno"_s), description = r.column(u"DescriptionItem"_s),
              indate = r.column(u"indate"_s);
    if (std::min({magno, daily, yearno, itemsno, description, indate}) < 0)
        throw data::DbError(0, u"42S22"_s, u"รายการฉบับขาดคอลัมน์"_s);
    for (const QVariantList& row : r.rows) // the columns an edit writes, as read, kept to check it against
        out.append({row.at(magno).toString(),
                    row.at(daily).toDate(),
                    row.at(yearno).toString(),
                    row.at(itemsno).toString(),
                    row.at(description).toString(),
                    row.at(indate).toDate(),
                    {row.at(daily), row.at(yearno), row.at(itemsno), row.at(description), row.at(indate)}});
    return out;
}

QList<Issue> issues(data::Connection& c, const QString& pointer, bool unboundOnly) {
    // Stored keys never begin with a blank; trailing blanks do not count in the comparison.
    // The index gives the issue-date order; ties are put in order here, which costs the
    // server a sort of every row otherwise.
    QList<Issue> out =
        issueRows(c.query(QStringLiteral("SELECT magno, daily, yearno, itemsno, DescriptionItem, indate "
                                         "FROM tranfile WHERE pointer = ?%1 ORDER BY daily DESC")
                              .arg(unboundOnly ? QStringLiteral(" AND COALESCE(MagStatus, '') <> 'Z'") : QString()),
                          {pointer.trimmed()}));
    std::stable_sort(out.begin(), out.end(), newerFirst);
    return out;
}

bool indexed(data::Connection& c, const QString& pointer, const QString& yearno, const QString& itemsno) {
    // A blank, NULL or padded year or number is the same as any other blank one, as the
    // deletion counts it.
    return !data::lookUp(c,
                         QStringLiteral("SELECT 1 FROM article WHERE pointer = ? AND COALESCE(TRIM(year), '') = ? AND "
                                        "COALESCE(TRIM(volume), '') = ? LIMIT 1"),
                         {pointer.trimmed(), yearno.trimmed(), itemsno.trimmed()})
                .isEmpty();
}

std::optional<Issue> registeredCopy(data::Connection& c, const QString& pointer, const Issue& issue) {
    const QList<Issue> found = issueRows(
        c.query(QStringLiteral("SELECT magno, daily, yearno, itemsno, DescriptionItem, indate FROM tranfile "
                               "WHERE pointer = ? AND daily <=> ? AND COALESCE(TRIM(yearno), '') = ? AND "
                               "COALESCE(TRIM(itemsno), '') = ? ORDER BY indate LIMIT 1"),
                {pointer.trimmed(), dateOrNull(issue.daily), issue.yearno.trimmed(), issue.itemsno.trimmed()}));
    return found.isEmpty() ? std::nullopt : std::optional<Issue>(found.first());
}

QString expectedNumber(data::Connection& c) {
    const data::Result r = c.query(QStringLiteral("SELECT magno_ctrl FROM jourctrl LIMIT 1"));
    return r.isEmpty() ? QString() : r.text(0, 0).trimmed();
}

data::Saved<QString> add(data::Connection& c, const QString& pointer, const Issue& issue) try {
    return data::takeCounter(
        c, issueCounter, [](const QString& current) { return data::advanceDecimal(issueCounter, current); },
        [&](const QString& number) {
            data::write(c, QStringLiteral("tranfile"),
                        QStringLiteral("INSERT INTO tranfile (magno, pointer, indate, daily, yearno, itemsno, "
                                       "DescriptionItem, MagStatus) VALUES (?, ?, ?, ?, ?, ?, ?, 'O')"),
                        {number, pointer, dateOrNull(issue.indate), dateOrNull(issue.daily), issue.yearno,
                         issue.itemsno, issue.description});
        },
        [&](const QString& number) {
            // Every column the save wrote: another station's issue may have the number by now.
            return !c.query(QStringLiteral("SELECT 1 FROM tranfile WHERE magno = ? AND pointer = ? AND daily <=> ? "
                                           "AND indate <=> ? AND BINARY yearno <=> BINARY ? "
                                           "AND BINARY itemsno <=> BINARY ? AND BINARY DescriptionItem <=> BINARY ?"),
                            {number, pointer, dateOrNull(issue.daily), dateOrNull(issue.indate), issue.yearno,
                             issue.itemsno, issue.description})
                        .isEmpty();
        });
} catch (const data::DbError& e) {
    // The counter handed out a number an issue has: it was set back by hand.
    if (e.kind() != data::DbError::Kind::Duplicate)
        throw;
    throw data::DbError(e.nativeCode(), e.sqlState(),
                        QStringLiteral("เลขทะเบียนที่ตัวนับ jourctrl ให้มามีวารสารฉบับอื่นใช้อยู่แล้ว "
                                       "(ตัวนับอาจถูกตั้งย้อนหลัง) ข้อมูลไม่ได้ถูกบันทึก กรุณาแจ้งผู้ดูแลระบบ\n") +
                            e.message());
}

data::EditOutcome update(data::Connection& c, const Issue& issue, const Issue& shown) {
    const QStringList columns = {QStringLiteral("daily"), QStringLiteral("yearno"), QStringLiteral("itemsno"),
                                 QStringLiteral("DescriptionItem"), QStringLiteral("indate")};
    return data::updateIfUnchanged(
        c, QStringLiteral("tranfile"), QStringLiteral("magno"), issue.magno.trimmed(), columns,
        {dateOrNull(issue.daily), issue.yearno, issue.itemsno, issue.description, dateOrNull(issue.indate)},
        {shown.original.isEmpty() ? QStringList() : columns, shown.original});
}

namespace {

// The articles of issue `t` (tranfile) that no other issue of its title, year and number stands
// for: the match `indexed` makes.
// A blank, NULL or padded year or number matches any other blank one.
const char* const articleOfIssueAlone =
    "a.pointer = t.pointer AND COALESCE(TRIM(a.year), '') = COALESCE(TRIM(t.yearno), '') "
    "AND COALESCE(TRIM(a.volume), '') = COALESCE(TRIM(t.itemsno), '') "
    "AND NOT EXISTS (SELECT 1 FROM tranfile o WHERE o.pointer = t.pointer AND o.magno <> t.magno "
    "AND COALESCE(TRIM(o.yearno), '') = COALESCE(TRIM(t.yearno), '') "
    "AND COALESCE(TRIM(o.itemsno), '') = COALESCE(TRIM(t.itemsno), ''))";

// Bound: marked so, or named by a volume that exists (another program may have set only one).
IssueTies tiesOf(data::Connection& c, const QString& magno, bool lock) {
    const data::Result r = c.query(
        QStringLiteral("SELECT IF(TRIM(t.MagStatus) = 'Z' OR s.regno IS NOT NULL, COALESCE(NULLIF(TRIM(t.regno), ''), "
                       "'-'), '') AS volume, COALESCE(s.callno, '') AS callno, "
                       "(SELECT COUNT(*) FROM article a WHERE %1) AS articles FROM tranfile t "
                       "LEFT JOIN sum_journal s ON s.regno = t.regno WHERE t.magno = ?%2")
            .arg(QLatin1String(articleOfIssueAlone), lock ? QStringLiteral(" FOR UPDATE") : QString()),
        {magno.trimmed()});
    if (r.isEmpty())
        return {};
    return {r.text(0, u"volume"_s), r.text(0, u"callno"_s), int(r.value(0, u"articles"_s).toLongLong())};
}

} // namespace

QString boundRefusal(const IssueTies& t) {
    return QStringLiteral("วารสารฉบับนี้ถูกรวมเล่มอยู่ในเล่มเลขทะเบียน %1\n"
                          "กรุณานำออกจากเล่มที่หน้าจอวารสารรวมเล่มก่อนจึงจะลบได้")
        .arg(t.callNumber.isEmpty() ? t.volume : QStringLiteral("%1 (%2)").arg(t.volume, t.callNumber));
}

IssueTies ties(data::Connection& c, const QString& magno) {
    return tiesOf(c, magno, false);
}

bool remove(data::Connection& c, const QString& magno) {
    const QString key = magno.trimmed();
    bool existed = false;
    data::retryingTransaction(
        c,
        [&] {
            if (const IssueTies held = tiesOf(c, key, true); !held.volume.isEmpty())
                throw data::Refused(boundRefusal(held));
            const QString articles =
                QStringLiteral("SELECT article_no FROM (SELECT a.article_no FROM tranfile t JOIN article a ON %1 "
                               "WHERE t.magno = ?) x")
                    .arg(QLatin1String(articleOfIssueAlone));
            data::dropPiecesOf(c, data::articleTitles, {articles, {key}});
            for (const char* table : {"mauthfile", "msubject"})
                data::write(
                    c, QLatin1String(table),
                    QStringLiteral("DELETE FROM %1 WHERE article_no IN (%2)").arg(QLatin1String(table), articles),
                    {key});
            data::write(c, QStringLiteral("article"),
                        QStringLiteral("DELETE FROM article WHERE article_no IN (%1)").arg(articles), {key});
            existed = data::write(c, QStringLiteral("tranfile"), QStringLiteral("DELETE FROM tranfile WHERE magno = ?"),
                                  {key}) > 0;
        },
        [&] { return c.query(QStringLiteral("SELECT 1 FROM tranfile WHERE magno = ?"), {key}).isEmpty(); });
    return existed;
}

} // namespace records::IssueStore
