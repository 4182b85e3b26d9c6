#include "dbcheck/DbCheck.h"
#include "dbcheck/Quoting.h"

#include "data/Counter.h"
#include "data/NameSearch.h"
#include "data/Numbering.h"
#include "data/Staff.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>

#include <stdexcept>

namespace data::dbcheck {

namespace {

const QString thaiCollation = QStringLiteral("utf8mb4_thai_520_w2");

} // namespace

bool typeHolds(const QString& actual, const QString& expected) {
    static const QRegularExpression parts(QStringLiteral("^(\\w+)(?:\\(([\\d,]+)\\))?"));
    const auto a = parts.match(actual.trimmed().toLower()), e = parts.match(expected.trimmed().toLower());
    const QString ab = a.captured(1), eb = e.captured(1);
    const QStringList ladders[] = {{"tinyint", "smallint", "mediumint", "int", "bigint"},
                                   {"tinytext", "text", "mediumtext", "longtext"}};
    for (const QStringList& ladder : ladders)
        if (ladder.contains(eb))
            return ladder.indexOf(ab) >= ladder.indexOf(eb);
    if (ab != eb)
        return false;
    if (eb == QLatin1String("varchar") || eb == QLatin1String("char"))
        return a.captured(2).toInt() >= e.captured(2).toInt();
    return a.captured(2) == e.captured(2);
}

namespace {

struct Column {
    QString name, type, dataType, charset, nullable, defaultValue;
    bool isText() const { return !charset.isEmpty(); }
    bool isDate() const { return dataType == QLatin1String("date") || dataType == QLatin1String("datetime"); }
};

struct Table {
    QString name, engine, collation;
    QString target; // the name it has once the migration's steps so far have run
    QList<Column> columns;
    QHash<QString, QStringList> indexes; // index name -> columns, lower case
};

bool isCounterTable(const QString& name) {
    for (const Numbering& k : numberings())
        if (name == k.table)
            return true;
    return false;
}

class Analyser {
public:
    explicit Analyser(Connection& c) : c_(c) {}
    Analysis run();

private:
    Connection& c_;
    Analysis a_;
    QHash<QString, Table> tables_; // by lower-case name
    bool galera_ = false;
    bool exactNames_ = false;
    QMap<QString, QList<QPair<QString, QString>>> missingRows_; // counter table -> column, value

    void line(const QString& text) { a_.report << text; }
    void toDo(const QString& text) {
        a_.report << QStringLiteral("  ! ") + text;
        ++a_.toDo;
    }
    void step(const QString& sql, const QString& logQuery = {}) { a_.plan.append({logQuery, sql}); }
    qint64 number(const QString& sql) { return c_.query(sql).value(0, 0).toLongLong(); }

    void readTables();
    void table(const ExpectedTable& e);
    void dates(const Table& t, const ExpectedTable& e);
    void text(const Table& t);
    void counters();
    void counter(const Numbering& k, const QString& name, const QString& table, const QString& usedTable,
                 const QString& target);
    void orphans();
    void cluster();
    void pieces(const PieceTable& p);
    void kept();
    // The schema's triggers on `table` of one kind, by the part of their names that tells it:
    // "_gram_" (the search pieces), "_alert" (the alerts' queue), "_history_" (the change history),
    // "_latest_" and "_month_" (what is kept from the issues).
    bool missingTriggers(const QString& table, const QString& why, const char* kind);
    void history();
    void staffRoles();
};

void Analyser::readTables() {
    const Result t =
        c_.query(QStringLiteral("SELECT TABLE_NAME, ENGINE, TABLE_COLLATION FROM information_schema.TABLES "
                                "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_TYPE = 'BASE TABLE'"));
    for (int i = 0; i < t.rowCount(); ++i)
        tables_.insert(t.text(i, 0).toLower(), {t.text(i, 0), t.text(i, 1), t.text(i, 2), t.text(i, 0), {}, {}});
    const Result cols = c_.query(QStringLiteral(
        "SELECT TABLE_NAME, COLUMN_NAME, COLUMN_TYPE, DATA_TYPE, CHARACTER_SET_NAME, IS_NULLABLE, COLUMN_DEFAULT "
        "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() ORDER BY TABLE_NAME, ORDINAL_POSITION"));
    for (int i = 0; i < cols.rowCount(); ++i)
        if (auto it = tables_.find(cols.text(i, 0).toLower()); it != tables_.end())
            it->columns.append({cols.text(i, 1), cols.text(i, 2), cols.text(i, 3).toLower(), cols.text(i, 4),
                                cols.text(i, 5), cols.value(i, 6).isNull() ? QStringLiteral("NULL") : cols.text(i, 6)});
    const Result keys = c_.query(QStringLiteral("SELECT TABLE_NAME, INDEX_NAME, COLUMN_NAME FROM "
                                                "information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE() "
                                                "ORDER BY TABLE_NAME, INDEX_NAME, SEQ_IN_INDEX"));
    for (int i = 0; i < keys.rowCount(); ++i)
        if (auto it = tables_.find(keys.text(i, 0).toLower()); it != tables_.end())
            it->indexes[keys.text(i, 1)] << keys.text(i, 2).toLower();
}

Analysis Analyser::run() {
    const Result server = c_.query(QStringLiteral("SELECT VERSION(), @@lower_case_table_names, @@GLOBAL.sql_mode, "
                                                  "DATABASE(), @@character_set_server, @@collation_server"));
    exactNames_ = server.value(0, 1).toLongLong() == 0;
    line(QStringLiteral("server %1, database %2").arg(server.text(0, 0), server.text(0, 3)));
    line(QStringLiteral("lower_case_table_names = %1, sql_mode = %2, character set %3 / %4")
             .arg(server.text(0, 1), server.text(0, 2).isEmpty() ? QStringLiteral("(empty)") : server.text(0, 2),
                  server.text(0, 4), server.text(0, 5)));
    if (!server.text(0, 2).contains(QLatin1String("STRICT")))
        line(QStringLiteral("  (the program sets strict mode for its own sessions; other programs get the server's)"));
    readTables();
    for (const ExpectedTable& e : schemaTables())
        table(e);
    counters();
    orphans();
    // A Galera cluster runs without the triggers (the program's saves write the pieces there):
    // under saves on two nodes at once they were seen failing to load.
    galera_ = number(QStringLiteral("SELECT COUNT(*) FROM information_schema.GLOBAL_VARIABLES WHERE "
                                    "VARIABLE_NAME = 'WSREP_ON' AND VARIABLE_VALUE = 'ON'")) > 0;
    pieces(titleNames);
    pieces(subjectTexts);
    pieces(articleTitles);
    kept();
    // New-issue alerts are queued by the database whoever checks an issue in or indexes it.
    for (const char* t : {"tranfile", "article"})
        if (!galera_ && tables_.contains(QLatin1String(t)))
            missingTriggers(QLatin1String(t), QStringLiteral("issues checked in or indexed are not queued for alerts"),
                            "_alert");
    history();
    staffRoles();
    cluster();
    line(a_.toDo == 0 ? QStringLiteral("nothing needs doing")
                      : QStringLiteral("%1 thing(s) need doing; `warasan-dbcheck --migrate --backup FILE` does those "
                                       "marked for the migration")
                            .arg(a_.toDo));
    return a_;
}

void Analyser::table(const ExpectedTable& e) {
    const auto found = tables_.constFind(e.name.toLower());
    if (found == tables_.cend()) {
        line(QStringLiteral("table %1: missing").arg(e.name));
        toDo(QStringLiteral("%1 is missing: the migration creates it").arg(e.name));
        step(e.create);
        return;
    }
    Table t = *found;
    line(QStringLiteral("table %1: engine %2, collation %3, %4 columns")
             .arg(t.name, t.engine, t.collation)
             .arg(t.columns.size()));
    if (exactNames_ && t.name != e.name) {
        toDo(QStringLiteral("%1 is named %2: statements naming %1 fail on this server; renamed").arg(e.name, t.name));
        step(QStringLiteral("RENAME TABLE %1 TO %2").arg(quoted(t.name), quoted(e.name)));
        t.target = e.name;
    }
    dates(t, e);
    text(t);
    QStringList alter;
    if (t.engine.compare(QLatin1String("InnoDB"), Qt::CaseInsensitive) != 0) {
        toDo(QStringLiteral("%1 is %2: a failed save would stay half-written; converted to InnoDB")
                 .arg(e.name, t.engine));
        alter << QStringLiteral("ENGINE=InnoDB");
    }
    QMap<QString, int> narrow; // character set -> text columns in it
    for (const Column& col : t.columns)
        if (col.isText() && col.charset != QLatin1String("utf8mb4"))
            ++narrow[col.charset];
    if (!narrow.isEmpty() || t.collation != thaiCollation) {
        if (!narrow.isEmpty()) {
            QStringList sets;
            for (auto it = narrow.cbegin(); it != narrow.cend(); ++it)
                sets << QStringLiteral("%1 in %2").arg(it.value()).arg(it.key());
            toDo(QStringLiteral("%1: text columns not in utf8mb4 (%2) cannot hold every character; converted")
                     .arg(e.name, sets.join(QStringLiteral(", "))));
        } else
            toDo(QStringLiteral("%1: collation %2, not %3 (Thai dictionary order); converted")
                     .arg(e.name, t.collation, thaiCollation));
        alter << QStringLiteral("CONVERT TO CHARACTER SET utf8mb4 COLLATE %1").arg(thaiCollation);
    }
    for (int i = 0; i < e.columns.size(); ++i) {
        const ExpectedColumn& want = e.columns.at(i);
        // A column missing by name is appended, whatever another program put in its place.
        const bool named = std::any_of(t.columns.cbegin(), t.columns.cend(), [&](const Column& col) {
            return col.name.compare(want.name, Qt::CaseInsensitive) == 0;
        });
        if (!named) {
            toDo(QStringLiteral("%1.%2 is missing: appended at the end").arg(e.name, want.name));
            alter << QStringLiteral("ADD COLUMN %1 %2").arg(want.name, want.definition);
            continue;
        }
        if (i >= t.columns.size())
            continue;
        const Column& have = t.columns.at(i);
        if (have.name.compare(want.name, Qt::CaseInsensitive) != 0)
            toDo(QStringLiteral("%1: column %2 is %3, not %4; column order is left for a person to decide "
                                "(other programs read by position)")
                     .arg(e.name)
                     .arg(i + 1)
                     .arg(have.name, want.name));
        else if (!typeHolds(have.type, want.definition) && isCounterTable(e.name)) {
            toDo(QStringLiteral("%1.%2 is %3, not %4; converted (its value is set below)")
                     .arg(e.name, want.name, have.type, want.definition.section(QLatin1Char(' '), 0, 0)));
            alter << QStringLiteral("MODIFY %1 %2").arg(want.name, want.definition);
        } else if (!typeHolds(have.type, want.definition))
            toDo(QStringLiteral("%1.%2 is %3, not %4; left for a person to decide")
                     .arg(e.name, want.name, have.type, want.definition.section(QLatin1Char(' '), 0, 0)));
    }
    for (const ExpectedKey& k : e.keys) {
        bool present = false;
        for (auto it = t.indexes.cbegin(); it != t.indexes.cend() && !present; ++it)
            present = *it == k.columns;
        if (!present) {
            // An index of that name on other columns is an older form of it.
            const bool older = t.indexes.contains(k.name);
            toDo(QStringLiteral("%1: index %2 (%3) is %4; added")
                     .arg(e.name, k.name, k.columns.join(", "),
                          older ? QStringLiteral("on other columns") : QStringLiteral("missing")));
            if (older)
                alter << QStringLiteral("DROP INDEX %1").arg(quoted(k.name));
            alter << QStringLiteral("ADD ") + k.definition;
        }
    }
    if (!alter.isEmpty())
        step(QStringLiteral("ALTER TABLE %1 %2").arg(quoted(e.name), alter.join(QStringLiteral(", "))));
}

// Zero dates ("0000-00-00", or a zero month or day) and empty dates kept as text.
void Analyser::dates(const Table& t, const ExpectedTable& e) {
    QStringList sums;
    QList<const Column*> probed;
    for (const Column& col : t.columns) {
        bool date = false; // a date column of the program's, whatever this copy made of it
        for (const ExpectedColumn& want : e.columns)
            date = date || (want.name.compare(col.name, Qt::CaseInsensitive) == 0 &&
                            want.definition.startsWith(QLatin1String("DATE")));
        if (col.isDate())
            sums << QStringLiteral("SUM(MONTH(%1) = 0 OR DAYOFMONTH(%1) = 0)").arg(quoted(col.name));
        else if (date && col.isText())
            sums << QStringLiteral("SUM(TRIM(%1) = '')").arg(quoted(col.name));
        else
            continue;
        probed << &col;
    }
    if (sums.isEmpty())
        return;
    const Result r = c_.query(QStringLiteral("SELECT %1 FROM %2").arg(sums.join(", "), quoted(t.name)));
    QStringList key;
    for (const QString& col : t.indexes.value(QStringLiteral("PRIMARY")))
        key << quoted(col);
    for (int i = 0; i < probed.size(); ++i) {
        const qint64 n = r.value(0, i).toLongLong();
        if (n == 0)
            continue;
        const QString& name = probed.at(i)->name;
        const QString col = quoted(name);
        if (!probed.at(i)->isDate()) {
            line(QStringLiteral("  %1.%2: %3 empty date(s) in a text column: left for a person with the column's type")
                     .arg(t.name, name)
                     .arg(n));
            continue;
        }
        const QString where = QStringLiteral("MONTH(%1) = 0 OR DAYOFMONTH(%1) = 0").arg(col);
        toDo(QStringLiteral("%1.%2: %3 zero or empty date(s); set to NULL (their keys logged)")
                 .arg(t.name, name)
                 .arg(n));
        step(QStringLiteral("UPDATE %1 SET %2 = NULL WHERE %3").arg(quoted(t.target), col, where),
             QStringLiteral("SELECT '%1.%2', %3, CAST(%4 AS CHAR) FROM %5 WHERE %6")
                 .arg(t.name, name, key.isEmpty() ? QStringLiteral("''") : key.join(", "), col, quoted(t.target),
                      where));
    }
}

// Text lost to "?" on the way in, and Thai kept as TIS-620 bytes in a column labelled latin1.
void Analyser::text(const Table& t) {
    struct Probe {
        const Column* col;
        bool thaiBytes; // Thai bytes under a latin1 label, else "??"
    };
    QStringList sums;
    QList<Probe> probes;
    for (const Column& col : t.columns) {
        if (!col.isText())
            continue;
        const QString q = quoted(col.name);
        sums << QStringLiteral("SUM(LOCATE('?\?', %1) > 0)").arg(q);
        probes.append({&col, false});
        if (col.charset == QLatin1String("latin1")) {
            sums << QStringLiteral("SUM(CONVERT(CONVERT(CAST(%1 AS BINARY) USING tis620) USING utf8mb4) "
                                   "REGEXP '[ก-ฮ][ก-๛]')")
                        .arg(q);
            probes.append({&col, true});
        }
    }
    if (sums.isEmpty())
        return;
    const Result r = c_.query(QStringLiteral("SELECT %1 FROM %2").arg(sums.join(", "), quoted(t.name)));
    for (int i = 0; i < probes.size(); ++i) {
        const qint64 n = r.value(0, i).toLongLong();
        const Column& col = *probes.at(i).col;
        if (n == 0)
            continue;
        if (!probes.at(i).thaiBytes) {
            line(QStringLiteral("  %1.%2: %3 row(s) hold \"??\" (text the server could not store, or real question "
                                "marks): look at them")
                     .arg(t.name, col.name)
                     .arg(n));
            continue;
        }
        toDo(QStringLiteral("%1.%2: %3 row(s) hold Thai as TIS-620 bytes in a latin1 column; relabelled as tis620 "
                            "before the conversion")
                 .arg(t.name, col.name)
                 .arg(n));
        QString binary = col.type;
        binary.replace(QRegularExpression(QStringLiteral("^(var)?char"), QRegularExpression::CaseInsensitiveOption),
                       QStringLiteral("\\1binary"));
        binary.replace(QRegularExpression(QStringLiteral("text$"), QRegularExpression::CaseInsensitiveOption),
                       QStringLiteral("blob"));
        const QString null = col.nullable == QLatin1String("YES") ? QStringLiteral("NULL") : QStringLiteral("NOT NULL");
        const QString def = col.defaultValue == QLatin1String("NULL") || col.type.endsWith(QLatin1String("text"))
                                ? QString()
                                : QStringLiteral(" DEFAULT ") + col.defaultValue;
        step(QStringLiteral("ALTER TABLE %1 MODIFY %2 %3 %4").arg(quoted(t.target), quoted(col.name), binary, null));
        step(QStringLiteral("ALTER TABLE %1 MODIFY %2 %3 CHARACTER SET tis620 %4%5")
                 .arg(quoted(t.target), quoted(col.name), col.type, null, def));
    }
}

// What a Galera cluster needs of its servers and tables; nothing is said on a single server.
void Analyser::cluster() {
    const Result v =
        c_.query(QStringLiteral("SELECT @@GLOBAL.wsrep_on, @@GLOBAL.binlog_format, @@GLOBAL.innodb_autoinc_lock_mode"));
    if (v.value(0, 0).toInt() == 0)
        return;
    const Result status = c_.query(
        QStringLiteral("SHOW GLOBAL STATUS WHERE Variable_name IN ('wsrep_cluster_size', 'wsrep_cluster_status', "
                       "'wsrep_local_state_comment', 'wsrep_ready', 'wsrep_incoming_addresses')"));
    QStringList seen;
    for (const auto& row : status.rows)
        seen << QStringLiteral("%1 = %2").arg(row.at(0).toString().toLower(), row.at(1).toString());
    line(QStringLiteral("cluster node: ") + seen.join(QStringLiteral(", ")));
    if (v.text(0, 1).compare(QLatin1String("ROW"), Qt::CaseInsensitive) != 0)
        toDo(QStringLiteral("binlog_format is %1; a cluster replicates rows only with ROW (set it in every node's "
                            "configuration)")
                 .arg(v.text(0, 1)));
    if (v.text(0, 2) != QLatin1String("2"))
        toDo(QStringLiteral("innodb_autoinc_lock_mode is %1; a cluster needs 2 (set it in every node's configuration)")
                 .arg(v.text(0, 2)));
    for (const Table& t : std::as_const(tables_))
        if (!t.indexes.contains(QStringLiteral("PRIMARY")))
            toDo(QStringLiteral("%1 has no primary key: a cluster cannot apply its changes row by row").arg(t.name));
}

void Analyser::counters() {
    missingRows_.clear();
    for (const Numbering& k : numberings()) {
        const QString name = QStringLiteral("%1.%2").arg(k.table, k.column);
        const auto table = tables_.constFind(k.table);
        const auto usedTable = tables_.constFind(k.usedTable);
        if (table == tables_.cend() || usedTable == tables_.cend())
            continue; // reported missing with its table, created by the migration
        try {
            counter(k, name, quoted(table->name), quoted(usedTable->name), quoted(table->target));
        } catch (const DbError& e) {
            toDo(QStringLiteral("%1 could not be read: %2").arg(name, e.describe()));
        }
    }
    // A counter table without its row gets one row holding all its counters.
    for (auto it = missingRows_.cbegin(); it != missingRows_.cend(); ++it) {
        QStringList columns, values;
        for (const auto& [column, value] : *it) {
            columns << column;
            values << QLatin1Char('\'') + value + QLatin1Char('\'');
        }
        step(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(it.key(), columns.join(", "), values.join(", ")));
    }
}

void Analyser::counter(const Numbering& k, const QString& name, const QString& table, const QString& usedTable,
                       const QString& target) {
    const QString &column = k.column, &prefix = k.prefix, &used = k.usedColumn;
    const QString numeric = prefix.isEmpty()
                                ? QStringLiteral("TRIM(%1)").arg(used)
                                : QStringLiteral("SUBSTRING(TRIM(%1), %2)").arg(used).arg(prefix.size() + 1);
    const qint64 highest =
        number(QStringLiteral("SELECT COALESCE(MAX(CAST(%1 AS UNSIGNED)), 0) FROM %2 WHERE %1 REGEXP '^[0-9]{1,18}$'%3")
                   .arg(numeric, usedTable,
                        prefix.isEmpty() ? QString() : QStringLiteral(" AND %1 LIKE '%2%'").arg(used, prefix)));
    const Result r = c_.query(QStringLiteral("SELECT %1 FROM %2 LIMIT 1").arg(column, table));
    const QString proper = k.counterText(highest + 1);
    if (r.isEmpty()) {
        toDo(QStringLiteral("%1: no counter row; created at %2").arg(name, proper));
        missingRows_[target] << qMakePair(column, proper);
        return;
    }
    const QString text = r.text(0, 0).trimmed();
    const bool lettered = !k.counterBare && !prefix.isEmpty();
    const auto value = counterValue(lettered && text.startsWith(prefix, Qt::CaseInsensitive) ? text.mid(1) : text);
    QString why;
    if (!value)
        why = QStringLiteral("\"%1\" is not a number").arg(r.text(0, 0));
    else if (*value <= highest)
        why = QStringLiteral("%1 is not above the highest number used, %2").arg(text).arg(highest);
    else if (r.text(0, 0) != k.counterText(*value))
        why = QStringLiteral("\"%1\" is not written as %2").arg(r.text(0, 0), k.counterText(*value));
    else
        return;
    const QString to = value && *value > highest ? k.counterText(*value) : proper;
    toDo(QStringLiteral("%1: %2; set to %3").arg(name, why, to));
    step(QStringLiteral("UPDATE %1 SET %2 = '%3'").arg(target, column, to));
}

void Analyser::orphans() {
    struct Query {
        const char* what;
        const char* sql;
    };
    const Query queries[] = {
        {"author links of missing articles",
         "SELECT COUNT(*) FROM {mauthfile} a WHERE NOT EXISTS (SELECT 1 FROM {article} r WHERE r.article_no = "
         "a.article_no)"},
        {"subject rows of missing articles",
         "SELECT COUNT(*) FROM {msubject} s WHERE NOT EXISTS (SELECT 1 FROM {article} r WHERE r.article_no = "
         "s.article_no)"},
        {"pen names whose true name is gone",
         "SELECT COUNT(*) FROM {authname} p WHERE TRIM(COALESCE(p.trueidno, '')) <> '' AND NOT EXISTS "
         "(SELECT 1 FROM {authname} t WHERE t.idno = p.trueidno)"},
        {"title names held by more than one title",
         "SELECT COUNT(*) FROM (SELECT Magazine_Name FROM {magazine} GROUP BY Magazine_Name HAVING COUNT(*) > 1) d"},
    };
    for (const Query& q : queries) {
        try {
            // The tables under the names they have here (the migration may not have renamed them yet).
            QString sql = QLatin1String(q.sql);
            for (auto it = tables_.cbegin(); it != tables_.cend(); ++it)
                sql.replace(QLatin1Char('{') + it.key() + QLatin1Char('}'), quoted(it->name));
            if (const qint64 n = number(sql); n > 0)
                toDo(QStringLiteral("%1 %2: left for a person to decide").arg(n).arg(QLatin1String(q.what)));
        } catch (const DbError& e) {
            toDo(QStringLiteral("%1 could not be counted: %2").arg(QLatin1String(q.what), e.describe()));
        }
    }
}

// The pieces behind the title and subject searches, against the texts, and the triggers that
// keep them in step whoever writes a text: without them a text another program wrote is not
// found until the pieces are rebuilt. Pieces of texts no longer held (a heading no article
// keeps) cost a look-up and change no result: counted, not a fault. Missing triggers are
// created before the pieces are made anew, so no write falls between the two.
void Analyser::pieces(const PieceTable& p) {
    const QString table = QLatin1String(p.table), key = QLatin1String(p.key);
    if (!tables_.contains(QLatin1String(p.rows)))
        return;
    bool rebuild = !tables_.contains(table);
    if (!rebuild) {
        // Pieces a text holds that the table lacks, and pieces the table holds that their text
        // no longer does (or whose row is gone).
        const Result r = c_.query(
            QStringLiteral("SELECT (SELECT COUNT(*) FROM %1), (SELECT COUNT(*) FROM (%3) e WHERE NOT EXISTS (SELECT 1 "
                           "FROM %1 g WHERE g.gram = e.gram AND g.%2 = e.`key`)), (SELECT COUNT(*) FROM %1 g WHERE "
                           "NOT EXISTS (SELECT 1 FROM %4 s WHERE s.%2 = g.%2 AND INSTR(s.%5, g.gram) > 0))")
                .arg(table, key, piecesOfEveryText(p), QLatin1String(p.rows), QLatin1String(p.text)));
        const qint64 missing = r.value(0, 1).toLongLong();
        line(QStringLiteral("%1: %2 pieces, %3 missing, %4 of texts no longer held")
                 .arg(table)
                 .arg(r.value(0, 0).toLongLong())
                 .arg(missing)
                 .arg(r.value(0, 2).toLongLong()));
        if (missing > 0) {
            toDo(QStringLiteral("%1: pieces out of step with %2.%3; rebuilt")
                     .arg(table, QLatin1String(p.rows), QLatin1String(p.text)));
            rebuild = true;
        }
    }
    if (!galera_ && missingTriggers(QLatin1String(p.rows),
                                    QStringLiteral("a text another program writes is not searched"), "_gram_"))
        rebuild = true;
    if (rebuild)
        for (const QString& sql : piecesRebuild(p))
            step(sql);
}

// What the database keeps from the issues for the desk and the charts (each title's latest
// issue date, the issues checked in each month), compared with the issues themselves: rows that
// differ are counted and the table made anew, after its triggers are in place (a cluster runs
// without them; its readers then read the issues).
void Analyser::kept() {
    struct Kept {
        const char* table;
        const char* kind;
        const char* why;
        const char* differ;
        const char* rebuild;
    };
    static const Kept all[] = {
        {"title_latest", "_latest_", "the desk's lists would miss the issues others check in",
         "SELECT (SELECT COUNT(*) FROM (SELECT pointer, MAX(daily) AS d FROM tranfile WHERE daily > '1000-01-01' "
         "GROUP BY pointer) x LEFT JOIN title_latest l ON l.pointer = x.pointer WHERE NOT (l.daily <=> x.d)) + "
         "(SELECT COUNT(*) FROM title_latest l WHERE l.daily IS NOT NULL AND NOT EXISTS (SELECT 1 FROM tranfile t "
         "WHERE t.pointer = l.pointer AND t.daily > '1000-01-01'))",
         "INSERT INTO title_latest (pointer, daily) SELECT pointer, MAX(daily) FROM tranfile WHERE daily > "
         "'1000-01-01' GROUP BY pointer ON DUPLICATE KEY UPDATE daily = VALUES(daily)"},
        {"arrival_month", "_month_", "the charts would miss the issues others check in",
         "SELECT (SELECT COUNT(*) FROM (SELECT indate - INTERVAL DAYOFMONTH(indate) - 1 DAY AS m, COUNT(*) AS n FROM "
         "tranfile WHERE indate > '1000-01-01' GROUP BY 1) x LEFT JOIN arrival_month a ON a.month = x.m WHERE NOT "
         "(a.issues <=> x.n)) + (SELECT COUNT(*) FROM arrival_month a WHERE a.issues <> 0 AND NOT EXISTS (SELECT 1 "
         "FROM tranfile t WHERE t.indate BETWEEN a.month AND LAST_DAY(a.month)))",
         "INSERT INTO arrival_month (month, issues) SELECT indate - INTERVAL DAYOFMONTH(indate) - 1 DAY, COUNT(*) "
         "FROM tranfile WHERE indate > '1000-01-01' GROUP BY 1 ON DUPLICATE KEY UPDATE issues = VALUES(issues)"},
    };
    if (!tables_.contains(QStringLiteral("tranfile")))
        return;
    for (const Kept& k : all) {
        const QString table = QLatin1String(k.table);
        bool rebuild = !tables_.contains(table);
        if (!rebuild) {
            const qint64 differ = number(QLatin1String(k.differ));
            line(QStringLiteral("%1: %2 row(s) differ from the issues").arg(table).arg(differ));
            if (differ > 0) {
                toDo(QStringLiteral("%1: out of step with tranfile; made anew").arg(table));
                rebuild = true;
            }
        }
        if (!galera_ && missingTriggers(QStringLiteral("tranfile"), QLatin1String(k.why), k.kind))
            rebuild = true;
        if (rebuild) {
            step(QStringLiteral("DELETE FROM %1").arg(table));
            step(QLatin1String(k.rebuild));
        }
    }
}

// Creates the schema's triggers on `table` that the database lacks, and replaces those whose
// body is not the schema's (an older version's); says why each matters.
bool Analyser::missingTriggers(const QString& table, const QString& why, const char* kind) {
    const Result have = c_.query(QStringLiteral("SELECT LOWER(TRIGGER_NAME), ACTION_STATEMENT FROM "
                                                "information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = DATABASE() AND "
                                                "LOWER(EVENT_OBJECT_TABLE) = ?"),
                                 {table.toLower()});
    const auto folded = [](QString sql) { return sql.simplified().remove(QLatin1Char(';')); };
    // The server keeps the body alone, without the order among the table's triggers.
    static const QRegularExpression order(QStringLiteral("^\\s*(FOLLOWS|PRECEDES)\\s+\\w+"));
    QHash<QString, QString> present;
    for (int i = 0; i < have.rowCount(); ++i)
        present.insert(have.text(i, 0), folded(have.text(i, 1)));
    bool created = false;
    for (const ExpectedTrigger& t : schemaTriggers()) {
        if (t.table.compare(table, Qt::CaseInsensitive) != 0 || !t.name.contains(QLatin1String(kind)))
            continue;
        const auto it = present.constFind(t.name.toLower());
        if (it == present.constEnd()) {
            toDo(QStringLiteral("trigger %1 on %2 is missing: %3; created").arg(t.name, t.table, why));
            step(t.create);
            created = true;
        } else if (const qsizetype body = t.create.indexOf(QLatin1String("FOR EACH ROW"));
                   body > 0 && *it != folded(t.create.mid(body + 12).remove(order))) {
            toDo(QStringLiteral("trigger %1 on %2 is out of date: %3; replaced").arg(t.name, t.table, why));
            step(QString(t.create).replace(0, 14, QStringLiteral("CREATE OR REPLACE TRIGGER")));
            created = true;
        }
    }
    return created;
}

// Every change to the records leaves its row in change_history, whoever makes it: the history's
// triggers on every table the program writes (a Galera cluster runs without them, below).
void Analyser::history() {
    QStringList traced;
    for (const ExpectedTrigger& t : schemaTriggers())
        if (t.name.contains(QLatin1String("_history_")) && !traced.contains(t.table))
            traced << t.table;
    if (tables_.contains(QStringLiteral("change_history")))
        line(QStringLiteral("change history: %1 rows")
                 .arg(number(QStringLiteral("SELECT TABLE_ROWS FROM information_schema.TABLES WHERE TABLE_SCHEMA = "
                                            "DATABASE() AND TABLE_NAME = 'change_history'"))));
    // A Galera node (MariaDB 10.11) fails to load trigger bodies under saves on two nodes at
    // once, and then fails every save to the table: a cluster runs without them.
    if (galera_) {
        line(QStringLiteral("change history: not kept on a cluster (its triggers fail there under concurrent saves)"));
        return;
    }
    // A traced table the migration creates gets its triggers in the same run.
    for (const QString& t : traced)
        missingTriggers(t, QStringLiteral("its changes are not traced to the person who made them"), "_history_");
}

// The staff roles and their rights on this database, as db/roles.sql gives them: a right
// missing is given, and a right on this database beyond them (the history written by staff, a
// task's table given to another) is taken back.
void Analyser::staffRoles() {
    try {
        number(QStringLiteral("SELECT COUNT(*) FROM mysql.global_priv WHERE 0"));
    } catch (const DbError&) {
        line(QStringLiteral(
            "staff roles: this account cannot read them; check with an administrative account (--user)"));
        return;
    }
    QSet<QString> expected;
    for (const RoleRight& g : roleRights())
        expected << QStringLiteral("%1 %2 %3").arg(roleSqlName(g.role), g.privilege, g.table);
    QSet<QString> present;
    const Result r = c_.query(QStringLiteral(
        "SELECT SUBSTRING_INDEX(SUBSTRING_INDEX(GRANTEE, '''', 2), '''', -1), PRIVILEGE_TYPE, LOWER(TABLE_NAME) FROM "
        "information_schema.TABLE_PRIVILEGES WHERE TABLE_SCHEMA = DATABASE() AND GRANTEE LIKE '''warasan\\_%''@''''' "
        "UNION ALL SELECT SUBSTRING_INDEX(SUBSTRING_INDEX(GRANTEE, '''', 2), '''', -1), PRIVILEGE_TYPE, '*' FROM "
        "information_schema.SCHEMA_PRIVILEGES WHERE DATABASE() LIKE TABLE_SCHEMA AND GRANTEE LIKE "
        "'''warasan\\_%''@'''''"));
    for (int i = 0; i < r.rowCount(); ++i)
        if (roleByName(r.text(i, 0)))
            present << QStringLiteral("%1 %2 %3").arg(r.text(i, 0), r.text(i, 1), r.text(i, 2));
    const QSet<QString> missing = expected - present, extra = present - expected;
    line(QStringLiteral("staff roles: %1 rights of %2 in place").arg((expected & present).size()).arg(expected.size()));
    // Guessing a member's password: the server blocks the account after so many wrong ones
    // (lowered when a member is added; the server's configuration keeps it over a restart).
    const qint64 limit = number(QStringLiteral("SELECT @@GLOBAL.max_password_errors"));
    line(limit > signInAttempts
             ? QStringLiteral("sign-in limit: none below %1 wrong passwords (max_password_errors); adding a member "
                              "sets %2, set it in the server's configuration too")
                   .arg(limit)
                   .arg(signInAttempts)
             : QStringLiteral("sign-in limit: an account is blocked after %1 wrong passwords from another machine")
                   .arg(limit));
    if (!missing.isEmpty()) {
        toDo(QStringLiteral("staff roles lack %1 right(s) (e.g. %2); given").arg(missing.size()).arg(*missing.begin()));
        for (const QString& s : roleStatements())
            step(s);
    }
    for (const QString& e : extra) {
        const QStringList p = e.split(QLatin1Char(' '));
        toDo(QStringLiteral("role %1 may %2 on %3, beyond its task; taken back").arg(p.at(0), p.at(1), p.at(2)));
        step(QStringLiteral("REVOKE %1 ON %2 FROM %3")
                 .arg(p.at(1), p.at(2) == QLatin1String("*") ? p.at(2) : quoted(p.at(2)), p.at(0)));
    }
}

} // namespace

Analysis analyse(Connection& c) {
    return Analyser(c).run();
}

} // namespace data::dbcheck
