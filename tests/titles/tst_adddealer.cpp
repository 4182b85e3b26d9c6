// The publisher register driven by its controls against the real server.
#include "forms/common/ProgramState.h"
#include "forms/common/Style.h"
#include "support/ScriptedMessages.h"
#include "support/TestServer.h"
#include "support/WindowTest.h"
#include "titles/Adddealer.h"
#include "titles/DealerStore.h"

using testsupport::ScriptedMessages;
using testsupport::TestDatabase;
using titles::Adddealer;

class tst_adddealer : public QObject, testsupport::WindowFixture<Adddealer> {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> boxes;

    QListWidget* list() { return testsupport::control<QListWidget>(w, "Listdealer"); }
    void dealer(const QString& code, const QString& name, const QVariant& address1 = QVariant(),
                const QVariant& contact = QVariant()) {
        db->admin().exec(
            QStringLiteral("INSERT INTO dealer (Publisher_Code, Publisher_Name, Address1, Address2, "
                           "Telephone, Contact) VALUES (?, ?, ?, ?, '02-1234567', ?)"),
            {code, name, address1, address1.isNull() ? QVariant() : QVariant(QStringLiteral("บรรทัดสอง")), contact});
    }
    void searchFor(const QString& s) {
        area("Text2")->setPlainText(s);
        testsupport::pressEnter(area("Text2"));
    }
    QStringList listed() {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
    void show(const QString& part, const QString& name) {
        searchFor(part);
        QVERIFY2(testsupport::pickFromList(list(), name), qPrintable(name));
    }
    data::Result row(const QString& code) {
        return db->admin().query(QStringLiteral("SELECT Publisher_Name, Address1, Address2, Contact, Telephone "
                                                "FROM dealer WHERE Publisher_Code = ?"),
                                 {code});
    }

private slots:
    void initTestCase() { db = std::make_unique<TestDatabase>(QStringLiteral("adddealer")); }
    void init() {
        db->reset();
        dealer("1", QStringLiteral("สำนักพิมพ์ดวงกมล"), QStringLiteral("12 ถนนสุขุมวิท"), QStringLiteral("คุณสมชาย"));
        dealer("2", QStringLiteral("O'Reilly Media"), QStringLiteral("Sebastopol, CA"));
        dealer("3", QStringLiteral("100% Press"));
        dealer("4", QStringLiteral("1000 Books"));
        dealer("5", QStringLiteral("Springer"), QStringLiteral("Heidelberg"), QStringLiteral("Dr. Weber"));
        dealer("10", QStringLiteral("ซีเอ็ดยูเคชั่น"), QStringLiteral("กรุงเทพฯ"));
        forms::add_dealer_flag().clear();
        boxes = std::make_unique<ScriptedMessages>();
        w = testsupport::showWindow<Adddealer>();
    }
    void cleanup() {
        boxes.reset();
        QCOMPARE(testsupport::closeAllWindows(), 1); // only the window under test was open
    }
    void cleanupTestCase() { db.reset(); }

    void startsIdle() {
        QCOMPARE(w->windowTitle(), QStringLiteral("เพิ่มผู้จัดพิมพ์"));
        QVERIFY(button("Command5")->isEnabled() && !button("Command4")->isEnabled() &&
                !button("Command1")->isEnabled());
        QVERIFY(text("Text1")->isReadOnly() && !area("Text2")->isReadOnly() && text("Text5")->isReadOnly());
        QCOMPARE(area("Text2")->palette().color(QPalette::Base), forms::unlockedColour);
        QCOMPARE(area("Text3")->palette().color(QPalette::Base), forms::lockedColour);
        QCOMPARE(w->palette().color(QPalette::Window), QColor(192, 255, 255));
        QCOMPARE(button("Command5")->palette().color(QPalette::Button), QColor(255, 192, 192));
        QVERIFY(area("Text2")->hasFocus());
    }

    void search_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected"); // empty: nothing found, the list stays hidden
        QTest::newRow("empty lists every publisher") << "" << QStringList{"100% Press", "1000 Books", "O'Reilly Media",
                                                                          "Springer",   "ซีเอ็ดยูเคชั่น",  "สำนักพิมพ์ดวงกมล"};
        QTest::newRow("a quote in the name") << "O'Rei" << QStringList{"O'Reilly Media"};
        QTest::newRow("percent is a plain character") << "0%" << QStringList{"100% Press"};
        QTest::newRow("underscore is a plain character") << "_" << QStringList{};
        QTest::newRow("Thai part of a name") << "ดวง" << QStringList{"สำนักพิมพ์ดวงกมล"};
        QTest::newRow("blanks around ignored, any case") << "  SPRING \n" << QStringList{"Springer"};
    }
    void search() {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        searchFor(typed);
        QCOMPARE(list()->isVisible(), !expected.isEmpty());
        if (!expected.isEmpty())
            QCOMPARE(listed(), expected);
        QVERIFY(boxes->boxes.isEmpty());
        area("Text2")->setPlainText(QStringLiteral("Spr"));
        QTest::mouseDClick(area("Text2")->viewport(), Qt::LeftButton); // the same search
        QCOMPARE(listed(), QStringList{"Springer"});
    }

    // Keyboard alone: type, Enter, Down into the list, Enter; the publisher shows locked, and a
    // publisher without address or contact leaves the previous text (as the register always did).
    void keyboardChoiceShowsLocked() {
        area("Text2")->setFocus();
        testsupport::typeText(area("Text2"), QStringLiteral("กมล"));
        QTest::keyClick(area("Text2"), Qt::Key_Return);
        QTest::keyClick(area("Text2"), Qt::Key_Down);
        QVERIFY(list()->hasFocus());
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(text("Text1")->text(), QStringLiteral("1"));
        QCOMPARE(area("Text3")->toPlainText(), QStringLiteral("12 ถนนสุขุมวิท"));
        QCOMPARE(text("Text5")->text(), QStringLiteral("คุณสมชาย"));
        QVERIFY(button("Command4")->isEnabled() && !button("Command5")->isEnabled());
        QVERIFY(area("Text3")->isReadOnly());
        show(QStringLiteral("1000"), QStringLiteral("1000 Books"));
        QCOMPARE(text("Text1")->text(), QStringLiteral("4"));
        QCOMPARE(text("Text5")->text(), QStringLiteral("คุณสมชาย"));
    }

    void proposal_data() {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("empty table") << QStringList{} << "1";
        QTest::newRow("numbers, not text order") << QStringList{"9", "10", "2"} << "11";
        QTest::newRow("no leading digit counts as 0") << QStringList{"ABC"} << "1";
        QTest::newRow("leading number of a mixed code") << QStringList{"7", "12A"} << "13";
    }
    void proposal() {
        QFETCH(QStringList, codes);
        QFETCH(QString, proposed);
        db->admin().exec(QStringLiteral("DELETE FROM dealer"));
        for (const QString& c : codes)
            dealer(c, QStringLiteral("ผู้จัดพิมพ์ ") + c);
        click("Command5");
        QCOMPARE(text("Text1")->text(), proposed);
    }

    // Add with the exact boxes; the name is stored trimmed, an empty one refused; another
    // station's add meanwhile moves this one on to the next code, and the result box says so.
    void addSavesTrimmedUnderFreeCode() {
        click("Command5");
        QCOMPARE(text("Text1")->text(), QStringLiteral("11"));
        area("Text2")->setPlainText(QStringLiteral("   \n "));
        click("Command1");
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(boxes->last().prompt, QStringLiteral("กรุณากรอกชื่อสำนักพิมพ์"));
        QVERIFY(area("Text2")->hasFocus());
        QCOMPARE(titles::DealerStore::add(*db->connect(), {QString(), QStringLiteral("Wiley"), {}, {}, {}}),
                 QStringLiteral("11"));
        area("Text2")->setPlainText(QStringLiteral("  Elsevier "));
        area("Text3")->setPlainText(QStringLiteral("Amsterdam"));
        click("Command1");
        QCOMPARE(boxes->boxes.size(), 3);
        QCOMPARE(boxes->boxes[1].kind, ScriptedMessages::Kind::OkCancel);
        QCOMPARE(boxes->boxes[1].prompt, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"));
        QCOMPARE(boxes->boxes[1].title, QStringLiteral("บันทึกข้อมูล"));
        QCOMPARE(boxes->last().title, QStringLiteral("Complete"));
        QVERIFY2(boxes->last().prompt.startsWith(QStringLiteral("บันทึกข้อมูล เรียบร้อยแล้ว\n")) &&
                     boxes->last().prompt.contains(QStringLiteral("12")),
                 qPrintable(boxes->last().prompt));
        QCOMPARE(row(QStringLiteral("12")).text(0, 0), QStringLiteral("Elsevier"));
        QCOMPARE(row(QStringLiteral("12")).text(0, 1), QStringLiteral("Amsterdam"));
        QVERIFY(area("Text2")->toPlainText().isEmpty() && area("Text3")->isReadOnly());
        QVERIFY(!button("Command1")->isEnabled() && button("Command5")->isEnabled());
    }

    // Edit writes only its own columns; not confirmed writes nothing and keeps the typing; a
    // publisher deleted or changed by another station meanwhile is never overwritten.
    void editSaves_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("stored"); // the name afterwards
        QTest::addColumn<QString>("words");  // of the last box
        QTest::newRow("saved") << "" << true << "Springer Nature"
                               << "เรียบร้อย";
        QTest::newRow("not confirmed") << "" << false << "Springer"
                                       << "ต้องการบันทึก";
        QTest::newRow("deleted meanwhile") << "DELETE FROM dealer WHERE Publisher_Code = '5'" << true << ""
                                           << "ไม่ได้ถูกบันทึก";
        QTest::newRow("changed meanwhile")
            << "UPDATE dealer SET Contact = 'Dr. Klein' WHERE Publisher_Code = '5'" << true << "Springer"
            << "ถูกเครื่องอื่นแก้ไข";
        QTest::newRow("case changed meanwhile")
            << "UPDATE dealer SET Publisher_Name = 'SPRINGER' WHERE Publisher_Code = '5'" << true << "SPRINGER"
            << "ถูกเครื่องอื่นแก้ไข";
    }
    void editSaves() {
        QFETCH(QString, meanwhile);
        QFETCH(bool, confirm);
        QFETCH(QString, stored);
        QFETCH(QString, words);
        show(QStringLiteral("Spr"), QStringLiteral("Springer"));
        click("Command4");
        QCOMPARE(w->mode(), QStringLiteral("Edit"));
        area("Text2")->setPlainText(QStringLiteral("Springer Nature"));
        if (!meanwhile.isEmpty())
            db->admin().exec(meanwhile);
        boxes->answer({confirm, true}); // and yes, show the current values
        click("Command1");
        QVERIFY2(boxes->last().prompt.contains(words), qPrintable(boxes->last().prompt));
        const data::Result r = row(QStringLiteral("5"));
        QCOMPARE(r.isEmpty() ? QString() : r.text(0, 0), stored);
        if (!r.isEmpty())
            QCOMPARE(r.text(0, 4), QStringLiteral("02-1234567")); // not the window's column
        if (words.contains(QStringLiteral("แก้ไข"))) {
            QCOMPARE(area("Text2")->toPlainText(), stored); // the current values are on show
            QCOMPARE(text("Text5")->text(), r.text(0, 3));
            QVERIFY(area("Text3")->isReadOnly() && !button("Command1")->isEnabled());
        } else if (!confirm || stored.isEmpty()) {
            QCOMPARE(area("Text2")->toPlainText(), QStringLiteral("Springer Nature")); // nothing lost
            QVERIFY(button("Command1")->isEnabled());
        }
    }

    // A failed save shows the server's number and text and keeps everything for another try;
    // a name longer than its column cannot even be typed.
    void failedSaveKeepsEverything() {
        click("Command5");
        testsupport::typeText(area("Text2"), QString(300, QLatin1Char('x')));
        QCOMPARE(area("Text2")->toPlainText().size(), 255);
        area("Text3")->setPlainText(QStringLiteral("ที่อยู่ที่พิมพ์ไว้"));
        db->admin().exec(QStringLiteral("CREATE TRIGGER full_disk BEFORE INSERT ON dealer FOR EACH ROW "
                                        "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'The table is full'"));
        click("Command1");
        db->admin().exec(QStringLiteral("DROP TRIGGER full_disk"));
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QVERIFY2(boxes->last().prompt.contains(QStringLiteral("1644")) &&
                     boxes->last().prompt.contains(QStringLiteral("The table is full")),
                 qPrintable(boxes->last().prompt));
        QCOMPARE(area("Text3")->toPlainText(), QStringLiteral("ที่อยู่ที่พิมพ์ไว้"));
        QCOMPARE(row(QStringLiteral("11")).rowCount(), 0);
        click("Command1");
        QCOMPARE(boxes->last().title, QStringLiteral("Complete"));
        QCOMPARE(row(QStringLiteral("11")).text(0, 1), QStringLiteral("ที่อยู่ที่พิมพ์ไว้"));
    }

    // The title register's hand-off: flag "T" starts adding with empty address fields, asks
    // before dropping an edit in progress, and never outlives an abandoned hand-off.
    void handOff_data() {
        QTest::addColumn<bool>("dropEdit");
        QTest::newRow("edit kept") << false;
        QTest::newRow("edit dropped") << true;
    }
    void handOff() {
        QFETCH(bool, dropEdit);
        show(QStringLiteral("Spr"), QStringLiteral("Springer"));
        click("Command4");
        area("Text3")->setPlainText(QStringLiteral("Tiergartenstraße 17"));
        forms::add_dealer_flag() = QStringLiteral("T");
        boxes->answer({dropEdit});
        w->startAddingWith(QStringLiteral(" สำนักพิมพ์ใหม่ "));
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(boxes->last().kind, ScriptedMessages::Kind::YesNo);
        QCOMPARE(w->mode(), dropEdit ? QStringLiteral("Add") : QStringLiteral("Edit"));
        QCOMPARE(area("Text3")->toPlainText(), dropEdit ? QString() : QStringLiteral("Tiergartenstraße 17"));
        QCOMPARE(text("Text5")->text(), dropEdit ? QString() : QStringLiteral("Dr. Weber"));
        QCOMPARE(area("Text2")->toPlainText(), dropEdit ? QStringLiteral("สำนักพิมพ์ใหม่") : QStringLiteral("Springer"));
        w->resize(w->width() + 20, w->height()); // a resize while adding does not start again
        QCOMPARE(area("Text2")->toPlainText(), dropEdit ? QStringLiteral("สำนักพิมพ์ใหม่") : QStringLiteral("Springer"));
        w->close();
        QCOMPARE(forms::add_dealer_flag(), QStringLiteral("F"));
        w = testsupport::showWindow<Adddealer>();
        QCOMPARE(w->mode(), QString()); // the next opening starts idle
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        forms::add_dealer_flag() = QStringLiteral("T");
        w = testsupport::showWindow<Adddealer>(); // a hand-off request starts adding on opening
        QCOMPARE(w->mode(), QStringLiteral("Add"));
        QCOMPARE(text("Text1")->text(), QStringLiteral("11"));
    }
};

QTEST_MAIN(tst_adddealer)
#include "tst_adddealer.moc"
