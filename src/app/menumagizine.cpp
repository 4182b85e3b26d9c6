#include "app/menumagizine.h"
#include "data/SaveGate.h"

#include "app/HistoryStrip.h"
#include "app/HomePanel.h"
#include "app/MenuTable.h"
#include "app/Permissions.h"
#include "app/Windows.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "rules/reports/Fonts.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/ProgramIcon.h"
#include "forms/common/ProgramState.h"
#include "forms/common/SignIn.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTcpSocket>

namespace app {

namespace {
menumagizine* theMainWindow = nullptr;

// The desktop's opener started is not a browser started: a browser that cannot start (none set,
// or one refusing to run) ends xdg-open with an error within moments, while one that starts
// keeps it waiting or lets it end well.
bool openInBrowser(const QUrl& url) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return QDesktopServices::openUrl(url);
    auto* p = new QProcess;
    QObject::connect(p, &QProcess::finished, p, &QObject::deleteLater);
    p->start(opener, {url.toString()});
    if (!p->waitForStarted(3000)) {
        p->deleteLater();
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ended = p->waitForFinished(2500);
    QApplication::restoreOverrideCursor();
    return !ended || (p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0);
}
constexpr int panelWidth = 1440 / 15; // twips to pixels at 96 dpi
} // namespace

menumagizine::menumagizine(QWidget* parent) : QMainWindow(parent), area_(new QMdiArea(this)), openUrl_(openInBrowser) {
    setObjectName(QStringLiteral("menumagizine"));
    // The program's own icon for this window and, through the application, every other.
    QApplication::setWindowIcon(forms::programIcon());
    setWindowIcon(QApplication::windowIcon());
    setWindowTitle(QStringLiteral("โปรแกรมระบบงานวารสาร ศูนย์วิทยบริการ Velmoria "));
    area_->setObjectName(QStringLiteral("mdiArea"));
    area_->setBackground(QColor(192, 192, 192));
    setCentralWidget(area_);
    registry_ = new WindowRegistry(area_, this);
    connect(registry_, &WindowRegistry::statusSaid, this, [this](int number, const QString& text, int widthTwips) {
        QLabel* panel = statusPanel(number);
        if (panel && widthTwips > 0)
            panel->setMinimumWidth(widthTwips / 15);
        if (panel && !text.isNull())
            panel->setText(text);
    });

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFont(reports::thaiFont(8.25, true));
        panel->setMinimumWidth(panelWidth);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel);
        panels_[i] = panel;
    }
    signedIn_ = new QLabel(bar);
    signedIn_->setObjectName(QStringLiteral("lblSignedIn"));
    signedIn_->setFont(reports::thaiFont(8.25, true));
    bar->addPermanentWidget(signedIn_);
    registry_->setPreparer([](const QString& kind, QWidget* w) {
        restrictWindow(kind, w, data::currentStaff());
        if (const forms::Declaration* d = declarationOf(kind); d && !d->history.table.isEmpty())
            HistoryStrip::attach(d->history, w);
    });
    askSignIn_ = [](QWidget* parent, data::ConnectionSettings& db, data::SignedIn& who) {
        const data::SignedIn& last = data::currentStaff();
        forms::SignInDialog dialog(db, last.account.isEmpty() ? db.user : last.name(), parent);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        db = dialog.settings();
        who = dialog.who();
        return true;
    };
    connect(registry_, &WindowRegistry::created, this, [this](const QString&, QWidget* w) {
        if (auto* home = qobject_cast<HomePanel*>(w))
            home->setOpener([this](const QString& kind, const QString& key) { showOn(kind, key); });
    });
    buildMenu();
    resize(1024, 700);
    theMainWindow = this;
    forms::setWindowOpener([this](const QString& kind) { return registry_->show(kind); });
}

menumagizine::~menumagizine() {
    if (theMainWindow == this) {
        theMainWindow = nullptr;
        forms::setWindowOpener({});
    }
}

menumagizine* menumagizine::instance() {
    return theMainWindow;
}

QLabel* menumagizine::statusPanel(int number) const {
    return (number == 1 || number == 2) ? panels_[number - 1] : nullptr;
}

void menumagizine::buildMenu() {
    QMenu* parents[4] = {nullptr, nullptr, nullptr, nullptr};
    for (const MenuEntry& e : mainMenu()) {
        QAction* action = nullptr;
        if (e.action == MenuEntry::Action::Submenu) {
            QMenu* menu = e.level == 1 ? menuBar()->addMenu(e.caption) : parents[e.level - 1]->addMenu(e.caption);
            menu->setObjectName(e.name);
            parents[e.level] = menu;
            action = menu->menuAction();
        } else if (e.level == 1) {
            action = menuBar()->addAction(e.caption);
        } else {
            action = parents[e.level - 1]->addAction(e.caption);
        }
        action->setObjectName(e.name);
        switch (e.action) {
        case MenuEntry::Action::Submenu:
            break;
        case MenuEntry::Action::Hidden:
            action->setVisible(false);
            action->setEnabled(false);
            break;
        case MenuEntry::Action::Window: {
            const forms::Declaration* d = declarationForMenu(e.name);
            const QString kind = d ? d->kind : QString();
            connect(action, &QAction::triggered, this, [this, kind] { registry_->show(kind); });
            break;
        }
        case MenuEntry::Action::Web: {
            const QString path = e.target;
            connect(action, &QAction::triggered, this, [this, path] { openReportPage(path); });
            break;
        }
        case MenuEntry::Action::SignIn:
            connect(action, &QAction::triggered, this, &menumagizine::switchUser);
            break;
        case MenuEntry::Action::Exit:
            connect(action, &QAction::triggered, this, &QWidget::close);
            break;
        }
    }
    refreshMenu();
}

// A report page goes to the browser only when its server answers: otherwise the browser would
// say the site cannot be reached, or nothing at all would happen. No query string: the pages
// take no parameter from the program.
void menumagizine::openReportPage(const QString& path) {
    const QUrl url(data::joinUrl(data::installation().reportRoot, path));
    const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    QString problem;
    if (!url.isValid() || !web || url.host().isEmpty()) {
        problem =
            QStringLiteral("ยังไม่ได้กำหนดที่อยู่ของเครื่องแม่ข่ายรายงาน (ที่กำหนดไว้: \"%1\")").arg(data::installation().reportRoot);
    } else {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QTcpSocket probe;
        probe.connectToHost(url.host(), quint16(url.port(url.scheme() == QLatin1String("https") ? 443 : 80)));
        if (!probe.waitForConnected(3000))
            problem = QStringLiteral("ติดต่อเครื่องแม่ข่ายรายงาน %1 ไม่ได้ (%2)").arg(url.authority(), probe.errorString());
        QApplication::restoreOverrideCursor();
    }
    if (problem.isEmpty() && openUrl_(url))
        return;
    if (problem.isEmpty())
        problem = QStringLiteral("เปิดเว็บเบราว์เซอร์ไม่ได้ กรุณาเปิดที่อยู่นี้ด้วยเบราว์เซอร์เอง\n%1").arg(url.toString());
    else
        problem += QStringLiteral("\nกรุณาตรวจสอบค่า [reports] root ในแฟ้มตั้งค่า warasan.ini "
                                  "(หรือตัวแปร WARASAN_REPORT_ROOT) และเครื่องแม่ข่ายรายงาน warasan-web");
    forms::inform(this, problem, QStringLiteral("เปิดรายงานไม่ได้"), forms::Icon::Critical);
}

QWidget* menumagizine::showOn(const QString& kind, const QString& key) {
    QWidget* w = nobody_ ? nullptr : registry_->show(kind);
    if (const forms::Declaration* d = declarationOf(kind); w && d && d->openOn)
        d->openOn(w, key);
    return w;
}

void menumagizine::refreshMenu() {
    for (const MenuEntry& e : mainMenu()) {
        if (e.action != MenuEntry::Action::Window)
            continue;
        // Windows that are not part of this build yet are shown but cannot be chosen.
        const forms::Declaration* d = declarationForMenu(e.name);
        if (auto* action = findChild<QAction*>(e.name))
            action->setEnabled(d && registry_->has(d->kind) && !nobody_);
    }
}

void menumagizine::showSignedIn(const data::SignedIn* who) {
    nobody_ = !who;
    if (!who) {
        signedIn_->setText(QStringLiteral("ยังไม่ได้เข้าสู่ระบบ"));
    } else {
        QStringList roles;
        for (data::Role r : data::allRoles())
            if (who->roles.contains(r))
                roles << data::roleCaption(r);
        signedIn_->setText(QStringLiteral("ผู้ใช้: %1 (%2)")
                               .arg(who->name(), who->allRoles ? QStringLiteral("ทุกบทบาท")
                                                 : roles.isEmpty() ? QStringLiteral("อ่านอย่างเดียว")
                                                                   : roles.join(QStringLiteral(", "))));
        signedIn_->setToolTip(who->account);
    }
    refreshMenu();
}

bool menumagizine::switchUser() {
    if (!registry_->closeAll())
        return false;
    // Signed out before anyone else signs in: the password goes from memory with the account.
    data::InstallationConfig config = data::installation();
    config.db.password.clear();
    config.db.hasPassword = false;
    data::setInstallation(config);
    showSignedIn(nullptr);
    data::SignedIn who;
    if (!askSignIn_(this, config.db, who))
        return false;
    data::setInstallation(config);
    data::setCurrentStaff(who);
    showSignedIn(&who);
    return true;
}

void menumagizine::closeEvent(QCloseEvent* event) {
    // Each child runs its own close handling; one that refuses keeps the program open.
    area_->closeAllSubWindows();
    if (!area_->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
}

void menumagizine::checkDatabase() {
    try {
        data::Connection c(data::installation().db);
        c.open();
        if (const QString refusal = data::saveRefusal(c); !refusal.isEmpty())
            forms::inform(this, refusal, QStringLiteral("ฐานข้อมูลอ่านอย่างเดียว"), forms::Icon::Warning);
    } catch (const data::DbError&) {
        // each window says so when it needs the database
    }
}

} // namespace app
