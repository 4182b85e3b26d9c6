// Pure logic of the data layer: dates, counter arithmetic, LIKE escaping, the connection
// string and the installation's configuration.
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
        QTest::newRow("day first") << "15/03/2024" << QDate(2024, 3, 15);
        QTest::newRow("year first") << "2024-03-15" << QDate(2024, 3, 15);
        QTest::newRow("blanks around") << "  01/01/2000 " << QDate(2000, 1, 1);
        QTest::newRow("leap day") << "29/02/2024" << QDate(2024, 2, 29);
        QTest::newRow("leap day 2000") << "29/02/2000" << QDate(2000, 2, 29);
        QTest::newRow("no leap day 1900") << "29/02/1900" << QDate();
        QTest::newRow("no leap day 2023") << "29/02/2023" << QDate();
        QTest::newRow("31 February") << "31/02/2024" << QDate();
        QTest::newRow("31 April") << "31/04/2024" << QDate();
        QTest::newRow("month 13") << "01/13/2024" << QDate();
        QTest::newRow("day 0") << "00/01/2024" << QDate();
        QTest::newRow("short parts") << "1/1/24" << QDate();
        QTest::newRow("two-digit year") << "01/01/24" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("blank") << "   " << QDate();
        QTest::newRow("separators half typed") << "15/03/" << QDate();
        QTest::newRow("dashes day first") << "15-03-2024" << QDate();
        QTest::newRow("year 0000") << "0000-01-01" << QDate();
        QTest::newRow("time appended") << "2024-03-15 10:00:00" << QDate();
        QTest::newRow("Thai digits") << "๑๕/๐๓/๒๕๖๗" << QDate();
    }
    void parseDate() {
        QFETCH(QString, text);
        QFETCH(QDate, expected);
        const auto d = data::parseDate(text);
        if (!expected.isValid())
            QVERIFY2(!d.has_value(), qPrintable(text));
        else
            QCOMPARE(d.value_or(QDate()), expected);
    }

    void formatDate() {
        QCOMPARE(data::formatDate(QDate(2024, 3, 5)), QStringLiteral("05/03/2024"));
        QCOMPARE(data::formatDate(QDate()), QString());
        QCOMPARE(data::isoDate(QDate(2024, 3, 5)), QStringLiteral("2024-03-05"));
        // What is shown reads back as the same date.
        const QDate d(1999, 12, 31);
        QCOMPARE(data::parseDate(data::formatDate(d)).value_or(QDate()), d);
    }

    void counterArithmetic_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("next"); // empty: not a number
        QTest::newRow("plain") << "125"
                               << "126";
        QTest::newRow("leading zeros dropped") << "007"
                                               << "8";
        QTest::newRow("padded article number") << "0000041"
                                               << "42";
        QTest::newRow("blanks") << " 99 "
                                << "100";
        QTest::newRow("past 16 bits") << "32767"
                                      << "32768";
        QTest::newRow("past 32 bits") << "4294967295"
                                      << "4294967296";
        QTest::newRow("large") << "999999999999999999"
                               << "1000000000000000000";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("letters") << "12a"
                                 << "";
        QTest::newRow("negative") << "-5"
                                  << "";
        QTest::newRow("decimal point") << "1.5"
                                       << "";
        QTest::newRow("too long for 64 bits") << "99999999999999999999"
                                              << "";
    }
    void counterArithmetic() {
        QFETCH(QString, text);
        QFETCH(QString, next);
        QCOMPARE(data::nextCounterText(text).value_or(QString()), next);
    }

    void likeEscaping_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("contains");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("plain") << "abc"
                               << "%abc%"
                               << "abc%";
        QTest::newRow("percent") << "100%"
                                 << "%100\\%%"
                                 << "100\\%%";
        QTest::newRow("underscore") << "a_b"
                                    << "%a\\_b%"
                                    << "a\\_b%";
        QTest::newRow("backslash") << "a\\b"
                                   << "%a\\\\b%"
                                   << "a\\\\b%";
        QTest::newRow("quote untouched") << "O'Reilly"
                                         << "%O'Reilly%"
                                         << "O'Reilly%";
        QTest::newRow("empty matches all") << ""
                                           << "%%"
                                           << "%";
    }
    void likeEscaping() {
        QFETCH(QString, text);
        QFETCH(QString, contains);
        QFETCH(QString, prefix);
        QCOMPARE(data::likeContains(text), contains);
        QCOMPARE(data::likePrefix(text), prefix);
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
        QTest::newRow("password") << 0 << "" << true << "s3cret"
                                  << head + "DATABASE=magazine;UID=varnok;PWD=s3cret;" + tail;
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
        // What messages may show never carries the password.
        if (!password.isEmpty())
            QVERIFY(!s.target().contains(password));
    }

    void configuration() {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        QDir().mkpath(home.path() + "/warasan");
        QFile ini(home.path() + "/warasan/warasan.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[database]\nserver=lib-db\nport=3310\npassword=fromfile\n[reports]\nroot=http://intranet/\n");
        ini.close();
        for (const char* v : {"WARASAN_SERVER", "WARASAN_PORT", "WARASAN_PASSWORD", "WARASAN_REPORT_ROOT"})
            qunsetenv(v);

        data::InstallationConfig c = data::InstallationConfig::load();
        QCOMPARE(c.db.server, QStringLiteral("lib-db"));
        QCOMPARE(c.db.port, 3310);
        QVERIFY(c.db.hasPassword);
        QCOMPARE(c.db.password, QStringLiteral("fromfile"));
        QCOMPARE(c.db.driver, QStringLiteral("MySQL ODBC 3.51 Driver"));
        QCOMPARE(c.db.user, QStringLiteral("varnok"));
        QCOMPARE(c.db.database, QStringLiteral("magazine"));
        QCOMPARE(c.reportRoot, QStringLiteral("http://intranet/"));

        // Each key can be overridden from the environment.
        qputenv("WARASAN_SERVER", "other-db");
        qputenv("WARASAN_PORT", "3999");
        qputenv("WARASAN_REPORT_ROOT", "http://reports.example/");
        c = data::InstallationConfig::load();
        QCOMPARE(c.db.server, QStringLiteral("other-db"));
        QCOMPARE(c.db.port, 3999);
        QCOMPARE(c.reportRoot, QStringLiteral("http://reports.example/"));
        QCOMPARE(c.db.password, QStringLiteral("fromfile"));
        for (const char* v : {"WARASAN_SERVER", "WARASAN_PORT", "WARASAN_REPORT_ROOT"})
            qunsetenv(v);

        // No password anywhere: the connection string has no PWD piece at all.
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[database]\nserver=lib-db\n");
        ini.close();
        c = data::InstallationConfig::load();
        QVERIFY(!c.db.hasPassword);
        QVERIFY(!c.db.connectionString().contains(QStringLiteral("PWD")));
    }

    void joinUrl_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("root with slash") << "http://lib/"
                                         << "rpt_journal/a.php"
                                         << "http://lib/rpt_journal/a.php";
        QTest::newRow("root without slash") << "http://lib"
                                            << "rpt_journal/a.php"
                                            << "http://lib/rpt_journal/a.php";
        QTest::newRow("root with folder") << "http://lib/serial//"
                                          << "main_search_journal.asp"
                                          << "http://lib/serial/main_search_journal.asp";
    }
    void joinUrl() {
        QFETCH(QString, root);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(data::joinUrl(root, path), expected);
    }
};

QTEST_GUILESS_MAIN(tst_data_logic)
#include "tst_data_logic.moc"
