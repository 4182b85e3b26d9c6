// The migration: the plan the check made, run statement by statement with its log.
#include "dbcheck/DbCheck.h"

namespace data::dbcheck {

void migrate(Connection& c, const QList<Step>& plan, const Say& log) {
    c.exec(QStringLiteral("SET SESSION sql_mode = 'NO_ENGINE_SUBSTITUTION'"));
    for (const Step& s : plan) {
        if (!s.logQuery.isEmpty()) {
            const Result keys = c.query(s.logQuery);
            for (const auto& row : keys.rows) {
                QStringList cells;
                for (const QVariant& v : row)
                    cells << v.toString();
                log(QStringLiteral("  was: ") + cells.join(QStringLiteral(" | ")));
            }
        }
        log(s.sql + QLatin1Char(';'));
        c.exec(s.sql);
    }
}

} // namespace data::dbcheck
