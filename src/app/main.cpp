#include "app/Windows.h"
#include "app/menumagizine.h"
#include "data/Config.h"
#include "rules/reports/Fonts.h"
#include "forms/common/MessageBoxes.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    // Answered without a display, for the package's tools and the manual page.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("warasan %s\n", WARASAN_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: warasan [--version] [--help]\n"
                        "Warasan, the serials desk of the library: the register of journal and newspaper titles, "
                        "issue check-in,\nthe article index, bound volumes, renewals and the printed lists.\n\n"
                        "The library's database is read from /etc/xdg/warasan/warasan.ini and "
                        "~/.config/warasan/warasan.ini,\nor from WARASAN_SERVER, WARASAN_PORT, WARASAN_DATABASE, "
                        "WARASAN_USER and WARASAN_PASSWORD.\n\n"
                        "  --help       Displays this help.\n"
                        "  --version    Displays version information.\n");
            return 0;
        }
    }
#ifdef Q_OS_LINUX
    // Without a display Qt would abort with a terse message; say what is wrong instead.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("warasan: ไม่พบจอภาพ (no display): run it in a desktop session, where DISPLAY or "
                   "WAYLAND_DISPLAY is set.\n",
                   stderr);
        return 3;
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("warasan"));
    QApplication::setOrganizationName(QStringLiteral("warasan"));
    // Fusion honours the windows' own colours (locked grey, editing yellow) on every desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));
    reports::installThaiFonts();

    bool fatal = false;
    const QStringList problems = data::configurationProblems(&fatal);
    for (const QString& p : problems)
        std::fprintf(stderr, "warasan: %s\n", qPrintable(p));
    if (!problems.isEmpty())
        forms::inform(nullptr, problems.join(QStringLiteral("\n\n")), QStringLiteral("การตั้งค่าโปรแกรม"),
                      fatal ? forms::Icon::Critical : forms::Icon::Warning);
    if (fatal)
        return 2;

    app::menumagizine window;
    app::registerWindows(window.windows());
    window.refreshMenu();
    window.showSignedIn(nullptr);
    window.showMaximized(); // the working windows share its whole area on the desk's screen
    // Each person signs in with their own account; nobody signing in ends the program. Then a
    // database that would keep half of a failed save takes none: say so before anyone types.
    QTimer::singleShot(0, &window, [&window] {
        if (!window.switchUser()) {
            QApplication::quit();
            return;
        }
        window.checkDatabase();
        window.windows().show(QStringLiteral("HomePanel")); // the day's work at a glance
    });
    return QApplication::exec();
}
