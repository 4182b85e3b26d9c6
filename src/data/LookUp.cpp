#include "data/LookUp.h"

#include "data/Charsets.h"

#include <algorithm>

namespace data {

namespace {

// Runs `read`; a mix of collations caused by typed text no column can hold is no rows.
bool unlessUnstorable(const Params& params, const std::function<void()>& read) {
    try {
        read();
        return true;
    } catch (const DbError& e) {
        const bool foreignText = std::any_of(params.begin(), params.end(), [](const QVariant& p) {
            return p.metaType().id() == QMetaType::QString && !unstorable(p.toString(), {"ascii"}).isEmpty();
        });
        if (!foreignText || e.kind() != DbError::Kind::MixedCollations)
            throw;
        return false;
    }
}

} // namespace

Result lookUp(Connection& c, const QString& sql, const Params& params) {
    Result r;
    if (!unlessUnstorable(params, [&] { r = c.query(sql, params); }))
        return {};
    return r;
}

void lookUpEach(Connection& c, const QString& sql, const Params& params,
                const std::function<void(const Cells&)>& take) {
    unlessUnstorable(params, [&] { c.eachRow(sql, params, take); });
}

} // namespace data
