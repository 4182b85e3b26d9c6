// The journal survey report: numbers read from texts, staging in the local file, both
// layouts, refusals, and the report as PDF and from the command line.
#include "data/Config.h"
#include "reports/ReportViewer.h"
#include "reports/Survey.h"
#include "reports/frmrep_journ_serv.h"
#include "support/Suite.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

using reports::frmrep_journ_serv;

class tst_survey : public testsupport::DatabaseTest, testsupport::WindowFixture<frmrep_journ_serv> {
    Q_OBJECT
    QTemporaryDir staging;

    // The staged rows as "name|year|number|description", in file order.
    QString staged() {
        QStringList rows;
        {
            QSqlDatabase f = QSqlDatabase::addDatabase("QSQLITE", "check");
            f.setDatabaseName(reports::surveyFile(staging.path()));
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
        testsupport::control<QRadioButton>(w, option)->click();
        text("txtstart")->setText(QString::fromLatin1(from));
        text("txtstop")->setText(QString::fromLatin1(to));
        click("cmdprint");
    }

private slots:
    void initTestCase() {
        db = std::make_unique<testsupport::TestDatabase>(QStringLiteral("survey"));
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
            "('13', 'I000001', '2027-01-10', '5', '1.5', 'มกราคม 2570')"));
        w = testsupport::showWindow<frmrep_journ_serv>();
    }

    void leadingValues() {
        const char* cases[][2] = {{"12", "12"}, {" 7a", "7"}, {"ก", "0"}, {"", "0"}, {"1.5", "1.5"}, {"-3x", "-3"}};
        for (const auto& [text, value] : cases)
            QCOMPARE(QString::number(reports::leadingValue(QString::fromUtf8(text))), QString::fromLatin1(value));
    }

    // One day: exactly that day's issues of the received titles, newest registration first,
    // in the English layout; the Thai group in the Thai layout, whose PDF holds the Thai title.
    void stagedAndShown() {
        QCOMPARE(testsupport::control<QRadioButton>(w, "opttype_0")->isChecked(), true);
        run("opttype_0", "10/01/2027", "10/01/2027");
        QCOMPARE(boxes->last().title, QStringLiteral("Data Complete"));
        QCOMPARE(staged(), QStringLiteral("Nature|0.0|0.0|Jan 2,Nature|12.0|7.0|Jan"));
        QVERIFY(w->shownReport());
        QCOMPARE(w->shownReport()->document().pages.first().items.first().text,
                 QStringLiteral("Journal Survey Report"));
        run("opttype_1", "01/01/2570", "31/01/2570");
        QCOMPARE(staged(), QStringLiteral("วารสารครุศาสตร์|5.0|1.5|มกราคม 2570"));
        QTemporaryDir dir;
        QVERIFY(w->shownReport()->savePdf(dir.filePath("th.pdf")) && w->shownReport()->saveCsv(dir.filePath("th.csv")));
        QVERIFY(
            testsupport::pdfText(dir.filePath("th.pdf")).contains(testsupport::bare(QStringLiteral("วารสารครุศาสตร์"))));
        QCOMPARE(runReport({"survey", "--group", "I", "--from", "01/01/2027", "--to", "31/01/2027", "--csv",
                            dir.filePath("cli.csv")}),
                 0);
        QCOMPARE(testsupport::fileBytes(dir.filePath("cli.csv")), testsupport::fileBytes(dir.filePath("th.csv")));
    }

    // Refusals: no dates, an end before the start, nothing in the period (the file is left
    // empty), a staging folder that cannot be written (the window stays usable).
    void refusals_data() {
        testsupport::textTable({"from", "to", "folder", "box", "rows"},
                               {"no dates~~~~ให้ครบ~kept", "end first~11/01/2027~10/01/2027~~อยู่ก่อน~kept",
                                "nothing received~01/02/2027~28/02/2027~~Data Not Found~",
                                "folder missing~10/01/2027~10/01/2027~/nonexistent/warasan~printmag.db~kept"});
    }
    void refusals() {
        const auto [from, to, folder, box, rows] = testsupport::fetch<5>();
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
        QVERIFY(w->isEnabled() && button("cmdprint")->isEnabled());
    }
};

QTEST_MAIN(tst_survey)
#include "tst_survey.moc"
