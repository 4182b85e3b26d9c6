#include "data/CodeTables.h"

namespace data {

namespace codetables {
const CodeTable typemag{QStringLiteral("typemag"), QStringLiteral("Type_Code"), QStringLiteral("Type_Thai_Descrition")};
const CodeTable language{QStringLiteral("language"), QStringLiteral("Language_Code"), QStringLiteral("LangDesTh")};
const CodeTable magtype{QStringLiteral("magtype"), QStringLiteral("MagType_Code"), QStringLiteral("MagType_Thai_Des")};
const CodeTable department{QStringLiteral("department"), QStringLiteral("Department_Code"),
                           QStringLiteral("Department_Thai_Des")};
const CodeTable receives{QStringLiteral("receives"), QStringLiteral("receivestatus"),
                         QStringLiteral("receivestatusdes")};
const CodeTable bindcolor{QStringLiteral("bindcolor"), QStringLiteral("BindType_code"),
                          QStringLiteral("BindColor_DesTh")};
const CodeTable statustype{QStringLiteral("statustype"), QStringLiteral("Status_code"),
                           QStringLiteral("Status_thai_Descrition")};
} // namespace codetables

QList<CodeRow> loadCodeTable(Connection& c, const CodeTable& t) {
    // Table and column names come from the fixed list above, never from the user.
    const Result r =
        c.query(QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1").arg(t.codeColumn, t.descriptionColumn, t.table));
    QList<CodeRow> rows;
    rows.reserve(r.rowCount());
    for (int i = 0; i < r.rowCount(); ++i)
        rows.append({r.text(i, 0), r.text(i, 1)});
    return rows;
}

} // namespace data
