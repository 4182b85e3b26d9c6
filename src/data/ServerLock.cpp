#include "data/ServerLock.h"

namespace data {

ServerLock::ServerLock(Connection& c, const QString& suffix) : c_(c), suffix_(suffix) {
    held_ = c_.query(QStringLiteral("SELECT GET_LOCK(CONCAT(DATABASE(), ?), 0)"), {suffix_}).value(0, 0).toInt() == 1;
}

ServerLock::~ServerLock() {
    if (!held_)
        return;
    try {
        c_.query(QStringLiteral("SELECT RELEASE_LOCK(CONCAT(DATABASE(), ?))"), {suffix_});
    } catch (...) {
        // The link is gone: the server released the lock with the session.
    }
}

} // namespace data
