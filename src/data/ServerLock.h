#pragma once

#include "data/Connection.h"

#include <QString>

namespace data {

// A named lock of the database server (GET_LOCK), held for this object's life and released when
// it goes, an exception included: a run that failed half way never keeps the next one out for
// as long as its connection lives. The name is the database's own with `suffix` after it, so
// two databases on one server do not share it. Taken without waiting.
class ServerLock {
public:
    ServerLock(Connection& c, const QString& suffix);
    ~ServerLock();
    ServerLock(const ServerLock&) = delete;
    ServerLock& operator=(const ServerLock&) = delete;
    // Whether this object holds the lock (false: another connection had it).
    bool held() const { return held_; }

private:
    Connection& c_;
    QString suffix_;
    bool held_ = false;
};

} // namespace data
