#pragma once

#include "data/Connection.h"

#include <QString>

namespace data {

// A condition on a query over `magazine` and the values it binds.
struct Condition {
    QString sql;
    Params values;
};

// "The title's name holds `text`", with `text` taken literally as in LIKE '%text%' (trim it
// first if it should be). The name is still matched by that LIKE, so the rows are exactly its
// rows; the two-character pieces kept in magazine_gram only narrow the titles it is tried on to
// those holding the text's rarest pieces, so a long catalogue is not read name by name. A text
// of one character has no piece, and one whose pieces are all common is quicker matched against
// every name in order: both are. Asks the server how rare the pieces are. `alias` names the
// magazine table in the query.
Condition titleNameContains(Connection& c, const QString& text, const QString& alias = QStringLiteral("m"));

// The distinct two-character pieces of `text`, in order, counted in characters (code points)
// as the server's SUBSTRING counts them.
QStringList namePieces(const QString& text);

// Writes the pieces of a title's name, inside the caller's transaction with the save that gave
// the title that name; `replacing` drops the pieces its code held before. A database not yet
// given the piece table (before `warasan-dbcheck --migrate`) takes the save without them: its
// searches read every name, and the migration builds the pieces of every title.
void keepNamePieces(Connection& c, const QString& pointer, const QString& name, bool replacing);
// Drops a title's pieces with the title, inside the caller's transaction.
void dropNamePieces(Connection& c, const QString& pointer);

// The statements that make magazine_gram anew from every title's name, in order: what the
// migration runs when the pieces are out of step with the names (changed by another program).
QStringList namePiecesRebuild();
// Every title's pieces (gram, Pointer), repeats included, as those statements make them.
extern const QString piecesOfEveryName;

} // namespace data
