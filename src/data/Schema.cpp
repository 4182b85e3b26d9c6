#include "data/Schema.h"

#include <QFile>
#include <QRegularExpression>

#include <stdexcept>

namespace data {

namespace {

QStringList keyColumns(const QString& list) {
    QStringList out;
    for (QString col : list.split(QLatin1Char(','))) {
        col = col.trimmed();
        out << col.left(col.indexOf(QLatin1Char('(')) < 0 ? col.size() : col.indexOf(QLatin1Char('('))).toLower();
    }
    return out;
}

QString schemaText() {
    return builtInSql(QStringLiteral(":/db/schema.sql"));
}

QList<ExpectedTable> readSchema() {
    const QString text = schemaText();
    static const QRegularExpression table(QStringLiteral("CREATE TABLE (\\w+) \\((.*?)\\n\\) ENGINE=InnoDB;"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression key(QStringLiteral("^(PRIMARY KEY|(?:UNIQUE )?KEY (\\w+)) \\((.*)\\)$"));
    QList<ExpectedTable> out;
    for (auto it = table.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        ExpectedTable t{m.captured(1), {}, {}, m.captured(0).chopped(1)};
        for (QString line : m.captured(2).split(QLatin1Char('\n'))) {
            line = line.trimmed();
            if (line.endsWith(QLatin1Char(',')))
                line.chop(1);
            if (line.isEmpty())
                continue;
            if (const auto k = key.match(line); k.hasMatch())
                t.keys.append({k.captured(2).isEmpty() ? QStringLiteral("PRIMARY") : k.captured(2),
                               keyColumns(k.captured(3)), line});
            else
                t.columns.append({line.section(QLatin1Char(' '), 0, 0),
                                  line.section(QLatin1Char(' '), 1, -1, QString::SectionSkipEmpty)});
        }
        out.append(t);
    }
    if (out.isEmpty())
        throw std::runtime_error("the built-in table definitions could not be read");
    return out;
}

QList<ExpectedTrigger> readTriggers() {
    static const QRegularExpression trigger(QStringLiteral("CREATE TRIGGER (\\w+) \\w+ \\w+ ON (\\w+) .*?;\\n"),
                                            QRegularExpression::DotMatchesEverythingOption);
    QList<ExpectedTrigger> out;
    const QString text = schemaText();
    for (auto it = trigger.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out.append({m.captured(1), m.captured(2), m.captured(0).trimmed().chopped(1)});
    }
    return out;
}

} // namespace

QString builtInSql(const QString& resource) {
    QFile f(resource);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("the built-in " + resource.toStdString() + " is missing");
    QString text = QString::fromUtf8(f.readAll());
    text.remove(QRegularExpression(QStringLiteral("--[^\\n]*")));
    return text;
}

const QList<ExpectedTrigger>& schemaTriggers() {
    static const QList<ExpectedTrigger> triggers = readTriggers();
    return triggers;
}

const QList<ExpectedTable>& schemaTables() {
    static const QList<ExpectedTable> tables = readSchema();
    return tables;
}

const ExpectedTable* schemaTable(const QString& name) {
    for (const ExpectedTable& t : schemaTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

} // namespace data
