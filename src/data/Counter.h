#pragma once

#include "data/Connection.h"

#include <QString>
#include <functional>
#include <optional>

namespace data {

// The numeric value of a counter text: decimal digits with optional blanks around them.
// Empty, signed, non-digit or over-long texts give nothing (they are not numbers to advance).
std::optional<qint64> counterValue(const QString& text);

// The value of the leading digits of the trimmed text (at most 18 of them); none counts as 0.
qint64 leadingNumber(const QString& text);
// The same, nothing when the text has no leading digit.
std::optional<qint64> leadingDigits(const QString& text);

// The next counter value as plain decimal text without padding ("007" gives "8"); nothing
// when the text is not a number or is at the 64-bit limit.
std::optional<QString> nextCounterText(const QString& text);

// Whether what a unit wrote is in the database now (asked on a fresh connection).
using LandedCheck = std::function<bool()>;

// Runs `unit` inside one transaction and commits it. A deadlock or lock wait timeout runs the
// whole unit again, a few times, before giving up: nothing was committed, so nothing can be
// written twice. Any other error rolls back and is thrown.
//
// When the link breaks while COMMIT is under way, the outcome is looked up with `landed` on a
// new connection: found, the save counts as done (Commit::FoundAfterCut); not found, the error
// says plainly that nothing was saved; when even that cannot be asked, the error says the
// outcome is unknown and what to check before saving again.
Commit retryingTransaction(Connection& c, const std::function<void()>& unit, const LandedCheck& landed = {});

// A one-row counter table and the column that holds the next number.
struct CounterColumn {
    QString table;
    QString column;
    // The counter's text in its proper form ("J12" as "J000012"), for counters kept as text by
    // hand or by older programs; the trimmed text when not set.
    std::function<QString(const QString&)> proper = {};
};

// Takes the current value of a counter under a row lock, inside one transaction:
//   SELECT ... FOR UPDATE  ->  use(current)  ->  UPDATE counter SET column = advance(current)  ->  COMMIT
// `use` writes the caller's record with the number it is given and may throw to abandon the
// whole unit (nothing is written then). `advance` gives the text stored as the next value.
// A deadlock or lock wait timeout runs the whole unit again, a few times, before giving up:
// nothing was committed, so nothing can be written twice. Gives the value that was used.
//
// A missing counter row or a value that `advance` refuses (it throws) ends the unit with an
// error; the counter row is never created here.
//
// `landed` tells, after a commit that was cut off, whether the record was written under the
// number it was given (see retryingTransaction).
Saved<QString> takeCounter(Connection& c, const CounterColumn& counter,
                           const std::function<QString(const QString& current)>& advance,
                           const std::function<void(const QString& current)>& use,
                           const std::function<bool(const QString& number)>& landed = {});

// A number the counter gave is already used by a record. On a cluster that is another node's
// save seen before its conflict reached this one: thrown as a duplicate (1062), so the unit runs
// again with the next number. On one server the counter was set back: `refuse` throws the
// store's own refusal for a person to see to.
[[noreturn]] void numberTaken(Connection& c, const QString& text, const std::function<void(const QString&)>& refuse);

// `advance` for plain decimal counters: the next value as decimal text, or an error naming
// the counter when its text is not a number.
QString advanceDecimal(const CounterColumn& counter, const QString& current);

} // namespace data
