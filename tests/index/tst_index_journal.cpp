// New article index entries driven by the window's controls against the real server.
#include "index/ArticleStore.h"
#include "index/index_journal.h"
#include "support/ScriptedMessages.h"
#include "support/TestServer.h"
#include "support/WindowTest.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>

using indexing::index_journal;
using testsupport::control;
using testsupport::ScriptedMessages;
using testsupport::TestDatabase;

class tst_index_journal : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> boxes;
    index_journal* w = nullptr;

    QLineEdit* line(const QString& n) { return control<QLineEdit>(w, n.toLatin1().constData()); }
    QPlainTextEdit* area(const char* n) { return control<QPlainTextEdit>(w, n); }
    QPushButton* button(const char* n) { return control<QPushButton>(w, n); }
    QListWidget* list(const char* n) { return control<QListWidget>(w, n); }
    QTableWidget* issues() { return control<QTableWidget>(w, "show_item"); }
    void click(const char* n) { QTest::mouseClick(button(n), Qt::LeftButton); }
    void enter(QWidget* field) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
    }
    void pick(const char* listName, const QString& shown) {
        QVERIFY2(testsupport::pickFromList(list(listName), shown), qPrintable(shown));
    }
    void pickAuthor(int slot, const QString& prefix, const QString& name) {
        line(QStringLiteral("Text3_%1").arg(slot))->setText(prefix);
        enter(line(QStringLiteral("Text3_%1").arg(slot)));
        pick("List_authname", name);
    }
    void pickIssue(int row) {
        click("Command1");
        QVERIFY(issues()->isVisible());
        QTest::mouseClick(issues()->viewport(), Qt::LeftButton, {},
                          issues()->visualItemRect(issues()->item(row, 0)).center());
    }
    // A complete entry: title, author 1, subject 1, journal and issue, pages.
    void fillEntry(const QString& title) {
        area("Text2")->setPlainText(title);
        pickAuthor(0, QStringLiteral("สม"), QStringLiteral("สมชาย ใจดี"));
        line("Text6_0")->setText(QStringLiteral("การศึกษา"));
        area("Text7")->setPlainText(QStringLiteral("ครุ"));
        enter(area("Text7"));
        pick("dlbnamemag", QStringLiteral("วารสารครุศาสตร์"));
        pickIssue(0);
        line("Text11")->setText(QStringLiteral("12-20"));
    }
    QString counter() { return db->admin().query(QStringLiteral("SELECT artno_ctrl FROM artctrl")).text(0, 0); }
    qint64 count(const char* table) {
        return db->admin()
            .query(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
            .value(0, 0)
            .toLongLong();
    }

private slots:
    void initTestCase() { db = std::make_unique<TestDatabase>(QStringLiteral("index_journal")); }
    void init() {
        db->reset();
        auto& a = db->admin();
        a.exec(QStringLiteral("INSERT INTO magazine (Pointer, Magazine_Name, department_code) VALUES "
                              "('I000001', 'วารสารครุศาสตร์', '03'), ('J000001', 'Nature', '07')"));
        a.exec(QStringLiteral(
            "INSERT INTO tranfile (magno, pointer, indate, daily, yearno, itemsno, DescriptionItem, "
            "MagStatus) VALUES ('20', 'I000001', '2026-05-10', '2026-05-01', '12', '5', 'พฤษภาคม 2569', 'O'), "
            "('19', 'I000001', '2026-04-10', '2026-04-01', '12', '4', 'เมษายน 2569', 'O')"));
        a.exec(QStringLiteral("INSERT INTO authname (idno, penname, trueidno) VALUES ('0000007', 'สมชาย ใจดี', ''), "
                              "('0000008', 'สมศรี รักเรียน', ''), ('0000009', 'วิภา แก้วมณี', '')"));
        a.exec(QStringLiteral("INSERT INTO msubject (article_no, seqno, subject) VALUES ('0000001', 1, 'การศึกษา'), "
                              "('0000001', 2, 'การศึกษาพิเศษ'), ('0000002', 1, 'การศึกษา'), ('0000002', 2, 'เกษตรกรรม')"));
        a.exec(QStringLiteral("UPDATE artctrl SET artno_ctrl = '0000041'"));
        boxes = std::make_unique<ScriptedMessages>();
        w = testsupport::showWindow<index_journal>();
    }
    void cleanup() {
        boxes.reset();
        QCOMPARE(testsupport::closeAllWindows(), 1);
    }
    void cleanupTestCase() { db.reset(); }

    void opens() {
        QCOMPARE(w->windowTitle(), QStringLiteral("โปรแกรมบันทึกดรรชนีวารสาร"));
        QCOMPARE(line("Text1")->text(), QStringLiteral("0000041"));
        QVERIFY(line("Text1")->isReadOnly() && line("Text8")->isReadOnly());
        QVERIFY(area("Text2")->hasFocus());
        QVERIFY(!issues()->isVisible() && !control<QGroupBox>(w, "Frame4")->isVisible());
        QCOMPARE(line("Text1")->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));
        QCOMPARE(line("Text1")->palette().color(QPalette::Text), QColor(0x80, 0x40, 0x00));
        QCOMPARE(line("Text3_1")->palette().color(QPalette::Base), QColor(0xC0, 0xFF, 0xFF));
        QCOMPARE(line("Text6_4")->palette().color(QPalette::Base), QColor(0xFF, 0xE0, 0xC0));
        QCOMPARE(line("Text6_4")->palette().color(QPalette::Text), QColor(0x00, 0x00, 0x80));
    }

    void saveWithSlotsOneAndThree() {
        fillEntry(QStringLiteral("การพัฒนาหลักสูตร"));
        pickAuthor(2, QStringLiteral("วิ"), QStringLiteral("วิภา แก้วมณี"));
        line("Text6_2")->setText(QStringLiteral("  หลักสูตร  "));
        click("Command5");
        QVERIFY(control<QGroupBox>(w, "Frame4")->isVisible());
        area("Text5")->setPlainText(QStringLiteral("บทคัดย่อ").repeated(8000)); // 64,000 Thai characters
        click("Command6");
        click("Command4");
        QCOMPARE(boxes->boxes.first().prompt, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"));
        QCOMPARE(boxes->boxes.first().title, QStringLiteral("Confirn"));
        QCOMPARE(boxes->boxes.size(), 1); // the number shown was the number used: no further box
        const data::Result a = db->admin().query(QStringLiteral(
            "SELECT Article_Name, HEX(spare), pointer, year, volume, month, pages, abstract, keydate FROM article "
            "WHERE article_no = '0000041'"));
        QCOMPARE(a.rowCount(), 1);
        QCOMPARE(a.text(0, 0), QStringLiteral("การพัฒนาหลักสูตร"));
        QCOMPARE(a.text(0, 1), QStringLiteral("20"));
        QCOMPARE(a.text(0, 2), QStringLiteral("I000001"));
        QCOMPARE(a.text(0, 3), QStringLiteral("12"));
        QCOMPARE(a.text(0, 4), QStringLiteral("5"));
        QCOMPARE(a.text(0, 5), QStringLiteral("พฤษภาคม 2569"));
        QCOMPARE(a.text(0, 6), QStringLiteral("12-20"));
        QCOMPARE(a.text(0, 7), QStringLiteral("บทคัดย่อ").repeated(8000));
        QVERIFY(qAbs(a.value(0, 8).toDateTime().secsTo(QDateTime::currentDateTime())) < 120);
        const data::Result au = db->admin().query(QStringLiteral(
            "SELECT seqno, idno, article_name FROM mauthfile WHERE article_no = '0000041' ORDER BY seqno"));
        QCOMPARE(au.rowCount(), 2);
        QCOMPARE(au.text(0, 1), QStringLiteral("0000007"));
        QCOMPARE(au.text(1, 0), QStringLiteral("2"));
        QCOMPARE(au.text(1, 1), QStringLiteral("0000009"));
        QCOMPARE(au.text(1, 2), QStringLiteral("การพัฒนาหลักสูตร"));
        const data::Result su = db->admin().query(
            QStringLiteral("SELECT seqno, subject FROM msubject WHERE article_no = '0000041' ORDER BY seqno"));
        QCOMPARE(su.rowCount(), 2);
        QCOMPARE(su.text(1, 0), QStringLiteral("2"));
        QCOMPARE(su.text(1, 1), QStringLiteral("หลักสูตร"));
        QCOMPARE(counter(), QStringLiteral("0000042"));
        // Ready for the next entry.
        QCOMPARE(line("Text1")->text(), QStringLiteral("0000042"));
        QCOMPARE(area("Text2")->toPlainText(), QString());
        QCOMPARE(line("Text13")->text(), QString());
        QCOMPARE(line("Text8")->text(), QString());
        QVERIFY(area("Text2")->hasFocus());
    }

    void inputChecksInOrder_data() {
        QTest::addColumn<int>("filled");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("title") << 0 << "กรุณากรอกข้อมูล ชื่อบทความ "
                               << "Text2";
        QTest::newRow("author") << 1 << "กรุณากรอกข้อมูล ชื่อผู้แต่ง "
                                << "Text3_0";
        QTest::newRow("subject") << 2 << "กรุณากรอกข้อมูล หัวเรื่อง "
                                 << "Text6_0";
        QTest::newRow("journal") << 3 << "กรุณากรอกข้อมูล ชื่อวารสาร"
                                 << "Text7";
        QTest::newRow("issue") << 4 << "กรุณากรอกข้อมูล ปีที่ "
                               << "Command1";
        QTest::newRow("pages") << 5 << "กรุณากรอกข้อมูล เลขหน้า "
                               << "Text11";
    }
    void inputChecksInOrder() {
        QFETCH(int, filled);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const std::function<void()> steps[] = {
            [&] { area("Text2")->setPlainText(QStringLiteral("ชื่อบทความ")); },
            [&] { pickAuthor(0, QStringLiteral("สม"), QStringLiteral("สมศรี รักเรียน")); },
            [&] { line("Text6_0")->setText(QStringLiteral("เกษตรกรรม")); },
            [&] {
                area("Text7")->setPlainText(QStringLiteral("Nat"));
                enter(area("Text7"));
                pick("dlbnamemag", QStringLiteral("Nature"));
            },
            [&] {
                area("Text7")->setPlainText(QStringLiteral("ครุ"));
                enter(area("Text7"));
                pick("dlbnamemag", QStringLiteral("วารสารครุศาสตร์"));
                pickIssue(1);
            },
        };
        for (int i = 0; i < filled; ++i)
            steps[i]();
        click("Command4");
        QCOMPARE(boxes->last().prompt, message);
        QCOMPARE(boxes->last().title, QStringLiteral("ข้อมูลไม่ครบ"));
        QCOMPARE(w->focusWidget()->objectName(), focus);
        QCOMPARE(count("article"), 0);
    }

    // A subject only in slot 2, an author typed but not picked, a journal typed over after
    // its pick: each refused, nothing stored.
    void entryNotPickedRefused() {
        fillEntry(QStringLiteral("บทความ"));
        line("Text6_1")->setText(line("Text6_0")->text());
        line("Text6_0")->clear();
        click("Command4");
        QCOMPARE(boxes->last().prompt, QStringLiteral("กรุณากรอกข้อมูล หัวเรื่อง "));
        line("Text6_0")->setText(line("Text6_1")->text());
        line("Text3_1")->setFocus();
        QTest::keyClicks(line("Text3_1"), QStringLiteral("Someone"));
        click("Command4");
        QVERIFY(boxes->last().prompt.contains(QStringLiteral("ลำดับที่ 2")));
        QCOMPARE(w->focusWidget(), line("Text3_1"));
        line("Text3_1")->clear();
        area("Text7")->setFocus();
        area("Text7")->moveCursor(QTextCursor::End);
        QTest::keyClicks(area("Text7"), QStringLiteral("x"));
        QCOMPARE(line("Text13")->text() + line("Text8")->text() + line("Text10")->text(), QString());
        click("Command4");
        QVERIFY(boxes->last().prompt.contains(QStringLiteral("กรุณาเลือกชื่อวารสารจากรายการ")));
        QCOMPARE(count("article"), 0);
    }

    void issueGridMessages() {
        click("Command1");
        QCOMPARE(boxes->last().prompt, QStringLiteral("กรุณากรอกข้อมูลรายชื่อวารสารก่อน"));
        QCOMPARE(boxes->last().title, QStringLiteral("ข้อผิดพลาด"));
        area("Text7")->setPlainText(QStringLiteral("Nat"));
        enter(area("Text7"));
        pick("dlbnamemag", QStringLiteral("Nature"));
        click("Command1");
        QCOMPARE(boxes->last().prompt, QStringLiteral("รายชื่อวารสารนี้ไม่พบข้อมูลการลงทะเบียน"));
        QCOMPARE(boxes->last().title, QStringLiteral("ไม่พบวารสารที่ลงทะเบียน"));
        QVERIFY(!issues()->isVisible());
        area("Text7")->setPlainText(QStringLiteral("ครุ"));
        enter(area("Text7"));
        pick("dlbnamemag", QStringLiteral("วารสารครุศาสตร์"));
        click("Command1");
        QCOMPARE(issues()->rowCount(), 2);
        QCOMPARE(issues()->item(0, 0)->text(), QStringLiteral("20")); // newest issue date first
        QCOMPARE(issues()->horizontalHeaderItem(1)->text(), QStringLiteral("ประจำเดือน"));
    }

    void searchesWithoutMatch() {
        line("Text3_1")->setText(QStringLiteral("ไม่มีผู้นี้"));
        enter(line("Text3_1"));
        QCOMPARE(boxes->last().prompt, QStringLiteral("ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง"));
        QCOMPARE(w->focusWidget(), line("Text6_1")); // on to the subject of the same slot
        QCOMPARE(line("Text3_1")->text(), QStringLiteral("ไม่มีผู้นี้"));
        line("Text6_3")->setText(QStringLiteral("zzz"));
        enter(line("Text6_3"));
        QCOMPARE(w->focusWidget(), line("Text6_3"));
        area("Text7")->setPlainText(QStringLiteral("it's 100%"));
        enter(area("Text7"));
        QCOMPARE(area("Text7")->toPlainText(), QString());
        QCOMPARE(boxes->boxes.size(), 3);
    }

    void subjectsFromTheHeadingsInUse() {
        line("Text6_2")->setText(QStringLiteral("การศึกษา"));
        enter(line("Text6_2"));
        QCOMPARE(list("list_subject")->count(), 2); // each heading once
        pick("list_subject", QStringLiteral("การศึกษาพิเศษ"));
        QCOMPARE(line("Text6_2")->text(), QStringLiteral("การศึกษาพิเศษ"));
    }

    // A counter set back onto a used number, or missing: refused with nothing stored and the
    // entry kept; a failure writing the authors leaves no article either.
    void refusedSaves_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("words");
        QTest::newRow("number in use")
            << "INSERT INTO article (article_no, Article_Name) VALUES ('0000041', 'เก่า')" << "0000041";
        QTest::newRow("no counter row") << "DELETE FROM artctrl" << "artctrl";
        QTest::newRow("authors cannot be written")
            << "CREATE TRIGGER no_authors BEFORE INSERT ON mauthfile FOR EACH ROW SIGNAL SQLSTATE '45000' "
               "SET MESSAGE_TEXT = 'mauthfile is read-only'"
            << "mauthfile is read-only";
    }
    void refusedSaves() {
        QFETCH(QString, setup);
        QFETCH(QString, words);
        db->admin().exec(setup);
        const qint64 before = count("article");
        const QString counterBefore = db->admin().query(QStringLiteral("SELECT COUNT(*) FROM artctrl")).text(0, 0) ==
                                              QLatin1String("1")
                                          ? counter()
                                          : QString();
        fillEntry(QStringLiteral("บทความใหม่"));
        click("Command4");
        db->admin().exec(QStringLiteral("DROP TRIGGER IF EXISTS no_authors"));
        QCOMPARE(boxes->last().title, QStringLiteral("Save Data Error"));
        QVERIFY2(boxes->last().prompt.contains(words), qPrintable(boxes->last().prompt));
        QCOMPARE(count("article"), before);
        QCOMPARE(count("mauthfile"), 0);
        if (!counterBefore.isEmpty())
            QCOMPARE(counter(), counterBefore);
        QCOMPARE(area("Text2")->toPlainText(), QStringLiteral("บทความใหม่")); // kept for another try
    }

    void anotherStationTookTheNumber() {
        auto other = db->connect();
        indexing::ArticleEntry e;
        e.title = QStringLiteral("จากเครื่องอื่น");
        QCOMPARE(indexing::ArticleStore::save(*other, e), QStringLiteral("0000041"));
        fillEntry(QStringLiteral("บทความ"));
        click("Command4");
        QVERIFY(boxes->last().prompt.contains(QStringLiteral("0000042")));
        QCOMPARE(counter(), QStringLiteral("0000043"));
        QCOMPARE(line("Text1")->text(), QStringLiteral("0000043"));
    }

    void failedSaveKeepsTheFieldsAndTheNextOneWorks() {
        fillEntry(QStringLiteral("บทความที่บันทึกไม่ได้"));
        // The server drops this window's connection mid-session.
        const data::Result ids = db->admin().query(
            QStringLiteral("SELECT id FROM information_schema.processlist WHERE db = ? AND user = 'varnok'"),
            {db->name()});
        for (const auto& row : ids.rows)
            db->admin().exec(QStringLiteral("KILL %1").arg(row.at(0).toLongLong()));
        click("Command4");
        QCOMPARE(boxes->last().title, QStringLiteral("Save Data Error"));
        QVERIFY(boxes->last().prompt.startsWith(QStringLiteral("ขออภัย การติดต่อฐานข้อมูลขัดข้อง กรุณาทำการบันทึกข้อมูลอีกครั้ง\n[")));
        QCOMPARE(count("article"), 0);
        QCOMPARE(area("Text2")->toPlainText(), QStringLiteral("บทความที่บันทึกไม่ได้"));
        QCOMPARE(line("Text8")->text(), QStringLiteral("12"));
        click("Command4");
        QCOMPARE(count("article"), 1);
        QCOMPARE(counter(), QStringLiteral("0000042"));
    }

    void clearKeepsTheNumber() {
        fillEntry(QStringLiteral("บทความ"));
        click("Command3");
        QCOMPARE(line("Text1")->text(), QStringLiteral("0000041"));
        QCOMPARE(area("Text2")->toPlainText(), QString());
        QCOMPARE(line("Text3_0")->text(), QString());
        QCOMPARE(line("Text4_0")->text(), QString());
        QCOMPARE(line("Text13")->text(), QString());
        QCOMPARE(line("Text11")->text(), QString());
        QVERIFY(area("Text2")->hasFocus());
        QCOMPARE(counter(), QStringLiteral("0000041"));
    }
};

QTEST_MAIN(tst_index_journal)
#include "tst_index_journal.moc"
