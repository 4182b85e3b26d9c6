#include "data/Dates.h"

#include <QRegularExpression>

namespace data {

std::optional<QDate> parseDate(const QString& text) {
    static const QRegularExpression dayFirst(QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{4})$"));
    static const QRegularExpression yearFirst(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QString t = text.trimmed();
    QDate d;
    if (const auto m = dayFirst.match(t); m.hasMatch())
        d = QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    else if (const auto m2 = yearFirst.match(t); m2.hasMatch())
        d = QDate(m2.captured(1).toInt(), m2.captured(2).toInt(), m2.captured(3).toInt());
    // Year 0 does not exist in the proleptic calendar; the server keeps years 1000 to 9999.
    if (!d.isValid() || d.year() < 1000)
        return std::nullopt;
    return d;
}

QString formatDate(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString isoDate(const QDate& date) {
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

} // namespace data
