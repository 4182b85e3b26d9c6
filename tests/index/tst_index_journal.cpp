// New article index entries driven by the window's controls against the real server.
#include "index/ArticleStore.h"
#include "index/index_journal.h"
#include "support/Suite.h"

using indexing::index_journal;

class tst_index_journal : public testsupport::DatabaseTest, testsupport::WindowFixture<index_journal> {
    Q_OBJECT

    forms::Grid* issues() { return control<forms::Grid>(w, "show_item"); }
    void pickAuthor(int slot, const QString& prefix, const QString& name) {
        enter(QStringLiteral("Text3_%1").arg(slot).toLatin1().constData(), prefix);
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
        pickAuthor(0, QStringLiteral("สม"), QStringLiteral("สมชาย ใจดี"));
        text("Text6_0")->setText(QStringLiteral("การศึกษา"));
        pickJournal(QStringLiteral("ครุ"), QStringLiteral("วารสารครุศาสตร์"), 0);
        text("Text11")->setText(QStringLiteral("12-20"));
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
        a.exec(QStringLiteral("UPDATE artctrl SET artno_ctrl = '0000041'"));
        w = testsupport::showWindow<index_journal>();
    }

    // Authors in slots 1 and 3 and subjects 1 and 3 are stored numbered 1 and 2; a long abstract
    // is kept whole; the number shown is the number used, so no box follows the question.
    void saveWithSlotsOneAndThree() {
        QCOMPARE(text("Text1")->text(), QStringLiteral("0000041"));
        QVERIFY(area("Text2")->hasFocus());
        fillEntry(QStringLiteral("การพัฒนาหลักสูตร"));
        pickAuthor(2, QStringLiteral("วิ"), QStringLiteral("วิภา แก้วมณี"));
        text("Text6_2")->setText(QStringLiteral("  หลักสูตร  "));
        click("Command5");
        QVERIFY(control<QGroupBox>(w, "Frame4")->isVisible());
        area("Text5")->setPlainText(QStringLiteral("บทคัดย่อ").repeated(8000)); // 64,000 Thai characters
        click("Command6");
        QCOMPARE(focused(), QStringLiteral("Command5")); // back on the abstract button, not the number
        click("Command4");
        QCOMPARE(boxes->boxes.size(), 1);
        QCOMPARE(boxes->last().prompt + boxes->last().title, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่Confirn"));
        QCOMPARE(sql("SELECT Article_Name, HEX(spare), pointer, year, volume, month, pages, CHAR_LENGTH(abstract), "
                     "ABS(TIMESTAMPDIFF(MINUTE, keydate, NOW())) < 2 FROM article WHERE article_no = '0000041'"),
                 QStringLiteral("การพัฒนาหลักสูตร|20|I000001|12|5|พฤษภาคม 2569|12-20|64000|1"));
        QCOMPARE(sql("SELECT GROUP_CONCAT(seqno, idno, article_name ORDER BY seqno) FROM mauthfile"),
                 QStringLiteral("10000007การพัฒนาหลักสูตร,20000009การพัฒนาหลักสูตร"));
        QCOMPARE(sql("SELECT GROUP_CONCAT(seqno, subject ORDER BY seqno) FROM msubject WHERE article_no = '0000041'"),
                 QStringLiteral("1การศึกษา,2หลักสูตร"));
        QCOMPARE(sql("SELECT artno_ctrl FROM artctrl"), QStringLiteral("0000042"));
        // Ready for the next entry.
        QCOMPARE(text("Text1")->text() + area("Text2")->toPlainText() + text("Text13")->text() + text("Text8")->text(),
                 QStringLiteral("0000042"));
        QVERIFY(area("Text2")->hasFocus());
    }

    // A counter kept as typed ("100", as the number control stores it) gives 0000100 with no
    // conflict box: numbers are compared, not their texts.
    void counterKeptAsTyped() {
        db->admin().exec(QStringLiteral("UPDATE artctrl SET artno_ctrl = '100'"));
        w->close();
        w = testsupport::showWindow<index_journal>();
        fillEntry(QStringLiteral("การพัฒนาหลักสูตร"));
        click("Command4");
        QCOMPARE(boxes->boxes.size(), 1); // the question alone
        QCOMPARE(sql("SELECT COUNT(*) FROM article WHERE article_no = '0000100'"), QStringLiteral("1"));
    }

    void inputChecksInOrder_data() {
        testsupport::textTable({"filled", "message", "focus"},
                               {"0~0~กรุณากรอกข้อมูล ชื่อบทความ ~Text2", "1~1~กรุณากรอกข้อมูล ชื่อผู้แต่ง ~Text3_0",
                                "2~2~กรุณากรอกข้อมูล หัวเรื่อง ~Text6_0", "3~3~กรุณากรอกข้อมูล ชื่อวารสาร~Text7",
                                "4~4~กรุณากรอกข้อมูล ปีที่ ~Command1", "5~5~กรุณากรอกข้อมูล เลขหน้า ~Text11"});
    }
    void inputChecksInOrder() {
        const auto [filled, message, focus] = testsupport::fetch<3>();
        const std::function<void()> steps[] = {
            [&] { area("Text2")->setPlainText(QStringLiteral("ชื่อบทความ")); },
            [&] { pickAuthor(0, QStringLiteral("สม"), QStringLiteral("สมศรี รักเรียน")); },
            [&] { text("Text6_0")->setText(QStringLiteral("เกษตรกรรม")); },
            [&] { pickJournal(QStringLiteral("Nat"), QStringLiteral("Nature")); },
            [&] { pickJournal(QStringLiteral("ครุ"), QStringLiteral("วารสารครุศาสตร์"), 1); }};
        for (int i = 0; i < filled.toInt(); ++i)
            steps[i]();
        click("Command4");
        QCOMPARE(boxes->last().prompt + boxes->last().title, message + QStringLiteral("ข้อมูลไม่ครบ"));
        QCOMPARE(w->focusWidget()->objectName(), focus);
        QCOMPARE(sql("SELECT COUNT(*) FROM article"), QStringLiteral("0"));
    }

    // A subject only in slot 2, an author typed but not picked, a journal typed over after
    // its pick: each refused, nothing stored.
    void entryNotPickedRefused() {
        fillEntry(QStringLiteral("บทความ"));
        text("Text6_1")->setText(text("Text6_0")->text());
        text("Text6_0")->clear();
        click("Command4");
        QCOMPARE(boxes->last().prompt, QStringLiteral("กรุณากรอกข้อมูล หัวเรื่อง "));
        text("Text6_0")->setText(text("Text6_1")->text());
        text("Text3_1")->setFocus();
        QTest::keyClicks(text("Text3_1"), QStringLiteral("Someone"));
        click("Command4");
        QVERIFY(boxes->last().prompt.contains(QStringLiteral("ลำดับที่ 2")));
        QCOMPARE(w->focusWidget(), text("Text3_1"));
        text("Text3_1")->clear();
        area("Text7")->setFocus();
        area("Text7")->moveCursor(QTextCursor::End);
        QTest::keyClicks(area("Text7"), QStringLiteral("x"));
        QCOMPARE(text("Text13")->text() + text("Text8")->text() + text("Text10")->text(), QString());
        click("Command4");
        QVERIFY(boxes->last().prompt.contains(QStringLiteral("กรุณาเลือกชื่อวารสารจากรายการ")));
        QCOMPARE(sql("SELECT COUNT(*) FROM article"), QStringLiteral("0"));
    }

    // The issue grid's messages; searches that find nothing; subject headings each once.
    void listsAndTheirMessages() {
        click("Command1");
        QCOMPARE(boxes->last().prompt + boxes->last().title, QStringLiteral("กรุณากรอกข้อมูลรายชื่อวารสารก่อนข้อผิดพลาด"));
        pickJournal(QStringLiteral("Nat"), QStringLiteral("Nature"));
        click("Command1");
        QCOMPARE(boxes->last().prompt, QStringLiteral("รายชื่อวารสารนี้ไม่พบข้อมูลการลงทะเบียน"));
        QVERIFY(!issues()->isVisible());
        pickJournal(QStringLiteral("ครุ"), QStringLiteral("วารสารครุศาสตร์"), 0);
        QCOMPARE(issues()->rowCount(), 2);
        QCOMPARE(issues()->rows()->text(0, 0), QStringLiteral("20")); // newest issue date first
        enter("Text3_1", QStringLiteral("ไม่มีผู้นี้"));
        QCOMPARE(boxes->last().prompt, QStringLiteral("ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง"));
        QCOMPARE(w->focusWidget(), text("Text6_1")); // on to the subject of the same slot
        enter("Text7", QStringLiteral("it's 100%"));
        QCOMPARE(area("Text7")->toPlainText(), QString());
        enter("Text6_2", QStringLiteral("  การศึกษา"));
        QCOMPARE(control<forms::PickList>(w, "list_subject")->count(), 2);
        QVERIFY(pick("list_subject", QStringLiteral("การศึกษาพิเศษ")));
        QCOMPARE(text("Text6_2")->text(), QStringLiteral("การศึกษาพิเศษ"));
    }

    // A counter set back onto a used number, or missing, or authors that cannot be written:
    // refused with nothing stored and the entry kept; once put right the same entry saves.
    void refusedSaves_data() {
        testsupport::textTable(
            {"setup", "words"},
            {"number in use~INSERT INTO article (article_no, Article_Name) VALUES ('0000041', 'old')~0000041",
             "no counter row~DELETE FROM artctrl~artctrl",
             "authors cannot be written~CREATE TRIGGER no_authors BEFORE INSERT ON mauthfile FOR EACH ROW "
             "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'mauthfile is read-only'~mauthfile is read-only"});
    }
    void refusedSaves() {
        const auto [setup, words] = testsupport::fetch<2>();
        db->admin().exec(setup);
        const QString before = sql("SELECT (SELECT COUNT(*) FROM article), (SELECT COUNT(*) FROM artctrl), "
                                   "(SELECT MAX(artno_ctrl) FROM artctrl), (SELECT COUNT(*) FROM mauthfile)");
        fillEntry(QStringLiteral("บทความใหม่"));
        click("Command4");
        db->admin().exec(QStringLiteral("DROP TRIGGER IF EXISTS no_authors"));
        QCOMPARE(boxes->last().title, QStringLiteral("Save Data Error"));
        QVERIFY2(boxes->last().prompt.contains(words), qPrintable(boxes->last().prompt));
        QCOMPARE(sql("SELECT (SELECT COUNT(*) FROM article), (SELECT COUNT(*) FROM artctrl), "
                     "(SELECT MAX(artno_ctrl) FROM artctrl), (SELECT COUNT(*) FROM mauthfile)"),
                 before);
        QCOMPARE(area("Text2")->toPlainText(), QStringLiteral("บทความใหม่")); // kept for another try
        db->admin().exec(QStringLiteral("DELETE FROM artctrl"));
        db->admin().exec(QStringLiteral("INSERT INTO artctrl (artno_ctrl) VALUES ('0000050')"));
        click("Command4");
        QCOMPARE(sql("SELECT article_no FROM article WHERE Article_Name = 'บทความใหม่'"), QStringLiteral("0000050"));
    }
};

QTEST_MAIN(tst_index_journal)
#include "tst_index_journal.moc"
