// Subscription renewal and the expiry list: the page plan, the window against the real
// server, and the list as PDF, CSV and from the command line.
#include "forms/common/ReportViewer.h"
#include "support/Suite.h"
#include "titles/expdate.h"

using titles::expdate;

class tst_expdate : public DatabaseTest, WindowFixture<expdate> {
    Q_OBJECT

    void search(const char* from, const char* to) {
        control<QRadioButton>(w, "Option1")->click();
        text("Text1")->setText(QString::fromLatin1(from));
        text("Text2")->setText(QString::fromLatin1(to));
        click("Command1");
    }
    QString listed() {
        QStringList names;
        for (const titles::ExpiryRow& r : w->listed())
            names << r.name + ':' + r.latestIssue;
        return names.join(',');
    }

private slots:
    void init() {
        fresh();
        windowsLeft = -1;
        auto& a = db->admin();
        a.exec(u"INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES ('1', 'Springer')"_s);
        a.exec(QStringLiteral(
            "INSERT INTO magazine (Pointer, Magazine_Name, Receive_Code, Publisher_Code, End_Date, Order_Date, "
            "Price_Per_Year) VALUES ('J000001', 'Alpha', '1', '1', '2027-01-01', '2026-02-01', 100), "
            "('J000002', 'Beta, \"the\" วารสาร', '1', '1', '2027-01-31', NULL, 200), "
            "('J000003', 'Gamma', '1', '9', '2027-01-15', NULL, 0), ('J000004', 'Before', '1', '1', '2026-12-31', "
            "NULL, 0), ('J000005', 'Gift', '2', '1', '2027-01-10', NULL, 0), ('J000006', 'No date', '1', '1', NULL, "
            "NULL, 0), ('I000001', 'ไทย', '1', '1', '2027-01-10', NULL, 0)"));
        // Alpha: two issues of the newest date, registration 10 newer than 9 (not "9" > "10").
        a.exec(QStringLiteral("INSERT INTO tranfile (magno, pointer, daily, DescriptionItem) VALUES "
                              "('9', 'J000001', '2026-11-01', 'Nov A'), ('10', 'J000001', '2026-11-01', 'Nov B'), "
                              "('8', 'J000001', '2026-10-01', 'Oct'), ('11', 'J000003', NULL, 'undated')"));
        w = showWindow<expdate>();
    }

    void renewalRule() {
        const char* cases[][2] = {{"2006-06-15", "2007-05-15"},
                                  {"2026-03-31", "2027-02-28"},
                                  {"2027-03-31", "2028-02-29"},
                                  {"2026-01-31", "2026-12-31"},
                                  {"2027-04-30", "2028-03-30"}};
        for (const auto& [renewal, expiry] : cases)
            QCOMPARE(titles::renewalExpiry(QDate::fromString(renewal, Qt::ISODate)).toString(Qt::ISODate),
                     QString::fromLatin1(expiry));
    }

    // Both ends included, whatever the publisher; the latest issue by date, then number; a
    // title without issues has none; Search waits for Clear; the grid's row count.
    void searchAndClear() {
        click("Command1");
        QCOMPARE(boxes->last().title, u"ผลการตรวจเช็ค"_s); // no group chosen
        search("31/01/2027", "01/01/2027");
        QVERIFY(boxes->last().prompt.startsWith(u"ช่วงวันที่ไม่ถูกต้อง"_s));
        search("01/01/2027", "31/01/2570");
        QCOMPARE(listed(), u"Alpha:Nov B,Beta, \"the\" วารสาร:,Gamma:undated"_s);
        QCOMPARE(grid("showjour")->rowCount(), 11);
        clickRow("showjour", 0);
        QCOMPARE(text("Text3")->text() + text("Text4")->text() + text("Text5")->text() + text("Text7")->text() +
                     text("Text8")->text(),
                 u"AlphaSpringer100.0001/02/202601/01/2027"_s);
        click("Command2");
        QCOMPARE(QString::number(grid("showjour")->rowCount()) + enabled({"Command1", "Cmdprint"}), u"110"_s);
    }

    // A bad price or date is refused before anything is written; a title deleted meanwhile
    // says nothing was saved; a good renewal is stored and shown.
    void renewals_data() {
        textTable({"price", "renewal", "meanwhile", "box", "stored"},
                  {"bad price~12,50~01/02/2027~~จำนวนเงิน~100.00|2027-01-01|2026-02-01",
                   "negative price~-5~01/02/2027~~จำนวนเงิน~100.00|2027-01-01|2026-02-01",
                   "no such date~120~31/02/2027~~ไม่ใช่วันที่~100.00|2027-01-01|2026-02-01",
                   "deleted~120~01/02/2027~DELETE FROM magazine WHERE Pointer = 'J000001'~ไม่ได้ถูกบันทึก~",
                   "renewed~120.5~01/02/2570~~เรียบร้อยแล้ว~120.50|2027-12-01|2027-02-01"});
    }
    void renewals() {
        const auto [price, renewal, meanwhile, box, stored] = fetch<5>();
        search("01/01/2027", "31/01/2027");
        clickRow("showjour", 0);
        click("cmdedit");
        QCOMPARE(focused(), u"Text5"_s);
        text("Text5")->setText(price);
        text("Text7")->setText(renewal);
        text("Text8")->setText(u"01/12/2027"_s);
        click("Command7"); // the expiry calendar opens on the expiry shown, not on today
        QCOMPARE(control<QCalendarWidget>(w, "MonthView4")->selectedDate(), QDate(2027, 12, 1));
        if (!meanwhile.isEmpty())
            exec(meanwhile);
        click("cmdsave");
        QVERIFY2(boxes->last().prompt.contains(box), qPrintable(boxes->last().prompt));
        if (box == u"เรียบร้อยแล้ว"_s) { // saved: the calendar closed, the renewal shown as stored
            QVERIFY(!control<QCalendarWidget>(w, "MonthView4")->isVisible());
            QCOMPARE(text("Text5")->text() + ' ' + text("Text7")->text(), u"120.50 01/02/2027"_s);
        }
        QCOMPARE(sql("SELECT Price_Per_Year, End_Date, Order_Date FROM magazine WHERE Pointer = 'J000001'"), stored);
    }

    // The command line as a scheduler runs it: usage errors (2) found before connecting, a
    // failure (1) leaving no output behind, silence on success, an empty list with headings.
    void commandLine_data() {
        textTable(
            {"args", "exit", "said", "written"},
            {"unknown option~expiry --group J --from 01/01/2027 --to 31/01/2027 --csv D/a.csv --colour~2~colour~",
             "to before from~expiry --group J --from 31/01/2027 --to 01/01/2027 --csv D/a.csv~2~before --from~",
             "one output cannot be written~expiry --group J --from 01/01/2027 --to 31/01/2027 --pdf D/a.pdf --csv "
             "D/no/a.csv~1~D/no/a.csv~",
             "success is silent~expiry --group J --from 01/01/2027 --to 31/01/2027 --pdf D/a.pdf --csv "
             "D/a.csv~0~~a.csv a.pdf",
             "empty list~expiry --group I --from 01/01/2030 --to 31/01/2030 --csv D/a.csv~0~~a.csv"});
    }
    void commandLine() {
        const auto [args, exit, said, written] = fetch<4>();
        QTemporaryDir dir;
        const QString d = dir.path();
        QByteArray output;
        QCOMPARE(runReport(QString(args).replace(u"D/"_s, d + '/').split(' '), &output), exit.toInt());
        QVERIFY2(said.isEmpty() ? output.isEmpty() : output.contains(QString(said).replace("D/", d + '/').toUtf8()),
                 output.constData());
        QCOMPARE(QDir(d).entryList(QDir::Files).join(' '), written);
        if (written.contains(u"a.csv"_s)) { // headings first; the empty list has nothing else
            const QByteArray csv = fileBytes(d + "/a.csv");
            QVERIFY(csv.startsWith("\xEF\xBB\xBF\xE0\xB8\xA5") && (csv.count("\r\n") == 1) == args.contains("2030"));
        }
    }

    // 29 titles, one long: the PDF has two pages, Thai text that reads back, the 29th title on page 2;
    // the CSV keeps commas, quotes and Thai; the command line writes the same rows.
    void outputs() {
        for (int i = 10; i < 36; ++i)
            exec(QStringLiteral("INSERT INTO magazine (Pointer, Magazine_Name, Receive_Code, End_Date) "
                                "VALUES (?, ?, '1', '2027-01-20')"),
                 {u"J0000%1"_s.arg(i),
                  (i == 10 ? u"Journal of the American Society for Information Science "_s : u"วารสารที่ "_s) +
                      QString::number(i)});
        search("01/01/2027", "31/01/2027");
        click("Cmdprint");
        QCOMPARE(boxes->last().prompt, u"คุณต้องการพิมพ์ข้อมูลหรือไม่"_s);
        auto* viewer = w->findChild<reports::ReportViewer*>(); // a window of its own, owned by this one
        QVERIFY(viewer && viewer->isWindow() && viewer->isVisible());
        QCOMPARE(layoutProblems(viewer->document()).join(u'\n'),
                 QString()); // a long title narrowed, still clear of its date
        QTemporaryDir dir;
        QVERIFY(viewer->savePdf(dir.filePath("list.pdf")) && viewer->saveCsv(dir.filePath("window.csv")));
        const auto pdfText = [&](int page) { return testsupport::pdfText(dir.filePath("list.pdf"), page); };
        QVERIFY2(pdfText(1).startsWith(bare(u"รายชื่อวารสารที่จะครบอายุสมาชิก"_s)), qPrintable(pdfText(1)));
        QVERIFY2(pdfText(2).endsWith(bare(u"29 วารสารที่ 35 20/01/2027 รวมทั้งสิ้น 29 รายชื่อ"_s)), qPrintable(pdfText(2)));
        QVERIFY(pdfText(3).isEmpty());
        // The viewer says the page and the zoom in words.
        viewer->setZoom(1.5);
        QCOMPARE(control<QLabel>(viewer, "pageLabel")->text() + ' ' + control<QLabel>(viewer, "zoomLabel")->text(),
                 u"หน้า 1 / 2 150 %"_s);
        // Printing: a printer that cannot start says so.
        QPrinter printer;
        printer.setOutputFileName(dir.filePath("no/such/folder/list.pdf"));
        QVERIFY(!viewer->printTo(printer));
        QCOMPARE(boxes->last().title + boxes->last().prompt.left(10), u"พิมพ์ไม่ได้เริ่มพิมพ์"_s);
        const QByteArray bytes = fileBytes(dir.filePath("window.csv"));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF\xE0\xB8\xA5")); // a byte-order mark, then ลำดับที่
        QVERIFY(bytes.contains(u"\r\n2,\"Beta, \"\"the\"\" วารสาร\",31/01/2027,\r\n"_s.toUtf8()));
        QCOMPARE(runReport({"expiry", "--group", "J", "--from", "01/01/2027", "--to", "31/01/2027", "--csv",
                            dir.filePath("cli.csv"), "--pdf", dir.filePath("cli.pdf")}),
                 0);
        QCOMPARE(fileBytes(dir.filePath("cli.csv")), bytes);
        QPointer<reports::ReportViewer> shown(viewer); // Esc closes the viewer's window
        QTest::keyClick(viewer, Qt::Key_Escape);
        QTRY_VERIFY(shown.isNull());
    }
};

WARASAN_TEST_MAIN(tst_expdate)
#include "tst_expdate.moc"
