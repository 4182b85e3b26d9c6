// Article index editing and the article number control, driven by their controls.
#include "index/articlectrl.h"
#include "index/edit_index_journal.h"
#include "index/index_journal.h"
#include "support/Suite.h"

using indexing::edit_index_journal;

class tst_edit_index_journal : public DatabaseTest, WindowFixture<edit_index_journal> {
    Q_OBJECT

    // Number, title, authors, subjects and the enabled Next, Previous, Edit, Delete, Save.
    QString shown() {
        return text("Text1")->text() + '|' + area("Text2")->toPlainText() + '|' + text("Text3_0")->text() + ',' +
               text("Text3_1")->text() + ',' + text("Text3_2")->text() + '|' + text("Text6_0")->text() + ',' +
               text("Text6_4")->text() + '|' + enabled({"Cmdnext", "Cmdprev", "Cmdedit", "Cmddel", "Cmdsave"});
    }
    QString lastBox() { return boxes->last().title + ':' + boxes->last().prompt; }

private slots:
    void init() {
        fresh();
        auto& a = db->admin();
        a.exec(u"INSERT INTO magazine (Pointer, Magazine_Name) VALUES ('I000001', 'วารสารครุศาสตร์')"_s);
        a.exec(QStringLiteral("INSERT INTO authname (idno, penname) VALUES ('0000007', 'สมชาย ใจดี'), "
                              "('0000008', 'สมศรี รักเรียน'), ('0000009', 'วิภา แก้วมณี')"));
        a.exec(QStringLiteral("INSERT INTO article (article_no, Article_Name, pointer, year, pages) VALUES "
                              "('0000002', 'การสอนคณิต', 'I000001', '12', '1-9'), ('0000005', 'ร้อยละ 100%_ของครู', "
                              "'I000001', '12', '3'), ('0000041', 'การสอนภาษา', 'I000001', '13', '10-20')"));
        a.exec(QStringLiteral("INSERT INTO mauthfile (article_no, seqno, idno) VALUES ('0000041', 1, '0000007'), "
                              "('0000041', 2, '0000008'), ('0000041', 3, '0000009'), ('0000002', 1, '0000404'), "
                              "('0000002', 2, '0000009')"));
        a.exec(QStringLiteral("INSERT INTO msubject (article_no, seqno, subject) VALUES ('0000041', 1, 'ภาษาไทย'), "
                              "('0000041', 2, 'ก'), ('0000041', 3, 'ข'), ('0000041', 4, 'ค'), ('0000041', 5, 'ง'), "
                              "('0000041', 6, 'จ'), ('0000002', 1, 'คณิตศาสตร์ศึกษา')"));
        a.exec(u"UPDATE artctrl SET artno_ctrl = '0000043'"_s);
        w = showWindow<edit_index_journal>();
    }

    // Keyboard look-up, stepping over missing numbers to the counter's end and back to 1; an
    // author code without an author keeps its slot; at most five subjects show.
    void lookUpAndStep() {
        QCOMPARE(focused(), u"Text1"_s);
        QTest::keyClicks(text("Text1"), "41");
        QTest::keyClick(text("Text1"), Qt::Key_Return);
        QCOMPARE(shown(), u"0000041|การสอนภาษา|สมชาย ใจดี,สมศรี รักเรียน,วิภา แก้วมณี|ภาษาไทย,ง|11110"_s);
        QCOMPARE(area("Text7")->toPlainText(), u"วารสารครุศาสตร์"_s);
        // Saved by another station after the window opened: Next still reaches it.
        exec(u"INSERT INTO article (article_no, Article_Name) VALUES ('0000043', 'ใหม่')"_s);
        exec(u"UPDATE artctrl SET artno_ctrl = '0000050'"_s);
        click("Cmdnext");
        QCOMPARE(shown(), u"0000043|ใหม่|,,|,|11110"_s);
        click("Cmdnext");
        QCOMPARE(lastBox() + shown(), u"End Of File:Record สุดท้ายของฐานข้อมูลแล้ว0000049||,,|,|11000"_s);
        text("Text1")->setText(u"5"_s);
        pressEnter(text("Text1"));
        click("Cmdprev");
        QCOMPARE(shown(), u"0000002|การสอนคณิต|,วิภา แก้วมณี,|คณิตศาสตร์ศึกษา,|11110"_s);
        click("Cmdprev");
        QCOMPARE(lastBox() + shown(), u"Begin Of File:Record แรกของฐานข้อมูลแล้ว0000001||,,|,|11000"_s);
        boxes->clear();
        click("Cmdprev");
        QCOMPARE(lastBox() + text("Text1")->text(), u"Begin Of File:Record แรกของฐานข้อมูลแล้ว0000001"_s);
        enter("Text1", u"abc"_s);
        QCOMPARE(lastBox() + shown(), u"ไม่พบข้อมูล:ไม่พบเลจที่บทความนี้ กรุณาตรวจสอบอีกครั้ง0000000||,,|,|11000"_s);
        QCOMPARE(focused(), u"Text1"_s);
    }

    // Edit: slot 2 emptied renumbers the authors; subjects past the fifth stay; keydate kept;
    // Save returns to browsing.
    void editAndSave() {
        exec(u"UPDATE article SET keydate = '2020-01-02 03:04:05'"_s);
        enter("Text1", u"41"_s);
        area("Text2")->setPlainText(u"ก"_s); // typed into the title search, never looked up
        click("Cmdedit");
        QCOMPARE(area("Text2")->toPlainText(), u"การสอนภาษา"_s); // the edit starts from the stored article
        QCOMPARE(focused(), u"Text2"_s);
        area("Text2")->setPlainText(u"การสอนภาษาไทย"_s);
        text("Text3_1")->clear();
        text("Text6_1")->clear();
        text("Text11")->setText(u"10-25"_s);
        click("Cmdsave");
        QCOMPARE(boxes->boxes.size(), 1); // the question only
        QCOMPARE(sql("SELECT Article_Name, pages, keydate FROM article WHERE article_no = '0000041'"),
                 u"การสอนภาษาไทย|10-25|2020-01-02T03:04:05.000"_s);
        QCOMPARE(sql("SELECT GROUP_CONCAT(seqno, idno, article_name ORDER BY seqno) FROM mauthfile WHERE article_no = "
                     "'0000041'"),
                 u"10000007การสอนภาษาไทย,20000009การสอนภาษาไทย"_s);
        QCOMPARE(sql("SELECT GROUP_CONCAT(seqno, subject ORDER BY seqno) FROM msubject WHERE article_no = '0000041'"),
                 u"1ภาษาไทย,2ข,3ค,4ง,6จ"_s);
        QCOMPARE(shown(), u"0000041|การสอนภาษาไทย|สมชาย ใจดี,วิภา แก้วมณี,|ภาษาไทย,จ|11110"_s);
    }

    // A save or delete that cannot be done writes nothing and says why.
    void refusedEdits_data() {
        textTable({"meanwhile", "button", "box"},
                  {"deleted~DELETE FROM article WHERE article_no = '0000041'~Cmdsave~ข้อมูลไม่ได้ถูกบันทึก",
                   "changed~UPDATE article SET pages = '11' WHERE article_no = '0000041'~Cmdsave~ถูกเครื่องอื่นแก้ไข",
                   "subjects fail~CREATE TRIGGER no_subjects BEFORE INSERT ON msubject FOR EACH ROW SIGNAL SQLSTATE "
                   "'45000' SET MESSAGE_TEXT = 'msubject is read-only'~Cmdsave~msubject is read-only",
                   "deleted first~DELETE FROM article WHERE article_no = '0000041'~Cmddel~ไม่มีข้อมูลถูกลบ"});
    }
    void refusedEdits() {
        const auto [meanwhile, button, box] = fetch<3>();
        enter("Text1", u"41"_s);
        if (button == u"Cmdsave"_s) {
            click("Cmdedit");
            area("Text2")->setPlainText(u"แก้แล้ว"_s);
        }
        exec(meanwhile);
        const QString after = sql("SELECT (SELECT GROUP_CONCAT(Article_Name) FROM article), "
                                  "(SELECT COUNT(*) FROM mauthfile), (SELECT COUNT(*) FROM msubject)");
        boxes->answer({true, false});
        click(button.toLatin1().constData());
        exec(u"DROP TRIGGER IF EXISTS no_subjects"_s);
        QVERIFY2(boxes->last().prompt.contains(box), qPrintable(boxes->last().prompt));
        QCOMPARE(sql("SELECT (SELECT GROUP_CONCAT(Article_Name) FROM article), (SELECT COUNT(*) FROM mauthfile), "
                     "(SELECT COUNT(*) FROM msubject)"),
                 after);
    }

    // Delete removes the three tables' rows together and shows the number before.
    void deleteShowsThePreviousNumber() {
        enter("Text1", u"5"_s);
        boxes->answer({false});
        click("Cmddel");
        QCOMPARE(sql("SELECT COUNT(*) FROM article"), u"3"_s);
        enter("Text1", u"41"_s);
        click("Cmddel");
        QCOMPARE(lastBox(), u"ยืนยันการลบข้อมูล:ต้องการลบข้อมูลหรือไม่"_s);
        QCOMPARE(sql("SELECT (SELECT COUNT(*) FROM article), (SELECT COUNT(*) FROM mauthfile WHERE article_no = "
                     "'0000041'), (SELECT COUNT(*) FROM msubject WHERE article_no = '0000041')"),
                 u"2|0|0"_s);
        QCOMPARE(shown(), u"0000040||,,|,|11000"_s);
        enter("Text1", u"2"_s);
        click("Cmddel");
        QCOMPARE(shown(), u"0000001||,,|,|11000"_s);
    }

    // The counter is stored as typed; what the new-entry window cannot use is refused.
    void numberControl_data() {
        // answer: to the question a free number below the highest in use (41) asks
        textTable({"typed", "answer", "stored", "box"},
                  {"plain~100~~100~", "empty~~~0000043~ต้องเป็นตัวเลข", "text~1a~~0000043~ต้องเป็นตัวเลข",
                   "zero~0~~0000043~ต้องเป็นตัวเลข", "used~41~~0000043~0000041 มีบทความใช้อยู่แล้ว",
                   "below, kept~10~Y~10~ต่ำกว่าเลขที่บทความสูงสุด", "below, not kept~10~N~0000043~ต่ำกว่า"});
    }
    void numberControl() {
        const auto [typed, answer, stored, box] = fetch<4>();
        boxes->answer({answer != u"N"_s});
        auto* ctrl = showWindow<indexing::articlectrl>();
        auto* field = control<QLineEdit>(ctrl, "Text_regctrl");
        QCOMPARE(field->text() + QString::number(field->isReadOnly()), u"00000431"_s);
        QTest::mouseClick(control<QPushButton>(ctrl, "Cmdedit"), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), field);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(sql("SELECT artno_ctrl FROM artctrl"), stored);
        QCOMPARE(boxes->boxes.size(), box.isEmpty() ? 0 : 1);
        QVERIFY(boxes->last().prompt.contains(box));
        QTest::mouseClick(control<QPushButton>(ctrl, "Cmdcan"), Qt::LeftButton);
        QCOMPARE(field->text() + QString::number(field->isReadOnly()), stored + '1');
        QTest::mouseClick(control<QPushButton>(ctrl, "Cmdexit"), Qt::LeftButton);
    }
};

WARASAN_TEST_MAIN(tst_edit_index_journal)
#include "tst_edit_index_journal.moc"
