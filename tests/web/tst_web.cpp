// The intranet report server against generated data: pages loaded in a real browser
// (headless Chromium), their rows held against SQL, the searches against the server's own
// LIKE, stored markup shown as text, and the program's menu answered.
#include "alerts/Alerts.h"
#include "app/MenuTable.h"
#include "app/menumagizine.h"
#include "data/Dates.h"
#include "datagen/DataGenerator.h"
#include "support/Saves.h"
#include "support/Suite.h"
#include "web/Listing.h"
#include "web/WebServer.h"

#include <httplib.h>

#include <thread>

namespace {

const QString script = u"<script>alert('x')</script> วารสาร"_s;

QString unescaped(QString s) {
    s.remove(QRegularExpression(u"<[^>]*>"_s));
    return s.replace(u"&lt;"_s, u"<"_s)
        .replace(u"&gt;"_s, u">"_s)
        .replace(u"&quot;"_s, u"\""_s)
        .replace(u"&#39;"_s, u"'"_s)
        .replace(u"&nbsp;"_s, u" "_s)
        .replace(u"&amp;"_s, u"&"_s);
}

// The text of each body row's cells, as the browser built them.
QList<QStringList> tableRows(const QString& dom) {
    QList<QStringList> rows;
    const QString body = dom.section(u"<tbody>"_s, -1).section(u"</tbody>"_s, 0, 0);
    static const QRegularExpression row(u"<tr>(.*?)</tr>"_s), cell(u"<td[^>]*>(.*?)</td>"_s);
    for (const auto& r : row.globalMatch(body)) {
        QStringList cells;
        for (const auto& c : cell.globalMatch(r.captured(1)))
            cells << unescaped(c.captured(1));
        rows << cells;
    }
    return rows;
}

QStringList column(const data::Result& r) {
    QStringList out;
    for (const auto& row : r.rows)
        out << row.at(0).toString();
    return out;
}

} // namespace

class tst_web : public testsupport::DatabaseTest {
    Q_OBJECT
    std::unique_ptr<web::WebServer> server;
    std::thread serving;
    QDir shots{QDir::currentPath() + u"/web-shots"_s}; // kept for people to look at
    QStringList console;                                // what the last page said on the browser's console

    QString url(const QString& path, const web::Query& q = {}) {
        return u"http://127.0.0.1:%1"_s.arg(server->port()) + web::linkTo(path, q, {});
    }
    httplib::Result get(const QString& path, const web::Query& q = {}) {
        httplib::Client client("127.0.0.1", server->port());
        return client.Get(web::linkTo(path, q, {}).toStdString());
    }
    QString browse(const QString& path, const web::Query& q = {}, const QString& shot = {}) {
        QStringList args = {u"--headless=new"_s, u"--no-sandbox"_s,           u"--disable-gpu"_s,
                            u"--hide-scrollbars"_s, u"--enable-logging=stderr"_s, u"--v=0"_s};
        if (!shot.isEmpty())
            args << u"--window-size=1024,768"_s << u"--screenshot="_s + shots.filePath(shot);
        else
            args << u"--dump-dom"_s;
        QProcess p;
        p.start(u"chromium"_s, args << url(path, q));
        if (!p.waitForFinished(60000))
            qFatal("chromium did not finish");
        console.clear();
        for (const QString& line : QString::fromUtf8(p.readAllStandardError()).split(u'\n'))
            if (line.contains(u":CONSOLE("_s))
                console << line;
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // The article numbers a search gives, all of them (its CSV).
    QStringList found(const QString& field, const QString& how, const QString& text) {
        const auto r = get(u"main_search_journal.asp"_s,
                           {{u"q"_s, text}, {u"field"_s, field}, {u"how"_s, how}, {u"format"_s, u"csv"_s}});
        QStringList numbers;
        const QStringList lines = QString::fromUtf8(r->body).split(u"\r\n"_s);
        for (const QString& line : lines.mid(1))
            if (!line.isEmpty())
                numbers << line.section(u',', 0, 0);
        numbers.sort();
        return numbers;
    }

private slots:
    void initTestCase() {
        DatabaseTest::initTestCase();
        windowsLeft = -1;
        shots.mkpath(u"."_s);
        datagen::generate(db->admin(), datagen::DataSize::demo());
        // Stored markup and text that means something to LIKE or to HTML.
        exec(u"UPDATE magazine SET Magazine_Name = ? WHERE Pointer = 'J000001'"_s, {script});
        const QStringList names =
            QStringList{script, u"'Quoted' at the start"_s, u"Save 50%_ now"_s, u"Save 50% now"_s} + hostileTexts();
        for (int i = 0; i < names.size(); ++i)
            exec(QStringLiteral("INSERT INTO article (article_no, Article_Name, pointer, year, volume, "
                                "keydate) VALUES (?, ?, 'J000002', '1', '1', '2026-11-02 10:00:00')"),
                 {u"H%1"_s.arg(i, 6, 10, QChar(u'0')), names.at(i)});
        data::Connection root(adminSettings());
        root.exec(u"CREATE USER IF NOT EXISTS 'warasan_web'@'127.0.0.1'"_s);
        root.exec(u"GRANT SELECT ON `%1`.* TO 'warasan_web'@'127.0.0.1'"_s.arg(db->name()));
        root.exec(u"CREATE USER IF NOT EXISTS 'warasan_requests'@'127.0.0.1'"_s);
        root.exec(
            u"GRANT SELECT (token, email, pointer, action, requested, confirmed), INSERT (token, email, "
            "pointer, action, reader_name), UPDATE (confirmed) ON `%1`.alert_request TO 'warasan_requests'@'127.0.0.1'"_s
                .arg(db->name()));
        web::ServerOptions options;
        options.port = 0;
        options.db = db->settings();
        options.db.user = u"warasan_web"_s;
        options.requestDb = db->settings();
        options.requestDb.user = u"warasan_requests"_s;
        server = std::make_unique<web::WebServer>(options);
        QString error;
        QVERIFY2(server->bind(&error), qPrintable(error));
        serving = std::thread([this] { server->run(); });
    }
    void cleanupTestCase() {
        server->stop();
        serving.join();
        DatabaseTest::cleanupTestCase();
    }

    // Every page the menu opens answers 200 to the program's own links, in the browser too.
    void menuEntriesOpenWorkingPages() {
        data::InstallationConfig config = data::installation();
        config.reportRoot = url(QString());
        data::setInstallation(config);
        app::menumagizine main;
        QList<QUrl> opened;
        main.setUrlOpener([&](const QUrl& u) {
            opened << u;
            return true;
        });
        for (const app::MenuEntry& e : app::mainMenu())
            if (e.action == app::MenuEntry::Action::Web)
                main.findChild<QAction*>(e.name)->trigger();
        QCOMPARE(opened.size(), 8);
        for (const QUrl& u : opened) {
            QCOMPARE(get(u.path().mid(1))->status, 200);
            const QString dom = browse(u.path().mid(1), {}, u.fileName() + u".png"_s);
            QVERIFY(QFileInfo(shots.filePath(u.fileName() + u".png"_s)).size() > 10000);
        }
    }

    // A page built once is kept until the data changes: the browser that holds it is answered
    // 304; a title stored in a transaction that commits after a later change shows on the next
    // request all the same; another query is never answered with this one's page.
    void pagesKeptUntilTheDataChanges() {
        httplib::Client client("127.0.0.1", server->port());
        const auto fetch = [&](const web::Query& q, const std::string& etag = {}) {
            httplib::Headers h;
            if (!etag.empty())
                h.emplace("If-None-Match", etag);
            return client.Get(web::linkTo(u"rpt_journal/rpt_journal_all.php"_s, q, {}).toStdString(), h);
        };
        const web::Query csv{{u"format"_s, u"csv"_s}};
        const std::string built = fetch(csv)->body;
        const auto kept = fetch(csv);
        const std::string etag = kept->get_header_value("ETag");
        QVERIFY(kept->body == built && etag.size() > 2 && kept->get_header_value("Cache-Control") == "no-cache");
        QCOMPARE(fetch(csv, etag)->status, 304);
        QVERIFY(fetch({})->body != built);
        auto other = db->connect();
        other->begin();
        other->exec(u"INSERT INTO magazine (Pointer, Magazine_Name, Receive_Code) VALUES ('J009990', 'ยืนยันทีหลัง', '1')"_s);
        exec(u"INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES ('C9', 'ผู้แทนยืนยันก่อน')"_s);
        const auto before = fetch(csv, etag);
        QVERIFY(before->status == 200 && !QString::fromStdString(before->body).contains(u"ยืนยันทีหลัง"_s));
        other->commit();
        QVERIFY(QString::fromStdString(fetch(csv, etag)->body).contains(u"ยืนยันทีหลัง"_s));
        exec(u"DELETE FROM magazine WHERE Pointer = 'J009990'"_s);
        exec(u"DELETE FROM dealer WHERE Publisher_Code = 'C9'"_s);
        QVERIFY(!QString::fromStdString(fetch(csv)->body).contains(u"ยืนยันทีหลัง"_s));
    }

    // The statistics page: its CSV's numbers as SQL counts them (arrivals per month, these twelve
    // and the twelve before; subscriptions ending per month; claims per distributor), every chart
    // in the browser with its table, and the index page showing the first.
    void statisticsPage() {
        const QString path = u"rpt_journal/rpt_statistics.php"_s;
        const QDate t = QDate::currentDate(), month(t.year(), t.month(), 1);
        exec(u"INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES ('C1', 'ผู้แทน ก'), ('C2', 'ผู้แทน ข')"_s);
        // Ending on this month's first day, the twelfth month's last day and the day after it.
        exec(u"INSERT INTO magazine (Pointer, Magazine_Name, Receive_Code, End_Date) VALUES ('J009997', 'ครบวันแรก', "
             "'1', ?), ('J009998', 'ครบวันท้าย', '1', ?), ('J009999', 'ครบวันถัดไป', '1', ?)"_s,
             {month, month.addMonths(12).addDays(-1), month.addMonths(12)});
        // A monthly title three months behind, though one issue dated ahead has come already.
        exec(u"INSERT INTO magazine (Pointer, Magazine_Name, MagType_code, Receive_Code, Distributor_Code) VALUES "
             "('J009996', 'ค้างรับ', '04', '1', 'C1')"_s);
        exec(u"INSERT INTO tranfile (magno, pointer, daily) VALUES ('S1', 'J009996', ?), ('S2', 'J009996', ?)"_s,
             {month.addMonths(-3), month.addMonths(2)});
        exec(u"INSERT INTO claim (pointer, expected, claim_no, distributor) VALUES ('J000002', ?, 1, 'C1'), "
             "('J000002', ?, 2, 'C1'), ('J000003', ?, 1, 'C2'), ('J000003', ?, 1, 'C2')"_s,
             {month, month, month.addMonths(-3), month.addMonths(-13)});
        const auto csv = get(path, {{u"format"_s, u"csv"_s}});
        QCOMPARE(csv->status, 200);
        const QStringList lines = QString::fromUtf8(csv->body).remove(QChar(0xFEFF)).split(u"\r\n"_s, Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), u"แผนภูมิ,รายการ,ชุดข้อมูล,จำนวน"_s);
        const auto numbers = [&](const QString& chart, const QString& series) {
            QStringList out;
            for (const QString& l : lines)
                if (l.startsWith(chart + u',') && l.section(u',', 2, 2) == series)
                    out << l.section(u',', 1, 1) + u'=' + l.section(u',', 3);
            return out.join(u' ');
        };
        const auto byMonth = [&](const QString& column, const QDate& from, const QString& where) {
            QStringList out;
            for (int i = 0; i < 12; ++i)
                out << sql(u"SELECT COUNT(*) FROM %1 WHERE %2 BETWEEN ? AND ?%3"_s.arg(
                               column == u"indate"_s ? u"tranfile"_s : u"magazine"_s, column, where),
                           {from.addMonths(i), from.addMonths(i + 1).addDays(-1)});
            return out.join(u' ');
        };
        const auto values = [](const QString& listed) {
            QStringList out;
            for (const QString& pair : listed.split(u' '))
                if (pair.contains(u'='))
                    out << pair.section(u'=', 1);
            return out.join(u' ');
        };
        const QString arrivals = u"การรับวารสารรายเดือน"_s;
        QCOMPARE(values(numbers(arrivals, u"12 เดือนล่าสุด"_s)), byMonth(u"indate"_s, month.addMonths(-11), {}));
        QCOMPARE(values(numbers(arrivals, u"12 เดือนก่อนหน้า"_s)), byMonth(u"indate"_s, month.addMonths(-23), {}));
        QCOMPARE(values(numbers(u"สมาชิกที่หมดอายุรายเดือน"_s, u"วารสารที่หมดอายุ"_s)),
                 byMonth(u"End_Date"_s, month, u" AND Receive_Code = '1'"_s));
        QCOMPARE(numbers(u"การทวงถามแยกตามผู้จัดจำหน่าย"_s, u"ทวงถาม"_s), u"ผู้แทน ก=2 ผู้แทน ข=1"_s);
        QCOMPARE(lines.filter(u",ผู้แทน ก,ฉบับที่ยังไม่ได้รับ,"_s).join(u' ').section(u',', 3),
                 QString::number(month < t ? 3 : 2));
        const QString dom = browse(path);
        QVERIFY2(console.isEmpty(), qPrintable(console.join(u'\n')));
        browse(path, {}, u"statistics.png"_s);
        QCOMPARE(dom.count(u"<svg"_s), 4);
        QCOMPARE(dom.count(u"<table class=\"summary\""_s), 4);
        QVERIFY(QFileInfo(shots.filePath(u"statistics.png"_s)).size() > 10000);
        const QString home = QString::fromUtf8(get(QString())->body);
        exec(u"DELETE FROM magazine WHERE Pointer IN ('J009996', 'J009997', 'J009998', 'J009999')"_s);
        exec(u"DELETE FROM tranfile WHERE pointer = 'J009996'"_s);
        QVERIFY(home.contains(u"<h2>"_s + arrivals + u"</h2><div class=\"wrap\"><svg"_s) && home.contains(u"/"_s + path));
    }

    // The yearly report from the command line: a page a chart under its title, the arrivals of
    // each month of the year as SQL counts them, the same in either era; a year not a year refused.
    void yearlyReport() {
        const int year = QDate::currentDate().year();
        QTemporaryDir dir;
        QStringList csvs;
        for (const QString& typed : {QString::number(year), QString::number(year + 543)}) {
            QByteArray errors;
            QVERIFY2(runReport({u"yearly"_s, u"--year"_s, typed, u"--pdf"_s, dir.filePath(typed + u".pdf"_s), u"--csv"_s,
                                dir.filePath(typed + u".csv"_s)},
                               &errors) == 0,
                     errors.constData());
            csvs << QString::fromUtf8(fileBytes(dir.filePath(typed + u".csv"_s)));
        }
        QCOMPARE(csvs.at(0), csvs.at(1));
        QStringList arrivals, counted;
        for (const QString& line : csvs.at(0).split(u"\r\n"_s))
            if (line.startsWith(u"การรับวารสารรายเดือน,"_s) && line.section(u',', 2, 2).endsWith(QString::number(data::shownYear(year))))
                arrivals << line.section(u',', 3);
        for (int m = 1; m <= 12; ++m)
            counted << sql(u"SELECT COUNT(*) FROM tranfile WHERE indate BETWEEN ? AND ?"_s,
                           {QDate(year, m, 1), QDate(year, m, 1).addMonths(1).addDays(-1)});
        QCOMPARE(arrivals, counted);
        const QString pdf = dir.filePath(QString::number(year) + u".pdf"_s);
        const QStringList titles = {u"การรับวารสารรายเดือน"_s, u"ฉบับที่เลย"_s, u"การทวงถามแยกตามผู้จัด"_s,
                                    u"สมาชิกที่หมดอายุรายเดือน"_s};
        for (int page = 1; page <= 4; ++page)
            QVERIFY2(pdfText(pdf, page).contains(bare(titles.at(page - 1))), qPrintable(titles.at(page - 1)));
        QCOMPARE(pdfText(pdf, 5), QString());
        QByteArray errors;
        QCOMPARE(runReport({u"yearly"_s, u"--year"_s, u"69"_s, u"--pdf"_s, dir.filePath(u"x.pdf"_s)}, &errors), 2);
        QVERIFY(errors.contains("--year takes a year"));
    }

    // The list of titles: count, page order, the next page and a sort, as SQL gives them.
    void titleListMatchesSql() {
        const QString path = u"rpt_journal/rpt_journal_all.php"_s;
        const QString order = u"SELECT Pointer FROM magazine WHERE Receive_Code = '1' ORDER BY "_s;
        const QString total = sql(u"SELECT COUNT(*) FROM magazine WHERE Receive_Code = '1'"_s);
        QString dom = browse(path);
        QVERIFY(unescaped(dom).contains(u"พบ %1 รายการ"_s.arg(total)));
        const auto codes = [](const QList<QStringList>& rows) {
            QStringList out;
            for (const QStringList& r : rows)
                out << r.value(0);
            return out;
        };
        QCOMPARE(codes(tableRows(dom)), column(db->admin().query(order + u"Magazine_Name, Pointer LIMIT 50"_s)));
        QCOMPARE(codes(tableRows(browse(path, {{u"page"_s, u"2"_s}}))),
                 column(db->admin().query(order + u"Magazine_Name, Pointer LIMIT 50 OFFSET 50"_s)));
        QCOMPARE(codes(tableRows(browse(path, {{u"sort"_s, u"3"_s}, {u"dir"_s, u"d"_s}, {u"per"_s, u"20"_s}}))),
                 column(db->admin().query(order + u"ISSN DESC, Pointer LIMIT 20"_s)));
        // Stored markup is text on the page, never an element.
        QVERIFY(!dom.contains(u"<script"_s));
        QVERIFY(unescaped(dom).contains(script));

        const auto csv = get(path, {{u"format"_s, u"csv"_s}});
        QCOMPARE(QString::fromStdString(csv->get_header_value("Content-Type")), u"text/csv; charset=utf-8"_s);
        QVERIFY(csv->body.rfind("\xEF\xBB\xBF\xE0\xB8\xA3\xE0\xB8\xAB", 0) == 0); // the mark, then "รห"
        QCOMPARE(QString::fromStdString(csv->body).count(u"\r\n"_s), total.toInt() + 1);
    }

    // The period lists and the search: their first page and their count as SQL gives them. A
    // long list is counted only as far as its pager goes and said to be longer; a row whose
    // title is not in the register is in neither the list nor its count.
    void countedAsFarAsShown_data() {
        textTable({"path", "query", "rows", "count"},
                  {"registered ever~rpt_journal/rpt_regis_journal.php~from=1/1/2000&to=31/12/2099~"
                   "SELECT m.Pointer, (SELECT COUNT(*) FROM tranfile t WHERE t.pointer = m.Pointer) FROM magazine m "
                   "WHERE m.Pointer IN (SELECT pointer FROM tranfile) ORDER BY m.Magazine_Name, m.Pointer~"
                   "SELECT COUNT(DISTINCT m.Pointer) FROM tranfile t JOIN magazine m ON m.Pointer = t.pointer",
                   "registered two days~rpt_journal/rpt_regis_journal.php~from=1/11/2026&to=2/11/2026~"
                   "SELECT m.Pointer, (SELECT COUNT(*) FROM tranfile t WHERE t.pointer = m.Pointer AND t.indate "
                   "BETWEEN '2026-11-01' AND '2026-11-02') FROM magazine m WHERE m.Pointer IN (SELECT pointer FROM "
                   "tranfile WHERE indate BETWEEN '2026-11-01' AND '2026-11-02') ORDER BY m.Magazine_Name, m.Pointer~"
                   "SELECT COUNT(DISTINCT m.Pointer) FROM tranfile t JOIN magazine m ON m.Pointer = t.pointer "
                   "WHERE t.indate BETWEEN '2026-11-01' AND '2026-11-02'",
                   "indexed ever~rpt_journal/rpt_index_journal.php~from=1/1/2000&to=31/12/2099~"
                   "SELECT m.Pointer, (SELECT COUNT(*) FROM article t WHERE t.pointer = m.Pointer) FROM magazine m "
                   "WHERE m.Pointer IN (SELECT pointer FROM article) ORDER BY m.Magazine_Name, m.Pointer~"
                   "SELECT COUNT(DISTINCT m.Pointer) FROM article t JOIN magazine m ON m.Pointer = t.pointer",
                   "anywhere, long~main_search_journal.asp~q=การ&field=title&how=contains&per=20~"
                   "SELECT article_no FROM article WHERE Article_Name LIKE '%การ%' ORDER BY Article_Name, article_no~"
                   "SELECT COUNT(*) FROM article WHERE Article_Name LIKE '%การ%'",
                   "titles J~rpt_journal/rpt_journal_all.php~group=J~SELECT Pointer, ISSN FROM magazine WHERE "
                   "Receive_Code = '1' AND Pointer LIKE 'J%' ORDER BY Magazine_Name, Pointer~SELECT COUNT(*) FROM "
                   "magazine WHERE Receive_Code = '1' AND Pointer LIKE 'J%'",
                   "by faculty~rpt_journal/rpt_journal_department.php~per=20~SELECT COALESCE(d.Department_Thai_Des, "
                   "''), m.Magazine_Name FROM magazine m LEFT JOIN department d ON d.Department_Code = "
                   "m.department_code WHERE m.Receive_Code = '1' ORDER BY m.department_code, m.Magazine_Name, "
                   "m.Pointer~SELECT COUNT(*) FROM magazine WHERE Receive_Code = '1'",
                   "bound, volumes running on past the "
                   "end~rpt_journal/main_sum_journal.php~from=1/1/2020&to=31/5/2025~SELECT v.regno, "
                   "(SELECT m.Magazine_Name FROM tranfile t JOIN magazine m ON m.Pointer = t.pointer WHERE t.regno = "
                   "v.regno LIMIT 1) AS name, v.n, v.issues FROM (SELECT regno, COUNT(*) AS n, GROUP_CONCAT("
                   "CONCAT_WS('/', yearno, itemsno) ORDER BY daily, magno SEPARATOR ', ') AS issues FROM tranfile "
                   "WHERE regno <> '' GROUP BY regno HAVING "
                   "MAX(indate) BETWEEN '2020-01-01' AND '2025-05-31') v JOIN sum_journal s ON s.regno = v.regno "
                   "ORDER BY name, v.regno~SELECT COUNT(*) FROM sum_journal s WHERE (SELECT MAX(indate) FROM tranfile "
                   "t WHERE t.regno = s.regno) BETWEEN '2020-01-01' AND '2025-05-31'",
                   "anywhere, past the 255th character~main_search_journal.asp~q=ปลายชื่อยาว&field=title&how=contains~"
                   "SELECT article_no FROM article WHERE Article_Name LIKE '%ปลายชื่อยาว%'~"
                   "SELECT COUNT(*) FROM article WHERE Article_Name LIKE '%ปลายชื่อยาว%'",
                   "anywhere, renamed by another program~main_search_journal.asp~q=ชื่อใหม่เอี่ยม&field=title&how=contains~"
                   "SELECT article_no FROM article WHERE Article_Name LIKE '%ชื่อใหม่เอี่ยม%'~"
                   "SELECT COUNT(*) FROM article WHERE Article_Name LIKE '%ชื่อใหม่เอี่ยม%'",
                   "anywhere, short~main_search_journal.asp~q=50%&field=title&how=contains&per=20~"
                   "SELECT article_no FROM article WHERE Article_Name LIKE '%50\\%%' ORDER BY Article_Name, "
                   "article_no~SELECT COUNT(*) FROM article WHERE Article_Name LIKE '%50\\%%'"});
    }
    void countedAsFarAsShown() {
        const auto [path, query, rows, count] = fetch<4>();
        // Registrations and articles of titles the register does not hold, in every period.
        exec(u"INSERT IGNORE INTO tranfile (magno, pointer, indate, daily) VALUES ('ORPHAN1', 'Z999999', "
             "'2026-11-01', '2026-11-01')"_s);
        exec(u"INSERT IGNORE INTO article (article_no, Article_Name, pointer, keydate) VALUES ('ORPHAN1', "
             "'การ 50% orphan', 'Z999999', '2026-11-01 09:00:00')"_s);
        // Received titles of no faculty, and of one the faculty table lacks: counted all the same.
        exec(u"INSERT IGNORE INTO magazine (Pointer, Magazine_Name, Receive_Code, department_code) VALUES "
             "('J999998', 'ไม่มีคณะ', '1', NULL), ('J999997', 'คณะที่ไม่มีในตาราง', '1', 'ZZ')"_s);
        // Titles another program writes: one whose words come after the 255th character, one
        // renamed.
        exec(u"INSERT IGNORE INTO article (article_no, Article_Name, pointer, keydate) VALUES ('LONG1', "
             "CONCAT(REPEAT('ก', 300), ' ปลายชื่อยาว'), 'J000001', '2026-11-01 09:00:00')"_s);
        exec(u"UPDATE article SET Article_Name = 'บทความชื่อใหม่เอี่ยม' WHERE article_no = (SELECT MIN(article_no) "
             "FROM article)"_s);
        web::Query q;
        for (const QString& pair : query.split(u'&'))
            q.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        const int per = q.value(u"per"_s, u"50"_s).toInt();
        const qint64 total = sql(count).toLongLong();
        const bool search = path.startsWith(u"main_search"_s);
        QVERIFY2(total > 0, qPrintable(count));
        const QString page = unescaped(QString::fromStdString(get(path, q)->body));
        if (total > 5 * per) // the pager's five pages, and more
            QVERIFY2(page.contains(u"พบมากกว่า %1 รายการ · หน้า 1 "_s.arg(QLocale(QLocale::Thai).toString(5 * per))),
                     qPrintable(page.left(3000)));
        else
            QVERIFY2(page.contains(u"พบ %1 รายการ"_s.arg(QLocale(QLocale::Thai).toString(total))),
                     qPrintable(page.left(3000)));
        const data::Result expected = db->admin().query(rows + u" LIMIT %1"_s.arg(per));
        if (search) { // cards: each article's title in the order SQL sorts them
            QStringList titles;
            for (const QVariantList& row : expected.rows)
                titles << sql(u"SELECT Article_Name FROM article WHERE article_no = ?"_s, {row.at(0)});
            qsizetype at = 0;
            for (const QString& t : titles) {
                at = page.indexOf(t, at);
                QVERIFY2(at >= 0, qPrintable(t));
            }
            return;
        }
        const QList<QStringList> shown = tableRows(QString::fromStdString(get(path, q)->body));
        QCOMPARE(shown.size(), expected.rowCount());
        // The query's columns are the list's first, third, fourth and fifth, as far as it goes.
        for (int i = 0; i < shown.size(); ++i)
            for (int col = 0; col < expected.columns.size(); ++col)
                QCOMPARE(shown.at(i).value(QList{0, 2, 3, 4}.at(col)), expected.text(i, col));
    }

    // Each list of the intranet through the report output, as a scheduled run writes it: the
    // same CSV as the page's, and every row on the printed pages, none off its page.
    void listsOnPaper_data() {
        textTable({"kind", "path", "query", "key"},
                  {"titles J~titles~rpt_journal/rpt_journal_all.php~group=J~0",
                   "by faculty~titles-by-faculty~rpt_journal/rpt_journal_department.php~~1",
                   "registered~registrations~rpt_journal/rpt_regis_journal.php~from=1/1/2569&to=30/11/2026~0",
                   "bound~bound-volumes~rpt_journal/main_sum_journal.php~from=1/1/2020&to=30/11/2026~0",
                   "indexed~index-entries~rpt_journal/rpt_index_journal.php~from=1/1/2000&to=31/12/2099~0",
                   "a title's issues~title-issues~rpt_journal/rpt_title_issues.php~title=J000002~0",
                   "publishers~publishers~rpt_journal/rpt_publishers.php~~0"});
    }
    void listsOnPaper() {
        const auto [kind, path, query, key] = fetch<4>();
        web::Query q;
        QStringList args = {kind};
        for (const QString& pair : query.split(u'&', Qt::SkipEmptyParts)) {
            q.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
            args << u"--"_s + pair.section(u'=', 0, 0) << pair.section(u'=', 1);
        }
        QTemporaryDir dir;
        QByteArray errors;
        QVERIFY2(
            runReport(args << "--pdf" << dir.filePath("list.pdf") << "--csv" << dir.filePath("list.csv"), &errors) == 0,
            errors.constData());
        QVERIFY(QString::fromStdString(get(path, q)->body).contains(u"ดาวน์โหลด PDF (พิมพ์)"_s));
        q.insert(u"format"_s, u"csv"_s);
        const QByteArray csv = fileBytes(dir.filePath("list.csv"));
        QCOMPARE(csv, QByteArray::fromStdString(get(path, q)->body));
        const QStringList lines = QString::fromUtf8(csv).split(u"\r\n"_s, Qt::SkipEmptyParts).mid(1);
        QVERIFY(lines.size() > 3);
        QString words;
        for (const auto& word : pdfWords(dir.filePath("list.pdf"))) {
            QVERIFY2(word.onPage, qPrintable(word.text));
            words += word.text;
        }
        for (const QString& line : lines)
            QVERIFY2(words.contains(bare(line.section(u',', key.toInt(), key.toInt()))), qPrintable(line));
        // A title's page says the issue its pattern expects next, after its latest, on paper too.
        if (kind == u"title-issues"_s) {
            web::Query title;
            title.insert(u"title"_s, u"J000002"_s);
            const QString page = QString::fromStdString(get(path, title)->body);
            const qsizetype at = page.indexOf(u"ฉบับถัดไปที่คาดว่าจะได้รับ: "_s);
            QVERIFY(at > 0);
            const QDate next = QDate::fromString(page.mid(at + 28, 10), u"dd/MM/yyyy"_s);
            QVERIFY2(next > QDate::fromString(sql(u"SELECT MAX(daily) FROM tranfile WHERE pointer = 'J000002'"_s),
                                              Qt::ISODate),
                     qPrintable(page.mid(at, 80)));
            QVERIFY(words.contains(bare(u"ฉบับถัดไปที่คาดว่าจะได้รับ: "_s + page.mid(at + 28, 10))));
        }
        QVERIFY(words.contains(bare(u"รวมทั้งสิ้น %1 รายการ"_s.arg(lines.size()))));
        // The page offers the same pages, drawn by the server.
        q.insert(u"format"_s, u"pdf"_s);
        QFile served(dir.filePath("served.pdf"));
        QVERIFY(served.open(QIODevice::WriteOnly) && served.write(QByteArray::fromStdString(get(path, q)->body)) > 0);
        served.close();
        QCOMPARE(pdfText(served.fileName()), pdfText(dir.filePath("list.pdf")));
    }

    // Each search finds exactly the articles the server's own LIKE finds for the typed text.
    void searchFindsWhatSqlFinds_data() {
        textTable({"field", "how", "text"},
                  {"title begins with a quote~title~begins~'Quo", "title holds 50%_~title~contains~50%_",
                   "title holds a backslash~title~contains~\\", "Thai prefix~title~begins~การ",
                   "markup~title~contains~<script>", "subject~subject~contains~การ", "journal~journal~begins~วารสาร"});
    }
    void searchFindsWhatSqlFinds() {
        const auto [field, how, text] = fetch<3>();
        // The typed text made literal by the server's own REPLACE, not by the program.
        const QString like =
            QStringLiteral(
                "LIKE CONCAT(%1, REPLACE(REPLACE(REPLACE(?, '\\\\', '\\\\\\\\'), '%', '\\\\%'), '_', '\\\\_'), "
                "'%')")
                .arg(how == u"contains"_s ? u"'%'"_s : u"''"_s);
        QString q;
        if (field == u"subject"_s)
            q = u"SELECT DISTINCT article_no FROM msubject WHERE subject "_s + like;
        else if (field == u"journal"_s)
            q = QStringLiteral("SELECT a.article_no FROM article a JOIN magazine m ON m.Pointer = a.pointer WHERE "
                               "m.Magazine_Name ") +
                like;
        else
            q = u"SELECT article_no FROM article WHERE Article_Name "_s + like;
        QStringList expected = column(db->admin().query(q + u" ORDER BY 1"_s, {text}));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(found(field, how, text), expected);
        // The page asked for shows the text typed back in its field, as text: no markup, no quote
        // that would end the attribute.
        const QString page = QString::fromUtf8(
            get(u"main_search_journal.asp"_s, {{u"q"_s, text}, {u"field"_s, field}, {u"how"_s, how}})->body);
        static const QRegularExpression typed(u"<input name=\"q\" value=\"([^\"]*)\""_s);
        const QString value = typed.match(page).captured(1);
        QVERIFY2(!value.contains(u'<') && !value.contains(u'>'), qPrintable(value));
        QCOMPARE(unescaped(value), text);
    }

    // A reader's request to follow a title: bad addresses and titles refused; recorded through
    // the request account, which may do nothing else; the mailed link's page changes nothing
    // until its button is pressed, and only once; the alerts run then puts it into effect. An
    // address makes five requests a day at most.
    void alertRequests() {
        const auto post = [this](const QString& path, const httplib::Params& form) {
            return httplib::Client("127.0.0.1", server->port()).Post(("/" + path).toStdString(), form);
        };
        const QString follow = u"alerts/follow.php"_s, confirm = u"alerts/confirm.php"_s;
        QVERIFY(QString::fromStdString(get(follow, {{u"title"_s, u"J000002"_s}})->body).contains(u"method=\"post\""_s));
        QCOMPARE(post(follow, {{"email", "no address"}, {"title", "J000002"}})->status, 400);
        QCOMPARE(post(follow, {{"email", "x@example.ac.th"}, {"title", "Z999"}})->status, 400);
        // Found by the beginning of its name, or by the bar code on its cover; the reader's name
        // given on the form is kept for a reader the desk holds without one.
        exec(u"INSERT INTO magazine (Pointer, Magazine_Name, ISSN) VALUES ('J900001', 'Zebra Follow Review', "
             "'0028-0836'), ('J900002', 'Zebra Follow Letters', NULL)"_s);
        exec(u"INSERT INTO reader (email, reader_name) VALUES ('reader+1@example.ac.th', '')"_s);
        QVERIFY(QString::fromStdString(get(follow, {{u"title"_s, u"9770028083002"_s}})->body)
                    .contains(u"<h2>J900001 Zebra Follow Review</h2>"_s));
        const auto several = post(follow, {{"email", "reader+1@example.ac.th"}, {"title", "Zebra Follow"}});
        QCOMPARE(several->status, 400);
        QVERIFY(QString::fromStdString(several->body).contains(u"value=\"J900002\""_s));
        QCOMPARE(post(follow, {{"email", "reader+1@example.ac.th"},
                               {"title", "zebra follow r"},
                               {"action", "F"},
                               {"name", " สมหญิง  ใจงาม "}})
                     ->status,
                 200);
        const QString token = sql(u"SELECT token FROM alert_request WHERE email = 'reader+1@example.ac.th'"_s);
        QCOMPARE(token.size(), 32);
        QVERIFY(
            QString::fromStdString(get(confirm, {{u"token"_s, token}})->body).contains(u"value=\"%1\""_s.arg(token)));
        QCOMPARE(sql(u"SELECT COUNT(*) FROM alert_request WHERE confirmed IS NOT NULL"_s), u"0"_s);
        QCOMPARE(post(confirm, {{"token", token.toStdString()}})->status, 200);
        QCOMPARE(post(confirm, {{"token", token.toStdString()}})->status, 410);
        data::Connection c(db->settings());
        c.open();
        const alerts::RunReport r =
            alerts::run(c, {u"smtp://127.0.0.1:1"_s, u"no"_s, {}, {}, u"a@b.example"_s, {}}, QDate::currentDate());
        QCOMPARE(r.applied, 1);
        QCOMPARE(sql(u"SELECT r.email, r.reader_name, t.pointer FROM reader r JOIN reader_title t USING (reader_id)"_s),
                 u"reader+1@example.ac.th|สมหญิง ใจงาม|J900001"_s);
        data::ConnectionSettings requests = db->settings();
        requests.user = u"warasan_requests"_s;
        data::Connection only(requests);
        only.open();
        QVERIFY_THROWS_EXCEPTION(data::DbError, only.exec(u"INSERT INTO reader (email) VALUES ('x@y.example')"_s));
        QVERIFY_THROWS_EXCEPTION(data::DbError, only.exec(u"UPDATE alert_request SET email = 'x@y.example'"_s));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(post(follow, {{"email", "reader+1@example.ac.th"}, {"title", "J000001"}})->status, 200);
        QCOMPARE(post(follow, {{"email", "reader+1@example.ac.th"}, {"title", "J000001"}})->status, 400);
    }

    // Only the page table is served; a failure shows a reference, never the server's text.
    void refusalsAndFailures() {
        QCOMPARE(get(u"../etc/passwd"_s)->status, 404);
        QCOMPARE(get(u"main_search_journal.asp"_s, {{u"q"_s, QString(5000, u'x')}})->status, 414);
        QVERIFY(get(QString())->get_header_value("Content-Security-Policy").starts_with("default-src 'none';"));

        web::ServerOptions options;
        options.port = 0;
        options.db = db->settings();
        options.db.database = u"no_such_database"_s;
        web::WebServer broken(options);
        QString error;
        QVERIFY(broken.bind(&error));
        std::thread t([&] { broken.run(); });
        const auto r = httplib::Client("127.0.0.1", broken.port()).Get("/rpt_journal/rpt_journal_all.php");
        broken.stop();
        t.join();
        QCOMPARE(r->status, 500);
        const QString body = QString::fromStdString(r->body);
        QVERIFY(body.contains(u"หมายเลขอ้างอิง"_s));
        QVERIFY(!body.contains(u"no_such_database"_s) && !body.contains(u"1049"_s));
    }
};

WARASAN_TEST_MAIN(tst_web)
#include "tst_web.moc"
