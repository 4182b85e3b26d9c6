// The author register driven by its controls against the real server.
#include "index/add_auther.h"
#include "support/Suite.h"

using indexing::add_auther;

class tst_add_auther : public DatabaseTest, WindowFixture<add_auther> {
    Q_OBJECT

    QRadioButton* yes() { return control<QRadioButton>(w, "Optpenname_0"); }
    QRadioButton* no() { return control<QRadioButton>(w, "Optpenname_1"); }
    forms::Grid* grid() { return WindowFixture::grid("showauth"); }
    QString cell(int r, int c) { return WindowFixture::cell("showauth", r, c); }
    void pickRow(int r) { clickRow("showauth", r, true); }
    QString counter() { return db->admin().query(u"SELECT idno_ctrl FROM authctrl"_s).text(0, 0); }
    QString author(const char* idno) {
        return rowText(db->admin(), u"SELECT penname, trueidno FROM authname WHERE idno = ?"_s,
                       {QString::fromLatin1(idno)});
    }
    void searchName(const QString& s) {
        text("Text1")->clear();
        text("Text2")->setText(s);
        click("Cmdsearch");
    }

private slots:
    void init() {
        fresh();
        exec(QStringLiteral("INSERT INTO authname (idno, penname, trueidno) VALUES ('0000007', 'สมชาย ใจดี', ''), "
                            "('0000008', 'ก้องเกียรติ วงศ์ไทย', ''), ('0000009', 'กนกวรรณ ทองคำ', ''), "
                            "('0000010', 'ว. วินิจฉัยกุล', '0000009'), ('0000011', 'Smith, John', NULL)"));
        exec(u"UPDATE authctrl SET idno_ctrl = '0000041'"_s);
        w = showWindow<add_auther>();
    }

    // A plain name, a pen name with a new true name (registered first under the next code)
    // and with a registered one; an empty name or true name is refused with nothing written.
    // stored: authors 0000041 and 0000042 afterwards, then the counter.
    void saveNewAuthor_data() {
        textTable({"name", "trueName", "stored"},
                  {"plain name~  นามใหม่ ทดสอบ ~~นามใหม่ ทดสอบ| |0000042",
                   "pen name, new true name~นามใหม่~ประภัสสร เสวิกุล~นามใหม่|0000042 ประภัสสร เสวิกุล||0000043",
                   "pen name, registered true name~นามใหม่~สมชาย ใจดี~นามใหม่|0000007 |0000042",
                   "empty name~   ~~ |0000041", "pen name without a true name~นามปากกา~  ~ |0000041"});
    }
    void saveNewAuthor() {
        const auto [name, trueName, stored] = fetch<3>();
        click("Cmdadd");
        QCOMPARE(text("Text1")->text(), u"0000041"_s);
        QVERIFY(no()->isChecked() && w->entryFlag());
        text("Text2")->setText(name);
        if (!trueName.isEmpty()) {
            yes()->click();
            QVERIFY(text("Text3")->isEnabled() && text("Text3")->hasFocus());
            text("Text3")->setText(trueName);
        }
        click("cmdsaveadd");
        QCOMPARE(author("0000041") + u' ' + author("0000042") + u'|' + counter(), stored);
        const bool refused = stored.endsWith(u"0000041"_s);
        QCOMPARE(boxes->last().icon, refused ? forms::Icon::Critical : forms::Icon::Question);
        if (!refused)
            QCOMPARE(boxes->last().prompt + boxes->last().title, u"ต้องการบันทึกข้อมูลหรือไม่บันทึกข้อมูลรายชื่อผู้แต่ง"_s);
        QCOMPARE(button("cmdsaveadd")->isVisible(), refused); // back to idle, or still adding
        QCOMPARE(text("Text2")->text(), refused ? name : QString());
    }

    void search_data() { // the codes found
        textTable({"code", "name", "found"},
                  {"Thai prefix~~ก~0000009,0000008", "a tone mark makes another prefix~~  ก้อง ~0000008",
                   "code alone~0000010~~0000010", "both, matching~0000010~ว.~0000010",
                   "both, name of another author~0000010~สมชาย~", "a wildcard is a plain character~~%~",
                   "nothing typed~~~"});
    }
    void search() {
        const auto [code, name, found] = fetch<3>();
        text("Text1")->setText(code);
        text("Text2")->setText(name);
        click("Cmdsearch");
        if (found.isEmpty()) {
            const bool nothingTyped = code.isEmpty() && name.isEmpty();
            QCOMPARE(boxes->last().prompt, nothingTyped ? u"กรุณาพิมพ์ข้อมูลที่ต้องการค้นหา"_s : u"ไม่พบข้อมูลที่ต้องการค้นหา"_s);
            QCOMPARE(text("Text2")->text(), QString());
            QVERIFY(!nothingTyped || focused() == u"Text2"_s); // told to type: the caret is where to
            return;
        }
        QCOMPARE(rows("showauth", {0}), found);
        QCOMPARE(cell(0, 2), code == u"0000010"_s ? u"0000009"_s : QString());
    }

    // Keyboard alone: Enter searches, Enter on the list shows the pen name with its true name.
    void pickingAPenName() {
        text("Text2")->setFocus();
        typeText(text("Text2"), u"ว."_s);
        QTest::keyClick(text("Text2"), Qt::Key_Return);
        QVERIFY(grid()->isVisible() && grid()->hasFocus());
        QTest::keyClick(grid(), Qt::Key_Return);
        QVERIFY(!grid()->isVisible() && yes()->isChecked());
        QCOMPARE(text("Text1")->text() + text("Text2")->text() + text("Text3")->text(),
                 u"0000010ว. วินิจฉัยกุลกนกวรรณ ทองคำ"_s);
    }

    // Yes to No keeps the stored link; No to Yes with a new true name registers it under the
    // counter's code; an author changed or deleted by another station meanwhile is left alone.
    // stored: penname and trueidno afterwards.
    void editSaves_data() {
        textTable({"name", "pen", "meanwhile", "stored", "counterAfter"},
                  {"pen name no more~ว.~~~แก้ไขแล้ว 0000009~0000041", "a new true name~Smith~1~~แก้ไขแล้ว 0000041~0000042",
                   "changed meanwhile~Smith~1~UPDATE authname SET penname = 'Smith, J.' WHERE idno = "
                   "'0000011'~Smith, J. ~0000041",
                   "deleted meanwhile~Smith~1~DELETE FROM authname WHERE idno = '0000011'~~0000041"});
    }
    void editSaves() {
        const auto [name, penText, meanwhile, stored, counterAfter] = fetch<5>();
        const bool pen = !penText.isEmpty();
        searchName(name);
        pickRow(0);
        const QString code = text("Text1")->text();
        click("Cmdedit");
        text("Text2")->setText(u"แก้ไขแล้ว"_s);
        (pen ? yes() : no())->click();
        QCOMPARE(text("Text3")->isEnabled(), pen);
        if (pen)
            text("Text3")->setText(u"Johnathan Smithers"_s);
        if (!meanwhile.isEmpty())
            exec(meanwhile);
        click("Cmdsaveedit");
        QCOMPARE(author(code.toLatin1().constData()).replace(u'|', u' '), stored);
        QCOMPARE(counter(), counterAfter);
        if (!meanwhile.isEmpty())
            QCOMPARE(boxes->last().icon,
                     meanwhile.startsWith(u"DELETE"_s) ? forms::Icon::Critical : forms::Icon::Warning);
        if (counterAfter == u"0000042"_s)
            QCOMPARE(author("0000041"), u"Johnathan Smithers|"_s);
    }
};

WARASAN_TEST_MAIN(tst_add_auther)
#include "tst_add_auther.moc"
