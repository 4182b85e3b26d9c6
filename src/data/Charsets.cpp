#include "data/Charsets.h"

namespace data {

namespace {

// Windows-1252 above 0x7F, which the server's latin1 is: 0x80-0x9F and 0xA0-0xFF.
bool inLatin1(char32_t ch) {
    static const char16_t high[] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return true;
    for (const char16_t h : high)
        if (ch == h)
            return true;
    return false;
}

} // namespace

bool storable(const QString& charset, char32_t ch) {
    const QString cs = charset.toLower();
    if (cs == QLatin1String("tis620"))
        return ch < 0x80 || (ch >= 0x0E01 && ch <= 0x0E3A) || (ch >= 0x0E3F && ch <= 0x0E5B);
    if (cs == QLatin1String("latin1"))
        return inLatin1(ch);
    if (cs == QLatin1String("ascii"))
        return ch < 0x80;
    if (cs == QLatin1String("utf8mb3") || cs == QLatin1String("utf8") || cs == QLatin1String("ucs2"))
        return ch <= 0xFFFF;
    return true;
}

QList<char32_t> unstorable(const QString& text, const QStringList& charsets) {
    QList<char32_t> out;
    for (const char32_t ch : text.toUcs4()) {
        if (ch < 0x80 || out.contains(ch))
            continue;
        for (const QString& cs : charsets)
            if (!storable(cs, ch)) {
                out.append(ch);
                break;
            }
    }
    return out;
}

QString describeCharacters(const QList<char32_t>& chars) {
    QStringList parts;
    for (const char32_t ch : chars)
        parts << QStringLiteral("“%1” (U+%2)")
                     .arg(QString::fromUcs4(&ch, 1), QString::number(uint(ch), 16).toUpper().rightJustified(4, '0'));
    return parts.join(QStringLiteral(", "));
}

} // namespace data
