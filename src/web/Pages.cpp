#include "web/Pages.h"
#include "data/Like.h"
#include "rules/reports/WebPages.h"
#include "web/AlertPages.h"
#include "web/Citation.h"
#include "web/PageParts.h"

#include "data/Dates.h"
#include "data/DbError.h"
#include "data/LookUp.h"
#include "data/NameSearch.h"
#include "rules/desk/Statistics.h"
#include "rules/receipt/Claims.h"
#include "rules/receipt/ReceiptCheck.h"
#include "rules/receipt/PatternStore.h"
#include "rules/records/Holdings.h"
#include "rules/records/TitleStore.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QRegularExpression>
#include <array>
#include <cstdio>

namespace web {

data::Result titlesTyped(data::Connection& c, const QString& typed) {
    const QString titles = QStringLiteral("SELECT m.Pointer, m.Magazine_Name, m.ISSN FROM magazine m WHERE %1 "
                                          "ORDER BY m.Magazine_Name, m.Pointer LIMIT 50");
    data::Result found = data::lookUp(c, titles.arg(QStringLiteral("m.Pointer = ?")), {typed.trimmed().toUpper()});
    if (const auto issn = records::issnOf(typed); found.isEmpty() && issn) {
        const data::Condition has = records::issnIs(*issn);
        found = data::lookUp(c, titles.arg(has.sql), has.values);
    }
    if (found.isEmpty())
        found =
            data::lookUp(c, titles.arg(QStringLiteral("m.Magazine_Name LIKE ?")), {data::likePrefix(typed.trimmed())});
    return found;
}

namespace {

// The options of a choice from `sql`'s `code` and `name` columns, after "all".
Options codeOptions(data::Connection& c, const QString& sql, const QString& all) {
    Options out{{QString(), all}};
    const data::Result r = c.query(sql);
    for (int i = 0; i < r.rowCount(); ++i)
        out.append({r.text(i, QStringLiteral("code")), r.text(i, QStringLiteral("name"))});
    return out;
}

// The sum of a count table's "n": the rows of the list it counts.
qint64 sumOf(const data::Result& counts, const std::function<bool(const QString& name)>& which = {}) {
    qint64 n = 0;
    for (int i = 0; i < counts.rowCount(); ++i)
        if (!which || which(counts.text(i, QStringLiteral("name"))))
            n += counts.value(i, QStringLiteral("n")).toLongLong();
    return n;
}

const Options groupOptions = {{QString(), QStringLiteral("ทุกกลุ่ม")},
                              {QStringLiteral("J"), QStringLiteral("J")},
                              {QStringLiteral("I"), QStringLiteral("I")},
                              {QStringLiteral("K"), QStringLiteral("K")},
                              {QStringLiteral("L"), QStringLiteral("L")}};

const QString receivedTitles =
    QStringLiteral("FROM magazine m LEFT JOIN magtype f ON f.MagType_Code = m.MagType_code "
                   "LEFT JOIN department d ON d.Department_Code = m.department_code WHERE m.Receive_Code = '1'");

// A page of the list with its caption and its CSV file's name (the report's own name).
Page titled(reports::WebPage listed) {
    const reports::WebPageInfo& info = reports::webPage(listed);
    return {info.caption, {}, {}, info.command + QStringLiteral(".csv")};
}

// 1. Every title currently received, with its latest issue.
Page allTitles(data::Connection& c, const Query& q) {
    const QString path = reports::webPage(reports::WebPage::AllTitles).path;
    Page page = titled(reports::WebPage::AllTitles);
    Listing l;
    l.select =
        QStringLiteral("SELECT m.Pointer AS code, m.Magazine_Name AS name, m.ISSN AS issn, f.MagType_Thai_Des AS freq, "
                       "d.Department_Thai_Des AS dept, "
                       "(SELECT CONCAT_WS(' ', CONCAT('ปีที่ ', t.yearno), CONCAT('ฉบับที่ ', t.itemsno)) FROM tranfile t "
                       " WHERE t.pointer = m.Pointer ORDER BY t.daily DESC, t.magno DESC LIMIT 1) AS latest_no, "
                       "(SELECT MAX(t.daily) FROM tranfile t WHERE t.pointer = m.Pointer) AS latest ") +
        receivedTitles;
    const QString group = q.value(QStringLiteral("group"));
    if (group.size() == 1 && QStringLiteral("JIKL").contains(group)) {
        l.select += QStringLiteral(" AND m.Pointer LIKE ?");
        l.params << data::likePrefix(group);
        page.paperLines << QStringLiteral("กลุ่ม %1").arg(group);
    }
    const QString dept = q.value(QStringLiteral("dept"));
    const Options faculties = codeOptions(
        c,
        QStringLiteral(
            "SELECT Department_Code AS code, Department_Thai_Des AS name FROM department ORDER BY Department_Code"),
        QStringLiteral("ทุกคณะ"));
    if (!dept.isEmpty()) {
        l.select += QStringLiteral(" AND m.department_code = ?");
        l.params << dept;
        for (const auto& [code, name] : faculties)
            if (code == dept)
                page.paperLines << name;
    }
    l.columns = {{QStringLiteral("รหัส"), QStringLiteral("code")},
                 {QStringLiteral("ชื่อวารสาร"), QStringLiteral("name")},
                 {QStringLiteral("ISSN"), QStringLiteral("issn")},
                 {QStringLiteral("กำหนดออก"), QStringLiteral("freq")},
                 {QStringLiteral("คณะ/หน่วยงาน"), QStringLiteral("dept")},
                 {QStringLiteral("ฉบับล่าสุด"), QStringLiteral("latest_no")},
                 {QStringLiteral("วันที่ฉบับล่าสุด"), QStringLiteral("latest")}};
    l.key = QStringLiteral("code");
    l.defaultSort = 1;
    // Counted from an index of the received titles alone: the list's joins are on the code
    // tables' keys and add no rows.
    const data::Result byGroup =
        c.query(QStringLiteral("SELECT LEFT(m.Pointer, 1) AS name, COUNT(*) AS n FROM magazine m "
                               "WHERE m.Receive_Code = '1' GROUP BY name ORDER BY name"));
    if (dept.isEmpty()) // the titles the table below counts, of the group chosen
        l.total = sumOf(byGroup, [&](const QString& g) { return l.params.isEmpty() || g == group; });
    page.intro = form(path, selectField(QStringLiteral("group"), QStringLiteral("กลุ่ม"), q, groupOptions) +
                                selectField(QStringLiteral("dept"), QStringLiteral("คณะ/หน่วยงาน"), q, faculties)) +
                 countTable(QStringLiteral("กลุ่ม"), QStringLiteral("จำนวนชื่อเรื่อง"), byGroup);
    page.list = l;
    return page;
}

// 2. The same titles by faculty, each faculty a group with its count.
Page titlesByDepartment(data::Connection& c, const Query&) {
    Page page = titled(reports::WebPage::TitlesByFaculty);
    Listing l;
    // Faculties in the order of their codes, so the list is read in the order of an index.
    l.select = QStringLiteral("SELECT COALESCE(d.Department_Thai_Des, '') AS dept, m.Pointer AS code, "
                              "m.Magazine_Name AS name, m.ISSN AS issn, f.MagType_Thai_Des AS freq, "
                              "m.department_code AS dept_code ") +
               receivedTitles;
    l.columns = {{QStringLiteral("คณะ/หน่วยงาน"), QStringLiteral("dept_code")},
                 {QStringLiteral("รหัส"), QStringLiteral("code")},
                 {QStringLiteral("ชื่อวารสาร"), QStringLiteral("name")},
                 {QStringLiteral("ISSN"), QStringLiteral("issn")},
                 {QStringLiteral("กำหนดออก"), QStringLiteral("freq")}};
    l.key = QStringLiteral("code");
    l.defaultSort = 2;
    l.groupBy = 0;
    // Counted by the faculty's code first, from an index of the received titles (20,000 titles
    // grouped by a short code), then the few faculties by name.
    const data::Result perFaculty = c.query(QStringLiteral(
        "SELECT d.Department_Thai_Des AS name, SUM(g.n) AS n FROM (SELECT m.department_code, COUNT(*) AS n "
        "FROM magazine m WHERE m.Receive_Code = '1' GROUP BY m.department_code) AS g "
        "LEFT JOIN department d ON d.Department_Code = g.department_code GROUP BY name ORDER BY name"));
    page.intro = countTable(QStringLiteral("คณะ/หน่วยงาน"), QStringLiteral("จำนวนชื่อเรื่อง"), perFaculty);
    l.total = sumOf(perFaculty);
    page.list = l;
    return page;
}

// The period pages: a form, the per-day counts, the list per title.
Page periodPage(reports::WebPage listed, const Query& q, const std::function<void(const Period&, Page&)>& fill) {
    Page page = titled(listed);
    const Period p = periodOf(q);
    page.intro = form(reports::webPage(listed).path, periodFields(q, p));
    if (!p.error.isEmpty())
        page.intro += errorBox(p.error);
    else
        fill(p, page);
    page.paperLines << QStringLiteral("ระหว่างวันที่ %1 ถึง %2").arg(data::formatDate(p.from), data::formatDate(p.to));
    return page;
}

// The per-day counts of one period's records, then their list per title: `records` names the
// records' table as `t` with its title column `pointer`, `day` their day and `within` the
// period's condition on them (its values `params`). The titles are walked in the page's order
// and each asked for its records, so a page of 50 reads 50 titles' records, not the period's.
// `mostTitles`: records most titles have in a period (issues), rather than a few titles (articles).
void perDayAndTitle(data::Connection& c, Page& page, const QString& dayCaption, const QString& what,
                    const QString& records, const QString& day, const QString& within, const data::Params& params,
                    bool mostTitles) {
    const data::Result perDay =
        c.query(QStringLiteral("SELECT %1 AS name, COUNT(*) AS n FROM %2 WHERE %3 GROUP BY name ORDER BY name")
                    .arg(day, records, within),
                params);
    page.intro +=
        QStringLiteral("<h2>รายวัน</h2>") + countTable(dayCaption, what, perDay) + QStringLiteral("<h2>รายชื่อเรื่อง</h2>");
    const QString ofTitle = QStringLiteral("FROM %1 WHERE t.pointer = m.Pointer AND %2").arg(records, within);
    Listing l;
    // "(SELECT 1 … LIMIT 1)" rather than EXISTS, which the server would answer by gathering the
    // whole period's titles first.
    l.select = QStringLiteral("SELECT m.Pointer AS code, m.Magazine_Name AS name, (SELECT COUNT(*) %1) AS n, "
                              "(SELECT MIN(%2) %1) AS first, (SELECT MAX(%2) %1) AS last FROM magazine m "
                              "WHERE (SELECT 1 %1 LIMIT 1) = 1")
                   .arg(ofTitle, day);
    l.params = params + params + params + params;
    // The titles with records in the period (those the register holds, as the list has them),
    // counted as far as the pager goes: a month of registrations holds 100,000 records. Where
    // most titles have records, each title is asked, as for the list, and the pager's few
    // hundred are soon found: the server answered the join of the records with the titles, under
    // load and for most runs of the kept statement, by walking a whole index of the issues
    // (0.1-1 s rather than 10 ms). The few titles with articles are found from the articles:
    // asking 200,000 titles for them costs more.
    l.counted = mostTitles
                    ? QStringLiteral("SELECT m.Pointer FROM magazine m WHERE (SELECT 1 %1 LIMIT 1) = 1").arg(ofTitle)
                    : QStringLiteral("SELECT DISTINCT m.Pointer FROM %1 JOIN magazine m ON m.Pointer = t.pointer "
                                     "WHERE %2")
                          .arg(records, within);
    l.countedParams = params;
    l.countAsFarAsShown = true;
    l.columns = {{QStringLiteral("รหัส"), QStringLiteral("code")},
                 {QStringLiteral("ชื่อวารสาร"), QStringLiteral("name")},
                 {what, QStringLiteral("n"), true},
                 {QStringLiteral("วันแรก"), QStringLiteral("first")},
                 {QStringLiteral("วันสุดท้าย"), QStringLiteral("last")}};
    l.key = QStringLiteral("code");
    l.defaultSort = 1;
    page.list = l;
}

// 3. Issues registered in a period.
Page registrations(data::Connection& c, const Query& q) {
    return periodPage(reports::WebPage::Registrations, q, [&](const Period& p, Page& page) {
        perDayAndTitle(c, page, QStringLiteral("วันที่ลงทะเบียน"), QStringLiteral("จำนวนฉบับ"), QStringLiteral("tranfile t"),
                       QStringLiteral("t.indate"), QStringLiteral("t.indate BETWEEN ? AND ?"), {p.from, p.to}, true);
    });
}

// 4. Volumes sent for binding: a volume counts in the period its last issue was registered in.
// The volumes are worked out once, here, from their issues (the server's grouping, with each
// volume's issues joined into one text in order, cost three times the reading), and the
// per-title counts and the list are read from that one result, handed back as a table.
Page bindings(data::Connection& c, const Query& q) {
    return periodPage(reports::WebPage::BoundVolumes, q, [&](const Period& p, Page& page) {
        // A volume and title by their own rows' keys, so that a code another program typed in
        // another case still falls in its volume, as the server's join puts it there.
        struct Issue {
            QDate day;
            QString number, shown;
        };
        struct Volume {
            QList<Issue> issues;
            QDate last;
        };
        QHash<QPair<QString, QString>, Volume> ofVolume;
        c.eachRow(QStringLiteral("SELECT s.regno, m.Pointer, t.indate, t.daily, t.magno, "
                                 "CONCAT_WS('/', t.yearno, t.itemsno) FROM (SELECT DISTINCT v.regno FROM tranfile v "
                                 "WHERE v.indate BETWEEN ? AND ? AND v.regno <> '') AS r "
                                 "JOIN sum_journal s ON s.regno = r.regno JOIN tranfile t ON t.regno = s.regno "
                                 "JOIN magazine m ON m.Pointer = t.pointer"),
                  {p.from, p.to}, [&](const data::Cells& row) {
                      Volume& v = ofVolume[{row.text(0), row.text(1)}];
                      v.issues.append({row.value(3).toDate(), row.text(4), row.text(5)});
                      if (const QDate d = row.value(2).toDate(); d.isValid() && (!v.last.isValid() || d > v.last))
                          v.last = d;
                  });
        QJsonArray volumes;
        for (auto it = ofVolume.begin(); it != ofVolume.end(); ++it) {
            Volume& v = it.value();
            if (!v.last.isValid() || v.last < p.from || v.last > p.to)
                continue;
            // By day, a day not given first; one day's issues by their number.
            std::sort(v.issues.begin(), v.issues.end(), [](const Issue& a, const Issue& b) {
                if (a.day != b.day)
                    return !a.day.isValid() || (b.day.isValid() && a.day < b.day);
                return a.number < b.number;
            });
            QStringList shown;
            for (const Issue& i : v.issues)
                shown << i.shown;
            volumes.append(QJsonArray{it.key().first, it.key().second, int(v.issues.size()),
                                      shown.join(QStringLiteral(", ")), v.last.toString(Qt::ISODate)});
        }
        const QString volumeTable =
            QStringLiteral("JSON_TABLE(?, '$[*]' COLUMNS (regno VARCHAR(20) %1 PATH '$[0]', pointer VARCHAR(10) %1 "
                           "PATH '$[1]', n INT PATH '$[2]', issues LONGTEXT %1 PATH '$[3]', last DATE PATH '$[4]')) "
                           "AS v JOIN sum_journal s ON s.regno = v.regno JOIN magazine m ON m.Pointer = v.pointer")
                .arg(QStringLiteral("CHARACTER SET utf8mb4 COLLATE utf8mb4_thai_520_w2"));
        const data::Params params{QString::fromUtf8(QJsonDocument(volumes).toJson(QJsonDocument::Compact))};
        const data::Result perTitle =
            c.query(QStringLiteral("SELECT m.Magazine_Name AS name, COUNT(*) AS n FROM %1 GROUP BY name ORDER BY name")
                        .arg(volumeTable),
                    params);
        page.intro += countTable(QStringLiteral("ชื่อวารสาร"), QStringLiteral("จำนวนเล่ม"), perTitle);
        Listing l;
        l.total = volumes.size();
        l.select = QStringLiteral("SELECT v.regno AS regno, s.callno AS callno, m.Magazine_Name AS name, v.n AS n, "
                                  "v.issues AS issues, v.last AS last FROM %1")
                       .arg(volumeTable);
        l.params = params;
        l.columns = {{QStringLiteral("เลขทะเบียนเล่ม"), QStringLiteral("regno")},
                     {QStringLiteral("เลขเรียก"), QStringLiteral("callno")},
                     {QStringLiteral("ชื่อวารสาร"), QStringLiteral("name")},
                     {QStringLiteral("จำนวนฉบับ"), QStringLiteral("n"), true},
                     {QStringLiteral("ฉบับ (ปีที่/ฉบับที่)"), QStringLiteral("issues")},
                     {QStringLiteral("ลงทะเบียนฉบับสุดท้าย"), QStringLiteral("last")}};
        l.key = QStringLiteral("regno");
        l.defaultSort = 2;
        page.list = l;
    });
}

// 5. Articles indexed in a period.
Page indexEntries(data::Connection& c, const Query& q) {
    return periodPage(reports::WebPage::IndexEntries, q, [&](const Period& p, Page& page) {
        perDayAndTitle(c, page, QStringLiteral("วันที่บันทึก"), QStringLiteral("จำนวนบทความ"), QStringLiteral("article t"),
                       QStringLiteral("DATE(t.keydate)"), QStringLiteral("t.keydate >= ? AND t.keydate < ?"),
                       {QDateTime(p.from, QTime(0, 0)), QDateTime(p.to.addDays(1), QTime(0, 0))}, false);
    });
}

// 6. One title's issues as received, newest first: the check-in record of a title, found by
// its code or ISSN, or chosen from the titles whose name begins with what was typed.
Page titleIssues(data::Connection& c, const Query& q) {
    const QString path = reports::webPage(reports::WebPage::TitleIssues).path;
    Page page = titled(reports::WebPage::TitleIssues);
    const QString typed = q.value(QStringLiteral("title")).trimmed();
    page.intro = form(path, textField(QStringLiteral("title"), QStringLiteral("รหัส ISSN หรือชื่อวารสาร"), typed,
                                      QStringLiteral("เช่น J000001"), true));
    if (typed.isEmpty())
        return page;
    const data::Result found = titlesTyped(c, typed);
    if (found.rowCount() != 1) {
        QString links;
        for (int i = 0; i < found.rowCount(); ++i) {
            const QString pointer = found.text(i, QStringLiteral("Pointer"));
            links += QStringLiteral("<li><a href=\"%1\">%2</a> %3</li>")
                         .arg(esc(linkTo(path, {}, {{QStringLiteral("title"), pointer}})), esc(pointer),
                              esc(found.text(i, QStringLiteral("Magazine_Name"))));
        }
        page.intro += links.isEmpty() ? errorBox(QStringLiteral("ไม่พบวารสาร \"%1\"").arg(typed))
                                      : QStringLiteral("<ul class=\"menu\">%1</ul>\n").arg(links);
        return page;
    }
    const QString code = found.text(0, QStringLiteral("Pointer")),
                  name = found.text(0, QStringLiteral("Magazine_Name"));
    page.paperLines << QStringLiteral("%1  %2").arg(code, name)
                    << QStringLiteral("ISSN %1").arg(found.text(0, QStringLiteral("ISSN")));
    page.intro += QStringLiteral("<h2>%1 %2</h2>\n").arg(esc(code), esc(name));
    page.intro += QStringLiteral("<p><a href=\"%1\">รับแจ้งทางอีเมลเมื่อฉบับใหม่มาถึง</a></p>\n")
                      .arg(esc(linkTo(followPath, {}, {{QStringLiteral("title"), code}})));
    if (const QString held = records::HoldingsStore::summary(c, code); !held.isEmpty()) {
        page.intro += QStringLiteral("<p class=\"holdings\">ฉบับที่ห้องสมุดมี: %1</p>\n").arg(esc(held));
        // On paper a long statement goes on over lines, broken between its parts, rather than
        // being narrowed to one line.
        QString line = QStringLiteral("ฉบับที่ห้องสมุดมี:");
        for (const QString& part : held.split(QRegularExpression(QStringLiteral("(?<=[;,]) ")))) {
            if (line.size() + part.size() > 80) {
                page.paperLines << line;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + part;
        }
        page.paperLines << line;
    }
    // The issue expected next, by the title's publication pattern, as check-in expects it.
    if (const auto next = receipt::expectedNext(c, code); next && !receipt::expectedText(*next).isEmpty()) {
        const QString line = QStringLiteral("ฉบับถัดไปที่คาดว่าจะได้รับ: %1").arg(receipt::expectedText(*next));
        page.intro += QStringLiteral("<p class=\"expected\">%1</p>\n").arg(esc(line));
        page.paperLines << line;
    }
    Listing l;
    l.select = QStringLiteral("SELECT t.magno AS magno, t.daily AS daily, t.yearno AS yearno, t.itemsno AS itemsno, "
                              "t.DescriptionItem AS descr, t.indate AS indate, t.regno AS regno FROM tranfile t "
                              "WHERE t.pointer = ?");
    l.params = {code};
    l.columns = {{QStringLiteral("เลขทะเบียน"), QStringLiteral("magno")},
                 {QStringLiteral("ประจำวันที่"), QStringLiteral("daily")},
                 {QStringLiteral("ปีที่"), QStringLiteral("yearno")},
                 {QStringLiteral("ฉบับที่"), QStringLiteral("itemsno")},
                 {QStringLiteral("คำอธิบาย"), QStringLiteral("descr")},
                 {QStringLiteral("วันที่รับ"), QStringLiteral("indate")},
                 {QStringLiteral("เลขทะเบียนรวมเล่ม"), QStringLiteral("regno")}};
    l.key = QStringLiteral("magno");
    l.defaultSort = 1;
    l.defaultDescending = true;
    l.emptyText = QStringLiteral("ยังไม่มีฉบับที่ลงทะเบียน");
    page.list = l;
    return page;
}

// 7. The publishers and distributors with their addresses, for letters and claims.
Page publishers(data::Connection&, const Query& q) {
    const QString path = reports::webPage(reports::WebPage::Publishers).path;
    Page page = titled(reports::WebPage::Publishers);
    const QString typed = q.value(QStringLiteral("q")).trimmed();
    page.intro = form(path, textField(QStringLiteral("q"), QStringLiteral("ชื่อขึ้นต้นด้วย"), typed));
    Listing l;
    l.select = QStringLiteral("SELECT d.Publisher_Code AS code, d.Publisher_Name AS name, d.Address1 AS address1, "
                              "d.Address2 AS address2, d.Telephone AS phone, d.Contact AS contact FROM dealer d");
    if (!typed.isEmpty()) {
        l.select += QStringLiteral(" WHERE d.Publisher_Name LIKE ?");
        l.params = {data::likePrefix(typed)};
        page.paperLines << QStringLiteral("ชื่อขึ้นต้นด้วย %1").arg(typed);
    }
    l.columns = {
        {QStringLiteral("รหัส"), QStringLiteral("code")},       {QStringLiteral("ชื่อ"), QStringLiteral("name")},
        {QStringLiteral("ที่อยู่ 1"), QStringLiteral("address1")}, {QStringLiteral("ที่อยู่ 2"), QStringLiteral("address2")},
        {QStringLiteral("โทรศัพท์"), QStringLiteral("phone")},   {QStringLiteral("ผู้ติดต่อ"), QStringLiteral("contact")}};
    l.key = QStringLiteral("code");
    l.defaultSort = 1;
    page.list = l;
    return page;
}

// The claims of the issues expected in a period: the figures of each distributor, its name the
// way to its own page, and the claims one by one (one distributor's on its page).
Page claims(data::Connection& c, const Query& q) {
    const QString path = reports::webPage(reports::WebPage::Claims).path;
    return periodPage(reports::WebPage::Claims, q, [&](const Period& p, Page& page) {
        const QString one = q.value(QStringLiteral("distributor")).trimmed();
        QString table = QStringLiteral("<div class=\"wrap\"><table class=\"summary\"><tr><th>ผู้จัดจำหน่าย</th><th>ทวงถาม</th><th>ส่งแล้ว</th>"
                                       "<th>ตอบแล้ว</th><th>ได้รับหลังทวงถาม</th><th>วันจนได้รับ (เฉลี่ย)</th>"
                                       "<th>ยังไม่ได้รับ</th><th>ทวงครบ 3 ครั้งไม่ตอบ</th></tr>");
        for (const receipt::Claims::Figures& f : receipt::Claims::figures(c, p.from, p.to)) {
            if (!one.isEmpty() && f.distributor.trimmed() != one)
                continue;
            table += QStringLiteral("<tr><td><a href=\"%1\">%2</a></td>")
                         .arg(esc(linkTo(path, q, {{QStringLiteral("distributor"), f.distributor.trimmed()},
                                                   {QStringLiteral("page"), QString()}})),
                              esc(f.name));
            for (int n : {f.claims, f.sent, f.answered, f.received})
                table += QStringLiteral("<td class=\"n\">%1</td>").arg(n);
            table += QStringLiteral("<td class=\"n\">%1</td><td class=\"n\">%2</td><td class=\"n\">%3</td></tr>")
                         .arg(f.days ? QString::number(*f.days, 'f', 1) : QStringLiteral("-"))
                         .arg(f.never)
                         .arg(f.silent);
        }
        page.intro += table + QStringLiteral("</table></div>");
        if (!one.isEmpty())
            page.intro += QStringLiteral("<p><a href=\"%1\">ทุกผู้จัดจำหน่าย</a></p>")
                              .arg(esc(linkTo(path, q, {{QStringLiteral("distributor"), QString()},
                                                       {QStringLiteral("page"), QString()}})));
        page.intro += QStringLiteral("<h2>รายการทวงถาม</h2>");
        Listing l;
        l.select = receipt::Claims::claimsListSql(!one.isEmpty());
        l.params = {p.from, p.to};
        if (!one.isEmpty()) {
            l.params << one;
            page.paperLines << QStringLiteral("ผู้จัดจำหน่ายรหัส %1").arg(one);
        }
        l.columns = {{QStringLiteral("ชื่อวารสาร"), QStringLiteral("name")},
                     {QStringLiteral("ฉบับวันที่"), QStringLiteral("expected")},
                     {QStringLiteral("ครั้งที่"), QStringLiteral("claim_no"), true},
                     {QStringLiteral("ทวงถามเมื่อ"), QStringLiteral("claimed_at")},
                     {QStringLiteral("คำตอบ"), QStringLiteral("answer")},
                     {QStringLiteral("ได้รับเมื่อ"), QStringLiteral("arrival")}};
        l.key = QStringLiteral("claim_id");
        l.defaultSort = 1;
        page.list = l;
    });
}

// The article search shared by the two search pages. Text is matched as typed ("%" and "_"
// are letters), from the start of a word's text or anywhere in it, in the database's Thai
// collation.
const Options searchFields = {{QStringLiteral("title"), QStringLiteral("ชื่อบทความ")},
                              {QStringLiteral("author"), QStringLiteral("ผู้แต่ง (ชื่อจริงและนามแฝง)")},
                              {QStringLiteral("subject"), QStringLiteral("หัวเรื่อง")},
                              {QStringLiteral("journal"), QStringLiteral("ชื่อวารสาร")}};
const Options searchModes = {{QStringLiteral("begins"), QStringLiteral("ขึ้นต้นด้วย")},
                             {QStringLiteral("contains"), QStringLiteral("มีคำนี้อยู่")}};

enum ArticleColumn { No, Title, Journal, YearNo, Number, IssueText, Pages, Abstract, Authors, Subjects, Year, Columns };

// The search's select list, each column set at its own place by name: the one definition the
// statement is made from and the rows are read by.
QString articleSelectList() {
    std::array<QString, Columns> at;
    at[No] = QStringLiteral("a.article_no");
    at[Title] = QStringLiteral("a.Article_Name AS title");
    at[Journal] = QStringLiteral("k.journal AS journal"); // as the page's articles were chosen with it
    at[YearNo] = QStringLiteral("a.year AS yearno");
    at[Number] = QStringLiteral("a.volume AS number");
    at[IssueText] = QStringLiteral("a.month");
    at[Pages] = QStringLiteral("a.pages");
    at[Abstract] = QStringLiteral("a.abstract");
    at[Authors] = QStringLiteral("(SELECT GROUP_CONCAT(n.penname ORDER BY f.seqno SEPARATOR '\x1f') FROM mauthfile f "
                                 "JOIN authname n ON n.idno = f.idno WHERE f.article_no = a.article_no) AS authors");
    at[Subjects] = QStringLiteral("(SELECT GROUP_CONCAT(s.subject ORDER BY s.seqno SEPARATOR '; ') FROM msubject s "
                                  "WHERE s.article_no = a.article_no) AS subjects");
    at[Year] = QStringLiteral("(SELECT YEAR(MIN(t.daily)) FROM tranfile t WHERE t.pointer = a.pointer "
                              "AND t.yearno = a.year AND t.itemsno = a.volume) AS pubyear");
    return QStringList(at.cbegin(), at.cend()).join(QStringLiteral(", "));
}

// An article's authors in order (kept apart by a character no name holds: names have commas).
QStringList authorsOf(const QVariantList& row) {
    return row.at(Authors).toString().split(QChar(0x1f), Qt::SkipEmptyParts);
}

Citation citationOf(const QVariantList& row) {
    Citation c;
    c.authors = authorsOf(row);
    c.title = row.at(Title).toString();
    c.journal = row.at(Journal).toString();
    c.yearNo = row.at(YearNo).toString().trimmed();
    c.number = row.at(Number).toString().trimmed();
    c.pages = row.at(Pages).toString().trimmed();
    c.year = row.at(Year).toInt();
    return c;
}

Page search(data::Connection& c, const Query& q, bool references) {
    const QString path = reports::webPage(references ? reports::WebPage::References : reports::WebPage::Search).path;
    Page page{reports::webPage(references ? reports::WebPage::References : reports::WebPage::Search).caption,
              {},
              {},
              QStringLiteral("articles.csv")};
    const QString text = q.value(QStringLiteral("q")).trimmed();
    const QString field = q.value(QStringLiteral("field"), QStringLiteral("title"));
    const bool anywhere = q.value(QStringLiteral("how")) == QLatin1String("contains");
    const bool english = q.value(QStringLiteral("style")) == QLatin1String("en");
    // The visitor comes to type: the search text has the focus.
    QString fields =
        textField(QStringLiteral("q"), QStringLiteral("คำค้น"), text, QStringLiteral("พิมพ์คำที่ต้องการค้น"), true) +
        selectField(QStringLiteral("field"), QStringLiteral("ค้นจาก"), q, searchFields) +
        selectField(QStringLiteral("how"), QStringLiteral("วิธีค้น"), q, searchModes);
    if (references)
        fields += selectField(
            QStringLiteral("style"), QStringLiteral("รูปแบบ"), q,
            {{QStringLiteral("th"), QStringLiteral("ภาษาไทย")}, {QStringLiteral("en"), QStringLiteral("English")}});
    page.intro = form(path, fields);
    if (text.isEmpty())
        return page;

    const QString pattern = anywhere ? data::likeContains(text) : data::likePrefix(text);
    Listing l;
    QString where;
    if (field == QLatin1String("author")) {
        // A pen name finds the articles under the author's true name and every other pen name.
        const QString roots =
            QStringLiteral("SELECT COALESCE(NULLIF(p.trueidno, ''), p.idno) FROM authname p WHERE p.penname LIKE ?");
        where = QStringLiteral("a.article_no IN (SELECT f.article_no FROM mauthfile f WHERE f.idno IN "
                               "(SELECT n.idno FROM authname n WHERE n.idno IN (%1) OR n.trueidno IN (%1)))")
                    .arg(roots);
        l.params = {pattern, pattern};
    } else if (field == QLatin1String("subject")) {
        where = QStringLiteral("a.article_no IN (SELECT s.article_no FROM msubject s WHERE s.subject LIKE ?)");
        l.params = {pattern};
    } else if (field == QLatin1String("journal")) {
        where = QStringLiteral("a.pointer IN (SELECT j.Pointer FROM magazine j WHERE j.Magazine_Name LIKE ?)");
        l.params = {pattern};
    } else if (anywhere) {
        // Tried only on the titles holding the text's rarest piece.
        const data::Condition holds = data::containsText(c, data::articleTitles, text, QStringLiteral("a"));
        where = holds.sql;
        l.params = holds.values;
    } else {
        where = QStringLiteral("a.Article_Name LIKE ?");
        l.params = {pattern};
    }
    // The page's articles are chosen by their keys and sort columns alone; only those are then
    // read whole (abstract, authors, subjects), and the matches are counted without the joins.
    l.select = QStringLiteral("SELECT a.article_no, a.Article_Name AS title, (SELECT j.Magazine_Name FROM magazine j "
                              "WHERE j.Pointer = a.pointer) AS journal, a.year AS yearno, a.volume AS number "
                              "FROM article a WHERE ") +
               where;
    l.counted = QStringLiteral("SELECT a.article_no FROM article a WHERE ") + where;
    l.countedParams = l.params;
    l.countAsFarAsShown = anywhere; // a text anywhere in the titles is looked for in every one
    l.rowsOfKeys = QStringLiteral("SELECT %1 FROM (%2) AS k JOIN article a ON a.article_no = k.article_no")
                       .arg(articleSelectList(), QStringLiteral("%1"));
    l.columns = {{QStringLiteral("เลขที่"), QStringLiteral("article_no")},
                 {QStringLiteral("ชื่อบทความ"), QStringLiteral("title")},
                 {QStringLiteral("ชื่อวารสาร"), QStringLiteral("journal")},
                 {QStringLiteral("ปีที่"), QStringLiteral("yearno")},
                 {QStringLiteral("ฉบับที่"), QStringLiteral("number")}};
    l.key = QStringLiteral("a.article_no");
    l.defaultSort = 1;
    l.defaultPerPage = 20;
    l.emptyText = QStringLiteral("ไม่พบบทความที่ตรงกับคำค้น");
    l.rowHtml = [references, english](const QVariantList& row) {
        const QString meta =
            QStringLiteral("%1 · ปีที่ %2 ฉบับที่ %3 %4 · หน้า %5")
                .arg(esc(row.at(Journal).toString()), esc(row.at(YearNo).toString()), esc(row.at(Number).toString()),
                     esc(row.at(IssueText).toString()), esc(row.at(Pages).toString()));
        if (references)
            return QStringLiteral("<li><textarea readonly rows=\"2\">%1</textarea></li>\n")
                .arg(esc(reference(citationOf(row), english)));
        QString html =
            QStringLiteral("<li><b>%1</b><div class=\"meta\">%2</div>").arg(esc(row.at(Title).toString()), meta);
        if (!row.at(Authors).toString().isEmpty())
            html += QStringLiteral("<div>ผู้แต่ง: %1</div>").arg(esc(authorsOf(row).join(QStringLiteral("; "))));
        if (!row.at(Subjects).toString().isEmpty())
            html += QStringLiteral("<div>หัวเรื่อง: %1</div>").arg(esc(row.at(Subjects).toString()));
        if (!row.at(Abstract).toString().trimmed().isEmpty())
            html += QStringLiteral("<p class=\"abs\">%1</p>").arg(esc(row.at(Abstract).toString()));
        return html + QStringLiteral("</li>\n");
    };
    l.csvHeader = references
                      ? QStringList{QStringLiteral("เลขที่"), QStringLiteral("บรรณานุกรม")}
                      : QStringList{QStringLiteral("เลขที่"),  QStringLiteral("ชื่อบทความ"), QStringLiteral("ชื่อวารสาร"),
                                    QStringLiteral("ปีที่"),    QStringLiteral("ฉบับที่"),     QStringLiteral("เดือน/ปี"),
                                    QStringLiteral("หน้า"),   QStringLiteral("ผู้แต่ง"),     QStringLiteral("หัวเรื่อง"),
                                    QStringLiteral("บทคัดย่อ")};
    if (references)
        l.csvRow = [english](const QVariantList& row) {
            return QStringList{row.at(No).toString(), reference(citationOf(row), english)};
        };
    else
        l.csvRow = [](const QVariantList& row) {
            QStringList out;
            for (int col : {No, Title, Journal, YearNo, Number, IssueText, Pages, Authors, Subjects, Abstract})
                out << (col == Authors ? authorsOf(row).join(QStringLiteral("; ")) : row.at(col).toString());
            return out;
        };
    page.list = l;
    return page;
}

// A chart as the server draws it, its numbers in a table beneath.
QString chartHtml(const reports::Chart& chart) {
    QString html = QStringLiteral("<section class=\"chart\"><h2>%1</h2><div class=\"wrap\">%2</div><div class=\"wrap\"><table class=\"summary\"><tr><th>%3</th>")
                       .arg(esc(chart.title), QString::fromUtf8(reports::svg(chart)), esc(chart.categoryCaption));
    for (const QString& s : chart.series)
        html += QStringLiteral("<th>%1</th>").arg(esc(s));
    html += QStringLiteral("</tr>");
    for (const QStringList& row : reports::tableRows(chart)) {
        html += QStringLiteral("<tr><td>%1</td>").arg(esc(row.first()));
        for (qsizetype i = 1; i < row.size(); ++i)
            html += QStringLiteral("<td class=\"n\">%1</td>").arg(esc(row.at(i)));
        html += QStringLiteral("</tr>");
    }
    if (chart.categories.isEmpty())
        html += QStringLiteral("<tr><td colspan=\"%1\">ไม่มีข้อมูล</td></tr>").arg(chart.series.size() + 1);
    return html + QStringLiteral("</table></div></section>\n");
}

const QString chartStyle = QStringLiteral("<style>svg.chart{display:block;width:100%;min-width:560px;max-width:760px;height:auto;"
                                          "margin:8px 0}section.chart{break-inside:avoid}</style>");

// The year in pictures, each chart with its numbers; all of them as one CSV.
Page statistics(data::Connection& c, const Query&) {
    const QDate today = QDate::currentDate();
    const QList<reports::Chart> charts = desk::statistics(c, today);
    const QString path = reports::webPage(reports::WebPage::Statistics).path;
    QString html = chartStyle + QStringLiteral("<p>ณ วันที่ %1 · <a href=\"/%2?format=csv\">ตัวเลขทั้งหมด (CSV)</a></p>")
                                    .arg(esc(receipt::thaiDateText(today)), esc(path));
    QList<QStringList> rows;
    for (const reports::Chart& chart : charts) {
        html += chartHtml(chart);
        rows += reports::longRows(chart);
    }
    Page page{reports::webPage(reports::WebPage::Statistics).caption, html, {}, QStringLiteral("statistics.csv")};
    page.csv = reports::csvBytes(reports::longHeader(), rows);
    return page;
}

Page home(data::Connection&, const Query&);

} // namespace

const QList<PageDef>& pages() {
    using P = reports::WebPage;
    using Build = std::function<Page(data::Connection&, const Query&)>;
    static const QHash<P, Build> builders = {
        {P::Home, home},
        {P::AllTitles, allTitles},
        {P::TitlesByFaculty, titlesByDepartment},
        {P::Registrations, registrations},
        {P::BoundVolumes, bindings},
        {P::IndexEntries, indexEntries},
        {P::TitleIssues, titleIssues},
        {P::Publishers, publishers},
        {P::Claims, claims},
        {P::Statistics, statistics},
        {P::Search, [](data::Connection& c, const Query& q) { return search(c, q, false); }},
        {P::References, [](data::Connection& c, const Query& q) { return search(c, q, true); }},
    };
    static const QList<PageDef> all = [] {
        QList<PageDef> out;
        for (const reports::WebPageInfo& p : reports::webPages())
            out.append({p.path, p.caption, builders.value(p.page), p.page != P::Claims});
        return out;
    }();
    return all;
}

namespace {

Page home(data::Connection& c, const Query&) {
    QString list = QStringLiteral("<ul class=\"menu\">");
    for (const PageDef& p : pages())
        if (!p.path.isEmpty())
            list += QStringLiteral("<li><a href=\"/%1\">%2</a></li>").arg(esc(p.path), esc(p.caption));
    // The way in stays open when the database is not: the menu without its chart.
    QString chart;
    try {
        chart = chartStyle + chartHtml(desk::arrivals(c, QDate::currentDate()));
    } catch (const data::DbError& e) {
        std::fprintf(stderr, "warasan-web: the index page's chart: %s\n", qPrintable(e.describe()));
        chart = QStringLiteral("<p>อ่านสถิติการรับวารสารไม่ได้ในขณะนี้</p>");
    }
    return {reports::webPage(reports::WebPage::Home).caption, list + QStringLiteral("</ul>\n") + chart, {}, {}};
}

} // namespace

} // namespace web
