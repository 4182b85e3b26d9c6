// The publisher register driven by its controls against the real server.
#include "app/Windows.h"
#include "app/menumagizine.h"
#include "forms/common/ProgramState.h"
#include "forms/common/Style.h"
#include "support/ScriptedMessages.h"
#include "support/Stations.h"
#include "support/TestServer.h"
#include "support/WindowTest.h"
#include "titles/Adddealer.h"
#include "titles/DealerStore.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>

using testsupport::control;
using testsupport::ScriptedMessages;
using testsupport::TestDatabase;
using titles::Adddealer;

class tst_adddealer : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> boxes;
    Adddealer* w = nullptr;

    QLineEdit* text(const char* n) { return control<QLineEdit>(w, n); }
    QPlainTextEdit* area(const char* n) { return control<QPlainTextEdit>(w, n); }
    QPushButton* button(const char* n) { return control<QPushButton>(w, n); }
    QListWidget* list() { return control<QListWidget>(w, "Listdealer"); }

    void dealer(const QString& code, const QString& name, const QVariant& address1 = QString(),
                const QVariant& contact = QString()) {
        db->admin().exec(
            QStringLiteral("INSERT INTO dealer (Publisher_Code, Publisher_Name, Address1, Address2, "
                           "Telephone, Contact) VALUES (?, ?, ?, ?, '02-1234567', ?)"),
            {code, name, address1, address1.isNull() ? QVariant() : QVariant(QStringLiteral("บรรทัดสอง")), contact});
    }
    void searchFor(const QString& s) {
        area("Text2")->setPlainText(s);
        area("Text2")->setFocus();
        QTest::keyClick(area("Text2"), Qt::Key_Return);
    }
    QStringList listed() {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
    void pick(const QString& name) { QVERIFY2(testsupport::pickFromList(list(), name), qPrintable(name)); }
    data::Result row(const QString& code) {
        return db->admin().query(QStringLiteral("SELECT Publisher_Name, Address1, Address2, Contact, Telephone "
                                                "FROM dealer WHERE Publisher_Code = ?"),
                                 {code});
    }
    void open() { w = testsupport::showWindow<Adddealer>(); }

private slots:
    void initTestCase() { db = std::make_unique<TestDatabase>(QStringLiteral("adddealer")); }
    void init() {
        db->reset();
        dealer("1", QStringLiteral("สำนักพิมพ์ดวงกมล"), QStringLiteral("12 ถนนสุขุมวิท"), QStringLiteral("คุณสมชาย"));
        dealer("2", QStringLiteral("O'Reilly Media"), QStringLiteral("Sebastopol, CA"));
        dealer("3", QStringLiteral("100% Press"));
        dealer("4", QStringLiteral("1000 Books"), QVariant(), QVariant());
        dealer("5", QStringLiteral("Springer"), QStringLiteral("Heidelberg"), QStringLiteral("Dr. Weber"));
        dealer("10", QStringLiteral("ซีเอ็ดยูเคชั่น"), QStringLiteral("กรุงเทพฯ"));
        forms::add_dealer_flag().clear();
        boxes = std::make_unique<ScriptedMessages>();
        open();
    }
    void cleanup() {
        boxes.reset();
        QCOMPARE(testsupport::closeAllWindows(), 1); // only the window under test was open
    }
    void cleanupTestCase() { db.reset(); }

    void startsIdle() {
        QCOMPARE(w->windowTitle(), QStringLiteral("เพิ่มผู้จัดพิมพ์"));
        QVERIFY(button("Command5")->isEnabled());
        QVERIFY(!button("Command4")->isEnabled());
        QVERIFY(!button("Command1")->isEnabled());
        QVERIFY(button("Command2")->isEnabled() && button("Command3")->isEnabled());
        QVERIFY(!list()->isVisible());
        QVERIFY(text("Text1")->isReadOnly());
        QVERIFY(!area("Text2")->isReadOnly());
        QCOMPARE(area("Text2")->palette().color(QPalette::Base), forms::unlockedColour);
        for (const char* n : {"Text3", "Text4"})
            QCOMPARE(area(n)->palette().color(QPalette::Base), forms::lockedColour);
        QVERIFY(text("Text5")->isReadOnly());
        QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 255, 255));
        QCOMPARE(button("Command5")->palette().color(QPalette::Button), QColor(255, 192, 192));
        QCOMPARE(area("Text2")->palette().color(QPalette::Text), QColor(0, 0, 192));
        QVERIFY(area("Text2")->font().bold());
    }

    void tabOrder() {
        QWidget* t = area("Text2");
        for (const QString name : {"Text3", "Text4", "Text5", "Command1"}) {
            do
                t = t->nextInFocusChain();
            while (!(t->focusPolicy() & Qt::TabFocus) || t->objectName().startsWith(QLatin1String("qt_")));
            QCOMPARE(t->objectName(), name);
        }
    }

    void search_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty lists every publisher") << "" << QStringList{"100% Press", "1000 Books", "O'Reilly Media",
                                                                          "Springer",   "ซีเอ็ดยูเคชั่น",  "สำนักพิมพ์ดวงกมล"};
        QTest::newRow("a quote in the name") << "O'Rei" << QStringList{"O'Reilly Media"};
        QTest::newRow("percent is a plain character") << "0%" << QStringList{"100% Press"};
        QTest::newRow("Thai part of a name") << "ดวง" << QStringList{"สำนักพิมพ์ดวงกมล"};
        QTest::newRow("matches anywhere, any case") << "SPRING" << QStringList{"Springer"};
    }
    void search() {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        searchFor(typed);
        QVERIFY(list()->isVisible());
        QCOMPARE(listed(), expected);
        QVERIFY(boxes->boxes.isEmpty());
        // Shown right under the name field.
        QCOMPARE(list()->geometry().top(), area("Text2")->mapTo(w, QPoint(0, area("Text2")->height())).y());
    }

    void noMatchChangesNothing() {
        searchFor(QStringLiteral("zzz"));
        QVERIFY(!list()->isVisible());
        searchFor(QStringLiteral("Press"));
        QCOMPARE(listed(), QStringList{"100% Press"});
        searchFor(QStringLiteral("_")); // an underscore is not "any character"
        QVERIFY(list()->isVisible());
        QCOMPARE(listed(), QStringList{"100% Press"});
        QVERIFY(boxes->boxes.isEmpty());
    }

    void doubleClickSearchesLikeEnter() {
        area("Text2")->setPlainText(QStringLiteral("Spr"));
        QTest::mouseDClick(area("Text2")->viewport(), Qt::LeftButton);
        QVERIFY(list()->isVisible());
        QCOMPARE(listed(), QStringList{"Springer"});
    }

    void chooseShowsPublisherLocked() {
        searchFor(QStringLiteral("Spr"));
        pick(QStringLiteral("Springer"));
        QVERIFY(!list()->isVisible());
        QCOMPARE(text("Text1")->text(), QStringLiteral("5"));
        QCOMPARE(area("Text2")->toPlainText(), QStringLiteral("Springer"));
        QCOMPARE(area("Text3")->toPlainText(), QStringLiteral("Heidelberg"));
        QCOMPARE(area("Text4")->toPlainText(), QStringLiteral("บรรทัดสอง"));
        QCOMPARE(text("Text5")->text(), QStringLiteral("Dr. Weber"));
        QVERIFY(button("Command4")->isEnabled());
        QVERIFY(!button("Command5")->isEnabled());
        QVERIFY(area("Text3")->isReadOnly() && text("Text5")->isReadOnly());
    }

    void keyboardOnly() {
        area("Text2")->setFocus();
        testsupport::typeText(area("Text2"), QStringLiteral("กมล"));
        QTest::keyClick(area("Text2"), Qt::Key_Return);
        QTest::keyClick(area("Text2"), Qt::Key_Down);
        QVERIFY(list()->hasFocus());
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(text("Text1")->text(), QStringLiteral("1"));
        QCOMPARE(text("Text5")->text(), QStringLiteral("คุณสมชาย"));
    }

    void nullColumnsKeepPreviousText() {
        searchFor(QStringLiteral("Spr"));
        pick(QStringLiteral("Springer"));
        searchFor(QStringLiteral("1000"));
        pick(QStringLiteral("1000 Books")); // no address, no contact
        QCOMPARE(text("Text1")->text(), QStringLiteral("4"));
        QCOMPARE(area("Text2")->toPlainText(), QStringLiteral("1000 Books"));
        QCOMPARE(area("Text3")->toPlainText(), QStringLiteral("Heidelberg"));
        QCOMPARE(text("Text5")->text(), QStringLiteral("Dr. Weber"));
    }

    void addAfterChoosingSavesACopy() {
        // Choosing disables ADD; the title register's request (flag "T") still starts adding,
        // and the chosen publisher's fields stay for the new one.
        searchFor(QStringLiteral("Spr"));
        pick(QStringLiteral("Springer"));
        QVERIFY(!button("Command5")->isEnabled());
        forms::add_dealer_flag() = QStringLiteral("T");
        w->resize(w->width() + 10, w->height());
        QCOMPARE(w->mode(), QStringLiteral("Add"));
        QCOMPARE(text("Text1")->text(), QStringLiteral("11")); // 10 is the largest number, not "5" sorted as text
        QCOMPARE(area("Text2")->toPlainText(), QStringLiteral("Springer")); // ADD keeps the fields
        QVERIFY(!area("Text3")->isReadOnly());
        QCOMPARE(area("Text3")->palette().color(QPalette::Base), forms::unlockedColour);
        QVERIFY(area("Text2")->hasFocus());
        QCOMPARE(area("Text2")->textCursor().position(), 8);
        QVERIFY(button("Command1")->isEnabled());

        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(boxes->boxes.size(), 2);
        QCOMPARE(boxes->boxes[0].kind, ScriptedMessages::Kind::OkCancel);
        QCOMPARE(boxes->boxes[0].prompt, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"));
        QCOMPARE(boxes->boxes[0].title, QStringLiteral("บันทึกข้อมูล"));
        QCOMPARE(boxes->boxes[0].icon, forms::Icon::Question);
        QCOMPARE(boxes->boxes[1].prompt, QStringLiteral("บันทึกข้อมูล เรียบร้อยแล้ว"));
        QCOMPARE(boxes->boxes[1].title, QStringLiteral("Complete"));
        QCOMPARE(boxes->boxes[1].icon, forms::Icon::Information);

        const data::Result copy = row(QStringLiteral("11"));
        QCOMPARE(copy.rowCount(), 1);
        QCOMPARE(copy.text(0, 0), QStringLiteral("Springer"));
        QCOMPARE(copy.text(0, 1), QStringLiteral("Heidelberg"));
        QCOMPARE(copy.text(0, 3), QStringLiteral("Dr. Weber"));
        QCOMPARE(row(QStringLiteral("5")).text(0, 0), QStringLiteral("Springer")); // the original stays
        // Back to idle, fields empty.
        QCOMPARE(text("Text1")->text(), QString());
        QCOMPARE(area("Text2")->toPlainText(), QString());
        QVERIFY(area("Text3")->isReadOnly());
        QVERIFY(!button("Command1")->isEnabled() && button("Command5")->isEnabled());
        QCOMPARE(forms::add_dealer_flag(), QStringLiteral("F"));
    }

    void editChangesOnlyItsColumns() {
        searchFor(QStringLiteral("ดวง"));
        pick(QStringLiteral("สำนักพิมพ์ดวงกมล"));
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QCOMPARE(w->mode(), QStringLiteral("Edit"));
        QVERIFY(!button("Command4")->isEnabled() && !button("Command5")->isEnabled());
        area("Text2")->setPlainText(QStringLiteral("สำนักพิมพ์ดวงกมล (2526)"));
        area("Text3")->setPlainText(QStringLiteral("99/1 ถนนพหลโยธิน"));
        text("Text5")->setText(QStringLiteral("คุณวิภา"));
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        const data::Result r = row(QStringLiteral("1"));
        QCOMPARE(r.text(0, 0), QStringLiteral("สำนักพิมพ์ดวงกมล (2526)"));
        QCOMPARE(r.text(0, 1), QStringLiteral("99/1 ถนนพหลโยธิน"));
        QCOMPARE(r.text(0, 3), QStringLiteral("คุณวิภา"));
        QCOMPARE(r.text(0, 4), QStringLiteral("02-1234567")); // not the window's column
        QCOMPARE(db->admin().query(QStringLiteral("SELECT COUNT(*) FROM dealer")).text(0, 0), QStringLiteral("6"));
        QCOMPARE(boxes->last().title, QStringLiteral("Complete"));
    }

    void saveNotConfirmedWritesNothing() {
        QTest::mouseClick(button("Command5"), Qt::LeftButton);
        area("Text2")->setPlainText(QStringLiteral("Elsevier"));
        boxes->answer({false});
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(row(QStringLiteral("11")).rowCount(), 0);
        QCOMPARE(area("Text2")->toPlainText(), QStringLiteral("Elsevier")); // nothing lost either
        QVERIFY(button("Command1")->isEnabled());
    }

    void cancelEmptiesAndLocks() {
        searchFor(QStringLiteral("Spr"));
        pick(QStringLiteral("Springer"));
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        for (const char* n : {"Text2", "Text3", "Text4"})
            QVERIFY(area(n)->toPlainText().isEmpty());
        QVERIFY(text("Text1")->text().isEmpty() && text("Text5")->text().isEmpty());
        QVERIFY(area("Text3")->isReadOnly());
        QCOMPARE(area("Text3")->palette().color(QPalette::Base), forms::lockedColour);
        QVERIFY(button("Command5")->isEnabled() && !button("Command4")->isEnabled() &&
                !button("Command1")->isEnabled());
        QVERIFY(area("Text2")->hasFocus());
        QVERIFY(boxes->boxes.isEmpty());
    }

    void flagStartsAdding() {
        w->close();
        forms::add_dealer_flag() = QStringLiteral("T");
        open();
        QCOMPARE(w->mode(), QStringLiteral("Add"));
        QCOMPARE(text("Text1")->text(), QStringLiteral("11"));
        QVERIFY(button("Command1")->isEnabled());
        area("Text2")->setPlainText(QStringLiteral("สำนักพิมพ์ใหม่"));
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        w->resize(w->width() + 20, w->height()); // every resize adds again while the flag is "T"
        QCOMPARE(text("Text1")->text(), QStringLiteral("11"));
        QVERIFY(button("Command1")->isEnabled());
        area("Text2")->setPlainText(QStringLiteral("สำนักพิมพ์ใหม่"));
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(forms::add_dealer_flag(), QStringLiteral("F"));
        QCOMPARE(row(QStringLiteral("11")).text(0, 0), QStringLiteral("สำนักพิมพ์ใหม่"));
        w->resize(w->width() - 20, w->height());
        QVERIFY(!button("Command1")->isEnabled()); // no longer asked to add
    }

    void proposal_data() {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("empty table") << QStringList{} << "1";
        QTest::newRow("numbers, not text order") << QStringList{"9", "10", "2"} << "11";
        QTest::newRow("no leading digit counts as 0") << QStringList{"ABC"} << "1";
        QTest::newRow("leading number of a mixed code") << QStringList{"7", "12A"} << "13";
        QTest::newRow("zero padded") << QStringList{"0099"} << "100";
    }
    void proposal() {
        QFETCH(QStringList, codes);
        QFETCH(QString, proposed);
        db->admin().exec(QStringLiteral("DELETE FROM dealer"));
        for (const QString& c : codes)
            dealer(c, QStringLiteral("ผู้จัดพิมพ์ ") + c);
        QTest::mouseClick(button("Command5"), Qt::LeftButton);
        QCOMPARE(text("Text1")->text(), proposed);
    }

    void anotherStationTookTheCode() {
        QTest::mouseClick(button("Command5"), Qt::LeftButton);
        QCOMPARE(text("Text1")->text(), QStringLiteral("11"));
        auto other = db->connect();
        QCOMPARE(titles::DealerStore::add(*other, {QString(), QStringLiteral("Wiley"), {}, {}, {}}),
                 QStringLiteral("11"));
        area("Text2")->setPlainText(QStringLiteral("Elsevier"));
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(row(QStringLiteral("11")).text(0, 0), QStringLiteral("Wiley"));
        QCOMPARE(row(QStringLiteral("12")).text(0, 0), QStringLiteral("Elsevier"));
        QVERIFY2(boxes->last().prompt.contains(QStringLiteral("12")), qPrintable(boxes->last().prompt));
        QCOMPARE(boxes->last().title, QStringLiteral("Complete"));
    }

    void concurrentAddsGetDistinctCodes() {
        constexpr int stations = 4, each = 15;
        QCOMPARE(testsupport::runStations(
                     *db, stations,
                     [&](data::Connection& c, int s) {
                         for (int i = 0; i < each; ++i)
                             titles::DealerStore::add(
                                 c, {QString(), QStringLiteral("สถานี %1 รายการ %2").arg(s).arg(i), {}, {}, {}});
                     }),
                 0);
        const data::Result r = db->admin().query(QStringLiteral(
            "SELECT COUNT(*), COUNT(DISTINCT Publisher_Code), MAX(CAST(Publisher_Code AS UNSIGNED)) FROM dealer"));
        QCOMPARE(r.value(0, 0).toLongLong(), qint64(6 + stations * each));
        QCOMPARE(r.value(0, 1).toLongLong(), qint64(6 + stations * each));
        QCOMPARE(r.text(0, 2), QString::number(10 + stations * each)); // no gaps, no repeats
    }

    void failedSaveKeepsEverything() {
        QTest::mouseClick(button("Command5"), Qt::LeftButton);
        area("Text2")->setPlainText(QString(300, QLatin1Char('x'))); // longer than the column
        area("Text3")->setPlainText(QStringLiteral("ที่อยู่ที่พิมพ์ไว้"));
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QVERIFY2(boxes->last().prompt.contains(QStringLiteral("1406")), qPrintable(boxes->last().prompt));
        QCOMPARE(area("Text3")->toPlainText(), QStringLiteral("ที่อยู่ที่พิมพ์ไว้"));
        QCOMPARE(w->mode(), QStringLiteral("Add"));
        QVERIFY(button("Command1")->isEnabled());
        QCOMPARE(row(QStringLiteral("11")).rowCount(), 0);
        area("Text2")->setPlainText(QStringLiteral("ชื่อที่สั้นลง"));
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(boxes->last().title, QStringLiteral("Complete"));
        QCOMPARE(row(QStringLiteral("11")).text(0, 1), QStringLiteral("ที่อยู่ที่พิมพ์ไว้"));
    }

    void editOfAVanishedPublisherSaysSo() {
        searchFor(QStringLiteral("Spr"));
        pick(QStringLiteral("Springer"));
        QTest::mouseClick(button("Command4"), Qt::LeftButton);
        db->admin().exec(QStringLiteral("DELETE FROM dealer WHERE Publisher_Code = '5'"));
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QVERIFY(boxes->last().prompt.contains(QStringLiteral("ไม่ได้ถูกบันทึก")));
        QCOMPARE(row(QStringLiteral("5")).rowCount(), 0);
        QVERIFY(button("Command1")->isEnabled());
    }

    void openedFromTheMenu() {
        w->close();
        app::menumagizine main;
        app::registerWindows(main.windows());
        main.refreshMenu();
        main.show();
        QAction* entry = main.findChild<QAction*>(QStringLiteral("i"));
        QVERIFY(entry && entry->isEnabled());
        entry->trigger();
        entry->trigger();
        w = qobject_cast<Adddealer*>(main.windows().find(QStringLiteral("Adddealer")));
        QVERIFY(w && w->isWindow() && w->isVisible());
        int count = 0;
        for (QWidget* t : QApplication::topLevelWidgets())
            count += qobject_cast<Adddealer*>(t) && t->isVisible();
        QCOMPARE(count, 1);
        main.close();
        QVERIFY(w->isVisible()); // a top-level window outlives the main window's exit
    }
};

QTEST_MAIN(tst_adddealer)
#include "tst_adddealer.moc"
