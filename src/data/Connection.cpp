#include "data/Connection.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QStringDecoder>

#include <sql.h>
#include <sqlext.h>

#include <cstring>
#include <optional>
#include <vector>

namespace data {

namespace {

// A connection unused for this long is checked before the next statement is sent.
constexpr qint64 idleCheckMs = 3000;

struct Diag {
    int native = 0;
    QString state;
    QString text;
};

Diag diagnose(SQLSMALLINT type, SQLHANDLE handle) {
    Diag d;
    if (!handle)
        return d;
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR text[2048] = {};
    SQLSMALLINT len = 0;
    if (SQL_SUCCEEDED(SQLGetDiagRec(type, handle, 1, state, &native, text, sizeof text, &len))) {
        d.native = native;
        d.state = QString::fromLatin1(reinterpret_cast<const char*>(state));
        d.text = QString::fromUtf8(reinterpret_cast<const char*>(text));
        // Drop the driver's "[ma-3.1.15][10.11.19-MariaDB]" tags: the server's words remain.
        static const QRegularExpression tags(QStringLiteral("^(\\[[^\\]]*\\])+\\s*"));
        d.text.remove(tags);
    }
    return d;
}

struct ParamBuffer {
    QByteArray text;
    SQLBIGINT integer = 0;
    double real = 0;
    DATE_STRUCT date{};
    TIMESTAMP_STRUCT stamp{};
    SQLLEN indicator = 0;
};

QVariant fetchText(SQLHSTMT h, SQLUSMALLINT col, bool* isNull) {
    QByteArray bytes;
    char buf[4096];
    for (;;) {
        SQLLEN ind = 0;
        SQLRETURN rc = SQLGetData(h, col, SQL_C_CHAR, buf, sizeof buf, &ind);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            return QVariant(QMetaType(QMetaType::UnknownType)); // caller reports the diagnosis
        if (ind == SQL_NULL_DATA) {
            *isNull = true;
            return {};
        }
        const bool more = rc == SQL_SUCCESS_WITH_INFO && (ind == SQL_NO_TOTAL || ind >= SQLLEN(sizeof buf));
        if (more) {
            bytes.append(buf, sizeof buf - 1); // the last byte is the terminating NUL
            continue;
        }
        bytes.append(buf, ind);
        break;
    }
    return textFromUtf8(bytes.constData(), bytes.size());
}

bool isRead(const QString& sql) {
    return sql.startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive);
}

} // namespace

const char* const strictSessionMode = "STRICT_TRANS_TABLES,STRICT_ALL_TABLES,NO_ZERO_DATE,NO_ZERO_IN_DATE,"
                                      "ERROR_FOR_DIVISION_BY_ZERO,NO_ENGINE_SUBSTITUTION";

QString textFromUtf8(const char* bytes, qsizetype length) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(bytes, length));
}

int Result::column(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const QVariant& Result::value(int row, const QString& name) const {
    const int c = column(name);
    if (c < 0)
        throw DbError(0, QStringLiteral("42S22"), QStringLiteral("ไม่มีคอลัมน์ %1 ในผลลัพธ์").arg(name));
    return value(row, c);
}

Connection::Connection(ConnectionSettings settings)
    : settings_(std::move(settings)), serial_([] {
          static std::atomic<quint64> made{0};
          return ++made;
      }()) {}

Connection::~Connection() {
    close();
}

void Connection::connectTo(int node) {
    SQLHENV env = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        throw DbError(0, QStringLiteral("HY001"), QStringLiteral("ODBC driver manager could not start"));
    env_ = env;
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLHDBC dbc = SQL_NULL_HDBC;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc)))
        fail(SQL_HANDLE_ENV, env, "connect");
    SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(10), 0);
    QByteArray cs = settings_.connectionString(node).toUtf8();
    SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(cs.data()), SQLSMALLINT(cs.size()),
                                    nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    cs.fill('\0'); // the password does not linger in memory
    if (!SQL_SUCCEEDED(rc)) {
        const Diag d = diagnose(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        close();
        const ConnectionSettings::Node n = settings_.nodes().at(node);
        const QString where = settings_.nodes().size() > 1
                                  ? QStringLiteral("%1:%2/%3").arg(n.host).arg(n.port).arg(settings_.database)
                                  : settings_.target();
        throw DbError(d.native, d.state, QStringLiteral("เชื่อมต่อฐานข้อมูลที่ %1 ไม่ได้: %2").arg(where, d.text));
    }
    dbc_ = dbc;
    broken_ = false;
    inTransaction_ = false;
    sinceLastUse_.start();
    if (settings_.passwordChangeOnly)
        return;
    // No server setting may let a write be cut short or a date be stored as zeros.
    exec(QStringLiteral("SET SESSION sql_mode = '%1'").arg(QLatin1String(strictSessionMode)));
    if (settings_.statementSeconds > 0)
        exec(QStringLiteral("SET SESSION max_statement_time = %1").arg(settings_.statementSeconds));
}

void Connection::close() noexcept {
    for (void* h : std::as_const(statements_))
        SQLFreeHandle(SQL_HANDLE_STMT, h);
    statements_.clear();
    if (dbc_) {
        if (!broken_ && inTransaction_)
            SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
        SQLDisconnect(dbc_);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        dbc_ = nullptr;
    }
    if (env_) {
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
        env_ = nullptr;
    }
    inTransaction_ = false;
    broken_ = false;
}

void Connection::fail(short handleType, void* handle, const char* what) {
    Diag d = diagnose(handleType, handle);
    if (d.text.isEmpty())
        d.text = QStringLiteral("ODBC %1 failed").arg(QLatin1String(what));
    DbError e(d.native, d.state, d.text);
    if (e.connectionLost())
        broken_ = true;
    throw e;
}

void Connection::failStatement(const QString& sql, void* h, const char* what) {
    Diag d = diagnose(SQL_HANDLE_STMT, h);
    if (d.text.isEmpty())
        d.text = QStringLiteral("ODBC %1 failed").arg(QLatin1String(what));
    // A statement that failed half-way (a deadlock while rows were being read, say) can leave
    // the driver out of step with the server: it is thrown away and prepared afresh next time.
    statements_.remove(sql);
    SQLFreeHandle(SQL_HANDLE_STMT, h);
    DbError e(d.native, d.state, d.text);
    if (e.connectionLost())
        broken_ = true;
    throw e;
}

void Connection::ensureUsable() {
    if (inTransaction_) {
        if (broken_)
            throw DbError(2013, QStringLiteral("08S01"),
                          QStringLiteral("การเชื่อมต่อฐานข้อมูลขาดระหว่างการบันทึก ข้อมูลชุดนี้ไม่ได้ถูกบันทึก"));
        return;
    }
    if (dbc_ && !broken_ && sinceLastUse_.elapsed() > idleCheckMs) {
        // Nothing has been sent yet, so reopening here cannot repeat any write.
        SQLUINTEGER dead = SQL_CD_FALSE;
        if (SQL_SUCCEEDED(SQLGetConnectAttr(dbc_, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) && dead == SQL_CD_TRUE)
            broken_ = true;
    }
    if (broken_ && settings_.nodes().size() > 1)
        node_ = (node_ + 1) % int(settings_.nodes().size()); // the node that was lost is tried last
    if (!dbc_ || broken_)
        open();
}

void* Connection::prepared(const QString& sql) {
    if (void* h = statements_.value(sql))
        return h;
    SQLHSTMT h = SQL_NULL_HSTMT;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &h)))
        fail(SQL_HANDLE_DBC, dbc_, "statement");
    QByteArray text = sql.toUtf8();
    if (!SQL_SUCCEEDED(SQLPrepare(h, reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER(text.size())))) {
        const Diag d = diagnose(SQL_HANDLE_STMT, h);
        SQLFreeHandle(SQL_HANDLE_STMT, h);
        DbError e(d.native, d.state, d.text);
        if (e.connectionLost())
            broken_ = true;
        throw e;
    }
    if (statements_.size() >= 200) { // a bound on what one window keeps prepared
        for (void* old : std::as_const(statements_))
            SQLFreeHandle(SQL_HANDLE_STMT, old);
        statements_.clear();
    }
    statements_.insert(sql, h);
    return h;
}

void* Connection::run(const QString& sql, const Params& params) {
    ensureUsable();
    SQLHSTMT h = prepared(sql);
    SQLFreeStmt(h, SQL_CLOSE);
    SQLFreeStmt(h, SQL_RESET_PARAMS);

    std::vector<ParamBuffer> bufs(size_t(params.size())); // never reallocated once bound
    for (qsizetype i = 0; i < params.size(); ++i) {
        const QVariant& v = params.at(i);
        ParamBuffer& b = bufs[size_t(i)];
        const SQLUSMALLINT no = SQLUSMALLINT(i + 1);
        SQLRETURN rc;
        const int type = v.metaType().id();
        if (v.isNull() && type != QMetaType::QString) {
            b.indicator = SQL_NULL_DATA;
            rc = SQLBindParameter(h, no, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, 1, 0, nullptr, 0, &b.indicator);
        } else if (type == QMetaType::Int || type == QMetaType::UInt || type == QMetaType::LongLong ||
                   type == QMetaType::ULongLong || type == QMetaType::Bool || type == QMetaType::Long) {
            b.integer = v.toLongLong();
            rc = SQLBindParameter(h, no, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &b.integer, 0, &b.indicator);
        } else if (type == QMetaType::Double || type == QMetaType::Float) {
            b.real = v.toDouble();
            rc = SQLBindParameter(h, no, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &b.real, 0, &b.indicator);
        } else if (type == QMetaType::QDate) {
            const QDate d = v.toDate();
            if (!d.isValid())
                throw DbError(0, QStringLiteral("22007"), QStringLiteral("วันที่ไม่ถูกต้อง (พารามิเตอร์ที่ %1)").arg(no));
            b.date = {SQLSMALLINT(d.year()), SQLUSMALLINT(d.month()), SQLUSMALLINT(d.day())};
            rc = SQLBindParameter(h, no, SQL_PARAM_INPUT, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0, &b.date, 0,
                                  &b.indicator);
        } else if (type == QMetaType::QDateTime) {
            const QDateTime t = v.toDateTime();
            const QDate d = t.date();
            const QTime tm = t.time();
            b.stamp = {SQLSMALLINT(d.year()),
                       SQLUSMALLINT(d.month()),
                       SQLUSMALLINT(d.day()),
                       SQLUSMALLINT(tm.hour()),
                       SQLUSMALLINT(tm.minute()),
                       SQLUSMALLINT(tm.second()),
                       0};
            rc = SQLBindParameter(h, no, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 19, 0, &b.stamp, 0,
                                  &b.indicator);
        } else {
            // Text: UTF-8 with its exact byte length, so nothing is added or cut.
            b.text = v.toString().toUtf8();
            b.indicator = SQLLEN(b.text.size());
            rc = SQLBindParameter(h, no, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR,
                                  SQLULEN(qMax<qsizetype>(1, b.text.size())), 0, b.text.data(), SQLLEN(b.text.size()),
                                  &b.indicator);
        }
        if (!SQL_SUCCEEDED(rc))
            failStatement(sql, h, "bind");
    }
    const SQLRETURN rc = SQLExecute(h);
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
        failStatement(sql, h, "execute");
    sinceLastUse_.start();
    return h;
}

// One result column read through a bound buffer: its C type, the width of one cell and the
// buffers for a block of rows.
struct BoundColumn {
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLLEN width = 0;
    std::vector<char> data;
    std::vector<SQLLEN> indicator;
};

namespace {

// Rows fetched per round trip to the driver when every column has a bounded width.
constexpr SQLULEN blockRows = 256;
// The widest text cell read through a bound buffer; wider columns are read cell by cell.
constexpr SQLULEN widestBoundText = 4096;

SQLSMALLINT cTypeFor(SQLSMALLINT sqlType) {
    switch (sqlType) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return SQL_C_SBIGINT;
    case SQL_DOUBLE:
    case SQL_FLOAT:
    case SQL_REAL:
        return SQL_C_DOUBLE;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return SQL_C_TYPE_DATE;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return SQL_C_TYPE_TIMESTAMP;
    default:
        return SQL_C_CHAR; // text, and DECIMAL as its exact text
    }
}

// A cell's value from the bytes the driver left for it.
QVariant cellValue(SQLSMALLINT cType, const char* p, SQLLEN length) {
    switch (cType) {
    case SQL_C_SBIGINT: {
        SQLBIGINT n;
        std::memcpy(&n, p, sizeof n);
        return qint64(n);
    }
    case SQL_C_DOUBLE: {
        double n;
        std::memcpy(&n, p, sizeof n);
        return n;
    }
    case SQL_C_TYPE_DATE: {
        DATE_STRUCT d;
        std::memcpy(&d, p, sizeof d);
        const QDate q(d.year, d.month, d.day);
        return q.isValid() ? QVariant(q) : QVariant(); // a zero date reads as NULL
    }
    case SQL_C_TYPE_TIMESTAMP: {
        TIMESTAMP_STRUCT t;
        std::memcpy(&t, p, sizeof t);
        const QDateTime q(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
        return q.isValid() ? QVariant(q) : QVariant();
    }
    default:
        return textFromUtf8(p, length);
    }
}

SQLLEN fixedWidth(SQLSMALLINT cType) {
    switch (cType) {
    case SQL_C_SBIGINT:
        return sizeof(SQLBIGINT);
    case SQL_C_DOUBLE:
        return sizeof(double);
    case SQL_C_TYPE_DATE:
        return sizeof(DATE_STRUCT);
    case SQL_C_TYPE_TIMESTAMP:
        return sizeof(TIMESTAMP_STRUCT);
    default:
        return 0;
    }
}

} // namespace

Result Connection::query(const QString& sql, const Params& params) {
    if (inTransaction_ || !isRead(sql))
        return queryOnce(sql, params);
    try {
        return queryOnce(sql, params);
    } catch (const DbError& e) {
        // A read cannot write anything twice: one more try on a fresh connection spares the
        // user a failed click after a server restart.
        if (!e.connectionLost() || inTransaction_)
            throw;
        broken_ = true;
        return queryOnce(sql, params);
    }
}

namespace {

// The result's columns: names into `names`, and for each its C type and, where its width
// is bounded, the width of one cell. False when some column has no bounded width.
bool describeColumns(SQLHSTMT h, QStringList* names, std::vector<BoundColumn>* bound) {
    SQLSMALLINT cols = 0;
    SQLNumResultCols(h, &cols);
    bound->assign(size_t(cols), BoundColumn{});
    bool blockable = cols > 0;
    for (SQLSMALLINT c = 1; c <= cols; ++c) {
        SQLCHAR name[256] = {};
        SQLSMALLINT nameLen = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeCol(h, c, name, sizeof name, &nameLen, &type, &size, &digits, &nullable);
        *names << QString::fromUtf8(reinterpret_cast<const char*>(name));
        BoundColumn& b = (*bound)[size_t(c - 1)];
        b.cType = cTypeFor(type);
        b.width = fixedWidth(b.cType);
        if (b.width == 0) {
            // Up to four bytes a character in UTF-8, and the terminating NUL.
            if (size == 0 || size > widestBoundText / 4)
                blockable = false;
            else
                b.width = SQLLEN(size * 4 + 8);
        }
    }
    return blockable;
}

} // namespace

Result Connection::queryOnce(const QString& sql, const Params& params) {
    SQLHSTMT h = run(sql, params);
    Result r;
    std::vector<BoundColumn> bound;
    bool blockable = describeColumns(h, &r.columns, &bound);
    const auto cols = SQLSMALLINT(bound.size());
    // Only results of more than a few rows are worth the buffers (the driver knows the count:
    // the whole result is already on this side).
    SQLLEN expected = -1;
    SQLRowCount(h, &expected);
    if (expected >= 0 && expected < 8)
        blockable = false;
    if (blockable) {
        if (expected > 0)
            r.rows.reserve(expected);
        const bool whole = fetchBlocks(sql, h, bound, expected, [&](const Cells& cells) {
            QVariantList row;
            row.reserve(cols);
            for (int c = 0; c < cols; ++c)
                row.append(cells.value(c));
            r.rows.append(std::move(row));
        });
        if (whole) {
            SQLFreeStmt(h, SQL_CLOSE);
            return r;
        }
        // A cell did not fit its buffer after all: read the whole result again cell by cell.
        r.rows.clear();
        SQLFreeStmt(h, SQL_CLOSE);
        h = run(sql, params);
    }
    for (;;) {
        SQLRETURN rc = SQLFetch(h);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc))
            failStatement(sql, h, "fetch");
        QVariantList row;
        row.reserve(cols);
        for (SQLSMALLINT c = 1; c <= cols; ++c) {
            const SQLSMALLINT cType = bound[size_t(c - 1)].cType;
            QVariant v;
            if (cType == SQL_C_CHAR) {
                bool isNull = false;
                v = fetchText(h, SQLUSMALLINT(c), &isNull);
                rc = (isNull || v.isValid()) ? SQL_SUCCESS : SQL_ERROR;
            } else {
                alignas(8) char buf[sizeof(TIMESTAMP_STRUCT) + 8];
                SQLLEN ind = 0;
                rc = SQLGetData(h, SQLUSMALLINT(c), cType, buf, sizeof buf, &ind);
                if (SQL_SUCCEEDED(rc) && ind != SQL_NULL_DATA)
                    v = cellValue(cType, buf, ind);
            }
            if (!SQL_SUCCEEDED(rc))
                failStatement(sql, h, "read");
            row.append(v);
        }
        r.rows.append(std::move(row));
    }
    SQLFreeStmt(h, SQL_CLOSE);
    return r;
}

void Connection::eachRow(const QString& sql, const Params& params, const std::function<void(const Cells&)>& take) {
    if (inTransaction_ || !isRead(sql))
        return eachRowOnce(sql, params, take);
    bool handed = false;
    const auto counted = [&](const Cells& cells) {
        handed = true;
        take(cells);
    };
    try {
        eachRowOnce(sql, params, counted);
    } catch (const DbError& e) {
        // As a query: tried once more on a fresh connection, unless rows were handed on.
        if (!e.connectionLost() || inTransaction_ || handed)
            throw;
        broken_ = true;
        eachRowOnce(sql, params, counted);
    }
}

void Connection::eachRowOnce(const QString& sql, const Params& params, const std::function<void(const Cells&)>& take) {
    SQLHSTMT h = run(sql, params);
    struct Close {
        SQLHSTMT h;
        ~Close() { SQLFreeStmt(h, SQL_CLOSE); }
    } close{h};
    QStringList names;
    std::vector<BoundColumn> bound;
    SQLLEN expected = -1;
    SQLRowCount(h, &expected);
    // Every column of such a statement has a declared width, and a cell never outgrows the
    // four bytes a character its buffer allows.
    if (!describeColumns(h, &names, &bound) || !fetchBlocks(sql, h, bound, expected, take))
        throw DbError(0, QStringLiteral("HY000"), QStringLiteral("a column without a bounded width: %1").arg(sql));
}

// Reads the whole result in blocks of rows into bound buffers, handing each row on: far fewer
// driver calls than one per cell. Gives false when a text cell turned out wider than its
// buffer (the rows before it handed on), so the caller can read the result again cell by cell.
bool Connection::fetchBlocks(const QString& sql, void* statement, std::vector<BoundColumn>& bound, qint64 expected,
                             const std::function<void(const Cells&)>& take) {
    SQLHSTMT h = statement;
    const SQLULEN block = expected > 0 ? qMin<SQLULEN>(blockRows, SQLULEN(expected)) : blockRows;
    SQLULEN fetched = 0;
    // The statement is prepared once and kept: leave it as it was found, whatever happens.
    struct Reset {
        SQLHSTMT h;
        ~Reset() {
            SQLFreeStmt(h, SQL_UNBIND);
            SQLSetStmtAttr(h, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
            SQLSetStmtAttr(h, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
        }
    } reset{h};
    SQLSetStmtAttr(h, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0);
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(h, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(block), 0)))
        failStatement(sql, h, "row array");
    SQLSetStmtAttr(h, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    for (size_t c = 0; c < bound.size(); ++c) {
        BoundColumn& b = bound[c];
        b.data.resize(size_t(b.width) * block);
        b.indicator.resize(block);
        if (!SQL_SUCCEEDED(SQLBindCol(h, SQLUSMALLINT(c + 1), b.cType, b.data.data(), b.width, b.indicator.data())))
            failStatement(sql, h, "bind column");
    }
    for (;;) {
        const SQLRETURN rc = SQLFetch(h);
        if (rc == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(rc))
            failStatement(sql, h, "fetch");
        for (SQLULEN i = 0; i < fetched; ++i) {
            for (const BoundColumn& b : bound)
                if (b.cType == SQL_C_CHAR && b.indicator[i] != SQL_NULL_DATA &&
                    (b.indicator[i] == SQL_NO_TOTAL || b.indicator[i] >= b.width))
                    return false;
            take(Cells(bound, size_t(i)));
        }
    }
}

bool Cells::isNull(int col) const {
    return (*bound_)[size_t(col)].indicator[row_] == SQL_NULL_DATA;
}

QByteArrayView Cells::bytes(int col) const {
    const BoundColumn& b = (*bound_)[size_t(col)];
    const SQLLEN n = b.indicator[row_];
    return n == SQL_NULL_DATA ? QByteArrayView() : QByteArrayView(b.data.data() + size_t(b.width) * row_, n);
}

QString Cells::text(int col) const {
    const QByteArrayView b = bytes(col);
    return b.isNull() ? QString() : textFromUtf8(b.data(), b.size());
}

QVariant Cells::value(int col) const {
    const BoundColumn& b = (*bound_)[size_t(col)];
    const SQLLEN n = b.indicator[row_];
    return n == SQL_NULL_DATA ? QVariant() : cellValue(b.cType, b.data.data() + size_t(b.width) * row_, n);
}

qint64 Connection::exec(const QString& sql, const Params& params) {
    SQLHSTMT h = run(sql, params);
    SQLLEN n = 0;
    SQLRowCount(h, &n);
    SQLFreeStmt(h, SQL_CLOSE);
    return qint64(n);
}

void Connection::setAutocommit(bool on) {
    const SQLRETURN rc = SQLSetConnectAttr(
        dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF), 0);
    if (!SQL_SUCCEEDED(rc))
        fail(SQL_HANDLE_DBC, dbc_, "autocommit");
}

void Connection::begin() {
    if (inTransaction_)
        throw DbError(0, QStringLiteral("25000"), QStringLiteral("transaction already open"));
    ensureUsable();
    setAutocommit(false);
    inTransaction_ = true;
}

void Connection::commit() {
    if (!inTransaction_)
        return;
    ensureUsable(); // throws when the connection died inside the transaction
    if (!SQL_SUCCEEDED(SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_COMMIT))) {
        // The transaction is over either way. Refused by the server, nothing was written; but
        // when the link broke, COMMIT may have reached the server and been carried out.
        try {
            fail(SQL_HANDLE_DBC, dbc_, "commit");
        } catch (DbError& e) {
            rollback();
            if (e.connectionLost())
                e.markOutcomeUnknown();
            throw;
        }
    }
    inTransaction_ = false;
    // Committed. A link that dies now has lost nothing: the next call opens a new one, whose
    // session starts in autocommit anyway, and the save is reported as done.
    try {
        setAutocommit(true);
    } catch (const DbError& e) {
        if (!e.connectionLost())
            throw;
        broken_ = true;
    }
}

void Connection::rollback() noexcept {
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    if (!dbc_ || broken_)
        return; // the server dropped the transaction with the connection
    SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
    if (!SQL_SUCCEEDED(
            SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0)))
        broken_ = true; // start afresh rather than go on in an unknown state
}

} // namespace data
