#pragma once

#include "data/Config.h"
#include "data/Connection.h"
#include "data/Staff.h"
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

// A member of staff of each role on the server, for this run alone (the accounts are the
// server's, shared by every suite running at once), removed again at the end.
class StaffAccounts {
public:
    explicit StaffAccounts(TestDatabase& db);
    ~StaffAccounts();
    QString name(data::Role r) const { return tag_ + data::roleWord(r); }
    static QString password(const QString& name) { return u"Pw-"_s + name + u"-7Qz"_s; }
    // The settings an account signs in with on the test database.
    data::ConnectionSettings as(const QString& name) const;
    std::unique_ptr<data::Connection> connect(const QString& name) const;
    // The program signed in as `r`'s member, as the sign-in leaves it: its windows connect with
    // that account, and its roles are in force.
    void signIn(data::Role r) const;
    // Back to the shared account, which may do everything.
    void signOut() const;

private:
    TestDatabase& db_;
    QString tag_;
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
