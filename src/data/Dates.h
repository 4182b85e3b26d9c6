#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace data {

// Reads a date typed as "dd/mm/yyyy" or stored as "yyyy-mm-dd" (two-digit day and month,
// four-digit year, surrounding blanks ignored). Anything else, or a day that does not exist
// (31/02/2024), gives nothing: nothing invalid ever reaches the database.
std::optional<QDate> parseDate(const QString& text);

// "dd/mm/yyyy", the form every window shows; an invalid date gives an empty text.
QString formatDate(const QDate& date);

// "yyyy-mm-dd", the form the database and the web reports use.
QString isoDate(const QDate& date);

} // namespace data
