// The journal title register driven by its controls against the real server.
#include "app/Windows.h"
#include "app/menumagizine.h"
#include "forms/common/Style.h"
#include "records/TitleStore.h"
#include "support/Suite.h"
#include "titles/Adddealer.h"
#include "titles/New_Journal.h"

using titles::New_Journal;

class tst_new_journal : public testsupport::DatabaseTest, testsupport::WindowFixture<New_Journal> {
    Q_OBJECT
    std::unique_ptr<app::menumagizine> main;

    QComboBox* combo(const char* n) { return control<QComboBox>(w, n); }
    QRadioButton* option(const char* n) { return control<QRadioButton>(w, n); }
    QString title(const char* code) {
        return sql(
            QStringLiteral("SELECT Magazine_Name, HEX(Parallel_Name), Publisher_Code, Distributor_Code, End_Date, "
                           "Order_Date, Start_Date, Location, Copies_Per_Year, Price_Per_Year, Kind_Code "
                           "FROM magazine WHERE Pointer = ?"),
            {QString::fromLatin1(code)});
    }
    QString counter(int series) { return sql(QStringLiteral("SELECT pointer_ctrl%1 FROM recsetup").arg(series)); }
    void choose(const char* comboName, const QString& description) {
        QComboBox* c = combo(comboName);
        QVERIFY2(c->findText(description) >= 0, qPrintable(description));
        c->setCurrentIndex(c->findText(description));
    }
    // Fills every required field of a new title, in the order the input check reads them.
    const QList<std::function<void()>> fill = {[this] { option("opt1")->setChecked(true); },
                                               [this] { choose("dcbtypemag", QStringLiteral("วารสารวิชาการ")); },
                                               [this] { text("Text2")->setText(QStringLiteral("วารสารใหม่")); },
                                               [this] { choose("dcblanguage", QStringLiteral("ภาษาต่างประเทศ")); },
                                               [this] { choose("dcbmagtype", QStringLiteral("รายเดือน")); },
                                               [this] {
                                                   enter("Text10", QStringLiteral("Spring"));
                                                   QVERIFY(pick("dlbdealer", QStringLiteral("Springer")));
                                               },
                                               [this] { choose("dcbdepart", QStringLiteral("ศูนย์วิทยบริการ")); },
                                               [this] { choose("dcbrecei", QStringLiteral("เป็นสมาชิก")); },
                                               [this] {
                                                   enter("Text14", QStringLiteral("ซีเอ็ด"));
                                                   QVERIFY(pick("dlbdealer", QStringLiteral("ซีเอ็ดยูเคชั่น")));
                                               },
                                               [this] { choose("dcbstatus", QStringLiteral("สมาชิกใหม่")); },
                                               [this] { choose("dcbbindcolor", QStringLiteral("สีแดง")); }};
    void fillAll(int upTo = 11) {
        for (int i = 0; i < upTo; ++i)
            fill.at(i)();
    }

private slots:
    void init() {
        fresh();
        auto& a = db->admin();
        a.exec(QStringLiteral("INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES ('1', 'Springer'), "
                              "('2', 'ซีเอ็ดยูเคชั่น'), ('3', 'O''Reilly')"));
        a.exec(QStringLiteral(
            "INSERT INTO magazine (Pointer, Magazine_Name, Parallel_Name, Former_Name, Short_Name, ISSN, Kind_Code, "
            "Lang_Code, MagType_code, Publisher_Code, department_code, Receive_Code, Cover_Code, Copies_Per_Year, "
            "Price_Per_Year, Start_Date, End_Date, Order_Date, Distributor_Code, Member_Status, Location) VALUES "
            "('J000001', 'Nature', 'Nature (London)', '  ', 'Nat.', '00280836', '01', '01', '02', '1', '07', '1', "
            "'02', "
            "2, 12500.00, '2020-01-15', '2027-01-14', '2026-01-10', '2', '02', 'ชั้น 2'), "
            "('I000001', 'วารสารครุศาสตร์', NULL, NULL, NULL, '1234-5678', '99', '02', '04', '9', '03', '2', '01', 1, 0, "
            "NULL, NULL, NULL, '2', '01', NULL)"));
        a.exec(QStringLiteral("INSERT INTO tranfile (magno, pointer, MagStatus) VALUES ('1', 'J000001', 'O')"));
        a.exec(QStringLiteral("UPDATE recsetup SET pointer_ctrl1 = 'J000002', pointer_ctrl2 = 'I000002'"));
        testsupport::piecesOfPlantedRows(a);
        main = std::make_unique<app::menumagizine>();
        app::registerWindows(main->windows());
        main->show();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        QVERIFY(w = qobject_cast<New_Journal*>(main->windows().show(QStringLiteral("New_Journal"))));
    }
    void cleanup() {
        boxes.reset();
        main.reset();
        QCOMPARE(testsupport::closeAllWindows(), 0);
    }

    // A title shows every column, locked; codes without a row show nothing.
    void searchAndShowATitle() {
        const char* shown[][3] = {
            {"0028-0836", "Nature", // its ISSN (stored without the hyphen)
             "J000001 Nature|Nature (London)|Nat.|0028-0836|15/01/2020|14/01/2027|10/01/2026|2|12500.00|"
             "Springer|ซีเอ็ดยูเคชั่น|1|2|ชั้น 2|วารสารวิชาการ|ภาษาต่างประเทศ|รายสัปดาห์|ศูนย์วิทยบริการ|"
             "เป็นสมาชิก|สีแดง|ต่ออายุสมาชิก"},
            {"ครุ", "วารสารครุศาสตร์",
             "I000001 วารสารครุศาสตร์|||1234-5678||||1|0.00||ซีเอ็ดยูเคชั่น|9|2|||ภาษาไทย|"
             "รายเดือน|คณะครุศาสตร์|ได้รับเป็นของขวัญ|สีน้ำเงิน|สมาชิกใหม่"}};
        for (const auto& [part, name, expected] : shown) {
            enter("Text2", QString::fromUtf8(part));
            QVERIFY(pick("dlbnamemag", QString::fromUtf8(name)));
            QStringList got;
            for (const char* n : {"Text2", "Text3", "Text5", "Mask2", "Mask1", "Mask4", "Mask5", "Text7", "Text11",
                                  "Text10", "Text14", "Text8", "Text9", "Text6"})
                got << text(n)->text();
            for (const char* n :
                 {"dcbtypemag", "dcblanguage", "dcbmagtype", "dcbdepart", "dcbrecei", "dcbbindcolor", "dcbstatus"})
                got << combo(n)->currentText();
            QCOMPARE(text("Text1")->text() + QLatin1Char(' ') + got.join(QLatin1Char('|')),
                     QString::fromUtf8(expected));
            QCOMPARE(control<QGroupBox>(w, "Frame2")->isVisible(), text("Text1")->text() == QLatin1String("J000001"));
            QVERIFY(option("opt1")->isChecked());
        }
    }

    // Browsing, a search that finds nothing says so and empties the field; while adding, it is
    // quietly a new name and stays. Picking a title while adding asks first, then browses.
    void searchEdges() {
        enter("Text2", QStringLiteral("  no such title "));
        QCOMPARE(boxes->last().prompt, QStringLiteral("ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง"));
        QCOMPARE(text("Text2")->text(), QString());
        QVERIFY(text("Text2")->hasFocus());
        click("Cmdadd");
        enter("Text2", QStringLiteral("วารสารใหม่เอี่ยม"));
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(text("Text2")->text(), QStringLiteral("วารสารใหม่เอี่ยม"));
        for (bool drop : {false, true}) {
            boxes->answer({drop});
            enter("Text2", QStringLiteral("  Nature "));
            QVERIFY(pick("dlbnamemag", QStringLiteral("Nature")));
            QCOMPARE(boxes->last().kind, ScriptedMessages::Kind::YesNo);
            QCOMPARE(w->adding(), !drop);
            QCOMPARE(text("Text1")->text(), drop ? QStringLiteral("J000001") : QString());
        }
        click("Cmdadd"); // Cancel asks first; not confirmed, nothing is lost
        text("Text2")->setText(QStringLiteral("ครึ่งทาง"));
        boxes->answer({false, true});
        click("Cmdcancle");
        QCOMPARE(text("Text2")->text(), QStringLiteral("ครึ่งทาง"));
        click("Cmdcancle");
        QCOMPARE(boxes->last().prompt + text("Text2")->text(), QStringLiteral("ต้องการยกเลิกข้อมูลหรือไม่"));
    }

    void addInEachSeries_data() {
        testsupport::textTable({"series", "language", "expiry", "code", "counters"},
                               {"foreign journal~opt1~ภาษาต่างประเทศ~31/12/2027~J000120~J000121 I000007",
                                "Thai journal, Buddhist-era expiry~opt1~ภาษาไทย~31/12/2570~I000007~J000120 I000008",
                                "foreign newspaper, no expiry: today~opt2~ภาษาต่างประเทศ~~K000001~K000002 L032767",
                                "Thai newspaper~opt2~ภาษาไทย~31/12/2027~L032767~K000001 L032768"});
    }
    void addInEachSeries() {
        const auto [series, language, expiry, code, counters] = testsupport::fetch<5>();
        db->admin().exec(QStringLiteral("UPDATE recsetup SET pointer_ctrl1 = 'J000120', pointer_ctrl2 = 'I000007', "
                                        "pointer_ctrl3 = 'K000001', pointer_ctrl4 = 'L032767'"));
        click("Cmdadd");
        QVERIFY(w->adding() && option("opt1")->hasFocus());
        QCOMPARE(text("Text7")->text() + text("Text11")->text(), QStringLiteral("10"));
        fillAll();
        option(series.toLatin1().constData())->setChecked(true);
        choose("dcblanguage", language);
        text("Mask4")->setText(expiry);
        text("Mask5")->setText(QStringLiteral("01/01/2027")); // not read without an expiry date
        click("Cmdsave");
        QCOMPARE(boxes->boxes.first().prompt, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"));
        QCOMPARE(boxes->last().title, QStringLiteral("ผลการบันทึกข้อมูล"));
        QCOMPARE(boxes->last().prompt, QStringLiteral("การบันทึกข้อมูลวารสารรายชื่อใหม่เรียบร้อยแล้ว\nรหัสวารสาร ") + code);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        const QString dates =
            expiry.isEmpty() ? today + QLatin1Char('|') + today : QStringLiteral("2027-12-31|2027-01-01");
        QCOMPARE(title(code.toLatin1().constData()), QStringLiteral("วารสารใหม่|2020|1|2|%1|||1|0.00|01").arg(dates));
        const int first = code.startsWith(QLatin1Char('J')) || code.startsWith(QLatin1Char('I')) ? 1 : 3;
        QCOMPARE(counter(first) + QLatin1Char(' ') + counter(first + 1), counters);
        QCOMPARE(text("Text2")->text(), QString());
    }

    // The window refuses a duplicate before anything else; the store refuses it again under
    // the series lock, trimmed, whatever the window did.
    void duplicateTitleRefused() {
        for (const QString& typed : {QStringLiteral("Nature"), QStringLiteral("  Nature ")}) {
            click("Cmdadd");
            fillAll();
            text("Text2")->setText(typed);
            click("Cmdsave");
            QCOMPARE(boxes->last().prompt, QStringLiteral("พบวารสารรายชื่อนี้ในฐานข้อมูล ไม่สามารถทำการเพิ่มรายชื่อใหม่ได้"));
            QCOMPARE(boxes->last().title, QStringLiteral("การบันทึกข้อมูลล้มเหลว"));
            QVERIFY(text("Text2")->hasFocus() && w->adding());
            records::Title t;
            t.name = typed;
            QVERIFY_THROWS_EXCEPTION(data::Refused, records::TitleStore::add(*db->connect(), t, 1));
            QCOMPARE(sql(QStringLiteral("SELECT COUNT(*) FROM magazine")), QStringLiteral("2"));
            QCOMPARE(counter(1), QStringLiteral("J000002"));
            boxes->answer({true});
            click("Cmdcancle");
        }
    }

    // Each required field in the order checked (its message, the focus on it), then the values
    // that are not what their columns hold.
    void inputRefused_data() {
        testsupport::textTable(
            {"filled", "field", "value", "message", "focus"},
            {"0~0~~~กรุณาเลือกประเภทสิ่งพิมพ์ ~opt1", "1~1~~~กรุณาเลือกชนิดสิ่งพิมพ์ ~dcbtypemag",
             "2~2~~~กรุณากรอกข้อมูลช่อง ชื่อวารสาร/หนังสือพิมพ์ ~Text2", "3~3~~~กรุณาเลือกภาษา วารสาร/หนังสือพิมพ์ ~dcblanguage",
             "4~4~~~กรุณาเลือกกำหนดการออก วารสาร/หนังสือพิมพ์ ~dcbmagtype", "5~5~~~กรุณากรอกข้อมูลช่อง ผู้จัดพิมพ์ ~Text10",
             "6~6~~~กรุณาเลือก คณะ/หน่วยงานที่บอกรับ ~dcbdepart", "7~7~~~กรุณาเลือก สถานภาพการบอกรับ ~dcbrecei",
             "8~8~~~กรุณาเลือก ผู้จัดจำหน่าย ~Text14", "9~9~~~กรุณาเลือก สถานภาพสมาชิก~dcbstatus",
             "10~10~~~กรุณาเลือก สีปก~dcbbindcolor",
             "publisher typed, not chosen~11~Text10~Wiley~กรุณาเลือกผู้จัดพิมพ์จากรายการ~Text10",
             "no such start date~11~Mask1~31/02/2024~~Mask1", "expiry half typed~11~Mask4~12/2027~~Mask4",
             "order date in another form~11~Mask5~2027/01/01~~Mask5", "copies~11~Text7~two~~Text7",
             "price~11~Text11~1,2x~~Text11"});
    }
    void inputRefused() {
        const auto [filled, field, value, message, focus] = testsupport::fetch<5>();
        click("Cmdadd");
        fillAll(filled.toInt());
        text("Mask4")->setText(QStringLiteral("31/12/2027"));
        if (!field.isEmpty()) {
            text(field.toLatin1().constData())->setFocus();
            text(field.toLatin1().constData())->selectAll();
            QTest::keyClicks(text(field.toLatin1().constData()), value);
            text(field.toLatin1().constData())->setText(value);
        }
        click("Cmdsave");
        QVERIFY2(boxes->last().prompt.startsWith(message), qPrintable(boxes->last().prompt));
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QCOMPARE(focused(), focus);
        QVERIFY(w->adding() && button("Cmdsave")->isEnabled());
        QCOMPARE(sql(QStringLiteral("SELECT COUNT(*) FROM magazine")), QStringLiteral("2"));
        QCOMPARE(counter(1), QStringLiteral("J000002"));
    }

    // An edit rewrites the title's columns unless the row is gone, changed by another station
    // since it was shown, or the code was typed over with another title's.
    void editSaves_data() {
        testsupport::textTable(
            {"meanwhile", "code", "stored", "words"}, // stored: J000001's name, location and kind afterwards
            {"saved~~J000001~Nature International|ชั้น 3|03~เรียบร้อยแล้ว",
             "deleted meanwhile~DELETE FROM magazine WHERE Pointer = 'J000001'~J000001~~ข้อมูลไม่ได้ถูกบันทึก",
             "price changed meanwhile~UPDATE magazine SET Price_Per_Year = 13000 WHERE Pointer = 'J000001'~J000001~"
             "Nature|ชั้น 2|01~ถูกเครื่องอื่นแก้ไข",
             "another title's code~~I000001~Nature|ชั้น 2|01~ไม่สามารถเปลี่ยนรหัส"});
    }
    void editSaves() {
        const auto [meanwhile, code, stored, words] = testsupport::fetch<4>();
        enter("Text2", QStringLiteral("atu"));
        QVERIFY(pick("dlbnamemag", QStringLiteral("Nature")));
        click("Cmdedit");
        QVERIFY(w->editing() && text("Text2")->hasFocus());
        text("Text1")->setText(code);
        text("Text2")->setText(QStringLiteral("Nature International"));
        text("Text6")->setText(QStringLiteral("ชั้น 3"));
        choose("dcbtypemag", QStringLiteral("นิตยสาร"));
        if (!meanwhile.isEmpty())
            db->admin().exec(meanwhile);
        boxes->answer({true, true}); // save; show the current values
        click("Cmdsave");
        QVERIFY2(boxes->last().prompt.contains(words), qPrintable(boxes->last().prompt));
        QCOMPARE(
            sql(QStringLiteral("SELECT Magazine_Name, Location, Kind_Code FROM magazine WHERE Pointer = 'J000001'")),
            stored);
        QCOMPARE(title("I000001").left(15), QStringLiteral("วารสารครุศาสตร์"));
        QCOMPARE(counter(1), QStringLiteral("J000002")); // an edit takes no code
        if (words.contains(QStringLiteral("ถูกเครื่องอื่น")))
            QCOMPARE(text("Text11")->text(), QStringLiteral("13000.00")); // the current values are on show
        QCOMPARE(w->editing(), words.contains(QStringLiteral("ไม่")));
    }

    // An edit of a title without dates (NULL, or zero as older programs stored them) leaves them
    // empty (today is for new titles only).
    void editKeepsEmptyDates() {
        db->admin().exec(QStringLiteral("SET STATEMENT sql_mode = '' FOR UPDATE magazine SET End_Date = NULL, "
                                        "Order_Date = '0000-00-00' WHERE Pointer = 'J000001'"));
        enter("Text2", QStringLiteral("atu"));
        QVERIFY(pick("dlbnamemag", QStringLiteral("Nature")));
        click("Cmdedit");
        text("Text6")->setText(QStringLiteral("ชั้น 4"));
        click("Cmdsave");
        QCOMPARE(sql(QStringLiteral("SELECT Location, End_Date, Order_Date FROM magazine WHERE Pointer = 'J000001'")),
                 QStringLiteral("ชั้น 4||"));
    }

    // The confirmation names what stays behind; only the title's own row goes.
    void deleteRemovesOnlyTheTitle() {
        db->admin().exec(QStringLiteral("INSERT INTO tranfile (magno, pointer, MagStatus, regno) VALUES "
                                        "('2', 'J000001', 'Z', 'B000001'), ('3', 'J000001', 'Z', 'B000001')"));
        db->admin().exec(
            QStringLiteral("INSERT INTO article (article_no, Article_Name, pointer) VALUES ('1', 'a', 'J000001')"));
        enter("Text2", QStringLiteral("Nature"));
        QVERIFY(pick("dlbnamemag", QStringLiteral("Nature")));
        click("Cmddel");
        QCOMPARE(boxes->boxes.at(0).prompt,
                 QStringLiteral("ต้องการลบข้อมูลหรือไม่\nวารสารนี้มีฉบับที่ลงทะเบียนไว้ 3 ฉบับ ดรรชนีบทความ 1 รายการ "
                                "และวารสารรวมเล่ม 1 เล่ม ซึ่งจะยังคงอยู่ในฐานข้อมูลหลังจากลบรายชื่อวารสารนี้"));
        QCOMPARE(boxes->last().prompt + title("J000001"), QStringLiteral("ลบข้อมูลเรียบร้อแล้ว"));
        QCOMPARE(sql(QStringLiteral("SELECT COUNT(*) FROM tranfile WHERE pointer = 'J000001'")), QStringLiteral("3"));
        QVERIFY(text("Text2")->hasFocus());
        // Deleted by another station after it was shown: nothing is said to be deleted.
        db->admin().exec(QStringLiteral("INSERT INTO magazine (Pointer, Magazine_Name) VALUES ('J000001', 'Nature')"));
        enter("Text2", QStringLiteral("Nature"));
        QVERIFY(pick("dlbnamemag", QStringLiteral("Nature")));
        db->admin().exec(QStringLiteral("DELETE FROM magazine WHERE Pointer = 'J000001'"));
        click("Cmddel");
        QCOMPARE(boxes->last().prompt, QStringLiteral("ไม่พบวารสารรหัส J000001 (อาจถูกลบจากเครื่องอื่นแล้ว) ไม่มีข้อมูลถูกลบ"));
    }

    // A publisher not registered yet: the publisher register takes over, already adding it;
    // back here it is found and chosen, and adding goes on consistently.
    void missingPublisherGoesToThePublisherRegister() {
        click("Cmdadd");
        text("Text10")->setFocus();
        testsupport::typeText(text("Text10"), QStringLiteral("สำนักพิมพ์ใหม่"));
        QTest::keyClick(text("Text10"), Qt::Key_Return);
        auto* reg = qobject_cast<titles::Adddealer*>(main->windows().find(QStringLiteral("Adddealer")));
        QVERIFY(reg && reg->isVisible() && reg->isWindow());
        QCOMPARE(reg->mode(), titles::Adddealer::Mode::Adding);
        QCOMPARE(control<QPlainTextEdit>(reg, "Text2")->toPlainText(), QStringLiteral("สำนักพิมพ์ใหม่"));
        QCOMPARE(control<QLineEdit>(reg, "Text1")->text(), QStringLiteral("4"));
        QTest::mouseClick(control<QPushButton>(reg, "Command1"), Qt::LeftButton);
        enter("Text10", QStringLiteral("ใหม่"));
        QVERIFY(pick("dlbdealer", QStringLiteral("สำนักพิมพ์ใหม่")));
        QCOMPARE(text("Text8")->text(), QStringLiteral("4"));
        QVERIFY(w->adding());
        reg->close();
    }

    void seriesExhausted() {
        db->admin().exec(QStringLiteral("UPDATE recsetup SET pointer_ctrl1 = 'J999999'"));
        for (const char* name : {"The last one", "One too many"}) {
            click("Cmdadd");
            fillAll();
            text("Text2")->setText(QString::fromLatin1(name));
            click("Cmdsave");
        }
        QCOMPARE(title("J999999").left(12), QStringLiteral("The last one")); // the last code is still given
        QVERIFY2(boxes->last().prompt.contains(QStringLiteral("ครบแล้ว")), qPrintable(boxes->last().prompt));
        QCOMPARE(counter(1), QStringLiteral("J1000000"));
        option("opt2")->setChecked(true); // the other series go on
        click("Cmdsave");
        QCOMPARE(title("K000001").left(12), QStringLiteral("One too many"));
    }
};

QTEST_MAIN(tst_new_journal)
#include "tst_new_journal.moc"
