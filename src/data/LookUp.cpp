#include "data/LookUp.h"

#include "data/Charsets.h"

#include <algorithm>

namespace data {

Result lookUp(Connection& c, const QString& sql, const Params& params) {
    try {
        return c.query(sql, params);
    } catch (const DbError& e) {
        const bool foreignText = std::any_of(params.begin(), params.end(), [](const QVariant& p) {
            return p.metaType().id() == QMetaType::QString && !unstorable(p.toString(), {"ascii"}).isEmpty();
        });
        if (!foreignText || e.kind() != DbError::Kind::MixedCollations)
            throw;
        return {};
    }
}

} // namespace data
