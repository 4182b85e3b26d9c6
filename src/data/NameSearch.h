#pragma once

#include "data/Connection.h"

#include <QString>
#include <optional>

namespace data {

// A condition on a query and the values it binds.
struct Condition {
    QString sql;
    Params values;
};

// A table of the two-character pieces of one text column (gram, key), so that a search for a
// part of the text reads only the rows holding the text's pieces instead of every row. On one
// server the database keeps it in step with the texts by triggers, whoever writes them;
// `warasan-dbcheck` reports a server without them and `--migrate` installs them.
struct PieceTable {
    const char* table;  // the piece table
    const char* key;    // its column naming the row a piece came from
    const char* source; // the rows the pieces are made from, as a table or a derived table
    const char* text;   // the column of those rows whose pieces are kept
    const char* rows;   // the table whose size tells how rare a piece must be to be worth using
    // Pieces whose rows are counted per search (the first, the last and some between): the
    // longer the texts, the more a piece of a common word is worth passing over for a rarer one.
    int counted = 4;
};
// The titles' names by title code; the subjects by the subject itself (one entry for all the
// articles it is given to).
extern const PieceTable titleNames, subjectTexts, articleTitles;
// The database's triggers keep the pieces of a text's first 255 characters (a name or heading
// holds no more); a longer text (an article's title) also gets the empty piece, which every
// search takes among its candidates.
constexpr int longestPieced = 255;

// "The text column holds `text`", with `text` taken literally as in LIKE '%text%' (trim it
// first if it should be). The column is still matched by that LIKE, so the rows are exactly its
// rows; the pieces only narrow the rows it is tried on to those holding the text's rarest
// pieces. A text of one character has no piece, and one whose pieces are all common is quicker
// matched against every row in order: both are. Asks the server how rare the pieces are.
// `alias` names the searched table in the query.
Condition containsText(Connection& c, const PieceTable& t, const QString& text, const QString& alias);
// The keys of the piece table that may hold `text` (a statement giving them, and its values): a
// superset of the rows LIKE '%text%' finds. Nothing when reading every row is the quicker way.
std::optional<Condition> candidates(Connection& c, const PieceTable& t, const QString& text);
inline Condition titleNameContains(Connection& c, const QString& text, const QString& alias = QStringLiteral("m")) {
    return containsText(c, titleNames, text, alias);
}

// The distinct two-character pieces of `text`, in order, counted in characters (code points)
// as the server's SUBSTRING counts them.
QStringList namePieces(const QString& text);

// The program's own saves write the pieces too, in their transaction: a Galera cluster runs
// without the triggers (under saves on two nodes at once they were seen failing to load), and
// a database not yet migrated has none. `replacing` drops the key's pieces first. A database
// without the piece table takes the save without them.
void keepPieces(Connection& c, const PieceTable& t, const QString& key, const QString& text, bool replacing);
void dropPieces(Connection& c, const PieceTable& t, const QString& key);
// The pieces of the keys a statement gives (`keys`: its SQL and values).
void dropPiecesOf(Connection& c, const PieceTable& t, const Condition& keys);

// The statements that make the piece table anew from the texts, in order: what the migration
// runs when it is out of step with them (changed by another program).
QStringList piecesRebuild(const PieceTable& t);
// Every text's pieces (gram, key), repeats included, as those statements make them.
QString piecesOfEveryText(const PieceTable& t);

} // namespace data
