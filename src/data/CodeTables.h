#pragma once

#include "data/Connection.h"

#include <QList>
#include <QString>

namespace data {

// A code table: a code column and a Thai description column.
struct CodeTable {
    QString table;
    QString codeColumn;
    QString descriptionColumn;
};

struct CodeRow {
    QString code;
    QString description;
};

namespace codetables {
extern const CodeTable typemag;    // kind of publication
extern const CodeTable language;   // language
extern const CodeTable magtype;    // publication frequency
extern const CodeTable department; // subscribing faculty or unit
extern const CodeTable receives;   // subscription status
extern const CodeTable bindcolor;  // cover colour of bound volumes
extern const CodeTable statustype; // membership status
} // namespace codetables

// The whole table, in code order.
QList<CodeRow> loadCodeTable(Connection& c, const CodeTable& table);

} // namespace data
