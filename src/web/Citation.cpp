#include "web/Citation.h"

namespace web {

QString reference(const Citation& c, bool english) {
    QStringList names = c.authors;
    QString authors;
    if (names.size() > 1) {
        const QString last = names.takeLast();
        authors =
            names.join(QStringLiteral(", ")) + (english ? QStringLiteral(", & ") : QStringLiteral(" และ ")) + last;
    } else {
        authors = names.value(0);
    }
    const QString year = c.year > 0 ? QString::number(english ? c.year : c.year + 543)
                                    : (english ? QStringLiteral("n.d.") : QStringLiteral("ม.ป.ป."));
    QString out = authors.isEmpty() ? QString() : authors + QStringLiteral(". ");
    out += QStringLiteral("(%1). %2.").arg(year, c.title.trimmed());
    if (!c.journal.isEmpty()) {
        out += QLatin1Char(' ') + c.journal;
        if (!c.yearNo.isEmpty())
            out += QStringLiteral(", ") + c.yearNo;
        if (!c.number.isEmpty())
            out += QStringLiteral("(%1)").arg(c.number);
        if (!c.pages.isEmpty())
            out += QStringLiteral(", ") + c.pages;
        out += QLatin1Char('.');
    }
    return out;
}

} // namespace web
