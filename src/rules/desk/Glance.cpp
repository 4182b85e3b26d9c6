#include "rules/desk/Glance.h"

#include "rules/receipt/Claims.h"
#include "rules/receipt/Quiet.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace desk {

namespace {

QList<Item> items(const data::Result& r) {
    QList<Item> out;
    out.reserve(r.rowCount());
    const int key = r.column(u"k"_s), name = r.column(u"name"_s), date = r.column(u"d"_s), count = r.column(u"n"_s);
    for (const QVariantList& v : r.rows)
        out.append({v[key].toString(), v[name].toString(), v[date].toDate(), v[count].toInt()});
    return out;
}

} // namespace

void read(data::Connection& c, Part part, Glance& g) {
    const QDate today = g.today;
    switch (part) {
    case Part::Titles: {
        g.today_.clear();
        g.week.clear();
        g.overdue.clear();
        g.quiet.clear();
        for (const receipt::Quiet::Due& d : receipt::Quiet::due(c)) {
            const Item item{d.pointer, d.name, d.next, int(d.next.daysTo(today))};
            if (d.third < today)
                g.quiet.append(item);
            else if (d.next < today)
                g.overdue.append(item);
            else if (d.next == today)
                g.today_.append(item);
            else if (d.next <= today.addDays(6))
                g.week.append(item);
        }
        const auto mostLate = [](const Item& a, const Item& b) {
            return std::tie(b.count, a.name, a.key) < std::tie(a.count, b.name, b.key);
        };
        const auto soonest = [](const Item& a, const Item& b) {
            return std::tie(a.date, a.name, a.key) < std::tie(b.date, b.name, b.key);
        };
        std::sort(g.quiet.begin(), g.quiet.end(), mostLate);
        std::sort(g.overdue.begin(), g.overdue.end(), mostLate);
        std::sort(g.today_.begin(), g.today_.end(), soonest);
        std::sort(g.week.begin(), g.week.end(), soonest);
        break;
    }
    case Part::Claims:
        g.claims = items(c.query(receipt::Claims::waitingSql(false)));
        break;
    case Part::RefusedClaims:
        g.refusedClaims = items(c.query(receipt::Claims::waitingSql(true)));
        break;
    case Part::Ending:
        g.ending = items(c.query(u"SELECT Pointer AS k, Magazine_Name AS name, End_Date AS d, 0 AS n FROM magazine "
                                 "WHERE Receive_Code = '1' AND End_Date BETWEEN ? AND ? AND (Pointer LIKE 'J%' OR "
                                 "Pointer LIKE 'I%') ORDER BY End_Date, Magazine_Name, Pointer"_s,
                                 {today, today.addMonths(2)}));
        break;
    case Part::RefusedAlerts:
        // A reader's latest mail refused: the address is still wrong (a later one sent: put right).
        g.refusedAlerts = items(c.query(
            u"SELECT r.reader_id AS k, CASE WHEN r.reader_name = '' THEN r.email ELSE r.reader_name END AS name, "
            "a.day AS d, (SELECT COUNT(*) FROM alert_mail o WHERE o.reader_id = a.reader_id AND o.state IN ('refused', "
            "'bounced')) AS n FROM alert_mail a JOIN reader r ON r.reader_id = a.reader_id "
            "WHERE a.state IN ('refused', 'bounced') AND a.mail_id = (SELECT MAX(l.mail_id) FROM alert_mail l "
            "WHERE l.reader_id = a.reader_id AND l.state <> 'queued') ORDER BY a.day DESC, name"_s));
        break;
    }
}

Glance glance(data::Connection& c, const QDate& today) {
    Glance g;
    g.today = today;
    for (Part p : parts)
        read(c, p, g);
    return g;
}

} // namespace desk
