#pragma once

#include "data/Connection.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace data {

// One change to one row, as the database's history triggers recorded it.
struct Change {
    QDateTime at;
    QString by;            // USER(): the account and the host it came from
    QString table;         // the table's name
    QString key;           // the row's primary key ("/" between the columns of a longer one)
    QChar action;          // I inserted, U updated, D deleted
    QString before, after; // the whole row as JSON objects; empty where there is none

    QString person() const { return by.section(QLatin1Char('@'), 0, 0); }
    QString actionCaption() const; // เพิ่ม แก้ไข ลบ
    // What the change did, column by column: "Magazine_Name: ก → ข"; for an insert or a
    // delete, the row's values.
    QString summary() const;
};

// The newest change to a row; none when nothing is recorded of it, or when the database has
// no history yet.
std::optional<Change> lastChange(Connection& c, const QString& table, const QString& key);
// The newest change to any row of a table (a number control's single row), and all of them.
std::optional<Change> lastChangeOfTable(Connection& c, const QString& table);
QList<Change> tableHistory(Connection& c, const QString& table);
// Every change to a row, newest first.
QList<Change> rowHistory(Connection& c, const QString& table, const QString& key);
// The changes made between two days (both included), oldest first; by one person (the account
// name without its host) unless `person` is empty.
QList<Change> changesBetween(Connection& c, const QDate& from, const QDate& to, const QString& person = {});
// Everyone who has changed anything (account names without their hosts), in order.
QStringList historyPeople(Connection& c);

} // namespace data
