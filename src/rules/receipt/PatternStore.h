#pragma once

// The publication patterns kept in pub_pattern: a person's, and the one check-in last learnt.
#include "data/Connection.h"
#include "rules/receipt/Pattern.h"

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
// How many of the title's last twelve issues the pattern a person set would not have predicted
// (0 for a learnt one, which follows its history).
int contradictions(data::Connection& c, const QString& pointer);
// The titles whose set pattern the history contradicts (`contradicted`), by name:
// code and name.
QList<std::pair<QString, QString>> contradictedTitles(data::Connection& c);

// The issue the title is expected to send next, by its pattern in force, as check-in expects it.
std::optional<ExpectedIssue> expectedNext(data::Connection& c, const QString& pointer);

} // namespace receipt
