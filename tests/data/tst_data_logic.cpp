// Pure logic of the data layer: dates and eras, counter arithmetic, CSV quoting and the
// connection string.
#include "data/Config.h"
#include "data/Connection.h"
#include "data/Counter.h"
#include "data/Dates.h"
#include "reports/Report.h"
#include "support/Names.h"

class tst_data_logic : public QObject {
    Q_OBJECT
private slots:
    // "typed=stored" with ISO dates; nothing after "=": refused. Years of 2400 and more are
    // Buddhist-era (the leap day of BE 2543, 2000, exists; of 2443, 1900, not).
    void parseDate() {
        const QStringList rows =
            QStringLiteral(
                "15/03/2024=2024-03-15|2024-03-15=2024-03-15|  01/01/2000 =2000-01-01|1/2/2024=2024-02-01|"
                "29/02/2000=2000-02-29|29/02/1900=|31/02/2024=|31/04/2024=|01/13/2024=|00/01/2024=|01/01/24=|=|"
                "15/03/=|15-03-2024=|0000-01-01=|2024-03-15 10:00:00=|๑๕/๐๓/๒๕๖๗=|1//2//2024=|"
                "15/03/2569=2026-03-15|29/02/2543=2000-02-29|29/02/2443=|31/12/2399=2399-12-31|01/01/2400=1857-01-01")
                .split(u'|');
        for (const QString& row : rows) {
            const QStringList r = row.split(u'=');
            QCOMPARE(data::isoDate(data::parseDate(r[0]).value_or(QDate())), r[1]);
        }
        data::setDisplayEra(data::Era::Buddhist); // shown with the era's year
        QCOMPARE(data::formatDate(QDate(2026, 3, 5)), u"05/03/2569"_s);
        data::setDisplayEra(data::Era::Common);
    }

    void counterArithmetic() { // "text=next"; nothing after "=": not a number
        const char* rows[] = {
            "125=126", "007=8", " 99 =100", "4294967295=4294967296", "999999999999999999=1000000000000000000", "=",
            "12a=",    "-5=",   "1.5=",     "99999999999999999999="};
        for (const char* row : rows) {
            const QStringList r = QString::fromLatin1(row).split(u'=');
            QCOMPARE(data::nextCounterText(r[0]).value_or(QString()), r[1]);
        }
    }

    // CSV values are quoted when they hold a comma, a quote or a line break, quotes doubled.
    void csvQuoting() {
        QCOMPARE(reports::csvBytes({u"ชื่อ"_s}, {{u"plain"_s}, {u"say \"hi\""_s}, {u"a,b"_s}, {u"two\nlines"_s}}),
                 u"\uFEFFชื่อ\r\nplain\r\n\"say \"\"hi\"\"\"\r\n\"a,b\"\r\n\"two\nlines\"\r\n"_s.toUtf8());
    }

    void connectionString() {
        const QString head = u"DRIVER={MySQL ODBC 3.51 Driver};SERVER=db.library;"_s;
        const QString tail = u"OPTION=18475;CHARSET=utf8mb4;"_s;
        data::ConnectionSettings s;
        s.server = u"db.library"_s;
        QCOMPARE(s.connectionString(), head + "DATABASE=magazine;UID=varnok;" + tail);
        s.port = 3307;
        s.socket = u"/run/m.sock"_s;
        s.hasPassword = true;
        QCOMPARE(s.connectionString(), head + "PORT=3307;SOCKET=/run/m.sock;DATABASE=magazine;UID=varnok;PWD=;" + tail);
        s.password = u"a;UID=root}"_s; // cannot break out of its piece
        QVERIFY(s.connectionString().contains(u"PWD={a;UID=root}}};"_s));
        QVERIFY(!s.target().contains(s.password)); // what messages may show never carries it
    }

    // The configuration file's settings, commas and all.
    void configuration() {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        QFile f(dir.filePath(u"warasan/warasan.ini"_s));
        QVERIFY(QDir(dir.path()).mkpath(u"warasan"_s) && f.open(QIODevice::WriteOnly) &&
                f.write("[database]\nserver=db1:3306,db2\npassword=s3cret\nname=serials\n[reports]\nroot=http://web/"
                        "\n[display]\nera=Buddhist\n") > 0);
        f.close();
        const auto c = data::InstallationConfig::load();
        QCOMPARE(QStringList({c.db.server, c.db.password, c.db.database, c.reportRoot, QString::number(c.buddhistEra)})
                     .join(u'|'),
                 u"db1:3306,db2|s3cret|serials|http://web/|1"_s);
    }
};

WARASAN_GUILESS_TEST_MAIN(tst_data_logic)
#include "tst_data_logic.moc"
