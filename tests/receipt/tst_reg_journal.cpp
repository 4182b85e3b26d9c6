// Issue registration driven by its controls against the real server.
#include "receipt/IssueStore.h"
#include "receipt/reg_journal.h"
#include "support/ScriptedMessages.h"
#include "support/Stations.h"
#include "support/TestServer.h"
#include "support/WindowTest.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>

using receipt::reg_journal;
using testsupport::control;
using testsupport::ScriptedMessages;
using testsupport::TestDatabase;

class tst_reg_journal : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> boxes;
    reg_journal* w = nullptr;

    QLineEdit* text(const char* n) { return control<QLineEdit>(w, n); }
    QPushButton* button(const char* n) { return control<QPushButton>(w, n); }
    QTableWidget* grid(const char* n) { return control<QTableWidget>(w, n); }
    QString label(const char* n) { return control<QLabel>(w, n)->text(); }
    QString cell(const char* g, int r, int c) {
        const QTableWidgetItem* i = grid(g)->item(r, c);
        return i ? i->text() : QString();
    }
    void click(const char* n) { QTest::mouseClick(button(n), Qt::LeftButton); }
    void clickRow(const char* g, int row) {
        QTableWidget* t = grid(g);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->item(row, 0)).center());
    }
    void findTitle(const QString& s) {
        text("Text1")->setText(s);
        QTest::keyClick(text("Text1"), Qt::Key_Return);
    }
    void openTitle(const QString& name) {
        findTitle(name);
        const auto items = grid("show_journal")->findItems(name, Qt::MatchExactly);
        QVERIFY2(!items.isEmpty(), qPrintable(name));
        clickRow("show_journal", items.first()->row());
    }
    void pickDate(const char* calendarButton, const char* calendar, const QDate& d) {
        click(calendarButton);
        auto* cal = control<QCalendarWidget>(w, calendar);
        QVERIFY(cal->isVisible());
        emit cal->clicked(d);
    }
    void issue(const QString& magno, const QString& pointer, const QString& daily, const QVariant& year,
               const QVariant& number, const QVariant& description, const QString& status = QStringLiteral("O")) {
        db->admin().exec(QStringLiteral("INSERT INTO tranfile (magno, pointer, indate, daily, yearno, itemsno, "
                                        "DescriptionItem, MagStatus, regno) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                         {magno, pointer, QDate(2026, 1, 20), QDate::fromString(daily, Qt::ISODate), year, number,
                          description, status,
                          status == QLatin1String("Z") ? QVariant(QStringLiteral("B000001")) : QVariant()});
    }
    QString counter() { return db->admin().query(QStringLiteral("SELECT magno_ctrl FROM jourctrl")).text(0, 0); }
    data::Result stored(const QString& magno) {
        return db->admin().query(QStringLiteral("SELECT pointer, indate, daily, yearno, itemsno, DescriptionItem, "
                                                "MagStatus, regno FROM tranfile WHERE magno = ?"),
                                 {magno});
    }

private slots:
    void initTestCase() { db = std::make_unique<TestDatabase>(QStringLiteral("reg_journal")); }
    void init() {
        db->reset();
        auto& a = db->admin();
        a.exec(QStringLiteral("INSERT INTO magazine (Pointer, Magazine_Name, department_code) VALUES "
                              "('J000001', 'Nature', '07'), ('I000001', 'วารสารครุศาสตร์', '03'), "
                              "('I000002', 'วารสารวิทยาศาสตร์', '02'), ('I000003', 'ไม่มีคณะ', '99')"));
        a.exec(QStringLiteral("UPDATE jourctrl SET magno_ctrl = '125'"));
        issue("101", "J000001", "2026-03-01", "57", "3", "March 2026");
        issue("100", "J000001", "2026-02-01", "57", "2", "February 2026", "Z");
        issue("99", "J000001", "2026-01-01", QVariant(), QString(), QVariant());
        boxes = std::make_unique<ScriptedMessages>();
        w = testsupport::showWindow<reg_journal>();
    }
    void cleanup() {
        boxes.reset();
        QCOMPARE(testsupport::closeAllWindows(), 1);
    }
    void cleanupTestCase() { db.reset(); }

    void opensCleared() {
        QCOMPARE(w->windowTitle(), QStringLiteral("โปรแกรมลงทะเบียนวารสาร"));
        QCOMPARE(grid("show_journal")->rowCount(), 13);
        QCOMPARE(grid("show_item")->rowCount(), 13);
        QCOMPARE(grid("show_journal")->horizontalHeaderItem(0)->text(), QStringLiteral("ชื่อวาสาร"));
        QCOMPARE(grid("show_journal")->columnWidth(1), 400);
        QCOMPARE(grid("show_item")->horizontalHeaderItem(4)->text(), QStringLiteral("คำอธิบาย"));
        QCOMPARE(grid("show_item")->columnWidth(0), 63);
        for (const char* n : {"Text2", "Text3", "Text4", "Text5", "Text6", "Text7"}) {
            QVERIFY2(!text(n)->isEnabled(), n);
            QCOMPARE(text(n)->palette().color(QPalette::Disabled, QPalette::Base), QColor(192, 255, 192));
        }
        for (const char* n : {"Command2", "Command3", "Command6", "Command7", "Command4"})
            QVERIFY2(!button(n)->isEnabled(), n);
        for (const char* n : {"Command1", "Command8", "Command5", "Command9", "Command10"})
            QVERIFY2(button(n)->isEnabled(), n);
        QVERIFY(text("Text1")->hasFocus());
    }

    void searchMessages() {
        findTitle(QStringLiteral("   "));
        QCOMPARE(boxes->last().prompt, QStringLiteral("กรุณาพิมพ์รายชื่อวารสารที่ต้องการลงทะเบียน"));
        QCOMPARE(boxes->last().title, QStringLiteral("ข้อผิดพลาด"));
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        findTitle(QStringLiteral("Science"));
        QCOMPARE(boxes->last().prompt, QStringLiteral("ไม่พบรายชื่อวารสารนี้"));
        QCOMPARE(boxes->last().title, QStringLiteral("ไม่พบข้อมูล"));
        QCOMPARE(text("Text1")->text(), QString());
        findTitle(QStringLiteral("วารสาร"));
        QCOMPARE(grid("show_journal")->rowCount(), 2);
        QCOMPARE(cell("show_journal", 0, 0), QStringLiteral("วารสารครุศาสตร์"));
        QCOMPARE(cell("show_journal", 0, 1), QStringLiteral("คณะครุศาสตร์"));
        QCOMPARE(cell("show_journal", 0, 2), QStringLiteral("I000001"));
        QCOMPARE(cell("show_journal", 0, 3), QStringLiteral("03"));
        QVERIFY(grid("show_journal")->hasFocus());
    }

    void titleListsIssuesNewestFirst() {
        openTitle(QStringLiteral("Nature"));
        QCOMPARE(w->curPointer(), QStringLiteral("J000001"));
        QCOMPARE(grid("show_item")->rowCount(), 3);
        QCOMPARE(cell("show_item", 0, 0), QStringLiteral("101"));
        QCOMPARE(cell("show_item", 0, 1), QStringLiteral("01/03/2026"));
        QCOMPARE(cell("show_item", 0, 5), QStringLiteral("20/01/2026"));
        QCOMPARE(cell("show_item", 2, 0), QStringLiteral("99"));
        // Empty year, number and description stay empty cells.
        QCOMPARE(cell("show_item", 2, 2), QString());
        QCOMPARE(cell("show_item", 2, 3), QString());
        QCOMPARE(cell("show_item", 2, 4), QString());
        QCOMPARE(label("Label1"), QStringLiteral("   Magno= 101   Daily=  01/03/2026  :  March 2026"));
        QCOMPARE(label("Index_Label"), QStringLiteral("NO"));
        QVERIFY(button("Command2")->isEnabled());
        QVERIFY(!button("Command3")->isEnabled() && !button("Command6")->isEnabled());
        QVERIFY(boxes->boxes.isEmpty());
    }

    void sameIssueDateInAStableOrder() {
        issue("9", "I000001", "2026-05-01", "1", "1", "A");
        issue("10", "I000001", "2026-05-01", "1", "2", "B");
        issue("8", "I000001", "2026-05-01", "1", "0", "C");
        for (int i = 0; i < 3; ++i) {
            openTitle(QStringLiteral("วารสารครุศาสตร์"));
            QCOMPARE(cell("show_item", 0, 0), QStringLiteral("10")); // as numbers, 10 is newer than 9
            QCOMPARE(cell("show_item", 1, 0), QStringLiteral("9"));
            QCOMPARE(label("Label1"), QStringLiteral("   Magno= 10   Daily=  01/05/2026  :  B"));
        }
    }

    void indexCheck_data() {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("volume");
        QTest::addColumn<QString>("newest");
        QTest::addColumn<QString>("second");
        QTest::newRow("no article") << "1"
                                    << "1"
                                    << "NO"
                                    << "NO";
        QTest::newRow("newest issue indexed") << "57"
                                              << "3"
                                              << "YES"
                                              << "NO";
        QTest::newRow("stored with blanks around") << " 57 "
                                                   << "3 "
                                                   << "YES"
                                                   << "NO";
        QTest::newRow("second issue indexed") << "57"
                                              << "2"
                                              << "NO"
                                              << "YES";
        QTest::newRow("same year, other number") << "57"
                                                 << "4"
                                                 << "NO"
                                                 << "NO";
    }
    void indexCheck() {
        QFETCH(QString, year);
        QFETCH(QString, volume);
        QFETCH(QString, newest);
        QFETCH(QString, second);
        db->admin().exec(QStringLiteral("INSERT INTO article (article_no, Article_Name, pointer, year, volume) "
                                        "VALUES ('0000001', 'x', 'J000001', ?, ?)"),
                         {year, volume});
        openTitle(QStringLiteral("Nature"));
        QCOMPARE(label("Index_Label"), newest);
        clickRow("show_item", 1);
        QCOMPARE(label("Index_Label"), second);
        QCOMPARE(text("Text2")->text(), QStringLiteral("100"));
        QCOMPARE(text("Text3")->text(), QStringLiteral("01/02/2026"));
        QVERIFY(!text("Text4")->isEnabled());
        QVERIFY(button("Command3")->isEnabled() && button("Command6")->isEnabled());
    }

    void firstRegistrationOfATitle() {
        openTitle(QStringLiteral("วารสารวิทยาศาสตร์"));
        QCOMPARE(boxes->last().prompt, QStringLiteral("รายชื่อวารสารนี้ไม่พบข้อมูลการลงทะเบียน"));
        QCOMPARE(boxes->last().title, QStringLiteral("ไม่พบวารสารที่ลงทะเบียน"));
        QCOMPARE(label("Label1"), QString());
        QVERIFY(button("Command2")->isEnabled());
        click("Command2");
        QCOMPARE(w->regMode(), QStringLiteral("New"));
        QCOMPARE(text("Text2")->text(), QStringLiteral("125"));
        QCOMPARE(text("Text7")->text(), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        QVERIFY(!grid("show_journal")->isEnabled() && !grid("show_item")->isEnabled());
        QVERIFY(button("Command7")->isEnabled() && button("Command4")->isEnabled() && !button("Command2")->isEnabled());
        QVERIFY(text("Text4")->isEnabled() && !text("Text3")->isEnabled() && !text("Text2")->isEnabled());
        QVERIFY(button("Command9")->hasFocus());
        pickDate("Command9", "MonthView1", QDate(2026, 11, 1));
        QCOMPARE(text("Text3")->text(), QStringLiteral("01/11/2026"));
        text("Text4")->setText(QStringLiteral("12"));
        text("Text5")->setText(QStringLiteral("4"));
        testsupport::typeText(text("Text6"), QStringLiteral("พฤศจิกายน 2569"));
        boxes->clear();
        click("Command7");
        QCOMPARE(boxes->boxes.at(0).prompt, QStringLiteral("ต้องการบันทึกข้อมูลวารสารเลขทะเบียนนี้หรือไม่"));
        QCOMPARE(boxes->boxes.at(0).title, QStringLiteral(" ยืนยันการบันทึกข้อมูล"));
        QCOMPARE(boxes->boxes.at(0).icon, forms::Icon::Question);
        QCOMPARE(boxes->last().prompt, QStringLiteral("บันทึกข้อมูลลงทะเบียนวารสารเรียบร้อยแล้ว"));
        QCOMPARE(boxes->last().title, QStringLiteral("ผลการบันทึก"));
        const data::Result r = stored(QStringLiteral("125"));
        QCOMPARE(r.rowCount(), 1);
        QCOMPARE(r.text(0, 0), QStringLiteral("I000002"));
        QCOMPARE(r.value(0, 1).toDate(), QDate::currentDate());
        QCOMPARE(r.value(0, 2).toDate(), QDate(2026, 11, 1));
        QCOMPARE(r.text(0, 3), QStringLiteral("12"));
        QCOMPARE(r.text(0, 5), QStringLiteral("พฤศจิกายน 2569"));
        QCOMPARE(r.text(0, 6), QStringLiteral("O"));
        QCOMPARE(counter(), QStringLiteral("126"));
        QCOMPARE(grid("show_item")->rowCount(), 1);
        QCOMPARE(label("Label1"), QStringLiteral("   Magno= 125   Daily=  01/11/2026  :  พฤศจิกายน 2569"));
        QCOMPARE(text("Text2")->text(), QStringLiteral("125"));
        QVERIFY(!text("Text4")->isEnabled());
        QVERIFY(grid("show_item")->isEnabled());
        QVERIFY(button("Command2")->isEnabled() && button("Command3")->isEnabled() && !button("Command7")->isEnabled());
    }

    void consecutiveNumbersAndCancel() {
        openTitle(QStringLiteral("Nature"));
        for (const QString& expected : {QStringLiteral("125"), QStringLiteral("126")}) {
            click("Command2");
            QCOMPARE(text("Text2")->text(), expected);
            pickDate("Command9", "MonthView1", QDate(2026, 4, 1));
            click("Command7");
            QCOMPARE(stored(expected).rowCount(), 1);
        }
        click("Command2");
        QCOMPARE(text("Text2")->text(), QStringLiteral("127"));
        click("Command4");
        QCOMPARE(counter(), QStringLiteral("127")); // New then Cancel reserves nothing
        QVERIFY(!button("Command7")->isEnabled());
        QCOMPARE(db->admin().query(QStringLiteral("SELECT COUNT(*) FROM tranfile")).text(0, 0), QStringLiteral("5"));
    }

    void counterText_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("issued");
        QTest::addColumn<QString>("after");
        QTest::newRow("leading zeros") << "007"
                                       << "007"
                                       << "8";
        QTest::newRow("blanks") << " 41 "
                                << "41"
                                << "42";
        QTest::newRow("past 16 bits") << "32767"
                                      << "32767"
                                      << "32768";
    }
    void counterText() {
        QFETCH(QString, start);
        QFETCH(QString, issued);
        QFETCH(QString, after);
        db->admin().exec(QStringLiteral("UPDATE jourctrl SET magno_ctrl = ?"), {start});
        openTitle(QStringLiteral("Nature"));
        click("Command2");
        pickDate("Command9", "MonthView1", QDate(2026, 4, 1));
        click("Command7");
        QCOMPARE(stored(issued).rowCount(), 1);
        QCOMPARE(counter(), after);
    }

    void counterThatIsNotANumber() {
        db->admin().exec(QStringLiteral("UPDATE jourctrl SET magno_ctrl = 'abc'"));
        openTitle(QStringLiteral("Nature"));
        click("Command2");
        pickDate("Command9", "MonthView1", QDate(2026, 4, 1));
        click("Command7");
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QVERIFY2(boxes->last().prompt.contains(QStringLiteral("jourctrl")), qPrintable(boxes->last().prompt));
        QCOMPARE(db->admin().query(QStringLiteral("SELECT COUNT(*) FROM tranfile")).text(0, 0), QStringLiteral("3"));
        QCOMPARE(counter(), QStringLiteral("abc"));
        QCOMPARE(w->regMode(), QStringLiteral("New"));
        QVERIFY(button("Command7")->isEnabled());
    }

    void issueDateRequired() {
        openTitle(QStringLiteral("Nature"));
        click("Command2");
        text("Text4")->setText(QStringLiteral("58"));
        click("Command7");
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QVERIFY(boxes->last().prompt.contains(QStringLiteral("วันที่ประจำเดือน")));
        QCOMPARE(counter(), QStringLiteral("125"));
        QCOMPARE(db->admin().query(QStringLiteral("SELECT COUNT(*) FROM tranfile")).text(0, 0), QStringLiteral("3"));
        QCOMPARE(text("Text4")->text(), QStringLiteral("58")); // what was typed stays
        QVERIFY(button("Command7")->isEnabled());
    }

    void saveNotConfirmed() {
        openTitle(QStringLiteral("Nature"));
        click("Command2");
        pickDate("Command9", "MonthView1", QDate(2026, 4, 1));
        boxes->answer({false});
        click("Command7");
        QCOMPARE(counter(), QStringLiteral("125"));
        QCOMPARE(w->regMode(), QStringLiteral("New"));
        QVERIFY(button("Command7")->isEnabled());
    }

    void editChangesOnlyTheFiveFields() {
        openTitle(QStringLiteral("Nature"));
        clickRow("show_item", 1); // 100, bound into a volume
        click("Command3");
        QCOMPARE(w->regMode(), QStringLiteral("Edit"));
        pickDate("Command9", "MonthView1", QDate(2026, 2, 15));
        pickDate("Command10", "MonthView2", QDate(2026, 2, 20));
        text("Text4")->setText(QStringLiteral("58"));
        text("Text5")->setText(QStringLiteral("1"));
        text("Text6")->setText(QStringLiteral("ฉบับพิเศษ"));
        click("Command7");
        QCOMPARE(boxes->last().prompt, QStringLiteral("บันทึกข้อมูลที่ทำการแก้ไขแล้ว"));
        const data::Result r = stored(QStringLiteral("100"));
        QCOMPARE(r.text(0, 0), QStringLiteral("J000001"));
        QCOMPARE(r.value(0, 1).toDate(), QDate(2026, 2, 20));
        QCOMPARE(r.value(0, 2).toDate(), QDate(2026, 2, 15));
        QCOMPARE(r.text(0, 3), QStringLiteral("58"));
        QCOMPARE(r.text(0, 4), QStringLiteral("1"));
        QCOMPARE(r.text(0, 5), QStringLiteral("ฉบับพิเศษ"));
        QCOMPARE(r.text(0, 6), QStringLiteral("Z"));       // still bound
        QCOMPARE(r.text(0, 7), QStringLiteral("B000001")); // in its volume
        QCOMPARE(counter(), QStringLiteral("125"));
        QCOMPARE(text("Text2")->text(), QStringLiteral("100")); // the edited issue stays on show
        QCOMPARE(text("Text6")->text(), QStringLiteral("ฉบับพิเศษ"));
    }

    void deleteIssues() {
        openTitle(QStringLiteral("Nature"));
        clickRow("show_item", 0);
        click("Command6");
        QCOMPARE(boxes->boxes.at(0).prompt, QStringLiteral("ต้องการลบข้อมูลวารสารเลขทะเบียนนี้หรือไม่"));
        QCOMPARE(boxes->boxes.at(0).title, QStringLiteral(" ยืนยันการลบข้อมูล"));
        QCOMPARE(boxes->last().prompt, QStringLiteral("ทำการลบข้อมูลเรียบร้อยแล้ว"));
        QCOMPARE(boxes->last().title, QStringLiteral("ผลการลบข้อมูล"));
        QCOMPARE(stored(QStringLiteral("101")).rowCount(), 0);
        QCOMPARE(grid("show_item")->rowCount(), 2);
        QCOMPARE(label("Label1"), QStringLiteral("   Magno= 100   Daily=  01/02/2026  :  February 2026"));
        QCOMPARE(text("Text2")->text(), QString());
        // Deleting the last issues leaves nothing on show.
        for (int i = 0; i < 2; ++i) {
            clickRow("show_item", 0);
            click("Command6");
        }
        QCOMPARE(cell("show_item", 0, 0), QString());
        QCOMPARE(label("Label1"), QString());
    }

    void anotherStationTookTheNumber() {
        openTitle(QStringLiteral("Nature"));
        click("Command2");
        QCOMPARE(text("Text2")->text(), QStringLiteral("125"));
        auto other = db->connect();
        QCOMPARE(receipt::IssueStore::add(*other, QStringLiteral("I000001"),
                                          {{}, QDate(2026, 6, 1), {}, {}, {}, QDate(2026, 6, 2)}),
                 QStringLiteral("125"));
        pickDate("Command9", "MonthView1", QDate(2026, 4, 1));
        click("Command7");
        QCOMPARE(stored(QStringLiteral("126")).text(0, 0), QStringLiteral("J000001"));
        QVERIFY2(boxes->last().prompt.contains(QStringLiteral("126")), qPrintable(boxes->last().prompt));
        QCOMPARE(counter(), QStringLiteral("127"));
    }

    void stationsSavingAtOnce() {
        constexpr int stations = 5, each = 20;
        QCOMPARE(testsupport::runStations(*db, stations,
                                          [&](data::Connection& c, int) {
                                              for (int i = 0; i < each; ++i)
                                                  receipt::IssueStore::add(
                                                      c, QStringLiteral("I000002"),
                                                      {{}, QDate(2026, 6, 1), {}, {}, {}, QDate(2026, 6, 2)});
                                          }),
                 0);
        const data::Result r = db->admin().query(QStringLiteral(
            "SELECT COUNT(*), COUNT(DISTINCT magno), MIN(CAST(magno AS UNSIGNED)), MAX(CAST(magno AS UNSIGNED)) "
            "FROM tranfile WHERE pointer = 'I000002'"));
        QCOMPARE(r.value(0, 0).toLongLong(), qint64(stations * each));
        QCOMPARE(r.value(0, 1).toLongLong(), qint64(stations * each));
        QCOMPARE(r.text(0, 2), QStringLiteral("125"));
        QCOMPARE(r.text(0, 3), QString::number(124 + stations * each));
        QCOMPARE(counter(), QString::number(125 + stations * each));
    }

    void keyboardOnly() {
        text("Text1")->setFocus();
        testsupport::typeText(text("Text1"), QStringLiteral("ature"));
        QTest::keyClick(text("Text1"), Qt::Key_Return);
        QVERIFY(grid("show_journal")->hasFocus());
        QTest::keyClick(grid("show_journal"), Qt::Key_Return);
        QCOMPARE(w->curPointer(), QStringLiteral("J000001"));
        QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(w->regMode(), QStringLiteral("New"));
        QVERIFY(button("Command9")->hasFocus());
        QTest::keyClick(button("Command9"), Qt::Key_Return); // opens the calendar on today
        auto* cal = control<QCalendarWidget>(w, "MonthView1");
        QVERIFY(cal->isVisible());
        emit cal->activated(QDate(2026, 12, 1)); // Enter on a day
        QCOMPARE(text("Text3")->text(), QStringLiteral("01/12/2026"));
        text("Text4")->setFocus();
        QTest::keyClicks(text("Text4"), QStringLiteral("58"));
        QTest::keyClick(text("Text4"), Qt::Key_Tab);
        QVERIFY(text("Text5")->hasFocus());
        QTest::keyClicks(text("Text5"), QStringLiteral("12"));
        QTest::keyClick(text("Text5"), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(stored(QStringLiteral("125")).text(0, 3), QStringLiteral("58"));
        QCOMPARE(cell("show_item", 0, 0), QStringLiteral("125"));
    }

    void clearEmptiesEverything() {
        openTitle(QStringLiteral("Nature"));
        clickRow("show_item", 0);
        click("Command8");
        QCOMPARE(cell("show_journal", 0, 0), QString());
        QCOMPARE(cell("show_item", 0, 0), QString());
        QCOMPARE(label("Label1"), QString());
        QCOMPARE(label("Index_Label"), QStringLiteral("NO"));
        QCOMPARE(text("Text2")->text(), QString());
        QVERIFY(!button("Command2")->isEnabled() && !button("Command3")->isEnabled());
        QVERIFY(text("Text1")->hasFocus());
    }
};

QTEST_MAIN(tst_reg_journal)
#include "tst_reg_journal.moc"
