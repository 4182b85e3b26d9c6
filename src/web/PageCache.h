#pragma once

// The pages the report server built, each kept until the data it was read from changes: the
// change history's newest entries (written by the database's triggers, whoever changes a row)
// are the data's version, one short read of its key. A page is also built anew after five
// minutes, and never kept on a cluster (which runs without the history) or for a database
// without it.
#include "data/Connection.h"
#include "web/Listing.h"

#include <QByteArray>
#include <QCache>
#include <QDate>
#include <QDeadlineTimer>
#include <QString>

#include <mutex>
#include <optional>

namespace web {

class PageCache {
public:
    struct Entry {
        QByteArray version, body, contentType, disposition;
        QByteArray etag; // set when kept
    };

    // At most `totalBytes` kept, the least recently used given up first; a page larger than
    // `largest` is not kept.
    explicit PageCache(qsizetype totalBytes = 32 << 20, qsizetype largest = 2 << 20);

    // The data's version as the change history stands; empty where pages cannot be kept. The
    // newest key alone would miss a change committed after a later one (keys are handed out as
    // rows are written, not as they are committed), so the number of the last thousand keys
    // counts too.
    static QByteArray version(data::Connection& c);
    // The page kept under `key` at `version`, if any.
    std::optional<Entry> find(const QString& key, const QByteArray& version);
    void keep(const QString& key, Entry e);
    qsizetype largest() const { return largest_; }

private:
    struct Kept {
        Entry entry;
        QDeadlineTimer fresh;
    };
    std::mutex lock_;
    QCache<QString, Kept> kept_;
    qsizetype largest_;
};

// What one answer depends on besides the data: the page, its query (each parameter), the day.
QString cacheKey(const QString& path, const Query& q, const QDate& today);

} // namespace web
