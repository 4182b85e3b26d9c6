#include "data/History.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace data {

namespace {

const QString columns = QStringLiteral(
    "SELECT changed_at, changed_by, table_name, row_key, action, before_row, after_row FROM change_history ");

QList<Change> read(Connection& c, const QString& sql, const Params& params) {
    QList<Change> out;
    Result r;
    try {
        r = c.query(columns + sql, params);
    } catch (const DbError& e) {
        if (e.kind() == DbError::Kind::NoSuchTable)
            return out; // a database not yet given its history
        throw;
    }
    for (int i = 0; i < r.rowCount(); ++i)
        out.append({r.value(i, 0).toDateTime(), r.text(i, 1), r.text(i, 2), r.text(i, 3),
                    r.text(i, 4).isEmpty() ? QChar() : r.text(i, 4).at(0), r.text(i, 5), r.text(i, 6)});
    return out;
}

QString shown(const QJsonValue& v) {
    if (v.isNull() || v.isUndefined())
        return QStringLiteral("(ว่าง)");
    if (v.isDouble())
        return QString::number(v.toDouble(), 'g', 15);
    return v.toVariant().toString();
}

} // namespace

QString Change::actionCaption() const {
    switch (action.unicode()) {
    case 'I':
        return QStringLiteral("เพิ่ม");
    case 'U':
        return QStringLiteral("แก้ไข");
    case 'D':
        return QStringLiteral("ลบ");
    default:
        return QString(action);
    }
}

QString Change::summary() const {
    const QJsonObject old = QJsonDocument::fromJson(before.toUtf8()).object();
    const QJsonObject now = QJsonDocument::fromJson(after.toUtf8()).object();
    QStringList parts;
    if (action == QLatin1Char('U')) {
        for (auto it = now.begin(); it != now.end(); ++it)
            if (old.value(it.key()) != it.value())
                parts << QStringLiteral("%1: %2 → %3").arg(it.key(), shown(old.value(it.key())), shown(it.value()));
    } else {
        const QJsonObject& row = action == QLatin1Char('D') ? old : now;
        for (auto it = row.begin(); it != row.end(); ++it)
            if (!it.value().isNull() && it.value() != QJsonValue(QString()))
                parts << QStringLiteral("%1: %2").arg(it.key(), shown(it.value()));
    }
    return parts.join(QStringLiteral("; "));
}

std::optional<Change> lastChange(Connection& c, const QString& table, const QString& key) {
    const QList<Change> r =
        read(c, QStringLiteral("WHERE table_name = ? AND row_key = ? ORDER BY changed_at DESC, change_id DESC LIMIT 1"),
             {table, key});
    if (r.isEmpty())
        return std::nullopt;
    return r.first();
}

std::optional<Change> lastChangeOfTable(Connection& c, const QString& table) {
    const QList<Change> r =
        read(c, QStringLiteral("WHERE table_name = ? ORDER BY changed_at DESC, change_id DESC LIMIT 1"), {table});
    if (r.isEmpty())
        return std::nullopt;
    return r.first();
}

QList<Change> tableHistory(Connection& c, const QString& table) {
    return read(c, QStringLiteral("WHERE table_name = ? ORDER BY changed_at DESC, change_id DESC LIMIT 1000"), {table});
}

QList<Change> rowHistory(Connection& c, const QString& table, const QString& key) {
    return read(c, QStringLiteral("WHERE table_name = ? AND row_key = ? ORDER BY changed_at DESC, change_id DESC"),
                {table, key});
}

QList<Change> changesBetween(Connection& c, const QDate& from, const QDate& to, const QString& person) {
    return read(c,
                QStringLiteral("WHERE changed_at >= ? AND changed_at < ? AND (? = '' OR "
                               "SUBSTRING_INDEX(changed_by, '@', 1) = ?) ORDER BY changed_at, change_id"),
                {QDateTime(from, QTime(0, 0)), QDateTime(to.addDays(1), QTime(0, 0)), person, person});
}

} // namespace data
