#pragma once

#include <QString>
#include <QStringList>

namespace data {

// Whether a column in the server's character set `charset` can hold the character. Sets the
// program does not know are left to the server (it refuses in strict mode).
bool storable(const QString& charset, char32_t ch);

// The distinct characters of `text` that some of `charsets` cannot hold, in order of first
// appearance; empty when all can be stored.
QList<char32_t> unstorable(const QString& text, const QStringList& charsets);

// "“ü” (U+00FC), “😀” (U+1F600)": characters named for a message.
QString describeCharacters(const QList<char32_t>& chars);

} // namespace data
