// The intranet report server against generated data: pages loaded in a real browser
// (headless Chromium), their rows held against SQL, the searches against the server's own
// LIKE, stored markup shown as text, and the program's menu answered.
#include "../bench/DataGenerator.h"
#include "app/MenuTable.h"
#include "app/menumagizine.h"
#include "support/Saves.h"
#include "support/Suite.h"
#include "web/Listing.h"
#include "web/WebServer.h"

#include <httplib.h>

#include <QAction>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <thread>

namespace {

const QString script = QStringLiteral("<script>alert('x')</script> วารสาร");

QString unescaped(QString s) {
    s.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return s.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&#39;"), QLatin1String("'"))
        .replace(QLatin1String("&nbsp;"), QLatin1String(" "))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

// The text of each body row's cells, as the browser built them.
QList<QStringList> tableRows(const QString& dom) {
    QList<QStringList> rows;
    const QString body = dom.section(QStringLiteral("<tbody>"), -1).section(QStringLiteral("</tbody>"), 0, 0);
    static const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>")), cell(QStringLiteral("<td[^>]*>(.*?)</td>"));
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
    QDir shots{QDir::currentPath() + QStringLiteral("/web-shots")}; // kept for people to look at

    QString url(const QString& path, const web::Query& q = {}) {
        return QStringLiteral("http://127.0.0.1:%1").arg(server->port()) + web::linkTo(path, q, {});
    }
    httplib::Result get(const QString& path, const web::Query& q = {}) {
        httplib::Client client("127.0.0.1", server->port());
        return client.Get(web::linkTo(path, q, {}).toStdString());
    }
    QString browse(const QString& path, const web::Query& q = {}, const QString& shot = {}) {
        QStringList args = {QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"),
                            QStringLiteral("--disable-gpu"), QStringLiteral("--hide-scrollbars")};
        if (!shot.isEmpty())
            args << QStringLiteral("--window-size=1024,768") << QStringLiteral("--screenshot=") + shots.filePath(shot);
        else
            args << QStringLiteral("--dump-dom");
        QProcess p;
        p.start(QStringLiteral("chromium"), args << url(path, q));
        if (!p.waitForFinished(60000))
            qFatal("chromium did not finish");
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // The article numbers a search gives, all of them (its CSV).
    QStringList found(const QString& field, const QString& how, const QString& text) {
        const auto r =
            get(QStringLiteral("main_search_journal.asp"), {{QStringLiteral("q"), text},
                                                            {QStringLiteral("field"), field},
                                                            {QStringLiteral("how"), how},
                                                            {QStringLiteral("format"), QStringLiteral("csv")}});
        QStringList numbers;
        const QStringList lines = QString::fromUtf8(r->body).split(QStringLiteral("\r\n"));
        for (const QString& line : lines.mid(1))
            if (!line.isEmpty())
                numbers << line.section(QLatin1Char(','), 0, 0);
        numbers.sort();
        return numbers;
    }

private slots:
    void initTestCase() {
        DatabaseTest::initTestCase();
        windowsLeft = -1;
        shots.mkpath(QStringLiteral("."));
        bench::generate(db->admin(), bench::DataSize::demo());
        // Stored markup and text that means something to LIKE or to HTML.
        db->admin().exec(QStringLiteral("UPDATE magazine SET Magazine_Name = ? WHERE Pointer = 'J000001'"), {script});
        const QStringList names = QStringList{script, QStringLiteral("'Quoted' at the start"),
                                              QStringLiteral("Save 50%_ now"), QStringLiteral("Save 50% now")} +
                                  testsupport::hostileTexts();
        for (int i = 0; i < names.size(); ++i)
            db->admin().exec(QStringLiteral("INSERT INTO article (article_no, Article_Name, pointer, year, volume, "
                                            "keydate) VALUES (?, ?, 'J000002', '1', '1', '2026-11-02 10:00:00')"),
                             {QStringLiteral("H%1").arg(i, 6, 10, QLatin1Char('0')), names.at(i)});
        data::Connection root(testsupport::adminSettings());
        root.exec(QStringLiteral("CREATE USER IF NOT EXISTS 'warasan_web'@'127.0.0.1'"));
        root.exec(QStringLiteral("GRANT SELECT ON `%1`.* TO 'warasan_web'@'127.0.0.1'").arg(db->name()));
        web::ServerOptions options;
        options.port = 0;
        options.db = db->settings();
        options.db.user = QStringLiteral("warasan_web");
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
        main.setUrlOpener([&](const QUrl& u) { opened << u; });
        for (const app::MenuEntry& e : app::mainMenu())
            if (e.action == app::MenuEntry::Action::Web)
                main.findChild<QAction*>(e.name)->trigger();
        QCOMPARE(opened.size(), 7);
        for (const QUrl& u : opened) {
            QCOMPARE(get(u.path().mid(1))->status, 200);
            const QString dom = browse(u.path().mid(1), {}, u.fileName() + QStringLiteral(".png"));
            QVERIFY(QFileInfo(shots.filePath(u.fileName() + QStringLiteral(".png"))).size() > 10000);
        }
    }

    // The list of titles: count, page order, the next page and a sort, as SQL gives them.
    void titleListMatchesSql() {
        const QString path = QStringLiteral("rpt_journal/rpt_journal_all.php");
        const QString order = QStringLiteral("SELECT Pointer FROM magazine WHERE Receive_Code = '1' ORDER BY ");
        const QString total = sql(QStringLiteral("SELECT COUNT(*) FROM magazine WHERE Receive_Code = '1'"));
        QString dom = browse(path);
        QVERIFY(unescaped(dom).contains(QStringLiteral("พบ %1 รายการ").arg(total)));
        const auto codes = [](const QList<QStringList>& rows) {
            QStringList out;
            for (const QStringList& r : rows)
                out << r.value(0);
            return out;
        };
        QCOMPARE(codes(tableRows(dom)),
                 column(db->admin().query(order + QStringLiteral("Magazine_Name, Pointer LIMIT 50"))));
        QCOMPARE(codes(tableRows(browse(path, {{QStringLiteral("page"), QStringLiteral("2")}}))),
                 column(db->admin().query(order + QStringLiteral("Magazine_Name, Pointer LIMIT 50 OFFSET 50"))));
        QCOMPARE(codes(tableRows(browse(path, {{QStringLiteral("sort"), QStringLiteral("3")},
                                               {QStringLiteral("dir"), QStringLiteral("d")},
                                               {QStringLiteral("per"), QStringLiteral("20")}}))),
                 column(db->admin().query(order + QStringLiteral("ISSN DESC, Pointer LIMIT 20"))));
        // Stored markup is text on the page, never an element.
        QVERIFY(!dom.contains(QStringLiteral("<script")));
        QVERIFY(unescaped(dom).contains(script));

        const auto csv = get(path, {{QStringLiteral("format"), QStringLiteral("csv")}});
        QCOMPARE(QString::fromStdString(csv->get_header_value("Content-Type")),
                 QStringLiteral("text/csv; charset=utf-8"));
        QVERIFY(csv->body.rfind("\xEF\xBB\xBF\xE0\xB8\xA3\xE0\xB8\xAB", 0) == 0); // the mark, then "รห"
        QCOMPARE(QString::fromStdString(csv->body).count(QStringLiteral("\r\n")), total.toInt() + 1);
    }

    // Each list of the intranet through the report output, as a scheduled run writes it: the
    // same CSV as the page's, and every row on the printed pages, none off its page.
    void listsOnPaper_data() {
        testsupport::textTable(
            {"kind", "path", "query", "key"},
            {"titles J~titles~rpt_journal/rpt_journal_all.php~group=J~0",
             "by faculty~titles-by-faculty~rpt_journal/rpt_journal_department.php~~1",
             "registered~registrations~rpt_journal/rpt_regis_journal.php~from=1/1/2569&to=30/11/2026~0",
             "bound~bound-volumes~rpt_journal/main_sum_journal.php~from=1/1/2020&to=30/11/2026~0",
             "indexed~index-entries~rpt_journal/rpt_index_journal.php~from=1/1/2000&to=31/12/2099~0",
             "a title's issues~title-issues~rpt_journal/rpt_title_issues.php~title=J000002~0",
             "publishers~publishers~rpt_journal/rpt_publishers.php~~0"});
    }
    void listsOnPaper() {
        const auto [kind, path, query, key] = testsupport::fetch<4>();
        web::Query q;
        QStringList args = {kind};
        for (const QString& pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
            q.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
            args << QStringLiteral("--") + pair.section(QLatin1Char('='), 0, 0) << pair.section(QLatin1Char('='), 1);
        }
        QTemporaryDir dir;
        QByteArray errors;
        QVERIFY2(
            runReport(args << "--pdf" << dir.filePath("list.pdf") << "--csv" << dir.filePath("list.csv"), &errors) == 0,
            errors.constData());
        QVERIFY(QString::fromStdString(get(path, q)->body).contains(QStringLiteral("ดาวน์โหลด PDF (พิมพ์)")));
        q.insert(QStringLiteral("format"), QStringLiteral("csv"));
        const QByteArray csv = testsupport::fileBytes(dir.filePath("list.csv"));
        QCOMPARE(csv, QByteArray::fromStdString(get(path, q)->body));
        const QStringList lines = QString::fromUtf8(csv).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(1);
        QVERIFY(lines.size() > 3);
        QString words;
        for (const auto& word : testsupport::pdfWords(dir.filePath("list.pdf"))) {
            QVERIFY2(word.onPage, qPrintable(word.text));
            words += word.text;
        }
        for (const QString& line : lines)
            QVERIFY2(words.contains(testsupport::bare(line.section(QLatin1Char(','), key.toInt(), key.toInt()))),
                     qPrintable(line));
        QVERIFY(words.contains(testsupport::bare(QStringLiteral("รวมทั้งสิ้น %1 รายการ").arg(lines.size()))));
        // The page offers the same pages, drawn by the server.
        q.insert(QStringLiteral("format"), QStringLiteral("pdf"));
        QFile served(dir.filePath("served.pdf"));
        QVERIFY(served.open(QIODevice::WriteOnly) && served.write(QByteArray::fromStdString(get(path, q)->body)) > 0);
        served.close();
        QCOMPARE(testsupport::pdfText(served.fileName()), testsupport::pdfText(dir.filePath("list.pdf")));
    }

    // Each search finds exactly the articles the server's own LIKE finds for the typed text.
    void searchFindsWhatSqlFinds_data() {
        testsupport::textTable({"field", "how", "text"},
                               {"title begins with a quote~title~begins~'Quo", "title holds 50%_~title~contains~50%_",
                                "title holds a backslash~title~contains~\\", "Thai prefix~title~begins~การ",
                                "markup~title~contains~<script>", "subject~subject~contains~การ",
                                "journal~journal~begins~วารสาร"});
    }
    void searchFindsWhatSqlFinds() {
        const auto [field, how, text] = testsupport::fetch<3>();
        // The typed text made literal by the server's own REPLACE, not by the program.
        const QString like =
            QStringLiteral(
                "LIKE CONCAT(%1, REPLACE(REPLACE(REPLACE(?, '\\\\', '\\\\\\\\'), '%', '\\\\%'), '_', '\\\\_'), "
                "'%')")
                .arg(how == QLatin1String("contains") ? QStringLiteral("'%'") : QStringLiteral("''"));
        QString q;
        if (field == QLatin1String("subject"))
            q = QStringLiteral("SELECT DISTINCT article_no FROM msubject WHERE subject ") + like;
        else if (field == QLatin1String("journal"))
            q = QStringLiteral("SELECT a.article_no FROM article a JOIN magazine m ON m.Pointer = a.pointer WHERE "
                               "m.Magazine_Name ") +
                like;
        else
            q = QStringLiteral("SELECT article_no FROM article WHERE Article_Name ") + like;
        QStringList expected = column(db->admin().query(q + QStringLiteral(" ORDER BY 1"), {text}));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(found(field, how, text), expected);
    }

    // Each search's CSV names every column it gives: as many captions as each row has cells.
    void csvHeadersFitTheRows_data() {
        testsupport::textTable({"path"},
                               {"articles~main_search_journal.asp", "references~rpt_journal/main_refer_journal.php"});
    }
    void csvHeadersFitTheRows() {
        const auto [path] = testsupport::fetch<1>();
        const auto r = get(path, {{QStringLiteral("q"), QStringLiteral("การ")},
                                  {QStringLiteral("field"), QStringLiteral("subject")},
                                  {QStringLiteral("how"), QStringLiteral("contains")},
                                  {QStringLiteral("format"), QStringLiteral("csv")}});
        const auto cells = [](const QString& line) {
            int n = 1;
            bool quoted = false;
            for (const QChar ch : line)
                if (ch == QLatin1Char('"'))
                    quoted = !quoted;
                else if (ch == QLatin1Char(',') && !quoted)
                    ++n;
            return n;
        };
        const QStringList lines = QString::fromUtf8(r->body).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY(lines.size() > 2);
        for (const QString& line : lines.mid(1))
            QVERIFY2(cells(line) == cells(lines.first()), qPrintable(lines.first() + " / " + line));
    }

    // A pen name finds the articles under the true name and under every other pen name.
    void authorSearchJoinsPenNames() {
        const QString trueId = sql(QStringLiteral("SELECT trueidno FROM authname WHERE trueidno IS NOT NULL AND "
                                                  "trueidno <> '' AND idno IN (SELECT idno FROM mauthfile) LIMIT 1"));
        QVERIFY(!trueId.isEmpty());
        const QString pen = sql(QStringLiteral("SELECT penname FROM authname WHERE trueidno = ? LIMIT 1"), {trueId});
        const QStringList expected = column(db->admin().query(
            QStringLiteral("SELECT DISTINCT f.article_no FROM mauthfile f JOIN authname n ON n.idno = f.idno WHERE "
                           "n.idno = ? OR n.trueidno = ? ORDER BY 1"),
            {trueId, trueId}));
        QStringList got = found(QStringLiteral("author"), QStringLiteral("begins"), pen);
        for (const QString& a : expected)
            QVERIFY2(got.contains(a), qPrintable(a));
    }

    // Hostile stored titles come back as the same text, on the page and in the CSV.
    void hostileTitlesShownAsText() {
        const QStringList texts = testsupport::hostileTexts();
        const QString journal = sql(QStringLiteral("SELECT Magazine_Name FROM magazine WHERE Pointer = 'J000002'"));
        const auto page =
            get(QStringLiteral("main_search_journal.asp"), {{QStringLiteral("q"), journal},
                                                            {QStringLiteral("field"), QStringLiteral("journal")},
                                                            {QStringLiteral("per"), QStringLiteral("500")}});
        QCOMPARE(page->status, 200);
        const QString html = QString::fromStdString(page->body);
        QVERIFY(!html.contains(QStringLiteral("<script")));
        int shown = 0;
        for (const QString& t : texts)
            shown += unescaped(html).contains(t.trimmed()) ? 1 : 0;
        QVERIFY2(shown >= texts.size() - 1, qPrintable(QString::number(shown))); // the NUL one is cut by HTML
    }

    // A period in either era gives the same report; per-day counts add up to SQL's.
    void periodsInEitherEra() {
        const QString path = QStringLiteral("rpt_journal/rpt_regis_journal.php");
        const QString common = browse(path, {{QStringLiteral("from"), QStringLiteral("1/1/2026")},
                                             {QStringLiteral("to"), QStringLiteral("30/11/2026")}});
        const QString buddhist = browse(path, {{QStringLiteral("from"), QStringLiteral("1/1/2569")},
                                               {QStringLiteral("to"), QStringLiteral("30/11/2569")}});
        QCOMPARE(tableRows(buddhist), tableRows(common));
        const QString count =
            sql(QStringLiteral("SELECT COUNT(*) FROM tranfile WHERE indate BETWEEN '2026-01-01' AND '2026-11-30'"));
        QVERIFY(count.toInt() > 0);
        QVERIFY(
            unescaped(common).contains(QStringLiteral("รวม") + QLocale(QLocale::Thai).toString(count.toLongLong())));
        QVERIFY(unescaped(browse(path, {{QStringLiteral("from"), QStringLiteral("31/02/2026")}}))
                    .contains(QStringLiteral("ไม่ใช่วันที่ที่ถูกต้อง")));
    }

    // Only the page table is served; a failure shows a reference, never the server's text.
    void refusalsAndFailures() {
        QCOMPARE(get(QStringLiteral("rpt_journal/rpt_journal_allXphp"))->status, 404);
        QCOMPARE(get(QStringLiteral("../etc/passwd"))->status, 404);
        QCOMPARE(
            get(QStringLiteral("main_search_journal.asp"), {{QStringLiteral("q"), QString(5000, QLatin1Char('x'))}})
                ->status,
            414);
        httplib::Client client("127.0.0.1", server->port());
        QCOMPARE(client.Post("/main_search_journal.asp", "q=a", "application/x-www-form-urlencoded")->status, 405);

        web::ServerOptions options;
        options.port = 0;
        options.db = db->settings();
        options.db.database = QStringLiteral("no_such_database");
        web::WebServer broken(options);
        QString error;
        QVERIFY(broken.bind(&error));
        std::thread t([&] { broken.run(); });
        const auto r = httplib::Client("127.0.0.1", broken.port()).Get("/rpt_journal/rpt_journal_all.php");
        broken.stop();
        t.join();
        QCOMPARE(r->status, 500);
        const QString body = QString::fromStdString(r->body);
        QVERIFY(body.contains(QStringLiteral("หมายเลขอ้างอิง")));
        QVERIFY(!body.contains(QStringLiteral("no_such_database")) && !body.contains(QStringLiteral("1049")));
    }
};

QTEST_MAIN(tst_web)
#include "tst_web.moc"
