// Pure logic of the data layer: dates and eras, counter arithmetic, LIKE escaping, the
// connection string and the installation's configuration.
#include "data/Config.h"
#include "data/Connection.h"
#include "data/Counter.h"
#include "data/Dates.h"

#include <QTemporaryDir>
#include <QTest>

class tst_data_logic : public QObject {
    Q_OBJECT
private slots:
    void parseDate_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("expected"); // invalid: refused
        const struct {
            const char* text;
            QDate date;
        } rows[] = {
            {"15/03/2024", {2024, 3, 15}},
            {"2024-03-15", {2024, 3, 15}},
            {"  01/01/2000 ", {2000, 1, 1}},
            {"1/2/2024", {2024, 2, 1}},
            {"29/02/2000", {2000, 2, 29}},
            {"29/02/1900", {}},
            {"31/02/2024", {}},
            {"31/04/2024", {}},
            {"01/13/2024", {}},
            {"00/01/2024", {}},
            {"01/01/24", {}},
            {"", {}},
            {"15/03/", {}},
            {"15-03-2024", {}},
            {"0000-01-01", {}},
            {"2024-03-15 10:00:00", {}},
            {"๑๕/๐๓/๒๕๖๗", {}},
            {"1//2//2024", {}},
            // Buddhist-era years: 2569 is 2026; the leap day of BE 2543 (2000) exists, of 2443 (1900) not.
            {"15/03/2569", {2026, 3, 15}},
            {"29/02/2543", {2000, 2, 29}},
            {"29/02/2443", {}},
            {"31/12/2399", {2399, 12, 31}},
            {"01/01/2400", {1857, 1, 1}},
        };
        for (const auto& r : rows)
            QTest::newRow(r.text) << QString::fromUtf8(r.text) << r.date;
    }
    void parseDate() {
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        QCOMPARE(data::parseDate(text).value_or(QDate()), expected);
    }

    void formatDateInBothEras() {
        const QDate d(2026, 3, 5);
        QCOMPARE(data::formatDate(d), QStringLiteral("05/03/2026"));
        QCOMPARE(data::formatDate(QDate()), QString());
        data::setDisplayEra(data::Era::Buddhist);
        QCOMPARE(data::formatDate(d), QStringLiteral("05/03/2569"));
        QCOMPARE(data::isoDate(d), QStringLiteral("2026-03-05"));            // what the database and web pages get
        QCOMPARE(data::parseDate(data::formatDate(d)).value_or(QDate()), d); // shown text reads back
        data::setDisplayEra(data::Era::Common);
        QCOMPARE(data::parseDate(data::formatDate(d)).value_or(QDate()), d);
    }

    void counterArithmetic_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("next"); // empty: not a number
        const char* rows[][2] = {{"125", "126"},
                                 {"007", "8"},
                                 {" 99 ", "100"},
                                 {"4294967295", "4294967296"},
                                 {"999999999999999999", "1000000000000000000"},
                                 {"", ""},
                                 {"12a", ""},
                                 {"-5", ""},
                                 {"1.5", ""},
                                 {"99999999999999999999", ""}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
    }
    void counterArithmetic() {
        QFETCH(QString, text);
        QFETCH(QString, next);
        QCOMPARE(data::nextCounterText(text).value_or(QString()), next);
    }

    void likeEscaping() {
        const char* rows[][3] = {
            {"abc", "%abc%", "abc%"},        {"100%", "%100\\%%", "100\\%%"},         {"a_b", "%a\\_b%", "a\\_b%"},
            {"a\\b", "%a\\\\b%", "a\\\\b%"}, {"O'Reilly", "%O'Reilly%", "O'Reilly%"}, {"", "%%", "%"}};
        for (const auto& r : rows) {
            QCOMPARE(data::likeContains(QString::fromLatin1(r[0])), QString::fromLatin1(r[1]));
            QCOMPARE(data::likePrefix(QString::fromLatin1(r[0])), QString::fromLatin1(r[2]));
        }
    }

    void connectionString_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("socket");
        QTest::addColumn<bool>("hasPassword");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        const QString head = QStringLiteral("DRIVER={MySQL ODBC 3.51 Driver};SERVER=db.library;");
        const QString tail = QStringLiteral("OPTION=18475;CHARSET=utf8mb4;");
        QTest::newRow("server only") << 0 << "" << false << "" << head + "DATABASE=magazine;UID=varnok;" + tail;
        QTest::newRow("port") << 3307 << "" << false << "" << head + "PORT=3307;DATABASE=magazine;UID=varnok;" + tail;
        QTest::newRow("socket") << 0 << "/run/m.sock" << false << ""
                                << head + "SOCKET=/run/m.sock;DATABASE=magazine;UID=varnok;" + tail;
        QTest::newRow("empty password") << 0 << "" << true << "" << head + "DATABASE=magazine;UID=varnok;PWD=;" + tail;
        QTest::newRow("password that could inject a piece")
            << 0 << "" << true << "a;UID=root}" << head + "DATABASE=magazine;UID=varnok;PWD={a;UID=root}}};" + tail;
    }
    void connectionString() {
        QFETCH(int, port);
        QFETCH(QString, socket);
        QFETCH(bool, hasPassword);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        data::ConnectionSettings s;
        s.server = QStringLiteral("db.library");
        s.port = port;
        s.socket = socket;
        s.hasPassword = hasPassword;
        s.password = password;
        QCOMPARE(s.connectionString(), expected);
        if (!password.isEmpty())
            QVERIFY(!s.target().contains(password)); // what messages may show never carries it
    }

    // The INI file, each key overridden from the environment, the era, and the warnings for a
    // password file others can read and a password the driver cannot pass on.
    void configuration() {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        QDir().mkpath(home.path() + "/warasan");
        QFile ini(home.path() + "/warasan/warasan.ini");
        const auto writeIni = [&](const QByteArray& text, QFile::Permissions p) {
            QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ini.write(text);
            ini.close();
            ini.setPermissions(p);
        };
        const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
        writeIni("[database]\nserver=lib-db\nport=3310\npassword=fromfile\n[reports]\nroot=http://intranet/\n"
                 "[display]\nera=buddhist\n",
                 ownerOnly | QFile::ReadGroup | QFile::ReadOther);
        for (const char* v :
             {"WARASAN_SERVER", "WARASAN_PORT", "WARASAN_PASSWORD", "WARASAN_REPORT_ROOT", "WARASAN_ERA"})
            qunsetenv(v);
        data::InstallationConfig c = data::InstallationConfig::load();
        QCOMPARE(c.db.server, QStringLiteral("lib-db"));
        QCOMPARE(c.db.port, 3310);
        QCOMPARE(c.db.password, QStringLiteral("fromfile"));
        QCOMPARE(c.db.user, QStringLiteral("varnok"));
        QCOMPARE(c.reportRoot, QStringLiteral("http://intranet/"));
        QVERIFY(c.buddhistEra);
        qputenv("WARASAN_SERVER", "other-db");
        qputenv("WARASAN_ERA", "common");
        c = data::InstallationConfig::load();
        QCOMPARE(c.db.server, QStringLiteral("other-db"));
        QVERIFY(!c.buddhistEra);
        qunsetenv("WARASAN_SERVER");
        qunsetenv("WARASAN_ERA");

        data::setInstallation(data::InstallationConfig::load());
        QCOMPARE(data::displayEra(), data::Era::Buddhist);
        bool fatal = true;
        QStringList problems = data::configurationProblems(&fatal);
        QCOMPARE(problems.size(), 1);
        QVERIFY(problems.first().contains(ini.fileName()) && problems.first().contains(QStringLiteral("chmod 600")));
        QVERIFY(!fatal);

        writeIni("[database]\nserver=lib-db\npassword=\" padded \"\n", ownerOnly);
        data::setInstallation(data::InstallationConfig::load());
        problems = data::configurationProblems(&fatal);
        QCOMPARE(problems.size(), 1);
        QVERIFY(fatal);

        writeIni("[database]\nserver=lib-db\n", ownerOnly | QFile::ReadOther);
        data::setInstallation(data::InstallationConfig::load());
        QVERIFY(data::configurationProblems(&fatal).isEmpty()); // no password, nothing to hide
        QVERIFY(!data::installation().db.connectionString().contains(QStringLiteral("PWD")));
        data::setDisplayEra(data::Era::Common);
    }

    void joinUrl() {
        const char* rows[][3] = {{"http://lib/", "rpt_journal/a.php", "http://lib/rpt_journal/a.php"},
                                 {"http://lib", "/rpt_journal/a.php", "http://lib/rpt_journal/a.php"},
                                 {"http://lib/serial//", "m.asp", "http://lib/serial/m.asp"}};
        for (const auto& r : rows)
            QCOMPARE(data::joinUrl(QString::fromLatin1(r[0]), QString::fromLatin1(r[1])), QString::fromLatin1(r[2]));
    }
};

QTEST_GUILESS_MAIN(tst_data_logic)
#include "tst_data_logic.moc"
