#include "rules/reports/Fonts.h"

#include <QGuiApplication>

namespace reports {

namespace {
const QString face = QStringLiteral("MS Sans Serif");
}

void substituteThaiFaces() {
    QFont::insertSubstitutions(face, {QStringLiteral("Loma"), QStringLiteral("Tahoma"), QStringLiteral("Garuda"),
                                      QStringLiteral("Norasi"), QStringLiteral("DejaVu Sans")});
}

void installThaiFonts() {
    substituteThaiFaces();
    QGuiApplication::setFont(thaiFont(9));
}

QFont thaiFont(double pointSize, bool bold) {
    QFont f(face);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

} // namespace reports
