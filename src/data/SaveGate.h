#pragma once

#include "data/Connection.h"

namespace data {

// Whether a database can keep a save whole, checked at a connection's first save with one look
// at information_schema against the tables db/schema.sql defines: every table a store writes
// must be present under its name and transactional, else no save is taken at all (a failing
// save would stay half-written). Text columns in a character set narrower than the program's
// refuse the characters they cannot hold before the save, instead of storing them as "?".
//
// Stores write through `write`, naming the table; no statement text is read for it.

// Runs a statement that changes rows of `table` (a table of the schema), once the database takes
// saves and the text values fit the table; gives the number of rows it changed. Throws DbError.
qint64 write(Connection& c, const QString& table, const QString& sql, const Params& params = {});

// Why this database takes no saves, in words for the staff; empty when saves are taken. Checked
// on the connection's first save (or now, if none has asked yet).
QString saveRefusal(Connection& c);

// For the administrator's tools, which repair such a database: writes through `c` are not checked.
void waiveSaveChecks(Connection& c);

} // namespace data
