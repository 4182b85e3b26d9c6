#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace data {

// Reads a date typed as "dd/mm/yyyy" (one or two digits for the day and the month) or stored
// as "yyyy-mm-dd", surrounding blanks ignored. A year of 2400 or more is a Buddhist-era year
// (2569 is 2026): staff type both. Anything else, or a day that does not exist (31/02/2024),
// gives nothing: nothing invalid ever reaches the database.
std::optional<QDate> parseDate(const QString& text);

// How years are shown: the common era (the default) or the Buddhist era. The database always
// holds common-era dates; only what people read changes.
enum class Era { Common, Buddhist };
Era displayEra();
void setDisplayEra(Era era);
// The year as it is shown in the era in force.
int shownYear(int commonEraYear);

// "dd/mm/yyyy" in the era in force, the form every window shows; an invalid date gives an
// empty text.
QString formatDate(const QDate& date);

// "yyyy-mm-dd", the form the database and the web reports use.
QString isoDate(const QDate& date);

} // namespace data
