// The journal title register driven by its controls against the real server.
#include "app/Windows.h"
#include "app/menumagizine.h"
#include "forms/common/ProgramState.h"
#include "forms/common/Style.h"
#include "support/ScriptedMessages.h"
#include "support/TestServer.h"
#include "support/WindowTest.h"
#include "titles/Adddealer.h"
#include "titles/New_Journal.h"
#include "titles/TitleStore.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

using testsupport::control;
using testsupport::ScriptedMessages;
using testsupport::TestDatabase;
using titles::New_Journal;

class tst_new_journal : public QObject, testsupport::WindowFixture<New_Journal> {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> boxes;
    std::unique_ptr<app::menumagizine> main;

    QComboBox* combo(const char* n) { return control<QComboBox>(w, n); }
    QRadioButton* option(const char* n) { return control<QRadioButton>(w, n); }
    QListWidget* list(const char* n) { return control<QListWidget>(w, n); }
    QString titles() { return db->admin().query(QStringLiteral("SELECT COUNT(*) FROM magazine")).text(0, 0); }
    void showNature() {
        enter(text("Text2"), QStringLiteral("atu"));
        pick("dlbnamemag", QStringLiteral("Nature"));
    }
    // Locked fields go with Save off and calendar buttons off, unlocked with both on.
    void consistent() {
        const bool locked = text("Text3")->isReadOnly();
        QCOMPARE(button("Cmdsave")->isEnabled(), !locked);
        for (const char* n : {"Command1", "Command2", "Command3"})
            QCOMPARE(button(n)->isEnabled(), !locked);
        QCOMPARE(combo("dcbtypemag")->isEnabled(), !locked);
    }

    void enter(QLineEdit* field, const QString& s) {
        field->setText(s);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
    }
    void pick(const char* listName, const QString& shown) {
        QVERIFY2(testsupport::pickFromList(list(listName), shown), qPrintable(shown));
    }
    void choose(const char* comboName, const QString& description) {
        QComboBox* c = combo(comboName);
        const int i = c->findText(description);
        QVERIFY2(i >= 0, qPrintable(description));
        c->setCurrentIndex(i);
    }
    // Fills every required field of a new title, publisher and distributor picked from the list.
    void fillNewTitle(const QString& name, bool newspaper, const QString& language) {
        (newspaper ? option("opt2") : option("opt1"))->setChecked(true);
        choose("dcbtypemag", QStringLiteral("วารสารวิชาการ"));
        text("Text2")->setText(name);
        choose("dcblanguage", language);
        choose("dcbmagtype", QStringLiteral("รายเดือน"));
        enter(text("Text10"), QStringLiteral("Spring"));
        pick("dlbdealer", QStringLiteral("Springer"));
        choose("dcbdepart", QStringLiteral("ศูนย์วิทยบริการ"));
        choose("dcbrecei", QStringLiteral("เป็นสมาชิก"));
        enter(text("Text14"), QStringLiteral("ซีเอ็ด"));
        pick("dlbdealer", QStringLiteral("ซีเอ็ดยูเคชั่น"));
        choose("dcbstatus", QStringLiteral("สมาชิกใหม่"));
        choose("dcbbindcolor", QStringLiteral("สีแดง"));
    }
    data::Result title(const QString& code) {
        return db->admin().query(
            QStringLiteral("SELECT Magazine_Name, HEX(Parallel_Name), Publisher_Code, Distributor_Code, Lang_Code, "
                           "End_Date, Order_Date, Start_Date, Location, Copies_Per_Year, Price_Per_Year, Kind_Code "
                           "FROM magazine WHERE Pointer = ?"),
            {code});
    }
    QString counter(int series) {
        return db->admin().query(QStringLiteral("SELECT pointer_ctrl%1 FROM recsetup").arg(series)).text(0, 0);
    }
    void open() {
        main->windows().show(QStringLiteral("New_Journal"));
        w = qobject_cast<New_Journal*>(main->windows().find(QStringLiteral("New_Journal")));
        QVERIFY(w);
    }

private slots:
    void initTestCase() { db = std::make_unique<TestDatabase>(QStringLiteral("new_journal")); }
    void init() {
        db->reset();
        auto& a = db->admin();
        a.exec(QStringLiteral("INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES ('1', 'Springer'), "
                              "('2', 'ซีเอ็ดยูเคชั่น'), ('3', 'O''Reilly')"));
        a.exec(QStringLiteral(
            "INSERT INTO magazine (Pointer, Magazine_Name, Parallel_Name, Former_Name, Short_Name, ISSN, Kind_Code, "
            "Lang_Code, MagType_code, Publisher_Code, department_code, Receive_Code, Cover_Code, Copies_Per_Year, "
            "Price_Per_Year, Start_Date, End_Date, Order_Date, Distributor_Code, Member_Status, Location) VALUES "
            "('J000001', 'Nature', 'Nature (London)', '  ', 'Nat.', '00280836', '01', '01', '02', '1', '07', '1', "
            "'02', 2, "
            "12500.00, '2020-01-15', '2027-01-14', '2026-01-10', '2', '02', 'ชั้น 2'), "
            "('I000001', 'วารสารครุศาสตร์', NULL, NULL, NULL, '1234-5678', '99', '02', '04', '9', '03', '2', '01', 1, 0, "
            "NULL, NULL, NULL, '2', '01', NULL)"));
        a.exec(QStringLiteral("INSERT INTO tranfile (magno, pointer, MagStatus) VALUES ('1', 'J000001', 'O')"));
        a.exec(QStringLiteral("UPDATE recsetup SET pointer_ctrl1 = 'J000002', pointer_ctrl2 = 'I000002'"));
        forms::add_dealer_flag().clear();
        boxes = std::make_unique<ScriptedMessages>();
        main = std::make_unique<app::menumagizine>();
        app::registerWindows(main->windows());
        main->show();
        main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main.get()));
        open();
    }
    void cleanup() {
        boxes.reset();
        main.reset();
        QCOMPARE(testsupport::closeAllWindows(), 0);
    }
    void cleanupTestCase() { db.reset(); }

    void opensIdleInsideTheMainWindow() {
        QCOMPARE(w->windowTitle(), QStringLiteral("บันทึก/แก้ไข ข้อมูลวารสาร"));
        QVERIFY(main->area()->isAncestorOf(w));
        QVERIFY(button("Cmdadd")->isEnabled() && button("Command6")->isEnabled());
        for (const char* n : {"Cmdedit", "Cmddel", "Cmdsave", "Cmdcancle"})
            QVERIFY2(!button(n)->isEnabled(), n);
        for (const char* n : {"Command1", "Command2", "Command3"})
            QCOMPARE(button(n)->text(), QStringLiteral("D"));
        QCOMPARE(combo("dcbmagtype")->count(), 10);
        QCOMPARE(combo("dcbrecei")->currentIndex(), -1);
        QVERIFY(!control<QGroupBox>(w, "Frame2")->isVisible());
        QVERIFY(text("Text3")->isReadOnly());
        QVERIFY(!combo("dcbtypemag")->isEnabled());
        QCOMPARE(text("Text3")->palette().color(QPalette::Base), forms::lockedColour);
        QVERIFY(!text("Text2")->isReadOnly());
        QVERIFY(!option("opt1")->isEnabled());
        consistent();
        QCOMPARE(text("Text2")->maxLength(), 255); // the column's width
    }

    // A title shows every column, locked; codes without a row show nothing.
    void searchAndShowATitle() {
        const char* shown[][3] = {
            {"atu", "Nature", "J000001 Nature|Nature (London)|Nat.|0028-0836|15/01/2020|14/01/2027|10/01/2026|2|12500.00|"
                              "Springer|ซีเอ็ดยูเคชั่น|1|2|ชั้น 2|วารสารวิชาการ|ภาษาต่างประเทศ|รายสัปดาห์|ศูนย์วิทยบริการ|"
                              "เป็นสมาชิก|สีแดง|ต่ออายุสมาชิก"},
            {"ครุ", "วารสารครุศาสตร์", "I000001 วารสารครุศาสตร์|||1234-5678||||1|0.00||ซีเอ็ดยูเคชั่น|9|2|||ภาษาไทย|"
                                     "รายเดือน|คณะครุศาสตร์|ได้รับเป็นของขวัญ|สีน้ำเงิน|สมาชิกใหม่"},
        };
        for (const auto& [part, name, expected] : shown) {
            enter(text("Text2"), QString::fromUtf8(part));
            pick("dlbnamemag", QString::fromUtf8(name));
            QVERIFY(!list("dlbnamemag")->isVisible());
            QStringList got;
            for (const char* n : {"Text2", "Text3", "Text5", "Mask2", "Mask1", "Mask4", "Mask5", "Text7", "Text11",
                                  "Text10", "Text14", "Text8", "Text9", "Text6"})
                got << text(n)->text();
            for (const char* n : {"dcbtypemag", "dcblanguage", "dcbmagtype", "dcbdepart", "dcbrecei", "dcbbindcolor",
                                  "dcbstatus"})
                got << combo(n)->currentText();
            QCOMPARE(text("Text1")->text() + QLatin1Char(' ') + got.join(QLatin1Char('|')), QString::fromUtf8(expected));
            QCOMPARE(control<QGroupBox>(w, "Frame2")->isVisible(), text("Text1")->text() == QLatin1String("J000001"));
            QVERIFY(!button("Cmdadd")->isEnabled() && button("Cmdedit")->isEnabled() && button("Cmddel")->isEnabled());
            consistent();
        }
        QVERIFY(option("opt2")->isChecked() == false && option("opt1")->isChecked());
    }

    // Browsing, a search that finds nothing says so and empties the field; while adding, it is
    // quietly a new name and stays. Picking a title while adding asks first, then browses.
    void searchEdges() {
        enter(text("Text2"), QString());
        QCOMPARE(list("dlbnamemag")->count(), 2);
        enter(text("Text2"), QStringLiteral("  no such title "));
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(boxes->last().prompt, QStringLiteral("ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง"));
        QCOMPARE(boxes->last().title, QStringLiteral("ผลการค้นหา"));
        QCOMPARE(text("Text2")->text(), QString());
        QVERIFY(text("Text2")->hasFocus());
        click("Cmdadd");
        consistent();
        enter(text("Text2"), QStringLiteral("วารสารใหม่เอี่ยม"));
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(text("Text2")->text(), QStringLiteral("วารสารใหม่เอี่ยม"));
        QVERIFY(w->adding());
        for (bool drop : {false, true}) {
            boxes->answer({drop});
            enter(text("Text2"), QStringLiteral("  Nature "));
            pick("dlbnamemag", QStringLiteral("Nature"));
            QCOMPARE(boxes->last().kind, ScriptedMessages::Kind::YesNo);
            QCOMPARE(w->adding(), !drop);
            QCOMPARE(text("Text1")->text(), drop ? QStringLiteral("J000001") : QString());
            consistent();
        }
    }

    void addInEachSeries_data() {
        QTest::addColumn<bool>("newspaper");
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("series");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("next");
        QTest::newRow("foreign journal") << false << "ภาษาต่างประเทศ" << 1 << "J000120"
                                         << "J000121";
        QTest::newRow("Thai journal") << false << "ภาษาไทย" << 2 << "I000007"
                                      << "I000008";
        QTest::newRow("foreign newspaper") << true << "ภาษาต่างประเทศ" << 3 << "K000001"
                                           << "K000002";
        QTest::newRow("Thai newspaper") << true << "ภาษาไทย" << 4 << "L032767"
                                        << "L032768";
    }
    void addInEachSeries() {
        QFETCH(bool, newspaper);
        QFETCH(QString, language);
        QFETCH(int, series);
        QFETCH(QString, code);
        QFETCH(QString, next);
        db->admin().exec(QStringLiteral("UPDATE recsetup SET pointer_ctrl1 = 'J000120', pointer_ctrl2 = 'I000007', "
                                        "pointer_ctrl3 = 'K000001', pointer_ctrl4 = 'L032767'"));
        click("Cmdadd");
        QVERIFY(w->adding());
        QVERIFY(option("opt1")->hasFocus());
        QVERIFY(!text("Text3")->isReadOnly());
        QCOMPARE(text("Text7")->text(), QStringLiteral("1"));
        QCOMPARE(text("Text11")->text(), QStringLiteral("0"));
        fillNewTitle(QStringLiteral("วารสารใหม่"), newspaper, language);
        text("Mask4")->setText(QStringLiteral("31/12/2027"));
        text("Mask5")->setText(QStringLiteral("01/01/2027"));
        click("Cmdsave");
        QCOMPARE(boxes->boxes.first().prompt, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"));
        QCOMPARE(boxes->boxes.first().icon, forms::Icon::Information);
        QCOMPARE(boxes->last().title, QStringLiteral("ผลการบันทึกข้อมูล"));
        QVERIFY(boxes->last().prompt.startsWith(QStringLiteral("การบันทึกข้อมูลวารสารรายชื่อใหม่เรียบร้อยแล้ว")));
        QVERIFY(boxes->last().prompt.contains(code));
        const data::Result r = title(code);
        QCOMPARE(r.rowCount(), 1);
        QCOMPARE(r.text(0, 0), QStringLiteral("วารสารใหม่"));
        QCOMPARE(r.text(0, 1), QStringLiteral("2020")); // empty parallel title: two blanks
        QCOMPARE(r.text(0, 2), QStringLiteral("1"));
        QCOMPARE(r.text(0, 3), QStringLiteral("2"));
        QCOMPARE(r.value(0, 5).toDate(), QDate(2027, 12, 31));
        QCOMPARE(r.value(0, 6).toDate(), QDate(2027, 1, 1));
        QCOMPARE(r.text(0, 9), QStringLiteral("1"));
        QCOMPARE(counter(series), next);
        QVERIFY(button("Cmdadd")->isEnabled() && !button("Cmdsave")->isEnabled());
        QVERIFY(text("Text3")->isReadOnly());
        QCOMPARE(text("Text2")->text(), QString());
    }

    void emptyExpiryMeansToday() {
        click("Cmdadd");
        fillNewTitle(QStringLiteral("Science"), false, QStringLiteral("ภาษาต่างประเทศ"));
        text("Mask5")->setText(QStringLiteral("01/01/2020")); // not read without an expiry date
        click("Cmdsave");
        const data::Result r = title(QStringLiteral("J000002"));
        QCOMPARE(r.value(0, 5).toDate(), QDate::currentDate());
        QCOMPARE(r.value(0, 6).toDate(), QDate::currentDate());
    }

    void duplicateTitleRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("same") << "Nature";
        QTest::newRow("blanks around") << "  Nature ";
    }
    void duplicateTitleRefused() {
        QFETCH(QString, typed);
        db->admin().exec(QStringLiteral("UPDATE recsetup SET pointer_ctrl1 = 'J000500'"));
        click("Cmdadd");
        fillNewTitle(typed, false, QStringLiteral("ภาษาต่างประเทศ"));
        click("Cmdsave");
        QCOMPARE(boxes->last().prompt, QStringLiteral("พบวารสารรายชื่อนี้ในฐานข้อมูล ไม่สามารถทำการเพิ่มรายชื่อใหม่ได้"));
        QCOMPARE(boxes->last().title, QStringLiteral("การบันทึกข้อมูลล้มเหลว"));
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QVERIFY(text("Text2")->hasFocus());
        QVERIFY(w->adding() && button("Cmdsave")->isEnabled());
        QCOMPARE(title(QStringLiteral("J000500")).rowCount(), 0);
        QCOMPARE(counter(1), QStringLiteral("J000500"));
        // The store checks again under the series lock, trimmed, whatever the window did.
        titles::Title t;
        t.name = typed;
        try {
            titles::TitleStore::add(*db->connect(), t, 1);
            QFAIL("a duplicate title was stored");
        } catch (const titles::TitleRefused& r) {
            QCOMPARE(r.reason, titles::TitleRefused::Reason::Duplicate);
        }
        QCOMPARE(titles(), QStringLiteral("2"));
        QCOMPARE(counter(1), QStringLiteral("J000500"));
    }

    void checkinputInOrder_data() {
        QTest::addColumn<int>("filled"); // how many of the required fields are filled, in check order
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QStringList messages = {
            "กรุณาเลือกประเภทสิ่งพิมพ์ ",
            "กรุณาเลือกชนิดสิ่งพิมพ์ ",
            "กรุณากรอกข้อมูลช่อง ชื่อวารสาร/หนังสือพิมพ์ ",
            "กรุณาเลือกภาษา วารสาร/หนังสือพิมพ์ ",
            "กรุณาเลือกกำหนดการออก วารสาร/หนังสือพิมพ์ ",
            "กรุณากรอกข้อมูลช่อง ผู้จัดพิมพ์ ",
            "กรุณาเลือก คณะ/หน่วยงานที่บอกรับ ",
            "กรุณาเลือก สถานภาพการบอกรับ ",
            "กรุณาเลือก ผู้จัดจำหน่าย ",
            "กรุณาเลือก สถานภาพสมาชิก",
            "กรุณาเลือก สีปก",
        };
        const QStringList focus = {"opt1",      "dcbtypemag", "Text2",  "dcblanguage", "dcbmagtype",  "Text10",
                                   "dcbdepart", "dcbrecei",   "Text14", "dcbstatus",   "dcbbindcolor"};
        for (int i = 0; i < messages.size(); ++i)
            QTest::addRow("%d filled", i) << i << messages.at(i) << focus.at(i);
    }
    void checkinputInOrder() {
        QFETCH(int, filled);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        click("Cmdadd");
        const std::function<void()> fill[] = {
            [&] { option("opt2")->setChecked(true); },
            [&] { choose("dcbtypemag", QStringLiteral("นิตยสาร")); },
            [&] { text("Text2")->setText(QStringLiteral("ข่าวสด")); },
            [&] { choose("dcblanguage", QStringLiteral("ภาษาไทย")); },
            [&] { choose("dcbmagtype", QStringLiteral("รายวัน")); },
            [&] {
                enter(text("Text10"), QStringLiteral("Spr"));
                pick("dlbdealer", QStringLiteral("Springer"));
            },
            [&] { choose("dcbdepart", QStringLiteral("คณะครุศาสตร์")); },
            [&] { choose("dcbrecei", QStringLiteral("แลกเปลี่ยน")); },
            [&] {
                enter(text("Text14"), QStringLiteral("Reilly"));
                pick("dlbdealer", QStringLiteral("O'Reilly"));
            },
            [&] { choose("dcbstatus", QStringLiteral("งดต่ออายุ")); },
        };
        for (int i = 0; i < filled; ++i)
            fill[i]();
        click("Cmdsave");
        QCOMPARE(boxes->last().prompt, message);
        QCOMPARE(boxes->last().title, QStringLiteral("ข้อมูลไม่สมบรูณ์"));
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(w->adding() && button("Cmdsave")->isEnabled());
        QCOMPARE(titles(), QStringLiteral("2"));
        // Whatever the outcome, empty parallel, former and abbreviated titles now hold two blanks.
        QCOMPARE(text("Text3")->text(), QStringLiteral("  "));
    }

    void typedPublisherMustBeChosen() {
        click("Cmdadd");
        fillNewTitle(QStringLiteral("Cell"), false, QStringLiteral("ภาษาต่างประเทศ"));
        text("Text10")->setFocus();
        text("Text10")->selectAll();
        QTest::keyClicks(text("Text10"), QStringLiteral("Wiley")); // typed, never chosen
        QCOMPARE(text("Text8")->text(), QString());
        click("Cmdsave");
        QVERIFY(boxes->last().prompt.contains(QStringLiteral("กรุณาเลือกผู้จัดพิมพ์จากรายการ")));
        QCOMPARE(QApplication::focusWidget(), text("Text10"));
        QCOMPARE(titles(), QStringLiteral("2"));
    }

    void invalidValuesRefused_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("start date that does not exist") << "Mask1"
                                                        << "31/02/2024";
        QTest::newRow("expiry date half typed") << "Mask4"
                                                << "12/2027";
        QTest::newRow("order date in another form") << "Mask5"
                                                    << "2027/01/01";
        QTest::newRow("copies not a number") << "Text7"
                                             << "two";
        QTest::newRow("price not a number") << "Text11"
                                            << "1,2x";
    }
    void invalidValuesRefused() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        click("Cmdadd");
        fillNewTitle(QStringLiteral("Cell"), false, QStringLiteral("ภาษาต่างประเทศ"));
        text("Mask4")->setText(QStringLiteral("31/12/2027"));
        text(field.toLatin1().constData())->setText(value);
        click("Cmdsave");
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QCOMPARE(QApplication::focusWidget()->objectName(), field);
        QCOMPARE(titles(), QStringLiteral("2"));
        QCOMPARE(counter(1), QStringLiteral("J000002"));
    }

    // An edit rewrites the title's columns unless the row is gone, changed by another station
    // since it was shown, or the code was typed over with another title's.
    void editSaves_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("stored"); // J000001's name afterwards
        QTest::addColumn<QString>("words");
        QTest::newRow("saved") << "" << "J000001" << "Nature International" << "เรียบร้อยแล้ว";
        QTest::newRow("deleted meanwhile") << "DELETE FROM magazine WHERE Pointer = 'J000001'" << "J000001" << ""
                                           << "ข้อมูลไม่ได้ถูกบันทึก";
        QTest::newRow("price changed meanwhile") << "UPDATE magazine SET Price_Per_Year = 13000 WHERE Pointer = 'J000001'"
                                                 << "J000001" << "Nature" << "ถูกเครื่องอื่นแก้ไข";
        QTest::newRow("another title's code") << "" << "I000001" << "Nature" << "ไม่สามารถเปลี่ยนรหัส";
    }
    void editSaves() {
        QFETCH(QString, meanwhile);
        QFETCH(QString, code);
        QFETCH(QString, stored);
        QFETCH(QString, words);
        showNature();
        click("Cmdedit");
        QVERIFY(w->editing() && text("Text2")->hasFocus());
        consistent();
        text("Text1")->setText(code);
        text("Text2")->setText(QStringLiteral("Nature International"));
        text("Text6")->setText(QStringLiteral("ชั้น 3 ตู้ 12"));
        choose("dcbtypemag", QStringLiteral("นิตยสาร"));
        if (!meanwhile.isEmpty())
            db->admin().exec(meanwhile);
        boxes->answer({true, true}); // save; show the current values
        click("Cmdsave");
        QVERIFY2(boxes->last().prompt.contains(words), qPrintable(boxes->last().prompt));
        const data::Result r = title(QStringLiteral("J000001"));
        QCOMPARE(r.isEmpty() ? QString() : r.text(0, 0), stored);
        QCOMPARE(title(QStringLiteral("I000001")).text(0, 0), QStringLiteral("วารสารครุศาสตร์"));
        QCOMPARE(counter(1), QStringLiteral("J000002")); // an edit takes no code
        if (QTest::currentDataTag() == QLatin1String("saved")) {
            QCOMPARE(r.text(0, 8), QStringLiteral("ชั้น 3 ตู้ 12"));
            QCOMPARE(r.text(0, 11), QStringLiteral("03"));
            QCOMPARE(r.value(0, 7).toDate(), QDate(2020, 1, 15));
            QCOMPARE(r.text(0, 10), QStringLiteral("12500.00"));
        } else if (words.contains(QStringLiteral("แก้ไข"))) {
            QCOMPARE(text("Text11")->text(), QStringLiteral("13000.00")); // the current values are on show
            QVERIFY(!w->editing());
        } else {
            QVERIFY(w->editing()); // nothing lost: still editing
        }
        consistent();
    }

    void deleteRemovesOnlyTheTitle() {
        enter(text("Text2"), QStringLiteral("Nature"));
        pick("dlbnamemag", QStringLiteral("Nature"));
        db->admin().exec(QStringLiteral("INSERT INTO tranfile (magno, pointer, MagStatus, regno) VALUES "
                                        "('2', 'J000001', 'Z', 'B000001'), ('3', 'J000001', 'Z', 'B000001')"));
        db->admin().exec(QStringLiteral("INSERT INTO article (article_no, Article_Name, pointer) VALUES ('1', 'a', 'J000001')"));
        click("Cmddel");
        QVERIFY(boxes->boxes.at(0).prompt.startsWith(QStringLiteral("ต้องการลบข้อมูลหรือไม่\n")));
        QVERIFY2(boxes->boxes.at(0).prompt.contains(QStringLiteral("3 ฉบับ ดรรชนีบทความ 1 รายการ และวารสารรวมเล่ม 1 เล่ม")),
                 qPrintable(boxes->boxes.at(0).prompt));
        QCOMPARE(boxes->boxes.at(0).title, QStringLiteral("ลบข้อมูล"));
        QCOMPARE(boxes->last().prompt, QStringLiteral("ลบข้อมูลเรียบร้อแล้ว"));
        QCOMPARE(boxes->last().title, QStringLiteral("แจ้งผลการลบข้อมูล"));
        QCOMPARE(title(QStringLiteral("J000001")).rowCount(), 0);
        QCOMPARE(
            db->admin().query(QStringLiteral("SELECT COUNT(*) FROM tranfile WHERE pointer = 'J000001'")).text(0, 0),
            QStringLiteral("3"));
        QCOMPARE(text("Text1")->text(), QString());
        QVERIFY(text("Text2")->hasFocus());
        QVERIFY(button("Cmdadd")->isEnabled() && !button("Cmddel")->isEnabled());
    }

    void cancelAsksFirst() {
        click("Cmdadd");
        text("Text2")->setText(QStringLiteral("ครึ่งทาง"));
        boxes->answer({false});
        click("Cmdcancle");
        QVERIFY(w->adding());
        QCOMPARE(text("Text2")->text(), QStringLiteral("ครึ่งทาง"));
        click("Cmdcancle");
        QCOMPARE(boxes->last().prompt, QStringLiteral("ต้องการยกเลิกข้อมูลหรือไม่"));
        QCOMPARE(boxes->last().title, QStringLiteral("ยกเลิกข้อมูล"));
        QCOMPARE(text("Text2")->text(), QString());
        QVERIFY(text("Text3")->isReadOnly());
        QVERIFY(button("Cmdadd")->isEnabled() && !button("Cmdsave")->isEnabled());
    }

    void subscriptionDetailsFollowTheStatus() {
        click("Cmdadd");
        auto* frame = control<QGroupBox>(w, "Frame2");
        choose("dcbrecei", QStringLiteral("เป็นสมาชิก"));
        QVERIFY(frame->isVisible());
        choose("dcbrecei", QStringLiteral("แลกเปลี่ยน"));
        QVERIFY(!frame->isVisible());
        choose("dcbrecei", QStringLiteral("เป็นสมาชิก"));
        click("Cmdcancle");
        QVERIFY(!frame->isVisible()); // emptied by cleardata
    }

    void missingPublisherGoesToThePublisherRegister() {
        click("Cmdadd");
        text("Text10")->setFocus();
        testsupport::typeText(text("Text10"), QStringLiteral("สำนักพิมพ์ใหม่"));
        QTest::keyClick(text("Text10"), Qt::Key_Return);
        auto* reg = qobject_cast<titles::Adddealer*>(main->windows().find(QStringLiteral("Adddealer")));
        QVERIFY(reg && reg->isVisible() && reg->isWindow());
        QCOMPARE(reg->mode(), QStringLiteral("Add"));
        QCOMPARE(control<QPlainTextEdit>(reg, "Text2")->toPlainText(), QStringLiteral("สำนักพิมพ์ใหม่"));
        QCOMPARE(control<QLineEdit>(reg, "Text1")->text(), QStringLiteral("4"));
        QCOMPARE(forms::add_dealer_flag(), QStringLiteral("T"));
        QTest::mouseClick(control<QPushButton>(reg, "Command1"), Qt::LeftButton);
        QCOMPARE(forms::add_dealer_flag(), QStringLiteral("F"));
        // Back in the title register the new publisher is found and chosen.
        enter(text("Text10"), QStringLiteral("ใหม่"));
        pick("dlbdealer", QStringLiteral("สำนักพิมพ์ใหม่"));
        QCOMPARE(text("Text8")->text(), QStringLiteral("4"));
        reg->close();
    }

    void seriesExhausted() {
        db->admin().exec(QStringLiteral("UPDATE recsetup SET pointer_ctrl1 = 'J999999'"));
        click("Cmdadd");
        fillNewTitle(QStringLiteral("The last one"), false, QStringLiteral("ภาษาต่างประเทศ"));
        click("Cmdsave");
        QCOMPARE(title(QStringLiteral("J999999")).rowCount(), 1); // the last code is still given
        click("Cmdadd");
        fillNewTitle(QStringLiteral("One too many"), false, QStringLiteral("ภาษาต่างประเทศ"));
        click("Cmdsave");
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QVERIFY2(boxes->last().prompt.contains(QStringLiteral("ครบแล้ว")), qPrintable(boxes->last().prompt));
        QVERIFY(w->adding());
        QCOMPARE(db->admin()
                     .query(QStringLiteral("SELECT COUNT(*) FROM magazine WHERE Magazine_Name = 'One too many'"))
                     .text(0, 0),
                 QStringLiteral("0"));
        QCOMPARE(counter(1), QStringLiteral("J1000000"));
        // The other series go on.
        option("opt2")->setChecked(true);
        click("Cmdsave");
        QCOMPARE(title(QStringLiteral("K000001")).text(0, 0), QStringLiteral("One too many"));
    }

    void titleCodeArithmetic() {
        const struct {
            const char *code, *next;
            bool usable;
        } rows[] = {{"J000120", "J000121", true},  {"I032767", "I032768", true}, {"K999999", "K1000000", true},
                    {"K1000000", "K1000001", false}, {" L000009 ", "L000010", true}, {"0000012", "", false},
                    {"J", "", false},                {"J00A001", "", false}};
        for (const auto& r : rows) {
            QCOMPARE(titles::nextTitleCode(QString::fromLatin1(r.code)).value_or(QString()), QString::fromLatin1(r.next));
            QCOMPARE(titles::titleCodeUsable(QString::fromLatin1(r.code)), r.usable);
        }
        QCOMPARE(titles::seriesNumber(false, QStringLiteral("01")), 1);
        QCOMPARE(titles::seriesNumber(false, QString()), 2);
        QCOMPARE(titles::seriesNumber(true, QStringLiteral(" 01 ")), 3);
        QCOMPARE(titles::seriesNumber(true, QStringLiteral("03")), 4);
    }
};

QTEST_MAIN(tst_new_journal)
#include "tst_new_journal.moc"
