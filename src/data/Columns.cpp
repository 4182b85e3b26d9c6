#include "data/Columns.h"
#include "data/SaveGate.h"

#include <QMutex>

namespace data {

QHash<QString, ColumnLimit> textColumnLimits(Connection& c, const QString& table) {
    static QMutex mutex;
    static QHash<QString, QHash<QString, ColumnLimit>> known;
    const QString key = c.settings().target() + QLatin1Char('/') + table.toLower();
    {
        QMutexLocker lock(&mutex);
        if (const auto it = known.constFind(key); it != known.cend())
            return *it;
    }
    const Result r =
        c.query(QStringLiteral("SELECT COLUMN_NAME, CHARACTER_MAXIMUM_LENGTH, CHARACTER_OCTET_LENGTH, DATA_TYPE "
                               "FROM information_schema.COLUMNS "
                               "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? "
                               "AND CHARACTER_MAXIMUM_LENGTH IS NOT NULL"),
                {table});
    QHash<QString, ColumnLimit> widths;
    for (const auto& row : r.rows) {
        ColumnLimit limit;
        limit.chars = int(qMin<qint64>(row.at(1).toLongLong(), 1 << 30));
        if (row.at(3).toString().toLower().endsWith(QLatin1String("text")))
            limit.bytes = int(qMin<qint64>(row.at(2).toLongLong(), 1 << 30));
        widths.insert(row.at(0).toString().toLower(), limit);
    }
    QMutexLocker lock(&mutex);
    known.insert(key, widths);
    return widths;
}

} // namespace data

namespace data {

namespace {

// "column still holds value" for each shown column, its values appended to `params`.
QStringList sameAsShown(const ShownRow& shown, Params& params) {
    QStringList same;
    for (int i = 0; i < shown.columns.size(); ++i) {
        const QVariant& v = shown.values.at(i);
        // Text byte for byte: the collation would take "abc" for "ABC" and ignore trailing blanks.
        // Shown empty, a date older programs stored as zeros (read as NULL) is still as shown.
        if (v.isNull()) {
            same << QStringLiteral("(%1 IS NULL OR CAST(%1 AS CHAR) LIKE '0000-00-00%')").arg(shown.columns.at(i));
            continue;
        }
        same << (v.metaType().id() == QMetaType::QString ? QStringLiteral("BINARY %1 <=> BINARY ?")
                                                         : QStringLiteral("%1 <=> ?"))
                    .arg(shown.columns.at(i));
        params << v;
    }
    return same;
}

} // namespace

EditOutcome updateIfUnchanged(Connection& c, const QString& table, const QString& keyColumn, const QVariant& key,
                              const QStringList& setColumns, const Params& newValues, const ShownRow& shown) {
    QStringList sets;
    for (const QString& col : setColumns)
        sets << col + QStringLiteral(" = ?");
    Params params = newValues;
    params << key;
    const QStringList same = sameAsShown(shown, params);
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?%4")
            .arg(table, sets.join(QStringLiteral(", ")), keyColumn,
                 same.isEmpty() ? QString() : QStringLiteral(" AND ") + same.join(QStringLiteral(" AND ")));
    if (write(c, table, sql, params) > 0) // rows matched, not rows changed: an unchanged save counts
        return EditOutcome::Saved;
    const bool exists =
        !c.query(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(table, keyColumn), {key}).isEmpty();
    return exists ? EditOutcome::ChangedElsewhere : EditOutcome::Missing;
}

bool rowHolds(Connection& c, const QString& table, const QString& keyColumn, const QVariant& key, const ShownRow& row) {
    Params params{key};
    const QStringList same = sameAsShown(row, params);
    return !c.query(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?%3")
                        .arg(table, keyColumn,
                             same.isEmpty() ? QString() : QStringLiteral(" AND ") + same.join(QStringLiteral(" AND "))),
                    params)
                .isEmpty();
}

} // namespace data
