#include "rules/receipt/Quiet.h"

#include "data/Dates.h"
#include "rules/receipt/Pattern.h"
#include "rules/receipt/ReceiptCheck.h"
#include "rules/reports/Flow.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace receipt::Quiet {

QList<Title> titles(data::Connection& c, const QDate& today) {
    const data::Result r = c.query(
        u"SELECT m.Pointer, m.Magazine_Name, m.MagType_code, COALESCE(d.Publisher_Name, m.Distributor_Code) AS dealer, "
        "(SELECT MAX(t.daily) FROM tranfile t WHERE t.pointer = m.Pointer) AS last, p.months, p.weeks_off "
        "FROM magazine m LEFT JOIN pub_pattern p ON p.pointer = m.Pointer "
        "LEFT JOIN dealer d ON d.Publisher_Code = m.Distributor_Code WHERE m.Receive_Code = '1' "
        "AND m.MagType_code IN ('02', '03', '04', '05', '06', '07', '08', '09')"_s);
    QList<Title> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        const QDate last = r.value(i, u"last"_s).toDate();
        const auto f = frequencyOf(r.text(i, u"MagType_code"_s));
        if (!last.isValid() || !f)
            continue; // never received: not gone quiet
        Pattern p; // every month, every week, unless the title's row says otherwise
        if (const auto months = Pattern::monthsOf(r.text(i, u"months"_s)); months && *months)
            p.months = *months;
        if (const auto weeks = Pattern::weeksOf(r.text(i, u"weeks_off"_s)); weeks && *weeks != (quint64(1) << 53) - 1)
            p.weeksOff = *weeks;
        const QDate first = nextPublished(*f, p, last);
        const QDate third = nextPublished(*f, p, nextPublished(*f, p, first));
        if (third >= today)
            continue;
        out.append({r.text(i, u"Pointer"_s), r.text(i, u"Magazine_Name"_s), r.text(i, u"dealer"_s), last, first,
                    int(first.daysTo(today))});
    }
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
