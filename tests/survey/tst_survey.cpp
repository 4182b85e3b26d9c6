// The journal survey report: numbers read from texts, staging in the local file, both
// layouts, refusals, and the report as PDF and from the command line.
#include "data/Config.h"
#include "rules/receipt/ReceiptCheck.h"
#include "rules/reports/ColumnList.h"
#include "forms/common/ReportViewer.h"
#include "support/Suite.h"
#include "rules/survey/Survey.h"
#include "survey/frmrep_journ_serv.h"
#include "rules/titles/ExpiryList.h"

#include <QtSql>

using survey::frmrep_journ_serv;

class tst_survey : public DatabaseTest, WindowFixture<frmrep_journ_serv> {
    Q_OBJECT
    QTemporaryDir staging;

    // The staged rows as "name|year|number|description", in file order.
    QString staged() {
        QStringList rows;
        {
            QSqlDatabase f = QSqlDatabase::addDatabase("QSQLITE", "check");
            f.setDatabaseName(survey::surveyFile(staging.path()));
            f.open();
            QSqlQuery q("SELECT magazine_name || '|' || yearno || '|' || itemsno || '|' || DescriptionItem FROM "
                        "rep_jn_servey ORDER BY rowid",
                        f);
            while (q.next())
                rows << q.value(0).toString();
        }
        QSqlDatabase::removeDatabase("check");
        return rows.join(',');
    }
    void run(const char* option, const char* from, const char* to) {
        control<QRadioButton>(w, option)->click();
        text("txtstart")->setText(QString::fromLatin1(from));
        text("txtstop")->setText(QString::fromLatin1(to));
        click("cmdprint");
    }

private slots:
    // Every printed list at 1, 29 and 130 rows (110 of one group), with the demo data's longest
    // title: every text on the page, readable and clear of the others, every row under its heading.
    void layouts_data() {
        QTest::addColumn<int>("report");
        QTest::addColumn<int>("rows");
        for (int report = 0; report < 5; ++report)
            for (int rows : {1, 29, 130})
                QTest::addRow("%s, %d rows",
                              std::array{"expiry", "receipt check", "claims", "survey", "survey in English"}[report],
                              rows)
                    << report << rows;
    }
    void layouts() {
        QFETCH(int, report);
        QFETCH(int, rows);
        // The demo data's longest title and publisher.
        const QString longest = u"Journal of Long Titles for the Printed Expiry List Number 100"_s;
        const QString publisher = u"Tanaka Environmental Engineering Publishing 10"_s;
        const QDate from(2026, 12, 1), to(2027, 12, 31);
        QList<titles::ExpiryRow> expiring;
        QList<receipt::MissingIssue> missing;
        QList<survey::SurveyRow> surveyed;
        for (int i = 0; i < rows; ++i) {
            expiring.append({u"J%1"_s.arg(i), longest, "12500.00", publisher, u"กุมภาพันธ์ 2569"_s, from, to, {}});
            missing.append(
                {u"J%1"_s.arg(i < 110 ? 0 : i), longest, "1", from.addDays(i)}); // 110 rows, then one a title
            surveyed.append({longest, 2569, double(i), u"กุมภาพันธ์ 2569"_s, u"J%1"_s.arg(i < 110 ? 0 : i)});
        }
        auto c = db->connect();
        const reports::Document doc = report == 0   ? titles::expiryReport(expiring, "01/12/2026", "31/12/2027")
                                      : report == 1 ? receipt::receiptReport(missing, from, to)
                                      : report == 2 ? receipt::claimsReport(*c, missing, from, to)
                                                    : survey::surveyReport(surveyed, report == 3 ? 'I' : 'J', from, to);
        const QStringList problems = layoutProblems(doc);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.mid(0, 6).join('\n')));
        for (const reports::Page& page : doc.pages) { // a missing-issue list dates every page at its foot
            const bool dated = std::any_of(page.items.begin(), page.items.end(),
                                           [](const auto& t) { return t.text.startsWith(u"วันที่พิมพ์ "_s); });
            QVERIFY(dated || report == 0 || report > 2);
        }
        if (rows > 100 && report > 0) // a group run on to the next page begins it again, marked as continued
            QVERIFY(std::any_of(doc.pages.at(1).items.begin(), doc.pages.at(1).items.end(), [](const auto& t) {
                return t.text.endsWith(u" (ต่อ)"_s) || t.text.endsWith(u" (cont.)"_s);
            }));
    }

    void initTestCase() {
        db = std::make_unique<TestDatabase>(u"survey"_s);
        data::InstallationConfig c = data::installation();
        c.stagingDir = staging.path();
        data::setInstallation(c);
    }
    void init() {
        fresh();
        windowsLeft = -1;
        auto& a = db->admin();
        a.exec(QStringLiteral("INSERT INTO magazine (Pointer, Magazine_Name, Receive_Code) VALUES ('J000002', "
                              "'Nature', '1'), ('J000001', 'Gift', '2'), ('I000001', 'วารสารครุศาสตร์', '1')"));
        a.exec(QStringLiteral(
            "INSERT INTO tranfile (magno, pointer, indate, yearno, itemsno, DescriptionItem) VALUES "
            "('9', 'J000002', '2027-01-10', '12', ' 7a', 'Jan'), ('10', 'J000002', '2027-01-10', 'ก', '', 'Jan 2'), "
            "('11', 'J000002', '2027-01-11', '12', '8', 'next day'), ('12', 'J000001', '2027-01-10', '1', '1', "
            "'gift'), "
            "('13', 'I000001', '2027-01-10', '5', '1.5', 'มกราคม 2570'), ('14', 'j000002', '2027-01-10', '13', '9', "
            "'code in small letters')"));
        w = showWindow<frmrep_journ_serv>();
    }

    // One day: exactly that day's issues of the received titles, newest registration first,
    // in the English layout; the Thai group in the Thai layout, whose PDF holds the Thai title.
    void stagedAndShown() {
        QCOMPARE(control<QRadioButton>(w, "opttype_0")->isChecked(), true);
        run("opttype_0", "10/01/2027", "10/01/2027");
        QCOMPARE(boxes->last().title, u"Data Complete"_s);
        QCOMPARE(staged(), u"Nature|13.0|9.0|code in small letters,Nature|0.0|0.0|Jan 2,Nature|12.0|7.0|Jan"_s);
        QVERIFY(w->shownReport());
        QCOMPARE(w->shownReport()->document().pages.first().items.first().text, u"Journal Survey Report"_s);
        run("opttype_1", "01/01/2570", "31/01/2570");
        QCOMPARE(staged(), u"วารสารครุศาสตร์|5.0|1.5|มกราคม 2570"_s);
        QTemporaryDir dir;
        QVERIFY(w->shownReport()->savePdf(dir.filePath("th.pdf")) && w->shownReport()->saveCsv(dir.filePath("th.csv")));
        QVERIFY(pdfText(dir.filePath("th.pdf")).contains(bare(u"วารสารครุศาสตร์"_s)));
        QCOMPARE(runReport({"survey", "--group", "I", "--from", "01/01/2027", "--to", "31/01/2027", "--csv",
                            dir.filePath("cli.csv"), "--pdf", dir.filePath("cli.pdf")}),
                 0);
        QCOMPARE(fileBytes(dir.filePath("cli.csv")), fileBytes(dir.filePath("th.csv")));
        QCOMPARE(pdfText(dir.filePath("cli.pdf")), pdfText(dir.filePath("th.pdf")));
    }

    // Read by date or a block of titles at a time, laid out as it comes, full pages handed on,
    // the survey is what one read laid out whole gives: no title split, lost or repeated at the
    // edge of a block, nothing saved meanwhile, the same pages.
    void readInBlocks() {
        exec(QStringLiteral("INSERT INTO magazine (Pointer, Magazine_Name, Receive_Code) VALUES "
                            "('J000003', 'Cell', '1'), ('J000004', 'Lost', '3'), ('J000005', 'Zoo', '1')"));
        exec(QStringLiteral(
            "INSERT INTO tranfile (magno, pointer, indate, itemsno) SELECT seq + 100, "
            "ELT(1 + seq % 3, 'J000003', 'J000004', 'J000005'), IF(seq = 3, '2027-01-01', '2027-01-12'), seq "
            "FROM seq_1_to_90"));
        exec(u"INSERT INTO tranfile (magno, pointer, indate, itemsno) VALUES ('0150', 'J000003', '2027-01-12', 900), "
             "('X1', 'J000003', '2027-01-12', 901), (' 151', 'J000003', '2027-01-12', 902)"_s);
        const auto lines = [](const QList<reports::Page>& pages) {
            QStringList out;
            for (const reports::Page& p : pages)
                for (const reports::TextItem& t : p.items)
                    out << u"%1,%2 %3"_s.arg(t.x).arg(t.y).arg(t.text);
            return out;
        };
        auto c = db->connect();
        const QDate from(2027, 1, 1), to(2027, 1, 31);
        const QList<survey::SurveyRow> whole = survey::surveyRows(*c, 'J', from, to);
        QCOMPARE(whole.size(), 67);
        const reports::Document laidOut = survey::surveyReport(whole, 'J', from, to);
        for (int run = 0; run < 6; ++run) {
            const int perBlock = 1 + run % 3;
            const qint64 byDateUpTo = run < 3 ? 0 : 1000; // a block of titles at a time, then by date
            QList<survey::SurveyRow> rows;
            QList<reports::Page> pages;
            survey::SurveyReport report('J', from, to);
            report.handFullPagesTo([&](const reports::Page& p) { pages << p; });
            survey::readSurvey(
                *c, 'J', from, to,
                [&](const QList<survey::SurveyRow>& block) {
                    rows += block;
                    report.add(block);
                    if (perBlock == 1 && rows.size() == block.size()) // another station saves meanwhile
                        exec(QStringLiteral("INSERT INTO tranfile (magno, pointer, indate) "
                                            "VALUES ('999', 'J000005', '2027-01-13')"));
                },
                perBlock, byDateUpTo);
            exec(u"DELETE FROM tranfile WHERE magno = '999'"_s);
            pages += report.finish().pages;
            QCOMPARE(rows.size(), whole.size());
            for (int i = 0; i < rows.size(); ++i)
                QCOMPARE(rows.at(i).pointer + QString::number(rows.at(i).itemsno),
                         whole.at(i).pointer + QString::number(whole.at(i).itemsno));
            QCOMPARE(lines(pages), lines(laidOut.pages));
        }
        QCOMPARE(laidOut.pages.size(), 3);
    }

    // A list much too wide for the upright page is turned; one that fits stays upright.
    void wideListsTurned() {
        for (int columns : {3, 12}) {
            reports::ColumnList list(u"x"_s, {}, QStringList(columns, u"caption"_s));
            list.add({QStringList(columns, u"Journal of Long Titles"_s)});
            QCOMPARE(list.finish().first().landscape, columns == 12);
        }
    }

    // Refusals: no dates, an end before the start, nothing in the period (the file is left
    // empty), a staging folder that cannot be written.
    void refusals_data() {
        textTable({"from", "to", "folder", "box", "rows"},
                  {"no dates~~~~ให้ครบ~kept", "end first~11/01/2027~10/01/2027~~อยู่ก่อน~kept",
                   "nothing received~01/02/2027~28/02/2027~~Data Not Found~",
                   "folder missing~10/01/2027~10/01/2027~/nonexistent/warasan~printmag.db~kept"});
    }
    void refusals() {
        const auto [from, to, folder, box, rows] = fetch<5>();
        run("opttype_0", "10/01/2027", "11/01/2027");
        const QString before = staged();
        if (!folder.isEmpty()) {
            data::InstallationConfig c = data::installation();
            c.stagingDir = folder;
            data::setInstallation(c);
        }
        boxes->clear();
        run("opttype_0", from.toLatin1().constData(), to.toLatin1().constData());
        data::InstallationConfig c = data::installation();
        c.stagingDir = staging.path();
        data::setInstallation(c);
        QVERIFY2(boxes->last().prompt.contains(box) || boxes->last().title.contains(box),
                 qPrintable(boxes->last().prompt));
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(staged(), rows == "kept" ? before : rows);
    }
};

WARASAN_TEST_MAIN(tst_survey)
#include "tst_survey.moc"
