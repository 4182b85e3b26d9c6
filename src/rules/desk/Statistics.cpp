#include "rules/desk/Statistics.h"

#include "data/Dates.h"
#include "data/Schema.h"
#include "rules/receipt/Claims.h"
#include "rules/receipt/Quiet.h"
#include "rules/receipt/ReceiptCheck.h"

#include <QHash>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace desk {

namespace {

const QStringList shortMonths = u"ม.ค. ก.พ. มี.ค. เม.ย. พ.ค. มิ.ย. ก.ค. ส.ค. ก.ย. ต.ค. พ.ย. ธ.ค."_s.split(u' ');

struct Span {
    QDate first;              // the first day of the first of twelve months
    QString now, before;      // the series' names: these months, the twelve before
    bool yearInLabels = true; // months named with their year ("ธ.ค. 69")
    QDate overdueOn, endingFrom;
};

QString monthLabel(const QDate& d, bool withYear) {
    const QString m = shortMonths.at(d.month() - 1);
    return withYear ? u"%1 %2"_s.arg(m).arg(data::shownYear(d.year()) % 100, 2, 10, QLatin1Char('0')) : m;
}

// Counts per month of the twelve from `first`: the query's rows (y, m, n) by month.
QList<double> perMonth(const data::Result& r, const QDate& first) {
    QList<double> out(12, 0);
    for (const QVariantList& v : r.rows) {
        const int at = (v[0].toInt() - first.year()) * 12 + v[1].toInt() - first.month();
        if (at >= 0 && at < 12)
            out[at] += v[2].toDouble();
    }
    return out;
}

// The first `distributorsShown` names by their total, the rest summed as one.
void keepLargest(reports::Chart& chart, QList<QPair<QString, QList<double>>> rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        const auto total = [](const QList<double>& v) { return v.value(0); };
        return total(a.second) > total(b.second);
    });
    QList<double> rest(chart.series.size(), 0);
    bool others = false;
    chart.values = QList<QList<double>>(chart.series.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i >= distributorsShown) {
            for (qsizetype s = 0; s < rest.size(); ++s)
                rest[s] += rows.at(i).second.value(s);
            others = true;
            continue;
        }
        chart.categories << rows.at(i).first;
        for (qsizetype s = 0; s < chart.series.size(); ++s)
            chart.values[s] << rows.at(i).second.value(s);
    }
    if (others) {
        chart.categories << u"อื่น ๆ"_s;
        for (qsizetype s = 0; s < chart.series.size(); ++s)
            chart.values[s] << rest.at(s);
    }
}

reports::Chart arrivalsOf(data::Connection& c, const Span& span) {
    const QDate end = span.first.addMonths(12).addDays(-1);
    reports::Chart arrivals{u"การรับวารสารรายเดือน"_s, u"ฉบับ"_s, u"เดือน"_s, {}, {span.now, span.before}, {}};
    // The counts the database keeps per month (counting the issues of 24 months took 220 ms on
    // the large set).
    const data::Result got = data::readKept(
        c,
        [&] {
            return c.query(u"SELECT YEAR(month), MONTH(month), issues FROM arrival_month WHERE month BETWEEN ? AND ?"_s,
                           {span.first.addMonths(-12), end});
        },
        [&] {
            return c.query(u"SELECT YEAR(indate), MONTH(indate), COUNT(*) FROM tranfile WHERE indate BETWEEN ? AND ? "
                           "GROUP BY YEAR(indate), MONTH(indate)"_s,
                           {span.first.addMonths(-12), end});
        });
    for (int i = 0; i < 12; ++i)
        arrivals.categories << monthLabel(span.first.addMonths(i), span.yearInLabels);
    arrivals.values = {perMonth(got, span.first), perMonth(got, span.first.addMonths(-12))};
    return arrivals;
}

Span lastTwelve(const QDate& today) {
    const QDate month(today.year(), today.month(), 1);
    return {month.addMonths(-11), u"12 เดือนล่าสุด"_s, u"12 เดือนก่อนหน้า"_s, true, today, month};
}

QList<reports::Chart> charts(data::Connection& c, const Span& span) {
    const QDate end = span.first.addMonths(12).addDays(-1);
    QList<reports::Chart> out = {arrivalsOf(c, span)};

    reports::Chart overdue{u"ฉบับที่เลยกำหนดรับ แยกตามผู้จัดจำหน่าย ณ %1"_s.arg(data::formatDate(span.overdueOn)),
                           u"ฉบับ"_s, u"ผู้จัดจำหน่าย"_s, {}, {u"ฉบับที่ยังไม่ได้รับ"_s}, {}, true};
    QHash<QString, double> late;
    QList<receipt::Quiet::Due> due = receipt::Quiet::due(c, span.overdueOn);
    due.removeIf([](const receipt::Quiet::Due& d) { return d.passed <= 0; });
    receipt::Quiet::nameDistributors(c, due);
    for (const receipt::Quiet::Due& d : due)
        late[d.distributor.trimmed().isEmpty() ? u"(ไม่ระบุผู้จัดจำหน่าย)"_s : d.distributor.trimmed()] += d.passed;
    QList<QPair<QString, QList<double>>> rows;
    for (auto it = late.cbegin(); it != late.cend(); ++it)
        rows.append({it.key(), {it.value()}});
    std::sort(rows.begin(), rows.end()); // by name, for the same order among equal counts
    keepLargest(overdue, rows);
    out << overdue;

    reports::Chart claims{u"การทวงถามแยกตามผู้จัดจำหน่าย"_s, u"ฉบับ"_s, u"ผู้จัดจำหน่าย"_s, {},
                          {u"ทวงถาม"_s, u"ตอบแล้ว"_s, u"ได้รับหลังทวงถาม"_s}, {}, true};
    rows.clear();
    for (const receipt::Claims::Figures& f : receipt::Claims::figures(c, span.first, end))
        rows.append({f.name.trimmed().isEmpty() ? u"(ไม่ระบุผู้จัดจำหน่าย)"_s : f.name.trimmed(),
                     {double(f.claims), double(f.answered), double(f.received)}});
    keepLargest(claims, rows);
    out << claims;

    reports::Chart ending{u"สมาชิกที่หมดอายุรายเดือน"_s, u"รายชื่อ"_s, u"เดือน"_s, {}, {u"วารสารที่หมดอายุ"_s}, {}};
    const data::Result ends = c.query(u"SELECT YEAR(End_Date), MONTH(End_Date), COUNT(*) FROM magazine WHERE "
                                      "Receive_Code = '1' AND End_Date BETWEEN ? AND ? GROUP BY YEAR(End_Date), "
                                      "MONTH(End_Date)"_s,
                                      {span.endingFrom, span.endingFrom.addMonths(12).addDays(-1)});
    for (int i = 0; i < 12; ++i)
        ending.categories << monthLabel(span.endingFrom.addMonths(i), span.yearInLabels);
    ending.values = {perMonth(ends, span.endingFrom)};
    out << ending;
    return out;
}

} // namespace

QList<reports::Chart> statistics(data::Connection& c, const QDate& today) {
    return charts(c, lastTwelve(today));
}

reports::Chart arrivals(data::Connection& c, const QDate& today) {
    return arrivalsOf(c, lastTwelve(today));
}

QList<reports::Chart> yearly(data::Connection& c, int year, const QDate& today) {
    const QDate first(year, 1, 1), last(year, 12, 31);
    return charts(c, {first, u"ปี %1"_s.arg(data::shownYear(year)), u"ปี %1"_s.arg(data::shownYear(year - 1)), false,
                      std::min(last, today), first});
}

reports::Document yearlyReport(data::Connection& c, int year, const QDate& today) {
    if (year > 2400)
        year -= 543; // typed in the Buddhist era
    return reports::chartReport(u"รายงานประจำปี %1"_s.arg(data::shownYear(year)),
                                {u"งานวารสาร ปี %1 (พิมพ์เมื่อ %2)"_s.arg(data::shownYear(year))
                                     .arg(receipt::thaiDateText(today))},
                                yearly(c, year, today), u"รายงานประจำปี %1"_s.arg(data::shownYear(year)));
}

} // namespace desk
