// The author register driven by its controls against the real server.
#include "index/AuthorStore.h"
#include "index/add_auther.h"
#include "support/ScriptedMessages.h"
#include "support/Stations.h"
#include "support/TestServer.h"
#include "support/WindowTest.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QThread>

using indexing::add_auther;
using testsupport::control;
using testsupport::ScriptedMessages;
using testsupport::TestDatabase;

class tst_add_auther : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> boxes;
    add_auther* w = nullptr;

    QLineEdit* text(const char* n) { return control<QLineEdit>(w, n); }
    QPushButton* button(const char* n) { return control<QPushButton>(w, n); }
    QRadioButton* yes() { return control<QRadioButton>(w, "Optpenname_0"); }
    QRadioButton* no() { return control<QRadioButton>(w, "Optpenname_1"); }
    QTableWidget* grid() { return control<QTableWidget>(w, "showauth"); }
    void click(const char* n) { QTest::mouseClick(button(n), Qt::LeftButton); }
    QString cell(int r, int c) { return grid()->item(r, c) ? grid()->item(r, c)->text() : QString(); }
    void pickRow(int row) {
        const QPoint at = grid()->visualItemRect(grid()->item(row, 0)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
    }
    QString counter() { return db->admin().query(QStringLiteral("SELECT idno_ctrl FROM authctrl")).text(0, 0); }
    data::Result author(const QString& idno) {
        return db->admin().query(QStringLiteral("SELECT penname, trueidno FROM authname WHERE idno = ?"), {idno});
    }
    void searchName(const QString& s) {
        text("Text1")->clear();
        text("Text2")->setText(s);
        click("Cmdsearch");
    }

private slots:
    void initTestCase() { db = std::make_unique<TestDatabase>(QStringLiteral("add_auther")); }
    void init() {
        db->reset();
        db->admin().exec(
            QStringLiteral("INSERT INTO authname (idno, penname, trueidno) VALUES ('0000007', 'สมชาย ใจดี', ''), "
                           "('0000008', 'ก้องเกียรติ วงศ์ไทย', ''), ('0000009', 'กนกวรรณ ทองคำ', ''), "
                           "('0000010', 'ว. วินิจฉัยกุล', '0000009'), ('0000011', 'Smith, John', NULL)"));
        db->admin().exec(QStringLiteral("UPDATE authctrl SET idno_ctrl = '0000041'"));
        boxes = std::make_unique<ScriptedMessages>();
        w = testsupport::showWindow<add_auther>();
    }
    void cleanup() {
        boxes.reset();
        QCOMPARE(testsupport::closeAllWindows(), 1);
    }
    void cleanupTestCase() { db.reset(); }

    void opens() {
        QCOMPARE(w->windowTitle(), QStringLiteral("เพิ่มรายชื่อผู้แต่ง"));
        QVERIFY(text("Text1")->isEnabled() && text("Text2")->isEnabled() && !text("Text3")->isEnabled());
        QVERIFY(!grid()->isVisible());
        QVERIFY(button("Cmdadd")->isVisible() && button("Cmdadd")->isEnabled());
        QVERIFY(!button("cmdsaveadd")->isVisible() && !button("Cmdsaveedit")->isVisible());
        QVERIFY(button("Cmdedit")->isVisible() && !button("Cmdedit")->isEnabled());
        QVERIFY(!yes()->isChecked() && !no()->isChecked());
        QCOMPARE(grid()->rowCount(), 7);
        QCOMPARE(grid()->columnWidth(1), 3500 / 15);
        QCOMPARE(grid()->horizontalHeaderItem(1)->text(), QStringLiteral("ชื่อ  - นามสกุล  "));
        QVERIFY(!w->entryFlag());
    }

    void saveNewAuthor_data() {
        QTest::addColumn<bool>("pen");
        QTest::addColumn<QString>("trueName");
        QTest::addColumn<QString>("trueCode"); // the link stored with the new author
        QTest::addColumn<QString>("counterAfter");
        QTest::newRow("plain name") << false << ""
                                    << ""
                                    << "0000042";
        QTest::newRow("pen name, new true name") << true << "ประภัสสร เสวิกุล"
                                                 << "0000042"
                                                 << "0000043";
        QTest::newRow("pen name, registered true name") << true << "สมชาย ใจดี"
                                                        << "0000007"
                                                        << "0000042";
    }
    void saveNewAuthor() {
        QFETCH(bool, pen);
        QFETCH(QString, trueName);
        QFETCH(QString, trueCode);
        QFETCH(QString, counterAfter);
        click("Cmdadd");
        QCOMPARE(text("Text1")->text(), QStringLiteral("0000041"));
        QVERIFY(no()->isChecked());
        QVERIFY(w->entryFlag());
        QVERIFY(!button("Cmdadd")->isVisible() && button("cmdsaveadd")->isVisible());
        QVERIFY(!button("Cmdsearch")->isEnabled());
        text("Text2")->setText(QStringLiteral("  นามใหม่ ทดสอบ "));
        if (pen) {
            yes()->click();
            QVERIFY(text("Text3")->isEnabled() && text("Text3")->hasFocus());
            text("Text3")->setText(trueName);
        }
        click("cmdsaveadd");
        QCOMPARE(boxes->boxes.first().kind, ScriptedMessages::Kind::YesNo);
        QCOMPARE(boxes->boxes.first().prompt, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"));
        QCOMPARE(boxes->boxes.first().title, QStringLiteral("บันทึกข้อมูลรายชื่อผู้แต่ง"));
        const data::Result r = author(QStringLiteral("0000041"));
        QCOMPARE(r.text(0, 0), QStringLiteral("นามใหม่ ทดสอบ")); // stored trimmed
        QCOMPARE(r.text(0, 1), trueCode);
        QCOMPARE(counter(), counterAfter);
        if (pen && trueCode == QLatin1String("0000042")) {
            QCOMPARE(author(QStringLiteral("0000042")).text(0, 0), trueName);
            QCOMPARE(author(QStringLiteral("0000042")).text(0, 1), QString());
        }
        // Back to idle.
        QVERIFY(button("Cmdadd")->isVisible() && button("Cmdadd")->isEnabled() && !button("cmdsaveadd")->isVisible());
        QCOMPARE(text("Text1")->text(), QString());
        QVERIFY(!yes()->isChecked() && !no()->isChecked() && !yes()->isEnabled());
        QVERIFY(button("Cmdsearch")->isEnabled());
    }

    void emptyNamesRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pen");
        QTest::addColumn<QString>("trueName");
        QTest::newRow("empty name") << "   " << false << "";
        QTest::newRow("pen name without a true name") << "นามปากกา" << true << "  ";
    }
    void emptyNamesRefused() {
        QFETCH(QString, name);
        QFETCH(bool, pen);
        QFETCH(QString, trueName);
        click("Cmdadd");
        text("Text2")->setText(name);
        if (pen) {
            yes()->click();
            text("Text3")->setText(trueName);
        }
        click("cmdsaveadd");
        QCOMPARE(boxes->last().icon, forms::Icon::Critical);
        QCOMPARE(db->admin().query(QStringLiteral("SELECT COUNT(*) FROM authname")).text(0, 0), QStringLiteral("5"));
        QCOMPARE(counter(), QStringLiteral("0000041"));
        QVERIFY(button("cmdsaveadd")->isVisible()); // still adding
        QCOMPARE(text("Text2")->text(), name);
    }

    void nameSearchByThaiPrefix() {
        searchName(QStringLiteral("ก"));
        QVERIFY(grid()->isVisible());
        QCOMPARE(grid()->rowCount(), 2);
        QStringList names = {cell(0, 1), cell(1, 1)};
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("กนกวรรณ ทองคำ"), QStringLiteral("ก้องเกียรติ วงศ์ไทย")}));
        QVERIFY(!button("Cmdsearch")->isEnabled() && !button("Cmdadd")->isEnabled() && button("Cmdedit")->isEnabled());
        // A tone mark makes a different prefix.
        click("Cmdcan");
        searchName(QStringLiteral("ก้อง"));
        QCOMPARE(grid()->rowCount(), 1);
        QCOMPARE(cell(0, 0), QStringLiteral("0000008"));
    }

    void searchByCodeAndBoth_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rows");
        QTest::newRow("code alone") << "0000010"
                                    << "" << 1;
        QTest::newRow("both, matching") << "0000010"
                                        << "ว." << 1;
        QTest::newRow("both, name of another author") << "0000010"
                                                      << "สมชาย" << 0;
        QTest::newRow("a wildcard is a plain character") << ""
                                                         << "%" << 0;
    }
    void searchByCodeAndBoth() {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(int, rows);
        text("Text1")->setText(code);
        text("Text2")->setText(name);
        click("Cmdsearch");
        if (rows == 0) {
            QCOMPARE(boxes->last().prompt, QStringLiteral("ไม่พบข้อมูลที่ต้องการค้นหา"));
            QCOMPARE(boxes->last().title, QStringLiteral("ผลการค้นหา"));
            QCOMPARE(text("Text1")->text(), QString());
            QCOMPARE(text("Text2")->text(), QString());
        } else {
            QCOMPARE(grid()->rowCount(), rows);
            QCOMPARE(cell(0, 0), code);
        }
        QVERIFY(button("Cmdedit")->isEnabled());
    }

    void emptySearchAsksForText() {
        click("Cmdsearch");
        QCOMPARE(boxes->last().prompt, QStringLiteral("กรุณาพิมพ์ข้อมูลที่ต้องการค้นหา"));
        QCOMPARE(boxes->last().title, QStringLiteral("ข้อผิดพลาด"));
        QVERIFY(button("Cmdsearch")->isEnabled());
    }

    void noStaleTrueNameCode() {
        searchName(QStringLiteral("ว."));
        QCOMPARE(cell(0, 2), QStringLiteral("0000009"));
        click("Cmdcan");
        searchName(QStringLiteral("สมชาย"));
        QCOMPARE(grid()->rowCount(), 1);
        QCOMPARE(cell(0, 2), QString());
    }

    void pickingAPenName() {
        searchName(QStringLiteral("ว."));
        pickRow(0);
        QVERIFY(!grid()->isVisible());
        QCOMPARE(text("Text1")->text(), QStringLiteral("0000010"));
        QCOMPARE(text("Text2")->text(), QStringLiteral("ว. วินิจฉัยกุล"));
        QVERIFY(!text("Text1")->isEnabled() && !text("Text2")->isEnabled());
        QVERIFY(yes()->isChecked());
        QCOMPARE(text("Text3")->text(), QStringLiteral("กนกวรรณ ทองคำ"));
        QVERIFY(!text("Text3")->isEnabled()); // no Add or Edit yet since the window opened
    }

    void editYesToNoKeepsTheLink() {
        searchName(QStringLiteral("ว."));
        pickRow(0);
        click("Cmdedit");
        QVERIFY(text("Text3")->isEnabled());
        QVERIFY(button("Cmdsaveedit")->isVisible() && !button("Cmdedit")->isVisible());
        text("Text2")->setText(QStringLiteral("ว. วินิจฉัยกุล (นามปากกา)"));
        no()->click();
        QVERIFY(!text("Text3")->isEnabled() && text("Text3")->text().isEmpty());
        click("Cmdsaveedit");
        const data::Result r = author(QStringLiteral("0000010"));
        QCOMPARE(r.text(0, 0), QStringLiteral("ว. วินิจฉัยกุล (นามปากกา)"));
        QCOMPARE(r.text(0, 1), QStringLiteral("0000009"));
        QCOMPARE(counter(), QStringLiteral("0000041"));
    }

    void editToANewTrueName() {
        searchName(QStringLiteral("Smith"));
        pickRow(0);
        QVERIFY(no()->isChecked());
        click("Cmdedit");
        yes()->click();
        text("Text3")->setText(QStringLiteral("Johnathan Smithers"));
        click("Cmdsaveedit");
        QCOMPARE(author(QStringLiteral("0000011")).text(0, 1), QStringLiteral("0000041"));
        QCOMPARE(author(QStringLiteral("0000041")).text(0, 0), QStringLiteral("Johnathan Smithers"));
        QCOMPARE(counter(), QStringLiteral("0000042"));
    }

    void keyboardSearchAndPick() {
        text("Text2")->setFocus();
        testsupport::typeText(text("Text2"), QStringLiteral("สมชาย"));
        QTest::keyClick(text("Text2"), Qt::Key_Return);
        QVERIFY(grid()->isVisible() && grid()->hasFocus());
        QTest::keyClick(grid(), Qt::Key_Return);
        QCOMPARE(text("Text1")->text(), QStringLiteral("0000007"));
    }

    void codeArithmetic_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("next");
        QTest::newRow("plain") << "0000041"
                               << "0000042";
        QTest::newRow("empty") << ""
                               << "0000001";
        QTest::newRow("not a number") << "abc"
                                      << "0000001";
        QTest::newRow("leading digits") << "12ab"
                                        << "0000013";
        QTest::newRow("all nines") << "9999999"
                                   << "10000000";
        QTest::newRow("999") << "999"
                             << "0001000";
    }
    void codeArithmetic() {
        QFETCH(QString, code);
        QFETCH(QString, next);
        QCOMPARE(indexing::nextCode7(code), next);
    }

    void stationsAddingAtOnce() {
        constexpr int stations = 4, each = 10;
        QCOMPARE(testsupport::runStations(*db, stations,
                                          [&](data::Connection& c, int s) {
                                              for (int i = 0; i < each; ++i)
                                                  indexing::AuthorStore::add(
                                                      c, QStringLiteral("นาม %1-%2").arg(s).arg(i), i % 2 == 0,
                                                      QStringLiteral("ชื่อจริง %1-%2").arg(s).arg(i));
                                          }),
                 0);
        // Half of them brought a new true name along: 60 codes from 0000041 on, none twice.
        const data::Result r = db->admin().query(
            QStringLiteral("SELECT COUNT(*), MIN(idno), MAX(idno) FROM authname WHERE idno >= '0000041'"));
        QCOMPARE(r.value(0, 0).toLongLong(), qint64(60));
        QCOMPARE(r.text(0, 1), QStringLiteral("0000041"));
        QCOMPARE(r.text(0, 2), QStringLiteral("0000100"));
        QCOMPARE(counter(), QStringLiteral("0000101"));
    }
};

QTEST_MAIN(tst_add_auther)
#include "tst_add_auther.moc"
