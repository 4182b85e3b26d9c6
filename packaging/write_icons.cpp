// Writes the program's icon, as the windows draw it, as PNG files for the desktop's icon theme:
//   warasan-icons FOLDER   →   FOLDER/<size>x<size>/apps/warasan.png
#include "rules/reports/Fonts.h"
#include "forms/common/ProgramIcon.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: warasan-icons FOLDER\n");
        return 2;
    }
    reports::installThaiFonts();
    const QIcon icon = forms::programIcon();
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(dir) || !icon.pixmap(size, size).save(dir + QStringLiteral("/warasan.png"))) {
            std::fprintf(stderr, "warasan-icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
