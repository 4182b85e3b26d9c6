// The main window: its menu as the staff know it, its web entries, and a window that cannot load.
#include "app/MenuTable.h"
#include "app/menumagizine.h"
#include "data/Config.h"
#include "data/DbError.h"
#include "rules/reports/Fonts.h"
#include "support/ScriptedMessages.h"

namespace {
// Every entry as "level name caption", in menu order, walked from the menu bar itself.
void walk(const QList<QAction*>& actions, int level, QStringList& out) {
    for (QAction* a : actions) {
        if (!a->isSeparator())
            out << u"%1 %2 %3"_s.arg(level).arg(a->objectName(), a->text());
        if (a->menu())
            walk(a->menu()->actions(), level + 1, out);
    }
}
int visibleWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->isVisible();
    return n;
}
} // namespace

class tst_mainwindow : public QObject {
    Q_OBJECT
    std::unique_ptr<app::menumagizine> main;
    QList<QUrl> opened;
    bool browser = true;

    QAction* action(const char* name) { return main->findChild<QAction*>(QLatin1String(name)); }

private slots:
    void initTestCase() { reports::installThaiFonts(); }
    void init() {
        data::InstallationConfig config = data::installation();
        config.reportRoot = u"http://127.0.0.1:1/serial/"_s; // nothing listens there
        data::setInstallation(config);
        main = std::make_unique<app::menumagizine>();
        opened.clear();
        browser = true;
        main->setUrlOpener([this](const QUrl& u) {
            opened << u;
            return browser;
        });
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanup() {
        main.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(visibleWindows(), 0); // nothing leaked
    }

    void frameAndMenu() {
        QCOMPARE(main->windowTitle(), u"โปรแกรมระบบงานวารสาร ศูนย์วิทยบริการ Velmoria "_s);
        QStringList got;
        walk(main->menuBar()->actions(), 1, got);
        QCOMPARE(got.join(u';'),
                 QStringLiteral("1 home งานวันนี้;1 maindt กำหนดค่า;2 m_auth ผู้แต่ง;2 i สำนักพิมพ์;1 Inputdata บันทึกข้อมูล;"
                                "2 aaa เพิ่ม/แก้ไข ข้อมูลวารสาร;2 ccc ลงทะเบียนวารสาร;2 pattern รูปแบบการออกของวารสาร;"
                                "2 index_j บันทึกครรชนีวารสาร;"
                                "3 addnew_index บันทึกดรรชนีวารสารใหม่;3 edit_index แก้ไขดรรชนีวารสาร;2 ddd วารสารรวมเล่ม;"
                                "2 article_ctrl เลขทะเบียนดรรชนีวารสาร;2 jjjj ต่ออุายวารสาร;2 readers ผู้รับแจ้งวารสารฉบับใหม่;"
                                "2 claims ทวงถามวารสาร;"
                                "1 reportjounal รายงาน;"
                                "2 cccc รายงานรายชื่อวารสาร;3 jour_all ทั้งหมด;3 jour_dep แยกตามคณะวิชา;"
                                "2 rpt_regis รายงานการลงทะเบียนวารสาร;2 rep_journal_survey รายงานสำหรับสำรวจวารสาร;"
                                "2 bbbb รายงานรายชื่อวาวรสารส่งเย็บเล่ม;2 ffff รายงานการบันทึกดรรรชนีวารสาร;"
                                "2 chk_recei ตรวจสอบการรับวารสาร;2 history_rep ประวัติการแก้ไขข้อมูล;2 stats สถิติ;"
                                "2 aaaa พิมพ์บัตรดัชนีวารสาร;1 search_journal สืบค้นข้อมูล;"
                                "2 aaaaaa สืบค้นดรรชนีวารสาร;2 journal_refer สืบค้นดรรชนีวารสาร(รูปแบบบรรณานุกรม);"
                                "1 menusignin เปลี่ยนผู้ใช้;1 menuexit ออกจากโปรแกรม"));
    }

    void failedLoadIsReportedAndProgramGoesOn() {
        ScriptedMessages boxes;
        main->windows().add(u"New_Journal"_s, app::WindowRegistry::Placement::Child, []() -> QWidget* {
            throw data::DbError(2003, u"HY000"_s, u"Can't connect to server on 'db.library'"_s);
        });
        main->refreshMenu();
        action("aaa")->trigger();
        QCOMPARE(boxes.boxes.size(), 1);
        QVERIFY(
            boxes.last().prompt.split(u'\n').contains(u"รหัสข้อผิดพลาด 2003: Can't connect to server on 'db.library'"_s));
        QVERIFY(main->area()->subWindowList().isEmpty() && !main->windows().find(u"New_Journal"_s));
        action("jour_all")->trigger(); // the menu still works
        QCOMPARE(boxes.boxes.size(), 2);
    }

    // A report page with no server answering, no server set, or no browser starting: said in
    // Thai, naming the setting or the address; the browser is given only an address that answers.
    void reportPagesSayWhyTheyDoNotOpen() {
        ScriptedMessages boxes;
        QTcpServer web;
        QVERIFY(web.listen(QHostAddress::LocalHost));
        const QString answers = u"http://127.0.0.1:%1/"_s.arg(web.serverPort());
        QStringList said;
        for (const QString& root : {u"http://127.0.0.1:1/serial/"_s, u"intranet/serial"_s, answers, answers}) {
            data::InstallationConfig config = data::installation();
            config.reportRoot = root;
            data::setInstallation(config);
            browser = said.size() != 3;
            const qsizetype before = boxes.boxes.size();
            action("jour_all")->trigger();
            said << (boxes.boxes.size() > before ? boxes.last().said().section(u' ', 0, 1) : u"-"_s);
        }
        QCOMPARE(said.join(u'|'), u"เปิดรายงานไม่ได้: ติดต่อเครื่องแม่ข่ายรายงาน|เปิดรายงานไม่ได้: "
                                  "ยังไม่ได้กำหนดที่อยู่ของเครื่องแม่ข่ายรายงาน|-|เปิดรายงานไม่ได้: เปิดเว็บเบราว์เซอร์ไม่ได้"_s);
        QVERIFY(boxes.boxes.first().prompt.contains(u"[reports] root"_s));
        QCOMPARE(opened.first().toString(), answers + u"rpt_journal/rpt_journal_all.php"_s);
    }
};

WARASAN_TEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
