#pragma once

#include "data/Columns.h"
#include "data/Connection.h"
#include "data/Refused.h"

#include <QList>
#include <QString>
#include <optional>

namespace indexing {

// One row of the author register. `trueIdno` is set for a pen name: the code of the row
// holding the author's true name.
struct Author {
    QString idno;
    QString penname;
    QString trueIdno;
};

// The author code after `code`: the value of its leading digits (none counts as 0) plus one, padded
// with "0" to 7 characters; a result of more than 7 digits is written as it is.
QString nextCode7(const QString& code);
// An author code: the number padded to 7 characters.
QString padded7(qint64 n);

// What a save gave out.
struct SavedAuthor {
    QString idno;     // the author's own code
    QString trueIdno; // for a pen name, the true name's code
    bool trueNameCreated = false;
    data::Commit commit = data::Commit::Answered;
};

namespace AuthorStore {

// Authors by code (exact) and/or by the beginning of the name; with both given, the authors
// matching both. Names are matched as typed (no wildcards).
QList<Author> search(data::Connection& c, const QString& code, const QString& namePrefix);
// Authors whose name begins with `text` as typed (every author for an empty text).
QList<Author> startingWith(data::Connection& c, const QString& text);
std::optional<Author> find(data::Connection& c, const QString& idno);
// The code the next author is expected to get; empty when the counter has no row.
QString expectedCode(data::Connection& c);

// Adds an author under the counter's code, taken under a lock in the same transaction as
// the rows. A pen name is linked to its true name, which is registered first (under the
// next code) when no author has exactly that name yet. Refused (data::Refused) before anything
// is written: an empty name, a pen name without a true name, a counter that holds no code.
SavedAuthor add(data::Connection& c, const QString& name, bool penName, const QString& trueName);
// Changes the name of `idno`. As a pen name it is (re)linked to `trueName`, registered under
// a new code when needed; otherwise the stored link is left as it is.
// Nothing is written when there is no author `idno` (Missing) or when its name or link is no
// longer what `shown` holds (ChangedElsewhere).
struct AuthorEdit {
    data::EditOutcome outcome = data::EditOutcome::Missing;
    SavedAuthor saved;
};
AuthorEdit update(data::Connection& c, const Author& shown, const QString& name, bool penName, const QString& trueName);

} // namespace AuthorStore

} // namespace indexing
