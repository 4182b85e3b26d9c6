#pragma once

#include "data/Counter.h"

#include <QList>
#include <QString>

namespace data {

// The records the program numbers.
enum class Numbered { Issue, Article, Author, Volume, TitleJ, TitleI, TitleK, TitleL };

// How one kind of record is numbered: the one-row counter table and column that give the next
// number, the column of the records that carry it, and the form of their codes. The stores,
// the formatting of codes and the database check all read it from here.
struct Numbering {
    Numbered kind;
    QString table, column;         // the counter
    QString usedTable, usedColumn; // the numbered records
    QString prefix;                // the letter before the number in a code ("J"), or none
    int digits;                    // the number's width in a code, zeros in front; 0: as it is
    bool counterBare;              // the counter keeps the bare number, not the code (volumes)

    QString code(qint64 n) const { return prefix + QStringLiteral("%1").arg(n, digits, 10, QLatin1Char('0')); }
    // The counter's text for the next number `n`, in its proper form.
    QString counterText(qint64 n) const { return counterBare ? QString::number(n) : code(n); }
    CounterColumn counter() const { return {table, column}; }
};

const QList<Numbering>& numberings();
const Numbering& numbering(Numbered kind);
// The title series 1 to 4 (J, I, K, L).
const Numbering& titleNumbering(int series);

} // namespace data
