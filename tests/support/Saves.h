#pragma once

#include "data/Connection.h"
#include "support/Names.h"

#include <functional>

namespace testsupport {

// Every save that takes a number, reduced to "store this text, give the number": the
// reliability test and the soak run drive them all alike. `stored` gives what the database
// holds under that number, decoded from the bytes the server keeps (empty when nothing), to
// prove an exact round trip.
struct NumberedSave {
    const char* name;
    std::function<data::Saved<QString>(data::Connection&, const QString& text)> save;
    std::function<QString(data::Connection&, const QString& number)> stored;
    // A search by the beginning of the text, as the windows run it; how many rows it finds.
    std::function<int(data::Connection&, const QString& text)> search;
    // Every stored row as (number, text), and the rows a partial save would leave behind.
    const char* everyRow;
    const char* partialRows;
};
const QList<NumberedSave>& numberedSaves();

// Texts that have broken programs like this one: quotes, backslashes, LIKE wildcards, NUL,
// emoji, combining Thai marks, right-to-left marks, a leading byte-order mark, SQL.
QStringList hostileTexts();

} // namespace testsupport
