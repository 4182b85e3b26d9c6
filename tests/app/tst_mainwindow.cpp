// The main window: its menu as the staff know it, the one-window-per-kind registry, the
// web entries and what happens when a window cannot load.
#include "app/MenuTable.h"
#include "app/Windows.h"
#include "app/menumagizine.h"
#include "data/Config.h"
#include "data/DbError.h"
#include "forms/common/Fonts.h"
#include "support/ScriptedMessages.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

using testsupport::ScriptedMessages;

namespace {

// Every entry as "level name caption", in menu order, walked from the menu bar itself.
void walk(const QList<QAction*>& actions, int level, QStringList& out) {
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        out << QStringLiteral("%1 %2 %3").arg(level).arg(a->objectName(), a->text());
        if (a->menu())
            walk(a->menu()->actions(), level + 1, out);
    }
}

int countWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            ++n;
    return n;
}

} // namespace

class tst_mainwindow : public QObject {
    Q_OBJECT
    std::unique_ptr<app::menumagizine> main;
    QList<QUrl> opened;
    int made = 0;

    QAction* action(const char* name) { return main->findChild<QAction*>(QLatin1String(name)); }

private slots:
    void initTestCase() { forms::installThaiFonts(); }
    void init() {
        data::InstallationConfig config = data::installation();
        config.reportRoot = QStringLiteral("http://intranet.library/serial/");
        data::setInstallation(config);
        main = std::make_unique<app::menumagizine>();
        opened.clear();
        made = 0;
        main->setUrlOpener([this](const QUrl& u) { opened << u; });
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup() {
        main.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(countWindows(), 0); // nothing leaked
    }

    void frame() {
        QCOMPARE(main->windowTitle(), QStringLiteral("โปรแกรมระบบงานวารสาร ศูนย์วิทยบริการ Velmoria "));
        QCOMPARE(main->area()->background().color(), QColor(192, 192, 192));
        QStatusBar* bar = main->findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
        QVERIFY(bar);
        for (int i : {1, 2}) {
            QLabel* panel = main->statusPanel(i);
            QVERIFY(panel && bar->isAncestorOf(panel));
            QVERIFY(panel->font().bold());
            QCOMPARE(panel->font().pointSizeF(), 8.25);
            QCOMPARE(panel->minimumWidth(), 96);
            QVERIFY(panel->text().isEmpty());
        }
    }

    void menuIsCompleteAndInOrder() {
        QStringList got;
        walk(main->menuBar()->actions(), 1, got);
        const QStringList expected = {
            "1 maindt กำหนดค่า",
            "2 m_auth ผู้แต่ง",
            "2 i สำนักพิมพ์",
            "1 Inputdata บันทึกข้อมูล",
            "2 aaa เพิ่ม/แก้ไข ข้อมูลวารสาร",
            "2 ccc ลงทะเบียนวารสาร",
            "2 index_j บันทึกครรชนีวารสาร",
            "3 addnew_index บันทึกดรรชนีวารสารใหม่",
            "3 edit_index แก้ไขดรรชนีวารสาร",
            "2 ddd วารสารรวมเล่ม",
            "2 article_ctrl เลขทะเบียนดรรชนีวารสาร",
            "2 jjjj ต่ออุายวารสาร",
            "1 reportjounal รายงาน",
            "2 cccc รายงานรายชื่อวารสาร",
            "3 jour_all ทั้งหมด",
            "3 jour_dep แยกตามคณะวิชา",
            "2 rpt_regis รายงานการลงทะเบียนวารสาร",
            "2 rep_journal_survey รายงานสำหรับสำรวจวารสาร",
            "2 bbbb รายงานรายชื่อวาวรสารส่งเย็บเล่ม",
            "2 ffff รายงานการบันทึกดรรรชนีวารสาร",
            "2 chk_recei ตรวจสอบการรับวารสาร",
            "2 aaaa พิมพ์บัตรดัชนีวารสาร",
            "1 search_journal สืบค้นข้อมูล",
            "2 aaaaaa สืบค้นดรรชนีวารสาร",
            "2 journal_refer สืบค้นดรรชนีวารสาร(รูปแบบบรรณานุกรม)",
            "1 menuexit ออกจากโปรแกรม",
        };
        QCOMPARE(got, expected);
    }

    void hiddenEntryCanNeverBeChosen() {
        QAction* a = action("aaaa");
        QVERIFY(a);
        QVERIFY(!a->isVisible());
        QVERIFY(!a->isEnabled());
        a->trigger(); // a disabled action ignores the trigger
        QVERIFY(opened.isEmpty());
        QCOMPARE(main->area()->subWindowList().size(), 0);
    }

    void entriesWithSubitemsDoNothing() {
        for (const char* name : {"maindt", "Inputdata", "index_j", "reportjounal", "cccc", "search_journal"}) {
            QAction* a = action(name);
            QVERIFY2(a && a->menu(), name);
            a->trigger();
        }
        QVERIFY(opened.isEmpty());
        QCOMPARE(main->area()->subWindowList().size(), 0);
        QVERIFY(main->isVisible());
    }

    void webEntriesOpenRootAndPath_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("url");
        const QString root = QStringLiteral("http://intranet.library/serial/");
        QTest::newRow("jour_all") << "jour_all" << root + "rpt_journal/rpt_journal_all.php";
        QTest::newRow("jour_dep") << "jour_dep" << root + "rpt_journal/rpt_journal_department.php";
        QTest::newRow("rpt_regis") << "rpt_regis" << root + "rpt_journal/rpt_regis_journal.php";
        QTest::newRow("bbbb") << "bbbb" << root + "rpt_journal/main_sum_journal.php";
        QTest::newRow("ffff") << "ffff" << root + "rpt_journal/rpt_index_journal.php";
        QTest::newRow("aaaaaa") << "aaaaaa" << root + "main_search_journal.asp";
        QTest::newRow("journal_refer") << "journal_refer" << root + "rpt_journal/main_refer_journal.php";
    }
    void webEntriesOpenRootAndPath() {
        QFETCH(QString, entry);
        QFETCH(QString, url);
        QAction* a = action(entry.toLatin1().constData());
        QVERIFY(a && a->isEnabled());
        a->trigger();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().toString(), url);
        QVERIFY(!opened.first().hasQuery());
    }

    void onlyBuiltWindowsCanBeChosen() {
        app::registerWindows(main->windows());
        main->refreshMenu();
        int windowEntries = 0;
        for (const app::MenuEntry& e : app::mainMenu()) {
            if (e.action != app::MenuEntry::Action::Window)
                continue;
            ++windowEntries;
            QAction* a = action(e.name.toLatin1().constData());
            QVERIFY2(a, qPrintable(e.name));
            QCOMPARE(a->isEnabled(), main->windows().has(e.target));
        }
        QCOMPARE(windowEntries, 11);
    }

    void oneInstancePerKind() {
        main->windows().add(QStringLiteral("reg_journal"), app::WindowRegistry::Placement::Child, [this] {
            ++made;
            auto* w = new QWidget;
            w->setObjectName(QStringLiteral("reg_journal"));
            return w;
        });
        main->refreshMenu();
        QVERIFY(action("ccc")->isEnabled());

        action("ccc")->trigger();
        QWidget* first = main->windows().find(QStringLiteral("reg_journal"));
        QVERIFY(first);
        action("ccc")->trigger(); // only brought forward, not loaded again
        QCOMPARE(made, 1);
        QCOMPARE(main->area()->subWindowList().size(), 1);
        QCOMPARE(main->windows().find(QStringLiteral("reg_journal")), first);
        QCOMPARE(main->area()->activeSubWindow()->widget(), first);

        main->area()->activeSubWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main->windows().find(QStringLiteral("reg_journal")));
        action("ccc")->trigger(); // created afresh after closing
        QCOMPARE(made, 2);
        QCOMPARE(main->area()->subWindowList().size(), 1);
    }

    void topLevelWindowsAreCentred() {
        main->windows().add(QStringLiteral("Adddealer"), app::WindowRegistry::Placement::CentredOnScreen, [] {
            auto* w = new QWidget;
            w->resize(400, 300);
            return w;
        });
        main->refreshMenu();
        action("i")->trigger();
        QWidget* w = main->windows().find(QStringLiteral("Adddealer"));
        QVERIFY(w && w->isWindow() && w->isVisible());
        QVERIFY(!main->area()->isAncestorOf(w));
        const QPoint screenCentre = main->screen()->availableGeometry().center();
        QVERIFY((w->frameGeometry().center() - screenCentre).manhattanLength() <= 4);
    }

    void failedLoadIsReportedAndProgramGoesOn() {
        ScriptedMessages boxes;
        main->windows().add(QStringLiteral("New_Journal"), app::WindowRegistry::Placement::Child, []() -> QWidget* {
            throw data::DbError(2003, QStringLiteral("HY000"),
                                QStringLiteral("Can't connect to server on 'db.library'"));
        });
        main->refreshMenu();
        action("aaa")->trigger();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.last().icon, forms::Icon::Critical);
        QVERIFY(boxes.last().prompt.contains(QStringLiteral("2003")));
        QVERIFY(boxes.last().prompt.contains(QStringLiteral("db.library")));
        QCOMPARE(main->area()->subWindowList().size(), 0);
        QVERIFY(!main->windows().find(QStringLiteral("New_Journal")));
        // The menu still works.
        action("jour_all")->trigger();
        QCOMPARE(opened.size(), 1);
    }

    void exitClosesChildrenButNotTopLevelWindows() {
        main->windows().add(QStringLiteral("reg_journal"), app::WindowRegistry::Placement::Child,
                            [] { return new QWidget; });
        main->windows().add(QStringLiteral("add_auther"), app::WindowRegistry::Placement::CentredOnScreen,
                            [] { return new QWidget; });
        main->windows().show(QStringLiteral("reg_journal"));
        QPointer<QWidget> child = main->windows().find(QStringLiteral("reg_journal"));
        QPointer<QWidget> author = main->windows().show(QStringLiteral("add_auther"));
        action("menuexit")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main->isVisible());
        QVERIFY(child.isNull());
        QVERIFY(author && author->isVisible()); // the program lives on until this one closes too
        author->close();
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
