#pragma once

#include "data/Connection.h"

#include <QHash>
#include <QString>

namespace data {

// What a text column holds: VARCHAR and CHAR count characters; the TEXT types count bytes
// (a TEXT column takes 65,535 bytes: about 21,800 Thai characters in UTF-8).
struct ColumnLimit {
    int chars = 0;
    int bytes = 0; // 0: limited by characters only
};

// The limits of a table's text columns, by lower-case column name, as the connected database
// has them; read once per database and table and kept.
QHash<QString, ColumnLimit> textColumnLimits(Connection& c, const QString& table);

} // namespace data

namespace data {

// What an edit's save found.
enum class EditOutcome {
    Saved,
    Missing,          // the row is gone (deleted by another station): nothing written
    ChangedElsewhere, // another station changed the row after it was shown: nothing written
};

// One row's columns as a window read and showed them, to be compared when it is saved.
struct ShownRow {
    QStringList columns;
    Params values; // as read: NULL as a null QVariant, text exactly as stored
};

// UPDATE table SET sets WHERE key = ? AND every shown column still holds what was shown
// (text compared byte for byte, NULL equal to NULL). Names are the program's own constants.
EditOutcome updateIfUnchanged(Connection& c, const QString& table, const QString& keyColumn, const QVariant& key,
                              const QStringList& setColumns, const Params& newValues, const ShownRow& shown);
// Whether the row with `key` holds `row`'s values, compared as updateIfUnchanged compares them
// (after a cut COMMIT, to learn whether an edit landed).
bool rowHolds(Connection& c, const QString& table, const QString& keyColumn, const QVariant& key, const ShownRow& row);

} // namespace data
