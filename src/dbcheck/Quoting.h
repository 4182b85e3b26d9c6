#pragma once

#include <QString>

namespace data::dbcheck {

// A table or column name as a quoted identifier, for the statements the check and the backup
// write (names come from the server's own catalogue, never from a person).
inline QString quoted(const QString& name) {
    return QLatin1Char('`') + QString(name).replace(QLatin1Char('`'), QStringLiteral("``")) + QLatin1Char('`');
}

} // namespace data::dbcheck
