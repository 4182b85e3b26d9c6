#include "data/Dates.h"

#include <QRegularExpression>
#include <atomic>

namespace data {

namespace {
std::atomic<Era> era{Era::Common};
constexpr int buddhistOffset = 543;
// No common-era year a library registers is this large, and every Buddhist-era year of the
// last four centuries is.
constexpr int firstBuddhistYear = 2400;
} // namespace

std::optional<QDate> parseDate(const QString& text) {
    static const QRegularExpression dayFirst(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    static const QRegularExpression yearFirst(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QString t = text.trimmed();
    int y = 0, m = 0, d = 0;
    if (const auto a = dayFirst.match(t); a.hasMatch()) {
        d = a.captured(1).toInt();
        m = a.captured(2).toInt();
        y = a.captured(3).toInt();
        if (y >= firstBuddhistYear)
            y -= buddhistOffset;
    } else if (const auto b = yearFirst.match(t); b.hasMatch()) {
        y = b.captured(1).toInt();
        m = b.captured(2).toInt();
        d = b.captured(3).toInt();
    } else {
        return std::nullopt;
    }
    const QDate date(y, m, d);
    // Year 0 does not exist in the proleptic calendar; the server keeps years 1000 to 9999.
    if (!date.isValid() || date.year() < 1000)
        return std::nullopt;
    return date;
}

Era displayEra() {
    return era.load();
}

void setDisplayEra(Era e) {
    era.store(e);
}

int shownYear(int commonEraYear) {
    return displayEra() == Era::Buddhist ? commonEraYear + buddhistOffset : commonEraYear;
}

QString formatDate(const QDate& date) {
    if (!date.isValid())
        return {};
    return QStringLiteral("%1/%2/%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(shownYear(date.year()), 4, 10, QLatin1Char('0'));
}

QString isoDate(const QDate& date) {
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

} // namespace data
