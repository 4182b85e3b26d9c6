// The schema as the server sees it: engines and keys, character set and Thai collation; an
// installation kept the old way, checked and migrated.
#include "data/Connection.h"
#include "data/SaveGate.h"
#include "datagen/DataGenerator.h"
#include "dbcheck/DbCheck.h"
#include "index/ArticleStore.h"
#include "index/AuthorStore.h"
#include "records/TitleStore.h"
#include "support/DatabaseTest.h"
#include "support/Legacy.h"
#include "support/WindowTest.h"
#include "titles/DealerStore.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

class tst_schema : public testsupport::DatabaseTest {
    Q_OBJECT

private slots:
    // Each case on a database made afresh: what one case converts or renames, even when it
    // fails half-way, cannot spill into the next.
    void init() {
        windowsLeft = 0;
        db.reset();
        db = std::make_unique<TestDatabase>(u"schema"_s);
    }

    void everyTableIsInnoDbThaiWithPrimaryKey() {
        const data::Result tables = db->admin().query(
            QStringLiteral("SELECT t.table_name, t.engine, t.table_collation, "
                           "  (SELECT COUNT(*) FROM information_schema.table_constraints k WHERE k.table_schema = "
                           "   t.table_schema AND k.table_name = t.table_name AND k.constraint_type = 'PRIMARY KEY') "
                           "FROM information_schema.tables t WHERE t.table_schema = ?"),
            {db->name()});
        QCOMPARE(tables.rowCount(), 23);
        for (int i = 0; i < tables.rowCount(); ++i) {
            const QString name = tables.text(i, 0);
            QCOMPARE(tables.text(i, 1), u"InnoDB"_s);
            QVERIFY2(tables.text(i, 2) == u"utf8mb4_thai_520_w2"_s, qPrintable(name));
            QVERIFY2(tables.value(i, 3).toLongLong() == 1, qPrintable(name + " has no primary key"));
        }
    }

    // A copy whose tables cannot keep a save whole, or are not where the program looks, still
    // shows what it holds but takes no save at all: the message names them, nothing is written.
    // Text a narrower character set cannot hold is refused with the characters named, never
    // stored as "?"; searching for it finds nothing.
    void legacyTablesTakeNoSave() {
        exec(u"ALTER TABLE mauthfile ENGINE=MyISAM"_s);
        exec(u"RENAME TABLE artctrl TO artctrl_old"_s);
        auto legacy = db->connect();
        QCOMPARE(legacy->query(u"SELECT COUNT(*) FROM dealer"_s).text(0, 0), u"0"_s);
        QVERIFY_THROWS_EXCEPTION(data::DbError, titles::DealerStore::add(*legacy, {{}, u"x"_s, {}, {}, {}}));
        QVERIFY2(data::saveRefusal(*legacy).contains(u"mauthfile เป็นแบบ MyISAM"_s) &&
                     data::saveRefusal(*legacy).contains(u"ไม่พบตาราง artctrl"_s),
                 qPrintable(data::saveRefusal(*legacy)));

        exec(u"ALTER TABLE mauthfile ENGINE=InnoDB"_s);
        exec(u"RENAME TABLE artctrl_old TO artctrl"_s);
        QCOMPARE(sql(u"SELECT COUNT(*) FROM dealer"_s), u"0"_s);
        exec(u"ALTER TABLE dealer CONVERT TO CHARACTER SET tis620"_s);
        auto narrow = db->connect();
        try {
            titles::DealerStore::add(*narrow, {{}, u"Müller “ไทย” 😀"_s, {}, {}, {}});
            QFAIL("saved text tis620 cannot hold");
        } catch (const data::DbError& e) {
            QVERIFY2(e.message().contains(u"“ü” (U+00FC), ““” (U+201C), “”” (U+201D), “😀” (U+1F600)"_s),
                     qPrintable(e.message()));
        }
        QCOMPARE(titles::DealerStore::add(*narrow, {{}, u"สำนักพิมพ์ไทย"_s, {}, {}, {}}), u"1"_s);
        QCOMPARE(titles::DealerStore::search(*narrow, u"Mü"_s).size(), 0);
        QCOMPARE(sql(u"SELECT GROUP_CONCAT(Publisher_Name) FROM dealer"_s), u"สำนักพิมพ์ไทย"_s);
    }

    // An installation kept the old way: the check names every problem planted; the migration
    // refuses without a backup or with the program's account, prints its plan on a dry run,
    // and leaves a database that takes saves, reads back what it held before (empty dates
    // empty), and a backup a client can load.
    void legacyCheckAndMigration() {
        datagen::DataSize demo = datagen::DataSize::demo();
        datagen::generate(db->admin(), demo);
        for (const char* plant :
             {"UPDATE magazine SET Magazine_Name = (SELECT n FROM (SELECT MIN(Magazine_Name) n FROM magazine) x) "
              "ORDER BY Pointer DESC LIMIT 1",
              "INSERT INTO mauthfile (article_no, seqno, idno) VALUES ('9999999', 1, '0000001')",
              "INSERT INTO authname (idno, penname, trueidno) VALUES ('0000000', 'นามแฝง', '0009997')",
              "UPDATE article SET remark = 'ราคา ?? บาท' ORDER BY article_no LIMIT 1",
              // a single-byte Thai copy never held what tis620 cannot
              "UPDATE dealer SET Publisher_Name = REPLACE(Publisher_Name, 'ü', 'u'), Contact = REPLACE(Contact, 'ü', "
              "'u')",
              "UPDATE authname SET penname = REPLACE(penname, 'ü', 'u')"})
            exec(QString::fromUtf8(plant));
        const QString before = snapshot(*db->connect());
        testsupport::makeLegacy(db->admin());
        QVERIFY_THROWS_EXCEPTION(data::DbError, titles::DealerStore::add(*db->connect(), {{}, "x", {}, {}, {}}));
        QCOMPARE(records::TitleStore::search(*db->connect(), u"Müller"_s).size(), 0);

        QByteArray report;
        QCOMPARE(dbcheck({}, &report), 1);
        for (const char* problem :
             {"tranfile is MyISAM", "magazine: text columns not in utf8mb4 (16 in tis620)",
              "magazine: index magazine_name", "tranfile.ReturnDate: ", "artctrl.artno_ctrl: \" ",
              "ctrlsumj.regno_ctrl is varchar(20)", "dealer.Publisher_Name: ", "TIS-620 bytes",
              "1 author links of missing articles", "1 pen names whose true name is gone",
              "1 title names held by more than one title", "article.remark: 1 row(s) hold \"??\"",
              "chk_receive.station is missing: appended", "magazine_gram is missing", "msubject_gram is missing"})
            QVERIFY2(report.contains(problem), problem);
        QCOMPARE(dbcheck({"--migrate", "--user", "root"}), 2);
        QCOMPARE(dbcheck({"--migrate", "--user", "varnok", "--backup", "x.sql"}), 2);
        QCOMPARE(dbcheck({"--migrate", "--dry-run"}, &report), 0);
        QVERIFY(report.contains("ALTER TABLE `tranfile` ENGINE=InnoDB, CONVERT TO CHARACTER SET utf8mb4"));
        QCOMPARE(sql("SELECT ENGINE FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE() AND "
                     "TABLE_NAME = 'tranfile'"),
                 u"MyISAM"_s);

        QTemporaryDir dir;
        const QString backup = dir.filePath("backup.sql");
        const QString legacyIssues = sql("SELECT COUNT(*), MAX(HEX(DescriptionItem)) FROM tranfile");
        QCOMPARE(dbcheck({"--migrate", "--user", "root", "--backup", backup}, &report), 1);
        const QByteArray after = report.mid(report.indexOf("checked again:"));
        QCOMPARE(after.count("  ! "), 3); // what only a person can settle
        QCOMPARE(snapshot(*db->connect()), before);
        QCOMPARE(sql("SELECT COUNT(*) FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND "
                     "CHARACTER_SET_NAME <> 'utf8mb4'"),
                 u"0"_s);
        QCOMPARE(titles::DealerStore::add(*db->connect(), {{}, u"Müller 😀"_s, {}, {}, {}}).value.isEmpty(), false);
        QCOMPARE(indexing::AuthorStore::add(*db->connect(), u"ผู้แต่งใหม่"_s, false, {}).idno.size(), 7);
        QVERIFY(QFile(backup + ".log").size() > 0);

        // The backup loads into an empty database as the legacy copy was.
        TestDatabase restored(u"restored"_s);
        QProcess client;
        client.setStandardInputFile(backup);
        client.start("mariadb", {"--socket=" + testSocket(), "-uroot", restored.name()});
        QVERIFY(client.waitForFinished(60000) && client.exitCode() == 0);
        QCOMPARE(rowText(restored.admin(), "SELECT COUNT(*), MAX(HEX(DescriptionItem)) FROM tranfile"), legacyIssues);
    }

    // Title and subject searches through the pieces give LIKE's rows, the text taken literally.
    // The program's saves keep the pieces in step with the texts; a text another program changed
    // is found by the check and its pieces rebuilt by the migration.
    void namePiecesFollowTheNames() {
        auto c = db->connect();
        QStringList codes;
        records::Title t;
        for (const char* name : {"Nature 50%_ \\ off", "วารสารแก่น", "NATURAL", "xy"}) {
            t.name = QString::fromUtf8(name);
            codes << records::TitleStore::add(*c, t, 1).value;
        }
        t.pointer = codes.at(2);
        t.name = u"Old name"_s;
        QCOMPARE(records::TitleStore::update(*c, t).value, data::EditOutcome::Saved);
        QVERIFY(records::TitleStore::remove(*c, codes.at(3)));
        const auto found = [&](const char* text) {
            QStringList out;
            for (const records::TitleMatch& m : records::TitleStore::search(*c, QString::fromUtf8(text)))
                out << QString::number(codes.indexOf(m.pointer));
            return out.join(u' ');
        };
        const char* searches[][2] = {{"atu", "0"},    {"NATU", "0"}, {"50%_", "0"}, {"0%x", ""}, {"\\ o", "0"},
                                     {"แก่", "1"},     {"แก", "1"},   {"่น", "1"},    {"กน", ""},  {"ld na", "2"},
                                     {"NATURAL", ""}, {"xy", ""},    {"a", "0 2"},  {"่", "1"}};
        for (const auto& [text, rows] : searches)
            QVERIFY2(found(text) == QLatin1String(rows), text);
        indexing::ArticleEntry article;
        article.title = u"บทความ"_s;
        article.subjects[1] = u"การศึกษาพิเศษ"_s;
        indexing::ArticleStore::save(*c, article);
        const auto subjects = [&](const char* text) {
            return indexing::ArticleStore::subjectsMatching(*c, QString::fromUtf8(text), true).join(u' ');
        };
        QCOMPARE(subjects("ษาพิ") + '|' + subjects("ษาพ่"), u"การศึกษาพิเศษ|"_s);
        QByteArray report;
        QCOMPARE(dbcheck({}, &report), 0);
        QVERIFY2(report.contains("magazine_gram: 31 pieces, 0 missing, 0 of") &&
                     report.contains("msubject_gram: 12 pieces, 0 missing"),
                 report);
        exec(u"UPDATE magazine SET Magazine_Name = 'Science' WHERE Pointer = ?"_s, {codes.at(0)});
        exec(u"UPDATE msubject SET subject = 'เกษตรกรรม'"_s);
        QCOMPARE(dbcheck({}, &report), 1);
        QVERIFY(report.contains("magazine_gram: pieces out of step with magazine.Magazine_Name") &&
                report.contains("msubject_gram: pieces out of step with msubject.subject"));
        QTemporaryDir dir;
        QCOMPARE(dbcheck({"--migrate", "--user", "root", "--backup", dir.filePath("b.sql")}), 0);
        QCOMPARE(found("cien") + subjects("ษตร"), u"0เกษตรกรรม"_s);
    }

    // On a server that keeps table names as written, tables named the old way take no save; the
    // migration gives them the program's names, after which its statements find them.
    void exactTableNames() {
        QTemporaryDir dir;
        const QString script = sourcePath(u"scripts/dbserver.sh"_s);
        QProcess start;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WARASAN_DB_LCTN", "0");
        env.insert("WARASAN_DB_FLUSH", "2");
        start.setProcessEnvironment(env);
        start.start("bash", {script, "start", dir.path()});
        QVERIFY(start.waitForFinished(120000) && start.exitCode() == 0);
        const auto stop = qScopeGuard([&] { QProcess::execute("bash", {script, "stop", dir.path()}); });
        data::ConnectionSettings s = adminSettings();
        s.socket = dir.filePath("mysqld.sock");
        data::Connection(s).exec("CREATE DATABASE legacy");
        s.database = "legacy";
        data::Connection c(s);
        for (const QString& statement : sqlStatements("schema.sql"))
            c.exec(statement);
        c.exec("RENAME TABLE mauthfile TO MAUTHFILE, bindcolor TO Bindcolor");
        QVERIFY(data::saveRefusal(c).contains(u"ไม่พบตาราง mauthfile"_s));
        QByteArray report;
        QCOMPARE(dbcheck({"--user", "root"}, &report, s.socket, s.database), 1);
        QVERIFY(report.contains("mauthfile is named MAUTHFILE") && report.contains("bindcolor is named Bindcolor"));
        QCOMPARE(
            dbcheck({"--migrate", "--user", "root", "--backup", dir.filePath("b.sql")}, &report, s.socket, s.database),
            0);
        data::Connection after(s);
        QCOMPARE(after.query("SELECT COUNT(*) FROM mauthfile").text(0, 0), u"0"_s);
        QCOMPARE(data::saveRefusal(after), QString());
    }

    // Counters kept by hand (blanks, no padding) still give codes in their proper form, and the
    // counter is written back in it.
    void countersReadTolerantly_data() {
        textTable({"kind", "stored", "code", "after"},
                  {"author code~0~ 12 ~0000012~SELECT idno_ctrl FROM authctrl|0000013",
                   "title code~1~J12 ~J000012~SELECT pointer_ctrl1 FROM recsetup|J000013"});
    }
    void countersReadTolerantly() {
        const auto [kind, stored, code, after] = fetch<4>();
        exec(kind == "0" ? "UPDATE authctrl SET idno_ctrl = ?" : "UPDATE recsetup SET pointer_ctrl1 = ?", {stored});
        auto c = db->connect();
        records::Title t;
        t.name = u"วารสารทดลอง"_s;
        QCOMPARE(kind == "0" ? indexing::AuthorStore::add(*c, u"ผู้แต่ง"_s, false, {}).idno
                             : records::TitleStore::add(*c, t, 1),
                 code);
        QCOMPARE(sql(after.section('|', 0, 0)), after.section('|', 1));
    }

private:
    // Every table as the program reads it, in key order.
    static QString snapshot(data::Connection& c) {
        QString out;
        for (const auto& t : data::schemaTables()) {
            if (t.name.endsWith(u"_gram"_s))
                continue; // made from the names; the check after a migration compares them
            QStringList cols;
            for (const auto& col : t.columns)
                cols << col.name;
            const data::Result r = c.query(u"SELECT %1 FROM %2 ORDER BY 1, 2"_s.arg(cols.join(", "), t.name));
            for (const auto& row : r.rows) {
                for (const QVariant& v : row)
                    out += v.toString() + u'|';
                out += u'\n';
            }
        }
        return out;
    }

    int dbcheck(const QStringList& args, QByteArray* output = nullptr, const QString& socket = {},
                const QString& database = {}) {
        QProcess p;
        p.start(QStringLiteral(WARASAN_DBCHECK_EXE),
                QStringList{"--server", "localhost", "--socket", socket.isEmpty() ? testSocket() : socket, "--database",
                            database.isEmpty() ? db->name() : database} +
                    args);
        p.waitForFinished(300000);
        if (output)
            *output = p.readAllStandardOutput() + p.readAllStandardError();
        return p.exitCode();
    }
};

QTEST_GUILESS_MAIN(tst_schema)
#include "tst_schema.moc"
