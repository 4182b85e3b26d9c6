#pragma once

// The publication patterns kept in pub_pattern: a person's, and the one check-in last learnt.
#include "data/Connection.h"
#include "receipt/Pattern.h"

#include <optional>

namespace receipt {

// The title's stored pattern (set or learnt); none where there is no row. Fields out of range
// (the administrator's SQL) read as "as the history shows".
std::optional<Pattern> storedPattern(data::Connection& c, const QString& pointer);
// The pattern a person set, kept under the signed-in account with the time.
void setPattern(data::Connection& c, const QString& pointer, const Pattern& p);
// The learnt pattern kept for the title, unless a person has set one.
void keepLearnt(data::Connection& c, const QString& pointer, const Pattern& learnt);
// Back to the learnt pattern: the person's fields go.
void learnAgain(data::Connection& c, const QString& pointer, const Pattern& learnt);

// The pattern in force for a title with these issues: the person's over the learnt one.
Pattern patternInForce(data::Connection& c, const QString& pointer, const QString& frequencyCode,
                       const QList<IssueSeen>& issues);

} // namespace receipt
