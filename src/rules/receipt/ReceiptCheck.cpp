#include "rules/receipt/ReceiptCheck.h"
#include "data/SaveGate.h"

#include "data/Counter.h"
#include "data/Dates.h"
#include "rules/receipt/IssueNumbers.h"
#include "rules/receipt/Pattern.h"
#include "rules/reports/Flow.h"

#include <QHash>
#include <algorithm>
#include <atomic>
#include <map>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace receipt {

std::optional<Frequency> frequencyOf(const QString& code) {
    static const QHash<QString, Frequency> codes = {
        {QStringLiteral("02"), {QLatin1Char('D'), 7}}, {QStringLiteral("03"), {QLatin1Char('W'), 0}},
        {QStringLiteral("04"), {QLatin1Char('M'), 1}}, {QStringLiteral("05"), {QLatin1Char('M'), 2}},
        {QStringLiteral("06"), {QLatin1Char('M'), 3}}, {QStringLiteral("07"), {QLatin1Char('M'), 4}},
        {QStringLiteral("08"), {QLatin1Char('M'), 6}}, {QStringLiteral("09"), {QLatin1Char('Y'), 1}}};
    const auto it = codes.find(code.trimmed());
    return it == codes.end() ? std::nullopt : std::optional<Frequency>(*it);
}

QDate prevIssueDate(const Frequency& f, const QDate& d) {
    switch (f.interval.unicode()) {
    case 'D':
        return d.addDays(-f.count);
    case 'W':
        if (d.day() >= 16)
            return QDate(d.year(), d.month(), 15);
        if (d.day() >= 2)
            return QDate(d.year(), d.month(), 1);
        return QDate(d.year(), d.month(), 15).addMonths(-1);
    case 'M':
        return QDate(d.year(), d.month(), 1).addMonths(-f.count);
    default:
        return QDate(d.year() - 1, 1, 1);
    }
}

QDate nextIssueDate(const Frequency& f, const QDate& d) {
    if (f.interval == QLatin1Char('D'))
        return d.addDays(f.count);
    // The day, month and year worked out once: stepping titles through a year spent a tenth of
    // its time finding them again for each.
    int year = 0, month = 0, day = 0;
    d.getDate(&year, &month, &day);
    switch (f.interval.unicode()) {
    case 'W': // the 15th after a day before it, else the 1st of the next month
        return day < 15 ? QDate(year, month, 15) : month == 12 ? QDate(year + 1, 1, 1) : QDate(year, month + 1, 1);
    case 'M': {
        const int months = month - 1 + f.count;
        return QDate(year + months / 12, months % 12 + 1, 1);
    }
    default:
        return QDate(year + 1, 1, 1);
    }
}

QString thaiDateText(const QDate& d) {
    static const char* months[] = {"มกราคม",  "กุมภาพันธ์", "มีนาคม",  "เมษายน", "พฤษภาคม",  "มิถุนายน",
                                   "กรกฎาคม", "สิงหาคม",  "กันยายน", "ตุลาคม",  "พฤศจิกายน", "ธันวาคม"};
    return QStringLiteral("%1 %2 %3").arg(d.day()).arg(QString::fromUtf8(months[d.month() - 1])).arg(d.year() + 543);
}

namespace ReceiptCheck {

QList<Title> titlesToCheck(data::Connection& c) {
    const data::Result r = c.query(QStringLiteral(
        "SELECT Pointer, Magazine_Name, MagType_code, Distributor_Code FROM magazine WHERE Receive_Code = '1' "
        "AND MagType_code IN ('02', '03', '04', '05', '06', '07', '08', '09') ORDER BY MagType_code, Pointer"));
    QList<Title> out;
    out.reserve(r.rowCount());
    for (int i = 0; i < r.rowCount(); ++i)
        out.append({r.text(i, u"Pointer"_s), r.text(i, u"Magazine_Name"_s), r.text(i, u"Distributor_Code"_s),
                    *frequencyOf(r.text(i, u"MagType_code"_s))});
    return out;
}

void stepThrough(const Title& t, QDate cur, const QDate& from, const QDate& to,
                 const std::function<int(const QDate& after, const QDate& upTo)>& received, QList<MissingIssue>& out,
                 int anchorCovers) {
    Pattern pattern;
    pattern.months = t.months;
    pattern.weeksOff = t.weeksOff;
    const auto step = [&](const QDate& d) { return nextPublished(t.frequency, pattern, d); };
    const auto midway = [](const QDate& a, const QDate& b) {
        return QDate::fromJulianDay((a.toJulianDay() + b.toJulianDay()) / 2);
    };
    // The anchor issue stands for the mark it is nearest: dated just before a mark (an annual
    // issue of 30 December, a monthly one of the 29th), it is that mark's issue, which is then
    // not looked for again, whichever side of the period's start the two fall. Titles that step
    // by months step from the 1st nearest it, whatever their count: a bimonthly issue dated 30
    // September is October's, and the next one December's, not November's.
    const Frequency unit = t.frequency.interval == QLatin1Char('M') ? Frequency{QLatin1Char('M'), 1} : t.frequency;
    if (const QDate mark = nextIssueDate(unit, cur); cur.daysTo(mark) < prevIssueDate(unit, mark).daysTo(cur))
        cur = mark;
    // The last mark a combined issue already received stands for ("7-8" in July: August's),
    // counted by the frequency: a mark the title does not publish is not covered twice, so the
    // issue after a summer issue whose second month is left out is looked for all the same.
    const auto coveredUpTo = [&](QDate mark, int issues) {
        for (int k = 1; k < issues; ++k)
            mark = nextIssueDate(t.frequency, mark);
        return mark;
    };
    QDate covered = coveredUpTo(cur, anchorCovers);
    for (QDate next = step(cur); next <= to; cur = next, next = step(next)) {
        const int got = received(midway(cur, next), midway(next, step(next)));
        if (got > 0)
            covered = coveredUpTo(next, got);
        else if (next > covered && next >= from)
            out.append({t.pointer, t.name, t.distributor, next});
    }
}

namespace {

// Whether the title's pattern is learnt from its issues (those stepping by months or weeks).
bool learns(const Frequency& f) {
    return f.interval == QLatin1Char('M') || f.interval == QLatin1Char('W') || byWeeks(f);
}

// Between a title's issues: a day and its number apart, one issue from the next.
constexpr QChar dayNumber(0x1f), nextIssue(0x1e);

// Each title of the given frequency codes with its issues (day and number), from the second
// issue mark before the period (two years before, three for a title of few issues a year,
// where the pattern is learnt from them) to its end, in no set order (ordering each title's
// list costs the server more than sorting it here), and the months of a pattern set by staff.
// One branch per code keeps the bounds constant.
data::Result titlesWithIssueDays(data::Connection& c, const QStringList& codes, const QDate& from, const QDate& to) {
    QStringList branches;
    data::Params params;
    for (const QString& code : codes) {
        const Frequency f = *frequencyOf(code);
        branches << QStringLiteral("SELECT m.Pointer, m.Magazine_Name, m.MagType_code, m.Distributor_Code, "
                                   "(SELECT GROUP_CONCAT(CONCAT(TO_DAYS(t.daily), '%1', COALESCE(TRIM(t.itemsno), '')) "
                                   "SEPARATOR '%2') FROM tranfile t "
                                   "WHERE t.pointer = m.Pointer AND t.daily BETWEEN ? AND ?) AS days, "
                                   "(SELECT p.months FROM pub_pattern p WHERE p.pointer = m.Pointer "
                                   "AND p.set_by IS NOT NULL) AS months, "
                                   "(SELECT p.weeks_off FROM pub_pattern p WHERE p.pointer = m.Pointer "
                                   "AND p.set_by IS NOT NULL) AS weeks_off FROM magazine m "
                                   "WHERE m.Receive_Code = '1' AND m.MagType_code = ?")
                        .arg(dayNumber, nextIssue);
        // An issue dated a little after the period may stand for its last expected date.
        const QDate anchors = prevIssueDate(f, prevIssueDate(f, from));
        params << (learns(f) ? qMin(anchors, from.addYears(f.count >= 3 ? -3 : -2)) : anchors) << nextIssueDate(f, to)
               << code;
    }
    c.exec(QStringLiteral("SET SESSION group_concat_max_len = 16777216"));
    return c.query(QStringLiteral("SELECT * FROM (%1) AS titles ORDER BY MagType_code, Pointer")
                       .arg(branches.join(QStringLiteral(" UNION ALL "))),
                   params);
}

} // namespace

void missingOf(Title t, const QList<IssueSeen>& issues, const QDate& from, const QDate& to, const Pattern* set,
               QList<MissingIssue>& out) {
    // The months (weeks) it publishes: as set by staff, else as its issues show.
    if (set) {
        t.months = set->months;
        t.weeksOff = set->weeksOff;
    } else if (learns(t.frequency)) {
        const Pattern learnt = learnPattern(std::optional<Frequency>(t.frequency), eachIssueOnce(t.frequency, issues));
        t.months = learnt.months;
        t.weeksOff = learnt.weeksOff;
    }
    // The anchor: the earliest issue between the first mark and the start, else between the
    // second mark and the start (the earliest looked at), else the first issue received in the
    // period itself (a title first received during it: what it missed after that first issue
    // is missing all the same).
    const auto at = [&](const QDate& d) {
        return std::lower_bound(issues.cbegin(), issues.cend(), d,
                                [](const IssueSeen& i, const QDate& day) { return i.daily < day; });
    };
    const auto near = at(prevIssueDate(t.frequency, from));
    const auto anchor = near != issues.cend() && near->daily <= from
                            ? near
                            : at(prevIssueDate(t.frequency, prevIssueDate(t.frequency, from)));
    if (anchor == issues.cend())
        return; // nothing received shortly before the period or in it: not examined
    // The expected dates ascend, and so do their spans: walk the received issues alongside.
    auto received = anchor;
    stepThrough(
        t, anchor->daily, from, to,
        [&](const QDate& after, const QDate& upTo) {
            while (received != issues.cend() && received->daily <= after)
                ++received;
            return received != issues.cend() && received->daily <= upTo ? issuesCovered(received->number) : 0;
        },
        out, issuesCovered(anchor->number));
}

namespace {

// Finds what is missing among the titles of one read, asking `going` every 500 titles whether
// to go on (never an empty result that could be staged as "nothing missing").
void examine(const data::Result& r, const QDate& from, const QDate& to, QList<MissingIssue>& out,
             const std::function<bool(int done)>& going) {
    // TO_DAYS counts days from year 0, Julian day numbers from 4713 BC.
    const qint64 julian = QDate(2000, 1, 1).toJulianDay() - 730485;
    // The columns by name, looked up once for every title.
    const int pointer = r.column(u"Pointer"_s), name = r.column(u"Magazine_Name"_s),
              distributor = r.column(u"Distributor_Code"_s), code = r.column(u"MagType_code"_s),
              issueDays = r.column(u"days"_s), setMonths = r.column(u"months"_s), setWeeks = r.column(u"weeks_off"_s);
    QList<IssueSeen> issues;
    for (int n = 0; n < r.rowCount(); ++n) {
        if (n % 500 == 0 && !going(n))
            throw Stopped();
        Title t{r.text(n, pointer), r.text(n, name), r.text(n, distributor), *frequencyOf(r.text(n, code))};
        issues.clear();
        const QString text = r.text(n, issueDays);
        for (const QStringView issue : QStringView(text).split(nextIssue, Qt::SkipEmptyParts)) {
            const qsizetype apart = issue.indexOf(dayNumber);
            issues.append({QDate::fromJulianDay(issue.left(apart).toLongLong() + julian),
                           {},
                           apart < 0 ? QString() : issue.mid(apart + 1).toString(),
                           {}});
        }
        std::sort(issues.begin(), issues.end(),
                  [](const IssueSeen& a, const IssueSeen& b) { return a.daily < b.daily; });
        // A set pattern whose months the administrator's SQL left unreadable counts as not set.
        const auto months = Pattern::monthsOf(r.text(n, setMonths));
        Pattern set;
        set.months = months.value_or(0);
        set.weeksOff = Pattern::weeksOf(r.text(n, setWeeks)).value_or(0);
        missingOf(t, issues, from, to, !r.value(n, setMonths).isNull() && set.months ? &set : nullptr, out);
    }
}

} // namespace

QList<MissingIssue> run(data::Connection& c, const QDate& from, const QDate& to, int* titleCount,
                        const reports::Progress& progress) {
    // The server reads every issue of a title to find those in the window; the slower half of
    // the codes goes to a second connection meanwhile, so two of the server's cores share it,
    // and each half's titles are examined as soon as its issues are here.
    QList<MissingIssue> out, laterOut;
    std::atomic<bool> stop{false};
    std::atomic<int> laterTitles{-1}, done{0};
    std::exception_ptr failed;
    data::Connection second(c.settings());
    std::thread helper([&] {
        try {
            second.open();
            const data::Result later = titlesWithIssueDays(second, {"06", "07", "08", "09"}, from, to);
            laterTitles = later.rowCount();
            int mine = 0;
            examine(later, from, to, laterOut, [&](int n) {
                done += n - std::exchange(mine, n);
                return !stop;
            });
        } catch (...) {
            failed = std::current_exception();
        }
    });
    int titles = 0;
    try {
        const data::Result r = titlesWithIssueDays(c, {"02", "03", "04", "05"}, from, to);
        titles = r.rowCount();
        // Until the other half's titles are counted, as many as this half's are reckoned with.
        const auto total = [&] { return titles + (laterTitles >= 0 ? laterTitles.load() : titles); };
        int mine = 0;
        examine(r, from, to, out, [&](int n) {
            done += n - std::exchange(mine, n);
            return !progress || progress(done, total());
        });
    } catch (...) {
        stop = true;
        helper.join();
        throw;
    }
    helper.join();
    if (failed)
        std::rethrow_exception(failed);
    titles += laterTitles;
    out.append(laterOut);
    if (titleCount)
        *titleCount = titles;
    if (progress)
        progress(titles, titles);
    return out;
}

void stage(data::Connection& c, const QString& station, const QList<MissingIssue>& rows, const QDate& from,
           const QDate& to) {
    data::retryingTransaction(c, [&] {
        data::write(c, QStringLiteral("chk_receive"), QStringLiteral("DELETE FROM chk_receive WHERE station = ?"),
                    {station});
        // Rows of old runs go, and so do rows an older program left without a station or a time.
        data::write(c, QStringLiteral("chk_receive"),
                    QStringLiteral("DELETE FROM chk_receive WHERE run_at < NOW() - INTERVAL 1 DAY OR run_at IS NULL OR "
                                   "station = ''"));
        // What every row of the run shares goes once; each row sends its title and date.
        c.exec(QStringLiteral("SET @chk_from = ?, @chk_to = ?, @chk_station = ?"), {from, to, station});
        constexpr int perStatement = 2000;
        for (int first = 0; first < rows.size(); first += perStatement) {
            const int n = qMin(perStatement, int(rows.size()) - first);
            QStringList values;
            data::Params params;
            params.reserve(2 * n);
            for (int i = first; i < first + n; ++i) {
                values << QStringLiteral("(?, ?, @chk_from, @chk_to, @chk_station, NOW())");
                params << rows.at(i).name << thaiDateText(rows.at(i).expected);
            }
            data::write(
                c, QStringLiteral("chk_receive"),
                QStringLiteral("INSERT INTO chk_receive (Magazine_Name, expect_date, from_date, to_date, station, "
                               "run_at) VALUES ") +
                    values.join(QLatin1Char(',')),
                params);
        }
    });
}

} // namespace ReceiptCheck

namespace {
QString printedOn() {
    return QStringLiteral("วันที่พิมพ์ %1").arg(data::formatDate(QDate::currentDate()));
}
} // namespace

reports::Document receiptReport(const QList<MissingIssue>& rows, const QDate& from, const QDate& to) {
    const QString period = QStringLiteral("ระหว่างวันที่  %1  ถึง  %2").arg(thaiDateText(from), thaiDateText(to));
    reports::Flow flow(QStringLiteral("รายงานตรวจสอบการรับวารสาร"), {period});
    flow.footOfEveryPage(printedOn());
    reports::Document doc;
    doc.csvHeader = {QStringLiteral("รายชื่อวารสาร"), QStringLiteral("ฉบับที่ควรได้รับ"), QStringLiteral("วันที่"),
                     QStringLiteral("ตั้งแต่วันที่"), QStringLiteral("ถึงวันที่")};
    int titles = 0;
    for (int i = 0; i < rows.size();) {
        const QString pointer = rows.at(i).pointer;
        flow.groupHeading({{0, rows.at(i).name}});
        int n = 0;
        for (; i < rows.size() && rows.at(i).pointer == pointer; ++i, ++n) {
            // The date stands clear of a number of four digits.
            flow.line({{600, QStringLiteral("%1.").arg(n + 1)}, {1500, thaiDateText(rows.at(i).expected)}});
            doc.csvRows.append({rows.at(i).name, thaiDateText(rows.at(i).expected),
                                rows.at(i).expected.toString(Qt::ISODate), from.toString(Qt::ISODate),
                                to.toString(Qt::ISODate)});
        }
        flow.line({{6000, QStringLiteral("รวม %1 ฉบับ").arg(n)}});
        ++titles;
    }
    flow.endGroups();
    flow.line({{0, QStringLiteral("รวมทั้งสิ้น %1 ฉบับ จาก %2 รายชื่อ").arg(rows.size()).arg(titles)}}, true);
    doc.pages = flow.pages();
    doc.title = QStringLiteral("ตรวจสอบการรับวารสาร %1 - %2").arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
    return doc;
}

reports::Document claimsReport(data::Connection& c, const QList<MissingIssue>& rows, const QDate& from,
                               const QDate& to) {
    struct Dealer {
        QString name, address1, address2, contact;
    };
    QHash<QString, Dealer> dealers;
    const data::Result d =
        c.query(QStringLiteral("SELECT Publisher_Code, Publisher_Name, Address1, Address2, Contact FROM dealer"));
    for (int i = 0; i < d.rowCount(); ++i)
        dealers.insert(d.text(i, u"Publisher_Code"_s).trimmed(),
                       {d.text(i, u"Publisher_Name"_s), d.text(i, u"Address1"_s), d.text(i, u"Address2"_s),
                        d.text(i, u"Contact"_s)});
    // By distributor name, then title, then date.
    std::map<std::pair<QString, QString>, QList<MissingIssue>> byDealer;
    for (const MissingIssue& m : rows) {
        const QString code = m.distributorCode.trimmed();
        byDealer[{dealers.value(code).name, code}].append(m);
    }
    const QString period = QStringLiteral("ระหว่างวันที่  %1  ถึง  %2").arg(thaiDateText(from), thaiDateText(to));
    reports::Flow flow(QStringLiteral("รายการวารสารที่ยังไม่ได้รับ (ทวงถามผู้จัดจำหน่าย)"), {period});
    flow.footOfEveryPage(printedOn());
    reports::Document doc;
    doc.csvHeader = {QStringLiteral("ผู้จัดจำหน่าย"), QStringLiteral("ที่อยู่ 1"),       QStringLiteral("ที่อยู่ 2"),
                     QStringLiteral("ผู้ติดต่อ"),     QStringLiteral("รายชื่อวารสาร"), QStringLiteral("ฉบับที่ควรได้รับ"),
                     QStringLiteral("วันที่")};
    for (const auto& [key, missing] : byDealer) {
        const Dealer dealer = dealers.value(key.second);
        flow.newPageUnlessTop();
        flow.groupHeading({{0, key.first.isEmpty() ? QStringLiteral("(ไม่ระบุผู้จัดจำหน่าย)") : key.first}});
        for (const QString& extra : {dealer.address1, dealer.address2, dealer.contact})
            if (!extra.trimmed().isEmpty())
                flow.line({{300, extra}});
        QString title;
        for (const MissingIssue& m : missing) {
            if (m.pointer != title)
                flow.groupHeading({{300, m.name}}, 1);
            title = m.pointer;
            flow.line({{1200, thaiDateText(m.expected)}});
            doc.csvRows.append({dealer.name, dealer.address1, dealer.address2, dealer.contact, m.name,
                                thaiDateText(m.expected), m.expected.toString(Qt::ISODate)});
        }
        flow.endGroups(1); // the distributor's total, under its name
        flow.line({{6000, QStringLiteral("รวม %1 ฉบับ").arg(missing.size())}});
    }
    doc.pages = flow.pages();
    doc.title = QStringLiteral("ทวงถามวารสาร %1 - %2").arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
    return doc;
}

} // namespace receipt
