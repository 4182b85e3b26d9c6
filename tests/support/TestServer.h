#pragma once

#include "data/Config.h"
#include "data/Connection.h"
#include "support/Names.h"

#include <memory>

namespace testsupport {

// The private server scripts/test.sh started for this run (WARASAN_TEST_PORT, WARASAN_TEST_SOCKET).
// Throws with a clear message when the tests were started without it.
int testPort();
QString testSocket();

// The administrator over the server's socket: creates and drops the tests' databases.
data::ConnectionSettings adminSettings(const QString& database = u"mysql"_s);
// The program's own account (varnok over the loopback address), on `database`.
data::ConnectionSettings programSettings(const QString& database);

// A database of the test's own, with the schema and the installation rows, reachable by the
// program's account; dropped again when the fixture goes. Also made the program's
// configured database, so windows opened by the test connect to it.
class TestDatabase {
public:
    explicit TestDatabase(const QString& name);
    ~TestDatabase();

    const QString& name() const { return name_; }
    data::ConnectionSettings settings() const { return programSettings(name_); }
    // A new connection as the program's account.
    std::unique_ptr<data::Connection> connect() const;
    // The administrator's connection to this database (for setting up rows quickly).
    data::Connection& admin() { return *admin_; }
    // Empties every table and loads the installation rows again.
    void reset();

private:
    QString name_;
    std::unique_ptr<data::Connection> admin_;
};

// The first row of a query as "a|b|c" (NULL as empty), "" when there is none: one comparison
// checks what a save stored.
// The database error `f` ends in, as "[number] text"; "no error" when it ends in none.
template <typename F> QString failure(F&& f) {
    try {
        f();
    } catch (const data::DbError& e) {
        return e.describe();
    }
    return u"no error"_s;
}
QString rowText(data::Connection& c, const QString& sql, const data::Params& params = {});

// The statements of one of the SQL files under db/, comments dropped.
QStringList sqlStatements(const QString& fileName);
QString sourcePath(const QString& relative);

} // namespace testsupport
