#include "data/Like.h"

namespace data {

QString likeEscaped(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('%') || ch == QLatin1Char('_'))
            out += QLatin1Char('\\');
        out += ch;
    }
    return out;
}

QString likeContains(const QString& text) {
    return QLatin1Char('%') + likeEscaped(text) + QLatin1Char('%');
}

QString likePrefix(const QString& text) {
    return likeEscaped(text) + QLatin1Char('%');
}

} // namespace data
