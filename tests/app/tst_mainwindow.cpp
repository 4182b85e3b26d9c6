// The main window: its menu as the staff know it, the one-window-per-kind registry, the
// web entries and what happens when a window cannot load.
#include "app/MenuTable.h"
#include "app/Windows.h"
#include "app/menumagizine.h"
#include "data/Config.h"
#include "data/DbError.h"
#include "forms/common/Fonts.h"
#include "support/ScriptedMessages.h"
#include "support/TestServer.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
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
    void cleanupTestCase() { QCOMPARE(countWindows(), 0); }
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

    void webEntriesOpenRootAndPath() {
        const char* rows[][2] = {{"jour_all", "rpt_journal/rpt_journal_all.php"},
                                 {"jour_dep", "rpt_journal/rpt_journal_department.php"},
                                 {"rpt_regis", "rpt_journal/rpt_regis_journal.php"},
                                 {"bbbb", "rpt_journal/main_sum_journal.php"},
                                 {"ffff", "rpt_journal/rpt_index_journal.php"},
                                 {"aaaaaa", "main_search_journal.asp"},
                                 {"journal_refer", "rpt_journal/main_refer_journal.php"}};
        for (const auto& [entry, path] : rows) {
            opened.clear();
            QAction* a = action(entry);
            QVERIFY(a && a->isEnabled());
            a->trigger();
            QCOMPARE(opened.size(), 1);
            QCOMPARE(opened.first().toString(), QStringLiteral("http://intranet.library/serial/") + QLatin1String(path));
        }
    }

    // Every working window, opened from its menu entry on a 1024x768 screen, lies wholly inside
    // the working area (a second one too), every button can be reached, grids grow with the
    // window, and its own Exit button closes the frame: the next opening is one fresh window.
    void realWindowsOnSmallScreens_data() {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("1024x768") << QSize(1024, 768);
        QTest::newRow("800x600: windows scroll in their frames") << QSize(800, 600);
    }
    void realWindowsOnSmallScreens() {
        QFETCH(QSize, screen);
        testsupport::TestDatabase db(QStringLiteral("mainwindow"));
        ScriptedMessages boxes;
        main->resize(screen);
        app::registerWindows(main->windows());
        main->refreshMenu();
        const char* windows[][4] = {{"aaa", "New_Journal", "Command6", "dcbtypemag"},
                                    {"ccc", "reg_journal", "Command5", "show_item"},
                                    {"addnew_index", "index_journal", "Command2", "Text2"},
                                    {"i", "Adddealer", "Command3", "Text2"},
                                    {"m_auth", "add_auther", "Command1", "Text2"}};
        for (const auto& [entry, kind, exitName, anyField] : windows) {
            const QString k = QString::fromLatin1(kind);
            action(entry)->trigger();
            QPointer<QWidget> w = main->windows().find(k);
            QVERIFY2(w && w->findChild<QWidget*>(QLatin1String(anyField)), kind);
            const bool child = main->area()->isAncestorOf(w);
            const QRect bounds = child ? QRect(QPoint(0, 0), main->area()->viewport()->size())
                                       : main->screen()->availableGeometry();
            QWidget* frame = child ? static_cast<QWidget*>(main->area()->activeSubWindow()) : w.data();
            QVERIFY2(bounds.contains(child ? frame->geometry() : frame->frameGeometry()), kind);
            // Reachable: inside what shows of the window, after scrolling to it where it scrolls.
            auto* scroller = qobject_cast<QScrollArea*>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr);
            QWidget* shown = scroller ? scroller->viewport() : w.data();
            for (QPushButton* b : w->findChildren<QPushButton*>()) {
                if (!b->isVisibleTo(w))
                    continue;
                if (scroller)
                    scroller->ensureWidgetVisible(b, 0, 0);
                const QRect at(b->mapTo(shown, QPoint(0, 0)), b->size());
                QVERIFY2(QRect(QPoint(0, 0), shown->size()).contains(at), qPrintable(k + QLatin1Char(' ') + b->objectName()));
                QVERIFY2(b->mapTo(frame, QPoint(0, 0)).y() + b->height() <= frame->height(), qPrintable(b->objectName()));
            }
            if (k == QLatin1String("reg_journal") && screen.width() >= 1024) {
                auto* grid = w->findChild<QTableWidget*>(QStringLiteral("show_item"));
                const int before = grid->height();
                frame->resize(frame->width(), frame->height() + 120);
                QCoreApplication::processEvents();
                QVERIFY2(grid->height() > before, "the grid did not grow with the window");
            }
            QTest::mouseClick(w->findChild<QPushButton*>(QLatin1String(exitName)), Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(w.isNull(), kind);
            QCOMPARE(main->area()->subWindowList().size(), 0);
            action(entry)->trigger();
            action(entry)->trigger();
            QVERIFY(main->windows().find(k) && main->windows().find(k) != w);
            QCOMPARE(main->area()->subWindowList().size(), child ? 1 : 0);
            if (child)
                action("ccc")->trigger(); // a second window on top of the first
            for (QMdiSubWindow* sub : main->area()->subWindowList())
                QVERIFY2(QRect(QPoint(0, 0), main->area()->viewport()->size()).contains(sub->geometry()), kind);
            for (QMdiSubWindow* sub : main->area()->subWindowList())
                sub->close();
            main->windows().find(k) ? main->windows().find(k)->close() : false;
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY(boxes.boxes.isEmpty());
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
        QCOMPARE(main->area()->activeSubWindow()->widget(), first); // it fits: no scrolling frame

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
