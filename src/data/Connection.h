#pragma once

#include "data/Config.h"
#include "data/DbError.h"

#include <QByteArrayView>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <functional>
#include <vector>

namespace data {

// Counted in this process for the logs and the soak run's figures: stations that moved to
// another node of a cluster, and transactions run again after a conflict or a number taken
// elsewhere.
namespace stats {
inline std::atomic<qint64> nodeSwitches{0};
inline std::atomic<qint64> transactionRetries{0};
} // namespace stats

// Values bound to the "?" of a statement, in order. QString goes as UTF-8 text, integers as
// 64-bit integers, QDate as a date, QDateTime as a timestamp, a null QVariant as NULL.
using Params = QVariantList;

// A whole result, fetched forward-only into memory, so its row count is exact.
// Text columns come back as QString, integer columns as qint64, DATE as QDate, DATETIME as
// QDateTime, DECIMAL as its exact text, NULL as a null QVariant.
class Result {
public:
    QStringList columns;
    QList<QVariantList> rows;

    int rowCount() const { return int(rows.size()); }
    bool isEmpty() const { return rows.isEmpty(); }
    // Column position by name, compared without regard to case (as the server does); -1 if absent.
    int column(const QString& name) const;
    const QVariant& value(int row, int col) const { return rows.at(row).at(col); }
    const QVariant& value(int row, const QString& name) const;
    // The value as text; NULL gives an empty string.
    QString text(int row, int col) const { return value(row, col).toString(); }
    QString text(int row, const QString& name) const { return value(row, name).toString(); }
};

struct BoundColumn;

// One row of a result read a block of rows at a time, its cells straight from the driver's
// buffers: valid only inside the call that hands it on.
class Cells {
public:
    Cells(const std::vector<BoundColumn>& bound, std::size_t row) : bound_(&bound), row_(row) {}
    bool isNull(int col) const;
    // A text cell's bytes as the server sent them (UTF-8); null for NULL.
    QByteArrayView bytes(int col) const;
    QString text(int col) const;
    QVariant value(int col) const; // as a Result holds it

private:
    const std::vector<BoundColumn>* bound_;
    std::size_t row_;
};

// One connection to the database over ODBC, with its prepared statements kept for reuse.
// Not shared between threads. Every failure throws DbError.
//
// A connection that was lost is noticed (the failing call throws with the server's number)
// and the next call opens a new one; nothing is retried behind the caller's back, so no
// write can happen twice. A connection idle for a while is checked before use, so a server
// restarted in the meantime does not cost the user a failed click.
class Connection {
public:
    explicit Connection(ConnectionSettings settings);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void open();
    void close() noexcept;
    bool isOpen() const { return dbc_ != nullptr && !broken_; }
    const ConnectionSettings& settings() const { return settings_; }

    Result query(const QString& sql, const Params& params = {});
    // Hands each row of the result to `take` without keeping them, for results of a million
    // rows: no copy of the whole is made. Every column must have a declared width (text,
    // numbers, dates). A read outside a transaction is tried once more after a lost connection,
    // as by `query`, unless some rows were handed on already.
    void eachRow(const QString& sql, const Params& params, const std::function<void(const Cells&)>& take);
    // Runs a statement that returns no rows; gives the number of rows it changed.
    qint64 exec(const QString& sql, const Params& params = {});

    void begin();
    // Throws DbError; one with outcomeUnknown() when the link broke while COMMIT was under way.
    void commit();
    void rollback() noexcept;
    bool inTransaction() const { return inTransaction_; }
    // Connected to a node of a Galera cluster (wsrep_on).
    bool onCluster() const { return onCluster_; }

    // Distinct for every connection made in this process, never reused.
    quint64 serial() const { return serial_; }

private:
    struct Prepared;
    void *env_ = nullptr, *dbc_ = nullptr;
    ConnectionSettings settings_;
    QHash<QString, void*> statements_;
    bool broken_ = false;
    bool inTransaction_ = false;
    QElapsedTimer sinceLastUse_;
    const quint64 serial_;

    bool onCluster_ = false;
    int usedNode_ = 0;
    bool opened_ = false;
    int node_ = 0; // the cluster node in use (the first of `server`'s list when there is one)
    void connectTo(int node);
    void requireSyncedNode(int node);
    void ensureUsable();
    void* prepared(const QString& sql);
    void* run(const QString& sql, const Params& params);
    [[noreturn]] void fail(short handleType, void* handle, const char* what);
    [[noreturn]] void failStatement(const QString& sql, void* statement, const char* what);
    bool fetchBlocks(const QString& sql, void* statement, std::vector<BoundColumn>& bound, qint64 expected,
                     const std::function<void(const Cells&)>& take);
    void setAutocommit(bool on);
    Result queryOnce(const QString& sql, const Params& params);
    void eachRowOnce(const QString& sql, const Params& params, const std::function<void(const Cells&)>& take);
};

// How a save's COMMIT ended: answered by the server, or cut off and then found written by the
// check on a new connection (the window says so rather than "saved" alone).
enum class Commit { Answered, FoundAfterCut };

// What a save gives back, with how its COMMIT ended.
template <class T> struct Saved {
    T value{};
    Commit commit = Commit::Answered;
    bool foundAfterCut() const { return commit == Commit::FoundAfterCut; }
    operator const T&() const { return value; } // for callers that need only the value
};

// Begins a transaction; rolls it back when it goes out of scope uncommitted (an exception,
// an early return), so a save is written whole or not at all.
class Transaction {
public:
    explicit Transaction(Connection& c) : c_(c) { c_.begin(); }
    ~Transaction() {
        if (!done_)
            c_.rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit() {
        c_.commit();
        done_ = true;
    }

private:
    Connection& c_;
    bool done_ = false;
};

// Text exactly as the bytes hold it: a leading byte-order mark is kept, not dropped.
QString textFromUtf8(const char* bytes, qsizetype length);

// The session mode every connection runs in: a write that does not fit its column fails
// instead of being cut short, whatever the server's own setting.
extern const char* const strictSessionMode;

} // namespace data
