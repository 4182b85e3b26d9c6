#pragma once

#include "data/Connection.h"
#include "data/DbError.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace data {

// The tables as db/schema.sql (built into the program) defines them.
struct ExpectedColumn {
    QString name, definition; // "Pointer", "VARCHAR(10) NOT NULL"
};
struct ExpectedKey {
    QString name;        // "PRIMARY" for the primary key
    QStringList columns; // lower case, without prefix lengths
    QString definition;  // "KEY magazine_name (Magazine_Name)"
};
struct ExpectedTable {
    QString name;
    QList<ExpectedColumn> columns;
    QList<ExpectedKey> keys;
    QString create; // the whole CREATE TABLE statement
};

// A trigger the schema gives a table: the database keeps a table's derived rows itself.
struct ExpectedTrigger {
    QString name, table;
    QString create; // the whole CREATE TRIGGER statement
};

// One of the program's built-in SQL files (":/db/schema.sql", ":/db/roles.sql") without its
// comments. Throws std::runtime_error when it is missing.
QString builtInSql(const QString& resource);

// Every table of the schema, in its order; read once. Throws std::runtime_error when the
// built-in definitions are missing or unreadable.
const QList<ExpectedTable>& schemaTables();
// The schema's table of that name (compared without regard to case), or nullptr.
const ExpectedTable* schemaTable(const QString& name);
// Every trigger of the schema, in the order they must be created (one may follow another).
const QList<ExpectedTrigger>& schemaTriggers();

// What the database keeps by its triggers (the name pieces, each title's latest issue date, the
// issues of each month) read by `kept`; on a cluster, which runs without those triggers, or a
// database not yet migrated (the table missing), read by `made` from what it is made of.
template <typename Kept, typename Made> auto readKept(Connection& c, Kept&& kept, Made&& made) -> decltype(made()) {
    if (c.onCluster())
        return made();
    try {
        return kept();
    } catch (const DbError& e) {
        if (e.kind() != DbError::Kind::NoSuchTable)
            throw;
        return made();
    }
}

} // namespace data
