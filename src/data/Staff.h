#pragma once

#include "data/Connection.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace data {

// The staff's tasks, each a role of the database server (db/roles.sql): what a person may
// change is what their roles allow, and the server refuses the rest whichever client asks.
enum class Role { Reports, CheckIn, Indexing, Supervision };

const QList<Role>& allRoles();
QString roleSqlName(Role role); // "warasan_checkin"
QString roleWord(Role role);    // "checkin", as the administrator's command takes it
QString roleCaption(Role role); // in Thai, for tooltips and messages
// By its word or its server name; none for anything else.
std::optional<Role> roleByName(const QString& name);

// The statements of db/roles.sql that create the roles and give them their privileges on the
// database in use.
QStringList roleStatements();
// One right a role's statements give: "INSERT" on "journal" ("*" for every table).
struct RoleRight {
    Role role;
    QString privilege, table;
};
const QList<RoleRight>& roleRights();
// The role whose privileges include `privilege` (INSERT, UPDATE, DELETE) on `table`, the least
// of them where several do; none when no role may.
std::optional<Role> roleAllowing(const QString& table, const QString& privilege);
// For a refusal by the server (1142, "INSERT command denied ... for table `db`.`t`"): the
// sentence naming the role needed; empty for any other error.
QString roleNeededFor(const DbError& e);

// Who a connection is signed in as, and the roles in force.
struct SignedIn {
    QString account;       // USER(): "somchai@192.168.1.20"
    QSet<Role> roles;      // the staff roles enabled for the session
    bool allRoles = false; // an account given rights directly (the shared account, the administrator)
    bool has(Role r) const { return allRoles || roles.contains(r); }
    QString name() const { return account.section(QLatin1Char('@'), 0, 0); }
};
SignedIn signedIn(Connection& c);
// The person this program is signed in as; until someone signs in (the tools, the tests), one
// who may do everything: the server still refuses what the account may not do.
const SignedIn& currentStaff();
void setCurrentStaff(const SignedIn& who);

// Sets a new password for an account whose password has expired, through a session the server
// opens for that alone. Throws DbError.
void changeExpiredPassword(ConnectionSettings settings, const QString& newPassword);

// The password hash the server stores for mysql_native_password, made here so that the
// password itself never travels inside a statement's text.
QString nativePasswordHash(const QString& password);

// The administrator's work on staff accounts ('name'@'%'), each through its own role
// warasan_as_NAME holding the person's task roles, which is their default role: the server
// enables one role at sign-in, and that one brings the others. Throws Refused for a bad name
// or role, DbError from the server.
struct StaffMember {
    QString name;
    QStringList roles; // words, in the order of allRoles()
    bool locked = false;
    bool passwordExpired = false;
};
QString checkedStaffName(const QString& name);
// Wrong passwords in a row after which the server blocks an account (its max_password_errors,
// lowered to this when a member is added); unlocking the account clears the count.
constexpr int signInAttempts = 5;
void addStaff(Connection& admin, const QString& name, const QString& password, const QList<Role>& roles);
void setStaffRoles(Connection& admin, const QString& name, const QList<Role>& give, const QList<Role>& take);
void lockStaff(Connection& admin, const QString& name, bool locked);
void expireStaffPassword(Connection& admin, const QString& name);
void removeStaff(Connection& admin, const QString& name);
QList<StaffMember> staffList(Connection& admin);

} // namespace data
