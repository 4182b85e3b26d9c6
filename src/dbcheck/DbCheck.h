#pragma once

#include "data/Connection.h"
#include "data/Schema.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The administrator's check of a database against the tables the program expects, and the
// migration that brings an older installation (MyISAM, single-byte Thai, zero dates, counters
// kept by hand, tables named in capitals, missing indexes) up to them without changing the
// column order other programs read by.
namespace data::dbcheck {

// Whether a column of type `actual` (as information_schema gives it) holds what the program
// stores in one declared `expected`: the same kind, no narrower.
bool typeHolds(const QString& actual, const QString& expected);

// One step of a migration: an optional query whose rows go to the log first (the keys of the
// rows a statement changes), then the statement.
struct Step {
    QString logQuery;
    QString sql;
};

struct Analysis {
    QStringList report; // the plain report, a line each
    int toDo = 0;       // things that need doing (by the migration or by a person)
    QList<Step> plan;   // what the migration runs for them
};

// Reads the server's and the database's state; changes nothing.
Analysis analyse(Connection& c);

using Say = std::function<void(const QString&)>;

// Writes every table of the connected database to `file` as SQL a client can load back
// (rows as hexadecimal text, so bytes stay exact whatever the character set), then reads the
// file again and compares row counts and digests with what was written. Throws on any
// difference. Gives the number of rows saved.
qint64 backup(Connection& c, const QString& file, const Say& say = {});

// Runs the plan on an administrative connection in a permissive session; each statement and
// the rows of each log query go to `log`.
void migrate(Connection& c, const QList<Step>& plan, const Say& log);

} // namespace data::dbcheck
