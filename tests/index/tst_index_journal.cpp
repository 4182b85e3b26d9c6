// New article index entries driven by the window's controls against the real server.
#include "rules/index/ArticleStore.h"
#include "index/index_journal.h"
#include "support/Suite.h"

using indexing::index_journal;

class tst_index_journal : public DatabaseTest, WindowFixture<index_journal> {
    Q_OBJECT

    forms::Grid* issues() { return control<forms::Grid>(w, "show_item"); }
    void pickAuthor(int slot, const QString& prefix, const QString& name) {
        enter(u"Text3_%1"_s.arg(slot).toLatin1().constData(), prefix);
        QVERIFY(pick("List_authname", name));
    }
    void pickJournal(const QString& prefix, const QString& name, int issueRow = -1) {
        enter("Text7", prefix);
        QVERIFY(pick("dlbnamemag", name));
        if (issueRow < 0)
            return;
        click("Command1");
        QVERIFY(issues()->isVisible());
        QTest::mouseClick(issues()->viewport(), Qt::LeftButton, {},
                          issues()->visualRect(issues()->model()->index(issueRow, 0)).center());
    }
    // A complete entry: title, author 1, subject 1, journal and issue, pages.
    void fillEntry(const QString& title) {
        area("Text2")->setPlainText(title);
        pickAuthor(0, u"สม"_s, u"สมชาย ใจดี"_s);
        text("Text6_0")->setText(u"การศึกษา"_s);
        pickJournal(u"ครุ"_s, u"วารสารครุศาสตร์"_s, 0);
        text("Text11")->setText(u"12-20"_s);
    }

private slots:
    void init() {
        fresh();
        auto& a = db->admin();
        a.exec(QStringLiteral("INSERT INTO magazine (Pointer, Magazine_Name, department_code) VALUES "
                              "('I000001', 'วารสารครุศาสตร์', '03'), ('J000001', 'Nature', '07')"));
        a.exec(
            QStringLiteral("INSERT INTO tranfile (magno, pointer, indate, daily, yearno, itemsno, DescriptionItem, "
                           "MagStatus) VALUES ('20', 'I000001', '2026-05-10', '2026-05-01', '12', '5', 'พฤษภาคม 2569', "
                           "'O'), ('19', 'I000001', '2026-04-10', '2026-04-01', '12', '4', 'เมษายน 2569', 'O')"));
        a.exec(QStringLiteral("INSERT INTO authname (idno, penname, trueidno) VALUES ('0000007', 'สมชาย ใจดี', ''), "
                              "('0000008', 'สมศรี รักเรียน', ''), ('0000009', 'วิภา แก้วมณี', '')"));
        a.exec(QStringLiteral("INSERT INTO msubject (article_no, seqno, subject) VALUES ('0000001', 1, 'การศึกษา'), "
                              "('0000001', 2, 'การศึกษาพิเศษ'), ('0000002', 1, 'การศึกษา'), ('0000002', 2, 'เกษตรกรรม')"));
        a.exec(u"UPDATE artctrl SET artno_ctrl = '0000041'"_s);
        w = showWindow<index_journal>();
    }

    // Authors in slots 1 and 3 and subjects 1 and 3 are stored numbered 1 and 2; a long abstract
    // is kept whole; the number shown is the number used, so no box follows the question.
    void saveWithSlotsOneAndThree() {
        QCOMPARE(text("Text1")->text(), u"0000041"_s);
        QVERIFY(area("Text2")->hasFocus());
        fillEntry(u"การพัฒนาหลักสูตร"_s);
        pickAuthor(2, u"วิ"_s, u"วิภา แก้วมณี"_s);
        text("Text6_2")->setText(u"  หลักสูตร  "_s);
        click("Command5");
        QVERIFY(control<QGroupBox>(w, "Frame4")->isVisible());
        area("Text5")->setPlainText(u"บทคัดย่อ"_s.repeated(8000)); // 64,000 Thai characters
        click("Command6");
        QCOMPARE(focused(), u"Command5"_s); // back on the abstract button, not the number
        click("Command4");
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(boxes->last().prompt + boxes->last().title, u"ต้องการบันทึกข้อมูลหรือไม่Confirn"_s);
        QCOMPARE(sql("SELECT Article_Name, HEX(spare), pointer, year, volume, month, pages, CHAR_LENGTH(abstract), "
                     "ABS(TIMESTAMPDIFF(MINUTE, keydate, NOW())) < 2 FROM article WHERE article_no = '0000041'"),
                 u"การพัฒนาหลักสูตร|20|I000001|12|5|พฤษภาคม 2569|12-20|64000|1"_s);
        QCOMPARE(sql("SELECT GROUP_CONCAT(seqno, idno, article_name ORDER BY seqno) FROM mauthfile"),
                 u"10000007การพัฒนาหลักสูตร,20000009การพัฒนาหลักสูตร"_s);
        QCOMPARE(sql("SELECT GROUP_CONCAT(seqno, subject ORDER BY seqno) FROM msubject WHERE article_no = '0000041'"),
                 u"1การศึกษา,2หลักสูตร"_s);
        QCOMPARE(sql("SELECT artno_ctrl FROM artctrl"), u"0000042"_s);
        // Ready for the next entry.
        QCOMPARE(text("Text1")->text() + area("Text2")->toPlainText() + text("Text13")->text() + text("Text8")->text(),
                 u"0000042"_s);
        QVERIFY(area("Text2")->hasFocus());
    }

    // A counter kept as typed ("100", as the number control stores it) gives 0000100 with no
    // conflict box: numbers are compared, not their texts.
    void counterKeptAsTyped() {
        exec(u"UPDATE artctrl SET artno_ctrl = '100'"_s);
        w->close();
        w = showWindow<index_journal>();
        fillEntry(u"การพัฒนาหลักสูตร"_s);
        click("Command4");
        QCOMPARE(boxes->boxes.size(), 1); // the question alone
        QCOMPARE(sql("SELECT COUNT(*) FROM article WHERE article_no = '0000100'"), u"1"_s);
    }

    void inputChecksInOrder_data() {
        textTable({"filled", "message", "focus"},
                  {"0~0~กรุณากรอกข้อมูล ชื่อบทความ ~Text2", "1~1~กรุณากรอกข้อมูล ชื่อผู้แต่ง ~Text3_0",
                   "2~2~กรุณากรอกข้อมูล หัวเรื่อง ~Text6_0", "3~3~กรุณากรอกข้อมูล ชื่อวารสาร~Text7",
                   "4~4~กรุณากรอกข้อมูล ปีที่ ~Command1", "5~5~กรุณากรอกข้อมูล เลขหน้า ~Text11"});
    }
    void inputChecksInOrder() {
        const auto [filled, message, focus] = fetch<3>();
        const std::function<void()> steps[] = {
            [&] { area("Text2")->setPlainText(u"ชื่อบทความ"_s); }, [&] { pickAuthor(0, u"สม"_s, u"สมศรี รักเรียน"_s); },
            [&] { text("Text6_0")->setText(u"เกษตรกรรม"_s); }, [&] { pickJournal(u"Nat"_s, u"Nature"_s); },
            [&] { pickJournal(u"ครุ"_s, u"วารสารครุศาสตร์"_s, 1); }};
        for (int i = 0; i < filled.toInt(); ++i)
            steps[i]();
        click("Command4");
        QCOMPARE(boxes->last().prompt + boxes->last().title, message + u"ข้อมูลไม่ครบ"_s);
        QCOMPARE(w->focusWidget()->objectName(), focus);
        QCOMPARE(sql("SELECT COUNT(*) FROM article"), u"0"_s);
    }

    // A subject only in slot 2, an author typed but not picked, a journal typed over after
    // its pick: each refused, nothing stored.
    void entryNotPickedRefused() {
        fillEntry(u"บทความ"_s);
        text("Text6_1")->setText(text("Text6_0")->text());
        text("Text6_0")->clear();
        click("Command4");
        QCOMPARE(boxes->last().prompt, u"กรุณากรอกข้อมูล หัวเรื่อง "_s);
        text("Text6_0")->setText(text("Text6_1")->text());
        text("Text3_1")->setFocus();
        QTest::keyClicks(text("Text3_1"), u"Someone"_s);
        click("Command4");
        QVERIFY(boxes->last().prompt.contains(u"ลำดับที่ 2"_s));
        QCOMPARE(w->focusWidget(), text("Text3_1"));
        text("Text3_1")->clear();
        area("Text7")->setFocus();
        area("Text7")->moveCursor(QTextCursor::End);
        QTest::keyClicks(area("Text7"), u"x"_s);
        QCOMPARE(text("Text13")->text() + text("Text8")->text() + text("Text10")->text(), QString());
        click("Command4");
        QVERIFY(boxes->last().prompt.contains(u"กรุณาเลือกชื่อวารสารจากรายการ"_s));
        QCOMPARE(sql("SELECT COUNT(*) FROM article"), u"0"_s);
    }

    // The issue grid's messages; searches that find nothing; subject headings each once.
    void listsAndTheirMessages() {
        click("Command1");
        QCOMPARE(boxes->last().prompt + boxes->last().title, u"กรุณากรอกข้อมูลรายชื่อวารสารก่อนข้อผิดพลาด"_s);
        pickJournal(u"Nat"_s, u"Nature"_s);
        click("Command1");
        QCOMPARE(boxes->last().prompt, u"รายชื่อวารสารนี้ไม่พบข้อมูลการลงทะเบียน"_s);
        QVERIFY(!issues()->isVisible());
        pickJournal(u"ครุ"_s, u"วารสารครุศาสตร์"_s, 0);
        QCOMPARE(issues()->rowCount(), 2);
        QCOMPARE(issues()->rows()->text(0, 0), u"20"_s); // newest issue date first
        enter("Text3_1", u"ไม่มีผู้นี้"_s);
        QCOMPARE(boxes->last().prompt, u"ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง"_s);
        QCOMPARE(w->focusWidget(), text("Text6_1")); // on to the subject of the same slot
        enter("Text7", u"it's 100%"_s);
        QCOMPARE(area("Text7")->toPlainText(), QString());
        enter("Text6_2", u"  การศึกษา"_s);
        auto* subjects = control<forms::PickList>(w, "list_subject");
        QCOMPARE(subjects->count(), 2);
        QTest::keyClick(text("Text6_2"), Qt::Key_Down); // into the list, where Esc closes it
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!subjects->isVisible() && text("Text6_2")->hasFocus());
        enter("Text6_2", u"  การศึกษา"_s);
        QVERIFY(pick("list_subject", u"การศึกษาพิเศษ"_s));
        QCOMPARE(text("Text6_2")->text(), u"การศึกษาพิเศษ"_s);
    }

    // Exit mid-entry asks first: No (Enter) keeps the entry; once Cancel has emptied it, Exit closes.
    void exitAsksMidEntry() {
        area("Text2")->setPlainText(u"ยังไม่ได้บันทึก"_s);
        boxes->pressOnRealBox(Qt::Key_Return); // Enter answers No: nothing typed is dropped
        click("Command2");
        QVERIFY(w->isVisible() && area("Text2")->toPlainText() == u"ยังไม่ได้บันทึก"_s);
        click("Command3");
        boxes->clear();
        QPointer<index_journal> closing(w);
        click("Command2");
        QVERIFY(boxes->boxes.isEmpty() && (closing.isNull() || !closing->isVisible()));
        w = showWindow<index_journal>();
    }

    // A counter set back onto a used number, or missing, or authors that cannot be written:
    // refused with nothing stored and the entry kept; once put right the same entry saves.
    void refusedSaves_data() {
        textTable({"setup", "words"},
                  {"number in use~INSERT INTO article (article_no, Article_Name) VALUES ('0000041', 'old')~0000041",
                   "no counter row~DELETE FROM artctrl~artctrl",
                   "authors cannot be written~CREATE TRIGGER no_authors BEFORE INSERT ON mauthfile FOR EACH ROW "
                   "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'mauthfile is read-only'~mauthfile is read-only"});
    }
    void refusedSaves() {
        const auto [setup, words] = fetch<2>();
        exec(setup);
        const QString before = sql("SELECT (SELECT COUNT(*) FROM article), (SELECT COUNT(*) FROM artctrl), "
                                   "(SELECT MAX(artno_ctrl) FROM artctrl), (SELECT COUNT(*) FROM mauthfile)");
        fillEntry(u"บทความใหม่"_s);
        click("Command4");
        exec(u"DROP TRIGGER IF EXISTS no_authors"_s);
        QCOMPARE(boxes->last().title, u"Save Data Error"_s);
        QVERIFY2(boxes->last().prompt.contains(words), qPrintable(boxes->last().prompt));
        QCOMPARE(sql("SELECT (SELECT COUNT(*) FROM article), (SELECT COUNT(*) FROM artctrl), "
                     "(SELECT MAX(artno_ctrl) FROM artctrl), (SELECT COUNT(*) FROM mauthfile)"),
                 before);
        QCOMPARE(area("Text2")->toPlainText(), u"บทความใหม่"_s); // kept for another try
        exec(u"DELETE FROM artctrl"_s);
        exec(u"INSERT INTO artctrl (artno_ctrl) VALUES ('0000050')"_s);
        click("Command4");
        QCOMPARE(sql("SELECT article_no FROM article WHERE Article_Name = 'บทความใหม่'"), u"0000050"_s);
    }
};

WARASAN_TEST_MAIN(tst_index_journal)
#include "tst_index_journal.moc"
