#include "rules/receipt/Quiet.h"

#include "data/Dates.h"
#include "data/Schema.h"
#include "rules/receipt/Pattern.h"
#include "rules/receipt/ReceiptCheck.h"
#include "rules/reports/Flow.h"

#include <algorithm>

#include <QHash>
#include <QSet>

#include <functional>
#include <string>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace receipt::Quiet {

namespace {

constexpr auto regular = "MagType_code IN ('02', '03', '04', '05', '06', '07', '08', '09')";

// A title's code as the server compares it: without regard to letter case or trailing spaces.
QString keyOf(QString code) {
    while (code.endsWith(u' '))
        code.chop(1);
    return code.toCaseFolded();
}

struct Row {
    QString pointer, name, code, distributorCode;
    QDate last;
    QString months, weeks;
};

// The same key from the bytes the server sent, without a string made for it where the code is
// plain ASCII (as codes nearly always are).
std::string keyOf(QByteArrayView utf8) {
    while (utf8.endsWith(' '))
        utf8.chop(1);
    std::string key(utf8.data(), size_t(utf8.size()));
    for (char& b : key) {
        if (b & 0x80)
            return QString::fromUtf8(utf8).toCaseFolded().toStdString();
        if (b >= 'A' && b <= 'Z')
            b = char(b - 'A' + 'a');
    }
    return key;
}

// The received titles of a regular frequency with their latest issue dated `asOf` or before,
// and their pattern's months and weeks, each handed to `take`. Where the database keeps the
// latest dates, the titles, those dates and the patterns are three reads of one table each, put
// together here: joined on the server, every title cost a look-up by its code in the Thai
// collation (60 ms of 100 on the large set). Otherwise each title's latest is read backwards
// from the end of its date index.
void eachRow(data::Connection& c, const QDate& asOf, const std::function<void(Row&&)>& take) {
    const QVariant until = asOf.isValid() ? asOf : QDate(9999, 12, 31);
    const auto fromIssues = [&] {
        const data::Result r = c.query(
            u"SELECT m.Pointer, m.Magazine_Name, m.MagType_code, m.Distributor_Code, "
            "(SELECT t.daily FROM tranfile t WHERE t.pointer = m.Pointer AND t.daily <= ? ORDER BY t.daily DESC "
            "LIMIT 1), p.months, p.weeks_off FROM magazine m LEFT JOIN pub_pattern p ON p.pointer = m.Pointer "
            "WHERE m.Receive_Code = '1' AND m.%1"_s.arg(QLatin1String(regular)),
            {until});
        for (const QVariantList& v : r.rows)
            take({v[0].toString(), v[1].toString(), v[2].toString(), v[3].toString(), v[4].toDate(), v[5].toString(),
                  v[6].toString()});
    };
    const auto kept = [&] {
        std::unordered_map<std::string, QDate> latest;
        latest.reserve(1 << 15);
        // A title whose latest issue is dated after `asOf` has its latest of then read from its issues.
        c.eachRow(u"SELECT pointer, IF(daily <= ?, daily, (SELECT t.daily FROM tranfile t WHERE t.pointer = "
                  "l.pointer AND t.daily <= ? ORDER BY t.daily DESC LIMIT 1)) FROM title_latest l WHERE daily IS NOT "
                  "NULL"_s,
                  {until, until},
                  [&](const data::Cells& row) { latest.emplace(keyOf(row.bytes(0)), row.value(1).toDate()); });
        std::unordered_map<std::string, QPair<QString, QString>> patterns;
        c.eachRow(u"SELECT pointer, months, weeks_off FROM pub_pattern"_s, {}, [&](const data::Cells& row) {
            patterns.emplace(keyOf(row.bytes(0)), QPair<QString, QString>(row.text(1), row.text(2)));
        });
        c.eachRow(u"SELECT Pointer, Magazine_Name, MagType_code, Distributor_Code FROM magazine WHERE Receive_Code = "
                  "'1' AND %1"_s.arg(QLatin1String(regular)),
                  {}, [&](const data::Cells& row) {
                      const std::string key = keyOf(row.bytes(0));
                      const auto last = latest.find(key);
                      if (last == latest.end())
                          return; // never received
                      const auto p = patterns.find(key);
                      const bool set = p != patterns.end();
                      take({row.text(0), row.text(1), row.text(2), row.text(3), last->second,
                            set ? p->second.first : QString(), set ? p->second.second : QString()});
                  });
    };
    data::readKept(c, kept, fromIssues);
}

} // namespace

QList<Due> due(data::Connection& c, const QDate& asOf) {
    const QDate day = asOf.isValid() ? asOf : QDate::currentDate();
    QList<Due> out;
    eachRow(c, asOf, [&](Row&& v) {
        const auto f = frequencyOf(v.code);
        if (!v.last.isValid() || !f)
            return; // never received: nothing is expected of it yet
        Pattern p;  // every month, every week, unless the title's row says otherwise
        if (const auto m = Pattern::monthsOf(v.months); m && *m)
            p.months = *m;
        if (const auto w = Pattern::weeksOf(v.weeks); w && *w != (quint64(1) << 53) - 1)
            p.weeksOff = *w;
        const QDate next = nextPublished(*f, p, v.last);
        // The issues due since the latest, those of the last year only (a title quiet for
        // years is not counted back to its last issue).
        int passed = 0;
        for (QDate d = nextPublished(*f, p, std::max(v.last, day.addYears(-1).addDays(-1))); asOf.isValid() && d < day;
             d = nextPublished(*f, p, d))
            ++passed;
        out.append({std::move(v.pointer), std::move(v.name), v.distributorCode, v.distributorCode, v.last, next,
                    nextPublished(*f, p, nextPublished(*f, p, next)), passed});
    });
    return out;
}

void nameDistributors(data::Connection& c, QList<Due>& titles) {
    QSet<QString> distinct;
    for (const Due& d : titles)
        if (!d.distributorCode.isEmpty())
            distinct.insert(d.distributorCode);
    const QStringList codes(distinct.cbegin(), distinct.cend());
    QHash<QString, QString> names;
    for (qsizetype at = 0; at < codes.size(); at += 500) {
        const QStringList some = codes.mid(at, 500);
        const data::Result r =
            c.query(u"SELECT Publisher_Code, Publisher_Name FROM dealer WHERE Publisher_Code IN (%1)"_s.arg(
                        QStringList(some.size(), u"?"_s).join(u", "_s)),
                    data::Params(some.cbegin(), some.cend()));
        for (const QVariantList& v : r.rows)
            names.insert(keyOf(v[0].toString()), v[1].toString());
    }
    for (Due& d : titles)
        d.distributor = names.value(keyOf(d.distributorCode), d.distributorCode);
}

QList<Title> titles(data::Connection& c, const QDate& today) {
    QList<Title> out;
    QList<Due> quiet;
    for (const Due& d : due(c))
        if (d.third < today)
            quiet.append(d);
    nameDistributors(c, quiet);
    for (const Due& d : quiet)
        out.append({d.pointer, d.name, d.distributor, d.last, d.next, int(d.next.daysTo(today))});
    std::sort(out.begin(), out.end(), [](const Title& a, const Title& b) {
        return std::tie(b.daysLate, a.name, a.pointer) < std::tie(a.daysLate, b.name, b.pointer);
    });
    return out;
}

reports::Document report(const QList<Title>& titles, const QDate& today) {
    reports::Flow flow(u"วารสารที่ไม่ได้รับฉบับใหม่นานเกินกำหนด"_s,
                       {u"ไม่ได้รับติดต่อกันเกินสามฉบับ ณ วันที่  %1"_s.arg(thaiDateText(today))});
    reports::Document doc;
    doc.csvHeader = {u"รหัส"_s, u"รายชื่อวารสาร"_s, u"ฉบับล่าสุด"_s, u"ควรได้รับตั้งแต่"_s, u"ช้า (วัน)"_s, u"ผู้จัดจำหน่าย"_s};
    // Twips from the left: latest issue, expected since, days late, distributor.
    constexpr double at[] = {3500, 5050, 6600, 7500};
    flow.repeatOnEveryPage({{0, u"รายชื่อวารสาร"_s},
                            {at[0], u"ฉบับล่าสุด"_s},
                            {at[1], u"ควรได้รับ"_s},
                            {at[2], u"ช้า (วัน)"_s},
                            {at[3], u"ผู้จัดจำหน่าย"_s}});
    for (const Title& t : titles) {
        const QString last = data::formatDate(t.last), since = data::formatDate(t.expected),
                      late = QString::number(t.daysLate);
        flow.wrappedLine({{0, t.name}, {at[0], last}, {at[1], since}, {at[2], late}, {at[3], t.distributor}});
        doc.csvRows.append(
            {t.pointer, t.name, t.last.toString(Qt::ISODate), t.expected.toString(Qt::ISODate), late, t.distributor});
    }
    flow.line({{0, u"รวมทั้งสิ้น %1 รายการ"_s.arg(titles.size())}}, true);
    doc.pages = flow.pages();
    doc.title = u"วารสารที่ไม่ได้รับฉบับใหม่ %1"_s.arg(today.toString(Qt::ISODate));
    return doc;
}

} // namespace receipt::Quiet
