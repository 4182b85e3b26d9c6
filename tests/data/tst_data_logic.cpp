// Plain logic, no server and no window (ctest -L unit): dates and eras, counter arithmetic, CSV
// quoting, the connection string and configuration, summary holdings, call numbers, MARC records
// written and read back, and mail addresses and headers.
#include "alerts/Alerts.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "data/Counter.h"
#include "data/Dates.h"
#include "rules/records/Holdings.h"
#include "rules/reports/Chart.h"
#include "rules/reports/Report.h"
#include "rules/titles/TitleRecord.h"
#include "rules/volumes/CallNumber.h"
#include "support/Tables.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace Qt::StringLiterals;

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
        QCOMPARE(s.connectionString(), head + "PORT=3307;SOCKET=/run/m.sock;DATABASE=magazine;UID=varnok;PWD=;" +
                                           QString(tail).replace(u"18475"_s, u"16427"_s));
        s.password = u"a;UID=root}"_s; // cannot break out of its piece
        QVERIFY(s.connectionString().contains(u"PWD={a;UID=root}}};"_s));
        QVERIFY(!s.target().contains(s.password)); // what messages may show never carries it
        // The compressed protocol across the network only, unless the configuration says otherwise.
        using C = data::ConnectionSettings::Compression;
        const struct {
            const char* server;
            C compression;
            int option;
        } compression[] = {{"db.library", C::Auto, 18475}, {"127.0.1.1", C::Auto, 16427},
                           {"LocalHost", C::Auto, 16427},  {"::1", C::Auto, 16427},
                           {"127.0.0.1", C::On, 18475},    {"10.0.0.127", C::Auto, 18475},
                           {"db.library", C::Off, 16427}};
        for (const auto& row : compression) {
            data::ConnectionSettings t;
            t.server = QString::fromLatin1(row.server);
            t.compression = row.compression;
            QVERIFY2(t.connectionString().contains(u"OPTION=%1;"_s.arg(row.option)), row.server);
        }
    }

    // The configuration file's settings, commas and all.
    void configuration() {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        QFile f(dir.filePath(u"warasan/warasan.ini"_s));
        QVERIFY(QDir(dir.path()).mkpath(u"warasan"_s) && f.open(QIODevice::WriteOnly) &&
                f.write("[database]\nserver=db1:3306,db2\npassword=s3cret\nname=serials\ncompress=No\n[reports]\nroot="
                        "http://web/"
                        "\n[display]\nera=Buddhist\n") > 0);
        f.close();
        const auto c = data::InstallationConfig::load();
        QCOMPARE(QStringList({c.db.server, c.db.password, c.db.database, c.reportRoot, QString::number(c.buddhistEra),
                              QString::number(int(c.db.compression))})
                     .join(u'|'),
                 u"db1:3306,db2|s3cret|serials|http://web/|1|2"_s);
    }

    // Summary holdings: "title code~issues a volume~issues~statement"; an issue is
    // "volume:number:year", "a..b" in the number standing for one issue each.
    void summaryHoldings_data() {
        textTable({"code", "perVolume", "issues", "statement"},
                  {"ranges~J~12~41:1..12:2024 42:1..12:2025 43:1..11:2026~v.41-42 (2024-2025); v.43:no.1-11 (2026)",
                   "thai~I~12~41:1..12:2024 42:1..12:2025 43:1..11:2026~"
                   "ปีที่ 41-42 (2567-2568); ปีที่ 43 ฉบับที่ 1-11 (2569)",
                   "numberGap~J~12~43:1..3:2026 43:5..11:2026~v.43:no.1-3,5-11 (2026)",
                   "volumeGap~K~4~41:1..4:2024 43:1..4:2026 44:1..4:2027~v.41 (2024), v.43-44 (2026-2027)",
                   "combined~J~12~1:1..4:2020 1:5-6:2020 1:7/8:2020 1:9..12:2020~v.1 (2020)",
                   "byHighest~J~0~1:1..6:2020 2:1..4:2021~v.1 (2020); v.2:no.1-4 (2021)",
                   "volumesOnly~L~0~5::2020 6::2021~ปีที่ 5-6 (2563-2564)",
                   "continuous~J~12~21:245..256:2020~v.21:no.245-256 (2020)",
                   "partialBetween~J~2~1:1..2:2020 2:2:2021 3:1..2:2022~v.1 (2020); v.2:no.2 (2021); v.3 (2022)",
                   "unnumbered~J~2~1:1..2:2020 x:1:2018 :3:2019~v.1 (2020); unnumbered (2018-2019)",
                   "spansYears~J~2~7:1:2024 7:2:2025~v.7 (2024-2025)", "nothing~J~12~~",
                   "lettered~J~2~4:1..2:2020 4:21A:2020 4:21A:2020 5:1..2:2021~v.4:no.1-2,21A (2020); v.5 (2021)"});
    }
    void summaryHoldings() {
        const auto [code, perVolume, issues, statement] = fetch<4>();
        QList<records::HeldIssue> held;
        for (const QString& issue : issues.split(u' ', Qt::SkipEmptyParts)) {
            const QStringList f = issue.split(u':');
            const QStringList range = f[1].split(u".."_s);
            const QDate date(f[2].toInt(), 6, 1);
            if (range.size() == 2)
                for (int n = range[0].toInt(); n <= range[1].toInt(); ++n)
                    held.append({f[0], QString::number(n), date});
            else
                held.append({f[0], f[1], date});
        }
        QCOMPARE(records::summaryHoldings(held, records::holdingsWordingOf(code), perVolume.toInt()), statement);
    }

    // A chart as SVG: valid XML whatever its texts hold, each bar as long as its value on one
    // scale (up: its height; across: its width), the top bar within the plot, every text there.
    void chartsToScale_data() {
        textTable({"categories", "values"},
                  {"up~ม.ค. 69|ก.พ.|<b>&\"x\"</b>~12 0 7|3 3 0", "across~Springer|สำนักพิมพ์ <ซีเอ็ด> & 'ลูก'|EBSCO~40 1 5",
                   "single~ธ.ค.~1", "empty~~"});
    }
    void chartsToScale() {
        const auto [categories, values] = fetch<2>();
        const QString across = QString::fromLatin1(QTest::currentDataTag());
        reports::Chart chart{
            u"แผนภูมิ <ทดสอบ> & \"x\""_s, u"ฉบับ"_s, u"เดือน"_s, categories.split(u'|', Qt::SkipEmptyParts), {}, {},
            across == u"across"_s};
        for (const QString& series : values.split(u'|', Qt::SkipEmptyParts)) {
            chart.series << u"ชุด %1"_s.arg(chart.series.size() + 1);
            chart.values.append(QList<double>{});
            for (const QString& v : series.split(u' '))
                chart.values.last() << v.toDouble();
        }
        const QByteArray svg = reports::svg(chart);
        QVERIFY(!svg.contains("<b>") && !svg.contains("<ซีเอ็ด>") && !svg.contains("<ทดสอบ>"));
        QXmlStreamReader xml(svg);
        QStringList texts;
        QList<double> scale;
        double plotEnd = 0, most = 0;
        int bars = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const auto a = xml.attributes();
            const auto number = [&](const char* name) { return a.value(QLatin1String(name)).toDouble(); };
            if (xml.name() == u"text"_s || xml.name() == u"title"_s)
                texts << xml.readElementText();
            else if (xml.name() == u"rect"_s && a.hasAttribute(u"data-value"_s)) {
                ++bars;
                const double v = number("data-value"), length = chart.across ? number("width") : number("height");
                QCOMPARE(v, chart.values.at(int(number("data-series"))).at(int(number("data-category"))));
                if (v > 0)
                    scale << length / v;
                else
                    QCOMPARE(length, 0.0);
                most = std::max(most, chart.across ? number("x") + length : 340 - 20 - number("y"));
            } else if (xml.name() == u"svg"_s)
                plotEnd = a.value(u"viewBox"_s).split(u' ').at(2).toDouble();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(bars, chart.categories.size() * chart.series.size());
        for (double s : scale)
            QVERIFY(qAbs(s - scale.first()) < 0.01);
        QVERIFY(most <= (chart.across ? plotEnd : 340 - 28 - 20) + 0.01);
        for (const QString& c : chart.categories + chart.series + QStringList{chart.title})
            QVERIFY2(texts.contains(c), qPrintable(c));
        QCOMPARE(reports::longRows(chart).size(), chart.categories.size() * chart.series.size());
    }

    // A bound volume's call number from the issues gathered: "volume,number,description" each,
    // the title's code giving the language.
    void callNumbers_data() {
        textTable(
            {"issues", "language", "expected"},
            {"Thai range~5,1,มกราคม 2549;5,2,กุมภาพันธ์ 2549;5,3,มีนาคม 2549~I000001~วารสาร ป.5 ฉ.1-3  ม.ค. -  มี.ค. 49",
             "English single~12,1,January 2006~J000001~วารสาร Vol.12 No.1  Jan 06",
             "no months: English words~5,1,;5,2,;5,3,~I000001~วารสาร Vol.5 No.1-3",
             "years differ with months~4,12,December 2005;5,1,January 2006~J000001~วารสาร Vol.4-5 No.1-12  Jan -  Dec "
             "05",
             "same number: lowest year only~4,3,;6,3,~J000001~วารสาร Vol.4 No.3",
             "first of equal lowest numbers gives the month~5,1,June 2006;5,1,May 2006;5,2,July 2006~J000001~"
             "วารสาร Vol.5 No.1-2  Jun -  Jul 06",
             "first of equal numbers gives the month~5,2,March 2006;5,1,May 2006;5,2,April 2006~J000001~"
             "วารสาร Vol.5 No.1-2  May -  Mar 06",
             "ranges keep both years~5,1,มกราคม-มีนาคม 2549;5,2,เมษายน-มิถุนายน 2549~I000001~วารสาร ป.5 ฉ.1-2  ม.ค. - "
             "มิ.ย. "
             "49",
             "short highest month~5,1,มีนาคม 2549;5,2,x~I000001~วารสาร ป.5 ฉ.1-2  มี.ค. - ",
             "range ending in a dash~5,1,March 2006;5,2,May-~J000001~วารสาร Vol.5 No.1-2  Mar - ",
             "no language for a month part~5,1,มีนาคม 2549~X000001~-", "nothing gathered~~I000001~-"});
    }
    void callNumbers() {
        const auto [issues, language, expected] = fetch<3>();
        QList<volumes::GatheredIssue> gathered;
        for (const QString& i : issues.split(';', Qt::SkipEmptyParts)) {
            const QStringList v = i.split(',');
            gathered.append({v[0], v[1], v[2]});
        }
        QCOMPARE(volumes::gen_callno(
                     gathered, volumes::languageOfPointer(language).value_or(volumes::Language::Unknown), u"วารสาร"_s)
                     .value_or(u"-"_s),
                 expected);
    }
    // A title's record written as ISO 2709 and as MARCXML and read back gives the title again:
    // "code~name~parallel~former~short~ISSN~language~frequency~publisher~245 indicators".
    void marcRoundTrip_data() {
        textTable({"code", "name", "parallel", "former", "short", "issn", "language", "frequency", "publisher", "ind"},
                  {"thai~I000001~วารสารครุศาสตร์~Journal of Education~ครุศาสตร์สาร~ครุศาสตร์~0125-2283~02~04~คณะครุศาสตร์~00",
                   "article~J000001~The Nature~~~Nat.~0028-0836~01~02~Springer~04",
                   "bare~J000002~A Review~~~~~01~09~~02"});
    }
    void marcRoundTrip() {
        const auto [code, name, parallel, former, shortName, issn, language, frequency, publisher, ind] = fetch<10>();
        records::Title t;
        t.pointer = code;
        t.name = name;
        t.parallelName = parallel;
        t.formerName = former;
        t.shortName = shortName;
        t.issn = issn;
        t.languageCode = language;
        t.frequencyCode = frequency;
        t.publisherName = publisher;
        const marc::Record record = titles::titleRecord(t, {u"ปีที่ 1 (2567)"_s, {}, u"TH-BkU"_s, QDate(2024, 1, 2)});
        for (const marc::Format format : {marc::Format::Iso2709, marc::Format::MarcXml}) {
            QStringList problems;
            const QList<marc::Record> read = marc::read(marc::write({record}, format), &problems);
            QVERIFY2(read.size() == 1 && problems.isEmpty(), qPrintable(problems.join(u'|')));
            const titles::ImportedTitle back = titles::importedTitle(read.first());
            QCOMPARE(
                QStringList({back.title.name, back.title.parallelName, back.title.formerName, back.title.shortName,
                             back.title.issn, back.title.languageCode, back.title.frequencyCode, back.publisherName,
                             read.first().all(u"245"_s).first()->indicators, read.first().control(u"001"_s),
                             read.first().sub(u"866"_s, u'a'), back.unmapped.join(u'|')}),
                QStringList({name,
                             parallel,
                             former,
                             shortName,
                             issn,
                             language,
                             frequency,
                             publisher,
                             ind,
                             code,
                             u"ปีที่ 1 (2567)"_s,
                             {}}));
        }
    }

    // A weekly title's weeks without an issue go out in the holdings record's captions (853 $y
    // "ow") with the issues a year they leave, and come back as the pattern of copy cataloguing.
    void weeklyHoldingsPattern() {
        records::Title t;
        t.pointer = u"J000009"_s;
        t.name = u"A Weekly"_s;
        t.frequencyCode = u"02"_s;
        receipt::Pattern p;
        p.weeksOff = quint64(1) << 51;
        const marc::Record h = titles::holdingsRecord(t, {{QDate(2025, 12, 13), u"2025"_s, u"50"_s, {}}}, p,
                                                      {{}, {}, u"TH-BkU"_s, QDate(2026, 1, 2)});
        QStringList problems;
        const QList<marc::Record> read = marc::read(marc::write({h}, marc::Format::Iso2709), &problems);
        QVERIFY2(read.size() == 1 && problems.isEmpty(), qPrintable(problems.join(u'|')));
        QStringList y;
        for (const marc::Subfield& s : read.first().field(u"853"_s)->subfields)
            if (s.code == u'y' || s.code == u'w')
                y << s.value;
        QCOMPARE(y.join(u'|'), u"52|ow52"_s);
        const auto back = titles::importedTitle(read.first()).pattern;
        QVERIFY(back && back->weeksOff == p.weeksOff && back->months == 0xFFF);
    }

    // Mail: what the desk and the report server take as an address, and a header's text as
    // encoded words that keep any text, Thai or hostile, on one header of lines at most 76 long.
    void mailAddressesAndHeaders() {
        for (const auto& [text, ok] : {std::pair{u"a.b@example.ac.th"_s, true},
                                       {u"x+y@mail.example"_s, true},
                                       {u"no at sign"_s, false},
                                       {u"a@b"_s, false},
                                       {u"<a@example.th>"_s, false},
                                       {u"a@example.th\r\nBcc: e@x.com"_s, false},
                                       {u"a @example.th"_s, false},
                                       {u"a@-example.th"_s, false}})
            QVERIFY2(alerts::isMailAddress(text) == ok, qPrintable(text));
        const QString subject = u"วารสารฉบับใหม่: สมชาย <b>ใจดี</b>\r\nBcc: evil@example.com "_s.repeated(3);
        const QByteArray encoded = alerts::encodedWords(subject);
        QString decoded;
        for (const QByteArray& line : encoded.split('\n')) {
            QVERIFY2(line.size() <= 76 && !line.trimmed().contains(' '), line.constData());
            const QByteArray word = line.trimmed();
            QVERIFY(word.startsWith("=?UTF-8?B?") && word.endsWith("?=") &&
                    (line == encoded.split('\n').last() || line.endsWith('\r')));
            decoded += QString::fromUtf8(QByteArray::fromBase64(word.mid(10, word.size() - 12)));
        }
        QCOMPARE(decoded, subject.simplified());
        QCOMPARE(alerts::encodedWords({}), QByteArray("=?UTF-8?B?") + "?=");
    }
};

QTEST_GUILESS_MAIN(tst_data_logic)
#include "tst_data_logic.moc"
