#include "rules/receipt/Quiet.h"

#include "data/Dates.h"
#include "rules/receipt/Pattern.h"
#include "rules/receipt/ReceiptCheck.h"
#include "rules/reports/Flow.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace receipt::Quiet {

QList<Due> due(data::Connection& c, const QDate& asOf) {
    const data::Result r = c.query(
        u"SELECT m.Pointer, m.Magazine_Name, m.MagType_code, m.Distributor_Code, "
        "COALESCE(d.Publisher_Name, m.Distributor_Code) AS dealer, "
        // Each title's latest issue date read backwards from the end of its (pointer, daily)
        // index, one entry a title: MAX() or a grouped derived table made the server read
        // every issue of each title (375 and 670 ms against 155 ms on the large set).
        "(SELECT t.daily FROM tranfile t WHERE t.pointer = m.Pointer AND t.daily <= ? ORDER BY t.daily DESC LIMIT 1) "
        "AS last, p.months, p.weeks_off FROM magazine m LEFT JOIN pub_pattern p ON p.pointer = m.Pointer "
        "LEFT JOIN dealer d ON d.Publisher_Code = m.Distributor_Code WHERE m.Receive_Code = '1' "
        "AND m.MagType_code IN ('02', '03', '04', '05', '06', '07', '08', '09')"_s,
        {asOf.isValid() ? asOf : QDate(9999, 12, 31)});
    const int pointer = r.column(u"Pointer"_s), name = r.column(u"Magazine_Name"_s), code = r.column(u"MagType_code"_s),
              distributorCode = r.column(u"Distributor_Code"_s), dealer = r.column(u"dealer"_s),
              lastAt = r.column(u"last"_s), months = r.column(u"months"_s), weeks = r.column(u"weeks_off"_s);
    const QDate day = asOf.isValid() ? asOf : QDate::currentDate();
    QList<Due> out;
    out.reserve(r.rowCount());
    for (const QVariantList& v : r.rows) {
        const QDate last = v[lastAt].toDate();
        const auto f = frequencyOf(v[code].toString());
        if (!last.isValid() || !f)
            continue; // never received: nothing is expected of it yet
        Pattern p; // every month, every week, unless the title's row says otherwise
        if (const auto m = Pattern::monthsOf(v[months].toString()); m && *m)
            p.months = *m;
        if (const auto w = Pattern::weeksOf(v[weeks].toString()); w && *w != (quint64(1) << 53) - 1)
            p.weeksOff = *w;
        const QDate next = nextPublished(*f, p, last);
        // The issues due since the latest, those of the last year only (a title quiet for
        // years is not counted back to its last issue).
        int passed = 0;
        for (QDate d = nextPublished(*f, p, std::max(last, day.addYears(-1).addDays(-1))); asOf.isValid() && d < day;
             d = nextPublished(*f, p, d))
            ++passed;
        out.append({v[pointer].toString(), v[name].toString(), v[distributorCode].toString(), v[dealer].toString(), last,
                    next, nextPublished(*f, p, nextPublished(*f, p, next)), passed});
    }
    return out;
}

QList<Title> titles(data::Connection& c, const QDate& today) {
    QList<Title> out;
    for (const Due& d : due(c))
        if (d.third < today)
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
    doc.csvHeader = {u"รหัส"_s, u"รายชื่อวารสาร"_s, u"ฉบับล่าสุด"_s, u"ควรได้รับตั้งแต่"_s, u"ช้า (วัน)"_s,
                     u"ผู้จัดจำหน่าย"_s};
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
        doc.csvRows.append({t.pointer, t.name, t.last.toString(Qt::ISODate), t.expected.toString(Qt::ISODate), late,
                            t.distributor});
    }
    flow.line({{0, u"รวมทั้งสิ้น %1 รายการ"_s.arg(titles.size())}}, true);
    doc.pages = flow.pages();
    doc.title = u"วารสารที่ไม่ได้รับฉบับใหม่ %1"_s.arg(today.toString(Qt::ISODate));
    return doc;
}

} // namespace receipt::Quiet
