// The administrator's backup before a migration: every table as SQL a client can load back,
// read again and compared.
#include "dbcheck/DbCheck.h"
#include "dbcheck/Quoting.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTextStream>

#include <stdexcept>

namespace data::dbcheck {

namespace {

// One cell as an SQL literal: numbers and dates as text, everything else as the bytes in hex.
QString literal(const QVariant& v, bool asText) {
    if (v.isNull())
        return QStringLiteral("NULL");
    return asText ? QLatin1Char('\'') + v.toString() + QLatin1Char('\'') : QStringLiteral("X'") + v.toString() + "'";
}

constexpr int rowsPerInsert = 500;
constexpr int pageRows = 20000;

} // namespace

qint64 backup(Connection& c, const QString& file, const Say& say) {
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error(QStringLiteral("cannot write %1: %2").arg(file, out.errorString()).toStdString());
    QTextStream s(&out);
    s << "-- warasan-dbcheck backup of " << c.query(QStringLiteral("SELECT DATABASE()")).text(0, 0) << " at "
      << QDateTime::currentDateTime().toString(Qt::ISODate) << "\n"
      << "SET NAMES utf8mb4;\nSET SESSION sql_mode = '';\nSET foreign_key_checks = 0;\n";
    c.exec(QStringLiteral("SET SESSION sql_mode = ''"));
    QHash<QString, QPair<qint64, QByteArray>> written;
    qint64 total = 0;
    const Result tables = c.query(QStringLiteral("SELECT TABLE_NAME FROM information_schema.TABLES WHERE "
                                                 "TABLE_SCHEMA = DATABASE() AND TABLE_TYPE = 'BASE TABLE' ORDER BY 1"));
    for (int t = 0; t < tables.rowCount(); ++t) {
        const QString name = tables.text(t, 0);
        // Generated columns are the server's to compute: a value given for one is refused.
        const Result cols = c.query(QStringLiteral("SELECT COLUMN_NAME, DATA_TYPE FROM information_schema.COLUMNS "
                                                   "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? "
                                                   "AND IS_GENERATED = 'NEVER' ORDER BY ORDINAL_POSITION"),
                                    {name});
        static const QRegularExpression plain(QStringLiteral("int|decimal|float|double|numeric|bit|year|date|time"));
        QStringList select, names;
        QList<bool> asText;
        for (int i = 0; i < cols.rowCount(); ++i) {
            names << quoted(cols.text(i, 0));
            asText << plain.match(cols.text(i, 1)).hasMatch();
            select << (asText.last() ? QStringLiteral("CAST(%1 AS CHAR)") : QStringLiteral("HEX(%1)"))
                          .arg(quoted(cols.text(i, 0)));
        }
        s << "\nDROP TABLE IF EXISTS " << quoted(name) << ";\n"
          << c.query(QStringLiteral("SHOW CREATE TABLE %1").arg(quoted(name))).text(0, 1) << ";\n";
        // In pages along the primary key, so a large table never has to fit in memory at once.
        const Result pk = c.query(QStringLiteral("SELECT COLUMN_NAME FROM information_schema.STATISTICS WHERE "
                                                 "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? AND INDEX_NAME = "
                                                 "'PRIMARY' ORDER BY SEQ_IN_INDEX"),
                                  {name});
        QStringList key;
        for (const auto& row : pk.rows)
            key << quoted(row.at(0).toString());
        QCryptographicHash digest(QCryptographicHash::Sha1);
        qint64 n = 0;
        Params after;
        for (;;) {
            const QString where =
                after.isEmpty() ? QString()
                                : QStringLiteral(" WHERE (%1) > (%2)")
                                      .arg(key.join(", "), QStringList(key.size(), QStringLiteral("?")).join(", "));
            const Result rows =
                c.query(key.isEmpty() ? QStringLiteral("SELECT %1 FROM %2").arg(select.join(", "), quoted(name))
                                      : QStringLiteral("SELECT %1, %2 FROM %3%4 ORDER BY %2 LIMIT %5")
                                            .arg(select.join(", "), key.join(", "), quoted(name), where)
                                            .arg(pageRows),
                        after);
            for (int r = 0; r < rows.rowCount(); ++r, ++n) {
                s << (n % rowsPerInsert == 0 ? QStringLiteral("INSERT INTO %1 (%2) VALUES\n(")
                                                   .arg(quoted(name), names.join(QLatin1Char(',')))
                                             : QStringLiteral(",\n("));
                QStringList cells;
                for (int i = 0; i < asText.size(); ++i)
                    cells << literal(rows.value(r, i), asText.at(i));
                const QString row = cells.join(QLatin1Char(','));
                digest.addData(row.toUtf8());
                s << row << ')';
                if (n % rowsPerInsert == rowsPerInsert - 1)
                    s << ";\n";
            }
            if (key.isEmpty() || rows.rowCount() < pageRows)
                break;
            after = rows.rows.last().mid(asText.size());
        }
        if (n % rowsPerInsert != 0)
            s << ";\n";
        s << "-- table " << name << " rows " << n << " sha1 " << digest.result().toHex() << "\n";
        written.insert(name, {n, digest.result()});
        total += n;
        if (say)
            say(QStringLiteral("backup: %1 %2 rows").arg(name).arg(n));
    }
    s << "-- end of backup\n";
    s.flush();
    if (s.status() != QTextStream::Ok || !out.flush())
        throw std::runtime_error(QStringLiteral("writing %1 failed: %2").arg(file, out.errorString()).toStdString());
    out.close();

    // Read it back: every row of every table, as written.
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("cannot read back %1").arg(file).toStdString());
    static const QRegularExpression insert(QStringLiteral("^INSERT INTO `(.+?)` \\(.*\\) VALUES$"));
    static const QRegularExpression trailer(QStringLiteral("^-- table (.+) rows (\\d+) sha1 ([0-9a-f]+)$"));
    QString current;
    qint64 count = 0, verified = 0;
    bool ended = false;
    QCryptographicHash digest(QCryptographicHash::Sha1);
    while (!in.atEnd()) {
        QByteArray raw = in.readLine();
        raw.chop(raw.endsWith('\n') ? 1 : 0);
        const QString lineText = QString::fromUtf8(raw);
        if (const auto m = insert.match(lineText); m.hasMatch()) {
            if (m.captured(1) != current) {
                current = m.captured(1);
                count = 0;
                digest.reset();
            }
        } else if (lineText.startsWith(QLatin1Char('(')) && !current.isEmpty()) {
            QByteArray row = raw.mid(1);
            row.chop(row.endsWith(";") ? 2 : row.endsWith(",") ? 2 : 1);
            digest.addData(row);
            ++count;
        } else if (const auto m = trailer.match(lineText); m.hasMatch()) {
            const auto want = written.value(m.captured(1));
            const qint64 rowsRead = m.captured(1) == current ? count : 0;
            const QByteArray sum =
                m.captured(1) == current ? digest.result() : QCryptographicHash::hash({}, QCryptographicHash::Sha1);
            if (rowsRead != want.first || m.captured(2).toLongLong() != want.first || sum != want.second)
                throw std::runtime_error(QStringLiteral("the backup of table %1 does not read back as written")
                                             .arg(m.captured(1))
                                             .toStdString());
            written.remove(m.captured(1));
            verified += rowsRead;
            current.clear();
        } else if (lineText == QLatin1String("-- end of backup")) {
            ended = true;
        }
    }
    if (!ended || !written.isEmpty() || verified != total)
        throw std::runtime_error(QStringLiteral("the backup %1 is incomplete").arg(file).toStdString());
    return total;
}

} // namespace data::dbcheck
