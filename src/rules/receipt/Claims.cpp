#include "rules/receipt/Claims.h"

#include "data/Counter.h"
#include "data/DbError.h"
#include "data/SaveGate.h"
#include "rules/reports/Flow.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QUuid>
#include <map>

using namespace Qt::StringLiterals;

namespace receipt::Claims {

namespace {

// Half the step of a title's frequency code, in days, as SQL over magazine m: an issue dated
// this near the expected date is the one that was claimed.
const QString halfStep = QStringLiteral("CASE TRIM(m.MagType_code) WHEN '02' THEN 3 WHEN '03' THEN 7 WHEN '04' THEN 15 "
                                        "WHEN '05' THEN 30 WHEN '06' THEN 45 WHEN '07' THEN 60 WHEN '08' THEN 91 "
                                        "ELSE 182 END");

bool hasThai(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() >= 0x0E00 && ch.unicode() <= 0x0E7F; });
}

QString dateText(const QDate& d, bool thai) {
    return thai ? thaiDateText(d) : QLocale(QLocale::English).toString(d, u"d MMMM yyyy"_s);
}

// Tranfile t holds the issue claim c asked for: dated within half a step of the date expected.
// An issue published late still carries its own date, so "not yet published" moves only when
// it is claimed again, not which issue answers the claim.
const QString arrivalOf =
    QStringLiteral("t.pointer = c.pointer AND t.daily BETWEEN c.expected - INTERVAL (%1) DAY AND c.expected + INTERVAL "
                   "(%1) DAY")
        .arg(halfStep);

// Each claim of the issues expected in a period (the period's dates the parameters), with the
// day its issue was registered (arrival, NULL while missing), whether it is an issue's third
// or later claim with none answered (silent) and the state of its mail.
const QString claimsOfPeriod = QStringLiteral(
    "SELECT c.*, am.state, m.Magazine_Name, (SELECT MIN(t.indate) FROM tranfile t WHERE %1) AS arrival, "
    "(c.claim_no >= 3 AND NOT EXISTS (SELECT 1 FROM claim a WHERE a.pointer = c.pointer AND a.expected = c.expected "
    "AND a.answer IS NOT NULL)) AS silent FROM claim c LEFT JOIN magazine m ON m.Pointer = c.pointer "
    "LEFT JOIN alert_mail am ON am.mail_id = c.mail_id WHERE c.expected BETWEEN ? AND ?")
                                      .arg(arrivalOf);

const char* const thaiLetter = "เรียน {distributor}\n\n"
                               "{library} ยังไม่ได้รับวารสารตามรายการข้างล่างนี้ (เลขที่สมาชิก {account}) "
                               "จึงขอความกรุณาจัดส่งให้ด้วย หากฉบับใดยังไม่ออกหรือหยุดพิมพ์แล้ว โปรดแจ้งให้ทราบ\n\n"
                               "{issues}\n\n"
                               "ขอแสดงความนับถือ\n{library}\n{address}\n{date}\n";
const char* const englishLetter = "Dear {distributor},\n\n"
                                  "The following issues have not reached {library} (account {account}). Please send "
                                  "them, or let us know if an issue is not yet published or the title has ceased.\n\n"
                                  "{issues}\n\n"
                                  "Yours faithfully,\n{library}\n{address}\n{date}\n";

// A template the library keeps, else the built-in one.
QString templateText(const Library& library, bool thai) {
    const QString path = thai ? library.templateTh : library.templateEn;
    if (!path.isEmpty()) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            return QString::fromUtf8(f.readAll());
    }
    return QString::fromUtf8(thai ? thaiLetter : englishLetter);
}

// Arrivals close their claims before the claims are read; an account that may only read (the
// reports role) reads them as they stand.
void closeBeforeReading(data::Connection& c) {
    try {
        closeReceived(c);
    } catch (const data::DbError& e) {
        if (e.nativeCode() != 1142) // the command denied to this account
            throw;
    }
}

} // namespace

int closeReceived(data::Connection& c) {
    return int(data::write(
        c, u"claim"_s,
        u"UPDATE claim c JOIN magazine m ON m.Pointer = c.pointer SET c.received_at = "
        "COALESCE((SELECT MIN(t.indate) FROM tranfile t WHERE %1), NOW()) "
        "WHERE c.received_at IS NULL AND EXISTS (SELECT 1 FROM tranfile t WHERE %1)"_s.arg(arrivalOf)));
}

bool answer(data::Connection& c, const QString& pointer, const QDate& expected, QChar code, const QString& note,
            const QDate& again) {
    if (!QStringLiteral("NSCO").contains(code))
        return false;
    return data::write(c, u"claim"_s,
                       u"UPDATE claim c JOIN magazine m ON m.Pointer = c.pointer SET c.answer = ?, c.answer_note = ?, "
                       "c.answered_at = NOW(), c.expected_again = IF(? = 'N', COALESCE(?, c.expected + INTERVAL "
                       "2 * (%1) DAY), NULL) WHERE c.pointer = ? AND c.expected = ? AND c.claim_no = (SELECT n FROM "
                       "(SELECT MAX(claim_no) AS n FROM claim WHERE pointer = ? AND expected = ?) AS latest)"_s.arg(halfStep),
                       {QString(code), note.trimmed().left(500), QString(code), again.isValid() ? QVariant(again) : QVariant(),
                        pointer.trimmed(), expected, pointer.trimmed(), expected}) > 0;
}

bool endSubscription(data::Connection& c, const QString& pointer) {
    return data::write(c, u"magazine"_s, u"UPDATE magazine SET Receive_Code = '4' WHERE Pointer = ? AND Receive_Code = '1'"_s,
                       {pointer.trimmed()}) > 0;
}

int closedByArrival(data::Connection& c, const QString& pointer, const QDate& daily) {
    const data::Result open = c.query(
        u"SELECT MAX(c.claim_no) AS n FROM claim c JOIN magazine m ON m.Pointer = c.pointer WHERE c.pointer = ? "
        "AND c.received_at IS NULL AND ? BETWEEN c.expected - INTERVAL (%1) DAY AND c.expected + INTERVAL (%1) DAY"_s
            .arg(halfStep),
        {pointer.trimmed(), daily});
    const int n = open.isEmpty() ? 0 : open.value(0, u"n"_s).toInt();
    if (n > 0)
        closeReceived(c);
    return n;
}

QList<Row> rows(data::Connection& c, const QList<MissingIssue>& missing, const QDateTime& now) {
    closeBeforeReading(c);
    struct Dealer {
        QString name, email, account;
        int days = 30;
        QString language;
    };
    QHash<QString, Dealer> dealers;
    const data::Result d = c.query(
        u"SELECT Publisher_Code, Publisher_Name, Email, claim_days, claim_language, claim_account FROM dealer"_s);
    for (int i = 0; i < d.rowCount(); ++i)
        dealers.insert(d.text(i, u"Publisher_Code"_s).trimmed(),
                       {d.text(i, u"Publisher_Name"_s).trimmed(), d.text(i, u"Email"_s).trimmed(),
                        d.text(i, u"claim_account"_s).trimmed(), d.value(i, u"claim_days"_s).toInt(),
                        d.text(i, u"claim_language"_s).trimmed().toLower()});
    // The latest claim of each issue in the period.
    struct Claimed {
        int number = 0;
        QDateTime at;
        QString state;
        QDate again;
    };
    QHash<QString, Claimed> claimed;
    // The first issue each title ceased with, and the distributors that left an issue's three
    // claims unanswered (neither answered nor the issue received).
    QHash<QString, QDate> ceasedFrom;
    QSet<QString> silent;
    if (!missing.isEmpty()) {
        QDate first = missing.first().expected, last = first;
        for (const MissingIssue& m : missing) {
            first = qMin(first, m.expected);
            last = qMax(last, m.expected);
        }
        const data::Result r = c.query(
            u"SELECT c.pointer, c.expected, c.claim_no, c.claimed_at, c.address, c.answer, c.expected_again, m.state "
            "FROM claim c LEFT JOIN alert_mail m ON m.mail_id = c.mail_id WHERE c.expected BETWEEN ? AND ? "
            "ORDER BY c.claim_no"_s,
            {first, last});
        for (int i = 0; i < r.rowCount(); ++i) {
            Claimed& k = claimed[r.text(i, u"pointer"_s).trimmed() + u'|' +
                                 r.value(i, u"expected"_s).toDate().toString(Qt::ISODate)];
            k.number = r.value(i, u"claim_no"_s).toInt();
            k.at = r.value(i, u"claimed_at"_s).toDateTime();
            const QString answer = r.text(i, u"answer"_s).trimmed(), mail = r.text(i, u"state"_s).trimmed();
            k.again = answer == u"N"_s ? r.value(i, u"expected_again"_s).toDate() : QDate();
            k.state = answer == u"N"_s                          ? u"ยังไม่ออก"_s
                      : answer == u"S"_s                          ? u"ส่งใหม่แล้ว"_s
                      : answer == u"C"_s                          ? u"หยุดพิมพ์"_s
                      : !answer.isEmpty()                         ? u"ตอบแล้ว"_s
                      : r.text(i, u"address"_s).trimmed().isEmpty() ? u"พิมพ์"_s
                      : mail == u"sent"_s                        ? u"ส่งแล้ว"_s
                      : mail == u"refused"_s || mail == u"bounced"_s ? u"ส่งไม่ได้"_s
                                                                     : u"รอส่ง"_s;
        }
    }
    const data::Result ceased = c.query(u"SELECT pointer, MIN(expected) AS first FROM claim WHERE answer = 'C' GROUP BY pointer"_s);
    for (int i = 0; i < ceased.rowCount(); ++i)
        ceasedFrom.insert(ceased.text(i, u"pointer"_s).trimmed(), ceased.value(i, u"first"_s).toDate());
    const data::Result quiet = c.query(
        u"SELECT DISTINCT c.distributor FROM claim c WHERE c.claim_no >= 3 AND c.received_at IS NULL AND NOT EXISTS "
        "(SELECT 1 FROM claim a WHERE a.pointer = c.pointer AND a.expected = c.expected AND a.answer IS NOT NULL)"_s);
    for (int i = 0; i < quiet.rowCount(); ++i)
        silent.insert(quiet.text(i, 0).trimmed());
    QList<Row> out;
    out.reserve(missing.size());
    for (const MissingIssue& m : missing) {
        const Dealer dealer = dealers.value(m.distributorCode.trimmed());
        Row row;
        row.issue = m;
        row.distributorName = dealer.name;
        row.address = dealer.email;
        row.waitDays = dealer.days > 0 ? dealer.days : 30;
        // Thai letters where the distributor is set so, or by default where its name is Thai.
        row.thai = dealer.language == u"th"_s ||
                   (dealer.language != u"en"_s && (dealer.name.isEmpty() || hasThai(dealer.name)));
        row.account = dealer.account;
        const auto k = claimed.constFind(m.pointer.trimmed() + u'|' + m.expected.toString(Qt::ISODate));
        const QDate ceasedAt = ceasedFrom.value(m.pointer.trimmed());
        const bool ended = ceasedAt.isValid() && m.expected >= ceasedAt;
        if (k != claimed.cend()) {
            row.claims = k->number;
            row.last = k->at;
            row.lastState = k->state;
            row.expectedAgain = k->again;
        }
        if (ended) // the title ceased with this issue or an earlier one
            row.lastState = u"หยุดพิมพ์"_s;
        row.silent = silent.contains(m.distributorCode.trimmed());
        const QDateTime waitFrom = row.expectedAgain.isValid() ? row.expectedAgain.startOfDay() : row.last;
        row.due = !ended && (row.claims == 0 || waitFrom.addDays(row.waitDays) <= now);
        out.append(row);
    }
    std::stable_sort(out.begin(), out.end(), [](const Row& a, const Row& b) {
        return std::tie(a.distributorName, a.issue.distributorCode, a.issue.name, a.issue.expected) <
               std::tie(b.distributorName, b.issue.distributorCode, b.issue.name, b.issue.expected);
    });
    return out;
}

Letter letter(const QList<Row>& issues, const Library& library, const QDate& today) {
    Letter l;
    if (issues.isEmpty())
        return l;
    const Row& first = issues.first();
    l.distributor = first.issue.distributorCode.trimmed();
    l.distributorName = first.distributorName;
    l.address = first.address;
    l.thai = first.thai;
    l.issues = issues;
    QStringList lines;
    for (qsizetype i = 0; i < issues.size(); ++i)
        lines << (l.thai ? u"%1. %2  ฉบับวันที่ %3  (ทวงถามครั้งที่ %4)"_s : u"%1. %2  issue of %3  (claim %4)"_s)
                     .arg(i + 1)
                     .arg(issues.at(i).issue.name.trimmed(), dateText(issues.at(i).issue.expected, l.thai))
                     .arg(issues.at(i).claims + 1);
    const QString table = lines.join(u'\n');
    QString text = templateText(library, l.thai);
    if (!text.contains(u"{issues}"_s))
        text += u"\n{issues}\n"_s;
    // One pass, so a value that holds a placeholder's name is written as it stands.
    const QHash<QString, QString> values = {
        {u"distributor"_s, l.distributorName},
        {u"library"_s, library.name},
        {u"address"_s, library.address},
        {u"account"_s, first.account.isEmpty() ? u"-"_s : first.account},
        {u"date"_s, dateText(today, l.thai)},
        {u"issues"_s, table}};
    static const QRegularExpression placeholder(u"\\{(distributor|library|address|account|date|issues)\\}"_s);
    QString filled;
    qsizetype at = 0;
    for (auto it = placeholder.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        filled += text.mid(at, m.capturedStart() - at) + values.value(m.captured(1));
        at = m.capturedEnd();
    }
    l.text = filled + text.mid(at);
    l.subject = (l.thai ? u"ทวงถามวารสารที่ยังไม่ได้รับ - %1"_s : u"Claim for issues not received - %1"_s).arg(library.name);
    return l;
}

reports::Document printedLetters(const QList<Letter>& letters) {
    reports::Flow flow(u"หนังสือทวงถามวารสาร"_s, {});
    reports::Document doc;
    doc.csvHeader = {u"ผู้จัดจำหน่าย"_s, u"รายชื่อวารสาร"_s, u"ฉบับวันที่"_s, u"ทวงถามครั้งที่"_s};
    for (const Letter& l : letters) {
        flow.newPageUnlessTop();
        for (const QString& line : l.text.split(u'\n'))
            flow.wrappedLine({{0, line}});
        for (const Row& r : l.issues)
            doc.csvRows.append({l.distributorName, r.issue.name, r.issue.expected.toString(Qt::ISODate),
                                QString::number(r.claims + 1)});
    }
    doc.pages = flow.pages();
    doc.title = u"หนังสือทวงถามวารสาร"_s;
    return doc;
}

Sent send(data::Connection& c, const QList<Row>& chosen, const Library& library, const QString& sender,
          const QDate& today) {
    Sent sent;
    std::map<QString, QList<Row>> byDistributor;
    for (const Row& r : chosen)
        if (r.due)
            byDistributor[r.issue.distributorCode.trimmed()].append(r);
    const QString domain = sender.section(u'@', 1).trimmed();
    for (const auto& [code, rows] : byDistributor) {
        Letter made;
        data::retryingTransaction(c, [&] {
            // Each issue's next claim; one another station made meanwhile is already there.
            QList<Row> claimedNow;
            for (const Row& r : rows)
                if (data::write(c, u"claim"_s,
                                u"INSERT INTO claim (pointer, expected, claim_no, distributor, address, claimed_by) "
                                "SELECT ?, ?, ?, ?, ?, SUBSTRING_INDEX(USER(), '@', 1) FROM DUAL WHERE NOT EXISTS "
                                "(SELECT 1 FROM claim WHERE pointer = ? AND expected = ? AND claim_no >= ?) "
                                "ON DUPLICATE KEY UPDATE claim_no = claim_no"_s,
                                {r.issue.pointer.trimmed(), r.issue.expected, r.claims + 1, code, r.address,
                                 r.issue.pointer.trimmed(), r.issue.expected, r.claims + 1}) > 0)
                    claimedNow.append(r);
            made = letter(claimedNow, library, today);
            if (claimedNow.isEmpty() || made.address.isEmpty())
                return;
            const QString messageId = u"<%1@%2>"_s.arg(QUuid::createUuid().toString(QUuid::WithoutBraces),
                                                       domain.isEmpty() ? u"warasan.invalid"_s : domain);
            data::write(c, u"alert_mail"_s,
                        u"INSERT INTO alert_mail (reader_id, day, recipient, message_id, subject, body_text, body_html) "
                        "VALUES (NULL, ?, ?, ?, ?, ?, ?)"_s,
                        {today, made.address, messageId, made.subject, made.text,
                         u"<pre>%1</pre>"_s.arg(made.text.toHtmlEscaped())});
            for (const Row& r : claimedNow)
                data::write(c, u"claim"_s,
                            u"UPDATE claim SET mail_id = (SELECT mail_id FROM alert_mail WHERE message_id = ?) "
                            "WHERE pointer = ? AND expected = ? AND claim_no = ?"_s,
                            {messageId, r.issue.pointer.trimmed(), r.issue.expected, r.claims + 1});
        });
        sent.claimed += int(made.issues.size());
        if (made.issues.isEmpty())
            continue;
        if (made.address.isEmpty())
            sent.toPrint.append(made);
        else
            ++sent.mailed;
    }
    return sent;
}

QList<Figures> figures(data::Connection& c, const QDate& from, const QDate& to) {
    const data::Result r = c.query(
        u"SELECT x.distributor, COALESCE(d.Publisher_Name, x.distributor) AS name, COUNT(*) AS claims, "
        "SUM(x.mail_id IS NULL OR x.state = 'sent') AS sent, SUM(x.answer IS NOT NULL) AS answered, "
        "SUM(x.arrival IS NOT NULL) AS received, SUM(x.arrival IS NULL) AS never, "
        "SUM(x.silent AND x.arrival IS NULL) AS silent, "
        "AVG(CASE WHEN x.arrival IS NOT NULL THEN GREATEST(0, DATEDIFF(x.arrival, x.claimed_at)) END) AS days "
        "FROM (%1) AS x LEFT JOIN dealer d ON d.Publisher_Code = x.distributor "
        "GROUP BY x.distributor, d.Publisher_Name ORDER BY name, x.distributor"_s.arg(claimsOfPeriod),
        {from, to});
    QList<Figures> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        const auto n = [&](const char* column) { return r.value(i, QLatin1String(column)).toInt(); };
        Figures f{r.text(i, u"distributor"_s), r.text(i, u"name"_s), n("claims"), n("sent"), n("answered"),
                  n("received"), n("never"), n("silent"), std::nullopt};
        if (!r.value(i, u"days"_s).isNull())
            f.days = r.value(i, u"days"_s).toDouble();
        out.append(f);
    }
    return out;
}

QString claimsListSql(bool oneDistributor) {
    return u"SELECT x.Magazine_Name AS name, x.expected, x.claim_no, x.claimed_at, CASE x.answer WHEN 'N' THEN "
           "'ยังไม่ออก' WHEN 'S' THEN 'ส่งใหม่แล้ว' WHEN 'C' THEN 'หยุดพิมพ์' WHEN 'O' THEN 'อื่น ๆ' ELSE '' END AS "
           "answer, x.arrival, x.claim_id FROM (%1) AS x%2"_s.arg(claimsOfPeriod,
                                                               oneDistributor ? u" WHERE x.distributor = ?"_s : QString());
}

QString waitingSql(bool refused) {
    return u"SELECT c.distributor AS k, COALESCE(MAX(d.Publisher_Name), c.distributor) AS name, MIN(c.claimed_at) AS d, "
           "COUNT(*) AS n FROM claim c LEFT JOIN magazine m ON m.Pointer = c.pointer "
           "LEFT JOIN dealer d ON d.Publisher_Code = c.distributor "
           "LEFT JOIN alert_mail am ON am.mail_id = c.mail_id WHERE c.answer IS NULL AND c.received_at IS NULL "
           "AND NOT EXISTS (SELECT 1 FROM claim l WHERE l.pointer = c.pointer AND l.expected = c.expected "
           "AND l.claim_no > c.claim_no) AND NOT EXISTS (SELECT 1 FROM tranfile t WHERE %1) "
           "AND COALESCE(am.state, '') %2 IN ('refused', 'bounced') GROUP BY c.distributor ORDER BY d, name"_s.arg(
               arrivalOf, refused ? QString() : u"NOT"_s);
}

QDate oldestOpen(data::Connection& c, const QString& distributor) {
    const data::Result r = c.query(u"SELECT MIN(expected) FROM claim WHERE distributor = ? AND answer IS NULL "
                                   "AND received_at IS NULL"_s,
                                   {distributor.trimmed()});
    return r.rowCount() ? r.rows.at(0).value(0).toDate() : QDate();
}

reports::Document claimsSummary(data::Connection& c, const QDate& from, const QDate& to) {
    const QList<Figures> all = figures(c, from, to);
    reports::Flow flow(u"การทวงถามวารสารแยกตามผู้จัดจำหน่าย"_s,
                       {u"ฉบับที่ควรได้รับระหว่างวันที่  %1  ถึง  %2"_s.arg(thaiDateText(from), thaiDateText(to))});
    reports::Document doc;
    doc.csvHeader = {u"ผู้จัดจำหน่าย"_s,          u"ทวงถาม"_s,       u"ส่งแล้ว"_s,
                     u"ตอบแล้ว"_s,               u"ได้รับหลังทวงถาม"_s, u"วันจนได้รับ (เฉลี่ย)"_s,
                     u"ยังไม่ได้รับ"_s,           u"ทวงครบ 3 ครั้งไม่ตอบ"_s};
    // The figures' columns, twips from the left: claims, sent, answered, received, days, never.
    constexpr double at[] = {4700, 5750, 6750, 7800, 8700, 9350};
    flow.repeatOnEveryPage({{0, u"ผู้จัดจำหน่าย"_s}, {at[0], u"ทวงถาม"_s}, {at[1], u"ส่งแล้ว"_s}, {at[2], u"ตอบแล้ว"_s},
                            {at[3], u"ได้รับ"_s}, {at[4], u"วัน"_s}, {at[5], u"ยังไม่ได้รับ"_s}});
    int total = 0, silent = 0;
    for (const Figures& f : all) {
        const QString days = f.days ? QString::number(*f.days, 'f', 1) : u"-"_s;
        const QStringList row = {f.name, QString::number(f.claims), QString::number(f.sent), QString::number(f.answered),
                                 QString::number(f.received), days, QString::number(f.never), QString::number(f.silent)};
        flow.wrappedLine({{0, f.silent ? f.name + u" *"_s : f.name}, {at[0], row[1]}, {at[1], row[2]}, {at[2], row[3]},
                          {at[3], row[4]}, {at[4], row[5]}, {at[5], row[6]}});
        doc.csvRows.append(row);
        total += f.claims;
        silent += f.silent ? 1 : 0;
    }
    flow.line({{0, u"รวมทั้งสิ้น %1 ครั้ง จาก %2 ผู้จัดจำหน่าย"_s.arg(total).arg(all.size())}}, true);
    if (silent)
        flow.line({{0, u"* ผู้จัดจำหน่ายที่ทวงถามฉบับเดียวกันครบ 3 ครั้งแล้วไม่ตอบ (%1 ราย)"_s.arg(silent)}});
    doc.pages = flow.pages();
    doc.title = u"ทวงถามวารสาร %1 - %2"_s.arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate));
    return doc;
}

} // namespace receipt::Claims
