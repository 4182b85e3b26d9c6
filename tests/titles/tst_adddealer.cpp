// The publisher register driven by its controls against the real server.
#include "forms/common/Style.h"
#include "support/Suite.h"
#include "titles/Adddealer.h"
#include "rules/titles/DealerStore.h"

#include <QComboBox>

using titles::Adddealer;

class tst_adddealer : public DatabaseTest, WindowFixture<Adddealer> {
    Q_OBJECT

    forms::PickList* list() { return control<forms::PickList>(w, "Listdealer"); }
    QString listed() {
        QStringList out;
        for (int i = 0; list()->isVisible() && i < list()->count(); ++i)
            out << list()->textAt(i);
        return out.join(u',');
    }
    void show(const QString& part, const QString& name) {
        enter("Text2", part);
        QVERIFY2(pick("Listdealer", name), qPrintable(name));
    }
    QString row(const char* code) {
        return rowText(db->admin(),
                       QStringLiteral("SELECT Publisher_Name, Address1, Contact, Telephone FROM dealer "
                                      "WHERE Publisher_Code = ?"),
                       {QString::fromLatin1(code)});
    }

private slots:
    void init() {
        fresh();
        exec(QStringLiteral(
            "INSERT INTO dealer (Publisher_Code, Publisher_Name, Address1, Telephone, Contact) VALUES "
            "('1', 'สำนักพิมพ์ดวงกมล', '12 ถนนสุขุมวิท', '02-1234567', 'คุณสมชาย'), ('2', 'O''Reilly Media', NULL, NULL, "
            "NULL), "
            "('3', '100% Press', NULL, NULL, NULL), ('4', '1000 Books', NULL, NULL, NULL), "
            "('5', 'Springer', 'Heidelberg', '02-1234567', 'Dr. Weber'), ('10', 'ซีเอ็ดยูเคชั่น', 'กรุงเทพฯ', NULL, NULL)"));
        w = showWindow<Adddealer>();
    }

    // Matched anywhere, as typed (quotes, "%" and "_" are plain), blanks around ignored; nothing
    // found leaves the list hidden and shows no box; a double-click searches as Enter does.
    void search_data() {
        textTable({"typed", "expected"},
                  {"empty lists all~~100% Press,1000 Books,O'Reilly Media,Springer,ซีเอ็ดยูเคชั่น,สำนักพิมพ์ดวงกมล",
                   "quote~O'Rei~O'Reilly Media", "percent~0%~100% Press", "underscore~_~",
                   "Thai part~ดวง~สำนักพิมพ์ดวงกมล", "blanks around, any case~  SPRING \n~Springer"});
    }
    void search() {
        const auto [typed, expected] = fetch<2>();
        enter("Text2", typed);
        QCOMPARE(listed(), expected);
        QVERIFY(boxes->boxes.isEmpty());
        area("Text2")->setPlainText(u"Spr"_s);
        QTest::mouseDClick(area("Text2")->viewport(), Qt::LeftButton);
        QCOMPARE(listed(), u"Springer"_s);
    }

    // Keyboard alone: type, Enter, Down into the list, Enter; the publisher shows locked, and a
    // publisher without address or contact leaves the previous text (as the register always did).
    void keyboardChoiceShowsLocked() {
        typeText(area("Text2"), u"กมล"_s);
        QTest::keyClick(area("Text2"), Qt::Key_Return);
        QTest::keyClick(area("Text2"), Qt::Key_Down);
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(text("Text1")->text() + area("Text3")->toPlainText() + text("Text5")->text(),
                 u"112 ถนนสุขุมวิทคุณสมชาย"_s);
        show(u"1000"_s, u"1000 Books"_s);
        QCOMPARE(text("Text1")->text() + text("Text5")->text(), u"4คุณสมชาย"_s);
    }

    // The proposal is the largest numeric code + 1; an empty name is refused; the name is
    // stored trimmed; another station's add meanwhile moves this one to the next code.
    void addSavesTrimmedUnderFreeCode() {
        click("Command5");
        QCOMPARE(text("Text1")->text(), u"11"_s); // 10 is the largest number, not "5" as text
        area("Text2")->setPlainText(u"   \n "_s);
        click("Command1");
        QCOMPARE(boxes->last().prompt, u"กรุณากรอกชื่อสำนักพิมพ์"_s);
        QVERIFY(area("Text2")->hasFocus());
        QCOMPARE(titles::DealerStore::add(*db->connect(), titles::Dealer{.name = u"Wiley"_s}), u"11"_s);
        area("Text2")->setPlainText(u"  Elsevier "_s);
        area("Text3")->setPlainText(u"Amsterdam"_s);
        click("Command1");
        QCOMPARE(boxes->boxes.size(), 3);
        QCOMPARE(boxes->boxes[1].prompt + boxes->boxes[1].title, u"ต้องการบันทึกข้อมูลหรือไม่บันทึกข้อมูล"_s);
        QCOMPARE(boxes->last().prompt + boxes->last().title,
                 u"บันทึกข้อมูล เรียบร้อยแล้ว\nรหัส 11 ถูกใช้ไปแล้ว สำนักพิมพ์นี้ได้รับรหัส 12Complete"_s);
        QCOMPARE(row("12"), u"Elsevier|Amsterdam||"_s);
        QVERIFY(area("Text2")->toPlainText().isEmpty() && area("Text3")->isReadOnly());
        exec(u"DELETE FROM dealer WHERE Publisher_Code <> 'ABC'"_s);
        exec(u"INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES ('ABC', 'x'), ('12A', 'y')"_s);
        click("Command5");
        QCOMPARE(text("Text1")->text(), u"13"_s); // the leading number; no digits count as 0
    }

    // Edit writes only its own columns; not confirmed writes nothing and keeps the typing; a
    // publisher deleted or changed by another station meanwhile is never overwritten.
    void editSaves_data() {
        textTable({"meanwhile", "confirm", "stored", "words"},
                  {"saved~~1~Springer Nature|Heidelberg|Dr. Weber|02-1234567~เรียบร้อย",
                   "not confirmed~~~Springer|Heidelberg|Dr. Weber|02-1234567~ต้องการบันทึก",
                   "deleted meanwhile~DELETE FROM dealer WHERE Publisher_Code = '5'~1~~ไม่ได้ถูกบันทึก",
                   "changed meanwhile~UPDATE dealer SET Contact = 'Dr. Klein' WHERE Publisher_Code = '5'~1~"
                   "Springer|Heidelberg|Dr. Klein|02-1234567~ถูกเครื่องอื่นแก้ไข",
                   "case changed meanwhile~UPDATE dealer SET Publisher_Name = 'SPRINGER' WHERE Publisher_Code = '5'~1~"
                   "SPRINGER|Heidelberg|Dr. Weber|02-1234567~ถูกเครื่องอื่นแก้ไข"});
    }
    void editSaves() {
        const auto [meanwhile, confirm, stored, words] = fetch<4>();
        show(u"Spr"_s, u"Springer"_s);
        click("Command4");
        area("Text2")->setPlainText(u"Springer Nature"_s);
        if (!meanwhile.isEmpty())
            exec(meanwhile);
        boxes->answer({!confirm.isEmpty(), true}); // and yes, show the current values
        click("Command1");
        QVERIFY2(boxes->last().prompt.contains(words), qPrintable(boxes->last().prompt));
        QCOMPARE(row("5"), stored);
        const bool changed = words.contains(u"แก้ไข"_s);
        const bool kept = confirm.isEmpty() || stored.isEmpty();
        QCOMPARE(area("Text2")->toPlainText(), changed ? stored.section(u'|', 0, 0)
                                               : kept  ? u"Springer Nature"_s
                                                       : QString());
        QCOMPARE(button("Command1")->isEnabled(), kept); // still editing, nothing lost
    }

    // The claim settings: stored as typed and shown again; a wrong address or wait is refused at
    // its field with nothing stored.
    void claimSettings_data() {
        textTable({"mail", "language", "days", "account", "words", "stored", "focus"},
                  {"all set~ sales@springer.com ~2~45~ACC-9~เรียบร้อย~sales@springer.com|en|45|ACC-9~",
                   "no mail: printed, Thai~~1~ 7~~เรียบร้อย~|th|7|~",
                   "two addresses~a@x.com, b@x.com~0~30~~กรุณากรอกที่อยู่เดียว~-~Textmail",
                   "no domain~sales@springer~0~30~~อีเมลไม่ถูกต้อง~-~Textmail",
                   "no wait~~0~0~~1 ถึง 365~-~Textdays", "not a number~~0~สาม~~1 ถึง 365~-~Textdays",
                   "a year and more~~0~366~~1 ถึง 365~-~Textdays"});
    }
    void claimSettings() {
        const auto [mail, language, days, account, words, stored, focus] = fetch<7>();
        show(u"Spr"_s, u"Springer"_s);
        QCOMPARE(text("Textdays")->text(), u"30"_s); // the default of a row written without it
        click("Command4");
        text("Textmail")->setText(mail);
        control<QComboBox>(w, "cbolanguage")->setCurrentIndex(language.toInt());
        text("Textdays")->setText(days);
        text("Textaccount")->setText(account);
        click("Command1");
        QVERIFY2(boxes->last().prompt.contains(words), qPrintable(boxes->last().prompt));
        const QString row = rowText(db->admin(),
                                    u"SELECT Email, claim_language, IF(claim_days = 30 AND Email IS NULL, '', "
                                    "claim_days), claim_account FROM dealer WHERE Publisher_Code = '5'"_s);
        QCOMPARE(row, focus.isEmpty() ? stored : u"|||"_s); // refused: nothing stored
        if (!focus.isEmpty()) {
            QVERIFY(control<QWidget>(w, focus.toLatin1())->hasFocus());
            return;
        }
        show(u"Spr"_s, u"Springer"_s);
        QCOMPARE(QStringList({text("Textmail")->text(), control<QComboBox>(w, "cbolanguage")->currentText(),
                              text("Textdays")->text(), text("Textaccount")->text()})
                     .join(u'|'),
                 stored.section(u'|', 0, 0) + u'|' + control<QComboBox>(w, "cbolanguage")->itemText(language.toInt()) +
                     u'|' + stored.section(u'|', 2));
    }

    // A failed save shows the server's number and text and keeps everything for another try;
    // a name longer than its column cannot even be typed.
    void failedSaveKeepsEverything() {
        click("Command5");
        typeText(area("Text2"), QString(300, u'x'));
        QCOMPARE(area("Text2")->toPlainText().size(), 255);
        area("Text3")->setPlainText(u"ที่อยู่ที่พิมพ์ไว้"_s);
        exec(QStringLiteral("CREATE TRIGGER full_disk BEFORE INSERT ON dealer FOR EACH ROW "
                            "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'The table is full'"));
        click("Command1");
        exec(u"DROP TRIGGER full_disk"_s);
        QVERIFY2(boxes->last().prompt.contains(u"1644"_s) && boxes->last().prompt.contains("The table is full"),
                 qPrintable(boxes->last().prompt));
        QCOMPARE(row("11"), QString());
        click("Command1");
        QCOMPARE(row("11").section(u'|', 1, 1), u"ที่อยู่ที่พิมพ์ไว้"_s);
    }

    // The title register's hand-off, a direct call: adding starts with empty address fields,
    // after asking before dropping an edit in progress.
    void handOff() {
        for (bool drop : {false, true}) {
            show(u"Spr"_s, u"Springer"_s);
            click("Command4");
            area("Text3")->setPlainText(u"Tiergartenstraße 17"_s);
            boxes->answer({drop});
            w->startAddingWith(u" สำนักพิมพ์ใหม่ "_s);
            QCOMPARE(boxes->last().kind, ScriptedMessages::Kind::YesNo);
            QCOMPARE(w->mode(), drop ? Adddealer::Mode::Adding : Adddealer::Mode::Editing);
            QCOMPARE(area("Text2")->toPlainText() + area("Text3")->toPlainText() + text("Text5")->text(),
                     drop ? u"สำนักพิมพ์ใหม่"_s : u"SpringerTiergartenstraße 17Dr. Weber"_s);
            boxes->answer({true});
            click("Command2");
        }
    }
};

WARASAN_TEST_MAIN(tst_adddealer)
#include "tst_adddealer.moc"
