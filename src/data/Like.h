#pragma once

#include <QString>

namespace data {

// Escapes "\", "%" and "_" so typed text matches as typed inside a LIKE pattern.
QString likeEscaped(const QString& text);
// A LIKE pattern for text that contains `text` anywhere / starts with `text`.
QString likeContains(const QString& text);
QString likePrefix(const QString& text);

} // namespace data
