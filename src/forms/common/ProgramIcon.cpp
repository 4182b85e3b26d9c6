#include "forms/common/ProgramIcon.h"

#include "rules/reports/Fonts.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace forms {

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        // The cover, its spine darker, the pages' edge showing at the right.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(245, 240, 225));
        p.drawRoundedRect(QRectF(14, 6, 44, 54), 3, 3);
        p.setBrush(QColor(0, 0, 128));
        p.drawRoundedRect(QRectF(8, 4, 44, 54), 4, 4);
        p.setBrush(QColor(0, 0, 80));
        p.drawRect(QRectF(8, 4, 8, 54));
        // The title label with the program's letter.
        p.setBrush(QColor(255, 255, 192));
        p.drawRoundedRect(QRectF(21, 14, 26, 30), 3, 3);
        QFont f = reports::thaiFont(10, true);
        f.setPixelSize(24);
        p.setFont(f);
        p.setPen(QColor(0, 0, 128));
        p.drawText(QRectF(21, 12, 26, 32), Qt::AlignCenter, QStringLiteral("ว"));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace forms
