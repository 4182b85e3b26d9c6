#include "web/PageCache.h"

#include <QCryptographicHash>

namespace web {

namespace {

constexpr int freshMinutes = 5;

} // namespace

PageCache::PageCache(qsizetype totalBytes, qsizetype largest) : largest_(largest) {
    kept_.setMaxCost(totalBytes);
}

QByteArray PageCache::version(data::Connection& c) {
    if (c.onCluster())
        return {};
    try {
        const data::Result r = c.query(QStringLiteral(
            "SELECT MAX(change_id), COUNT(*) FROM change_history WHERE change_id > (SELECT COALESCE(MAX(change_id), 0) "
            "- 1000 FROM change_history)"));
        return (r.text(0, 0) + QLatin1Char(':') + r.text(0, 1)).toLatin1();
    } catch (const data::DbError&) {
        return {}; // no history to tell by (or no database): built every time
    }
}

std::optional<PageCache::Entry> PageCache::find(const QString& key, const QByteArray& version) {
    const std::lock_guard<std::mutex> hold(lock_);
    const Kept* k = kept_.object(key);
    if (!k || k->entry.version != version || k->fresh.hasExpired())
        return std::nullopt;
    return k->entry;
}

void PageCache::keep(const QString& key, Entry e) {
    if (e.version.isEmpty() || e.body.size() > largest_)
        return;
    QCryptographicHash h(QCryptographicHash::Sha1);
    h.addData(e.version);
    h.addData(e.body);
    e.etag = '"' + h.result().toHex().left(32) + '"';
    const qsizetype cost = e.body.size() + key.size() * 2 + 256;
    const std::lock_guard<std::mutex> hold(lock_);
    kept_.insert(key, new Kept{std::move(e), QDeadlineTimer(std::chrono::minutes(freshMinutes))}, cost);
}

QString cacheKey(const QString& path, const Query& q, const QDate& today) {
    QString key = today.toString(Qt::ISODate) + QLatin1Char('/') + path;
    // Separators no parameter can hold, so two queries never make one key.
    for (auto it = q.cbegin(); it != q.cend(); ++it)
        key += QChar(0x1F) + it.key() + QChar(0x1E) + it.value();
    return key;
}

} // namespace web
