#include "data/Staff.h"

#include "data/Refused.h"
#include "data/Schema.h"

#include <QCryptographicHash>
#include <QRegularExpression>

namespace data {

namespace {

struct RoleText {
    Role role;
    const char* word;
    const char* caption;
};
const RoleText roleTexts[] = {
    {Role::Reports, "reports", "รายงาน"},
    {Role::CheckIn, "checkin", "ลงทะเบียนรับ"},
    {Role::Indexing, "indexing", "ทำดรรชนี"},
    {Role::Supervision, "supervision", "ผู้ควบคุม"},
};

const RoleText& textOf(Role r) {
    for (const RoleText& t : roleTexts)
        if (t.role == r)
            return t;
    return roleTexts[0];
}

QStringList readRoleStatements() {
    QStringList out;
    for (const QString& s : builtInSql(QStringLiteral(":/db/roles.sql")).split(QLatin1Char(';')))
        if (!s.trimmed().isEmpty())
            out << s.simplified();
    return out;
}

// Each role's rights from the same statements the server is given.
QList<RoleRight> readRights() {
    static const QRegularExpression grant(QStringLiteral("^GRANT (.+) ON (\\S+) TO (\\w+)$"));
    QList<RoleRight> out;
    for (const QString& s : roleStatements()) {
        const auto m = grant.match(s);
        const std::optional<Role> role = m.hasMatch() ? roleByName(m.captured(3)) : std::nullopt;
        if (!role)
            continue;
        for (const QString& p : m.captured(1).split(QLatin1Char(',')))
            out << RoleRight{*role, p.trimmed().toUpper(), m.captured(2).toLower()};
    }
    return out;
}

QString account(const QString& name) {
    return QStringLiteral("'%1'@'%'").arg(checkedStaffName(name));
}
QString personalRole(const QString& name) {
    return QStringLiteral("warasan_as_") + checkedStaffName(name);
}

} // namespace

const QList<Role>& allRoles() {
    static const QList<Role> roles{Role::Reports, Role::CheckIn, Role::Indexing, Role::Supervision};
    return roles;
}
QString roleSqlName(Role role) {
    return QStringLiteral("warasan_") + QLatin1String(textOf(role).word);
}
QString roleWord(Role role) {
    return QLatin1String(textOf(role).word);
}
QString roleCaption(Role role) {
    return QString::fromUtf8(textOf(role).caption);
}

std::optional<Role> roleByName(const QString& name) {
    const QString n = name.trimmed().toLower();
    for (const RoleText& t : roleTexts)
        if (n == QLatin1String(t.word) || n == roleSqlName(t.role))
            return t.role;
    return std::nullopt;
}

QStringList roleStatements() {
    static const QStringList statements = readRoleStatements();
    return statements;
}

const QList<RoleRight>& roleRights() {
    static const QList<RoleRight> rights = readRights();
    return rights;
}

std::optional<Role> roleAllowing(const QString& table, const QString& privilege) {
    const QString wanted = privilege.trimmed().toUpper(), where = table.trimmed().toLower();
    for (Role r : allRoles())
        for (const RoleRight& g : roleRights())
            if (g.role == r && g.privilege == wanted && (g.table == where || g.table == u"*"))
                return r;
    return std::nullopt;
}

QString roleNeededFor(const DbError& e) {
    static const QRegularExpression denied(
        QStringLiteral("^(\\w+) command denied to user .* for table (?:`[^`]*`\\.)?`?(\\w+)`?"));
    const auto m = e.nativeCode() == 1142 ? denied.match(e.message()) : QRegularExpressionMatch();
    if (!m.hasMatch())
        return {};
    if (const std::optional<Role> r = roleAllowing(m.captured(2), m.captured(1)))
        return QStringLiteral("งานนี้ต้องมีบทบาท \"%1\" (%2): กรุณาขอผู้ดูแลระบบ หรือให้ผู้มีบทบาทนี้ทำ")
            .arg(roleCaption(*r), roleSqlName(*r));
    return QStringLiteral("ไม่มีบทบาทใดของเจ้าหน้าที่แก้ไขตาราง %1 ได้").arg(m.captured(2));
}

SignedIn signedIn(Connection& c) {
    SignedIn s;
    s.account = c.query(QStringLiteral("SELECT USER()")).text(0, 0);
    const Result enabled = c.query(QStringLiteral("SELECT ROLE_NAME FROM information_schema.ENABLED_ROLES"));
    for (int i = 0; i < enabled.rowCount(); ++i)
        if (const std::optional<Role> r = roleByName(enabled.text(i, 0));
            r && enabled.text(i, 0).startsWith(u"warasan_"))
            s.roles.insert(*r);
    // Rights given to the account itself, on this database or on every one: an account from
    // before the roles (the shared one) or the administrator's, which may do everything.
    const QString grantee = QStringLiteral("CONCAT('''', SUBSTRING_INDEX(CURRENT_USER(), '@', 1), '''@''', "
                                           "SUBSTRING_INDEX(CURRENT_USER(), '@', -1), '''')");
    s.allRoles = c.query(QStringLiteral("SELECT COUNT(DISTINCT PRIVILEGE_TYPE) FROM (SELECT PRIVILEGE_TYPE FROM "
                                        "information_schema.SCHEMA_PRIVILEGES WHERE GRANTEE = %1 AND DATABASE() "
                                        "LIKE TABLE_SCHEMA UNION ALL SELECT PRIVILEGE_TYPE FROM "
                                        "information_schema.USER_PRIVILEGES WHERE GRANTEE = %1) p WHERE "
                                        "PRIVILEGE_TYPE IN ('INSERT', 'UPDATE', 'DELETE')")
                             .arg(grantee))
                     .value(0, 0)
                     .toLongLong() == 3;
    return s;
}

namespace {
SignedIn& current() {
    static SignedIn who = [] {
        SignedIn s;
        s.allRoles = true;
        return s;
    }();
    return who;
}
} // namespace

const SignedIn& currentStaff() {
    return current();
}
void setCurrentStaff(const SignedIn& who) {
    current() = who;
}

void changeExpiredPassword(ConnectionSettings settings, const QString& newPassword) {
    settings.passwordChangeOnly = true;
    Connection c(settings);
    c.open();
    c.exec(QStringLiteral("SET PASSWORD = '%1'").arg(nativePasswordHash(newPassword)));
}

QString nativePasswordHash(const QString& password) {
    const QByteArray once = QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha1);
    return QLatin1Char('*') +
           QString::fromLatin1(QCryptographicHash::hash(once, QCryptographicHash::Sha1).toHex().toUpper());
}

QString checkedStaffName(const QString& name) {
    static const QRegularExpression good(QStringLiteral("^[a-z][a-z0-9_]{0,31}$"));
    if (!good.match(name).hasMatch())
        throw Refused(QStringLiteral("ชื่อผู้ใช้ \"%1\" ใช้ไม่ได้: ต้องขึ้นต้นด้วยอักษร a-z ตามด้วย a-z 0-9 หรือ _ "
                                     "ไม่เกิน 32 ตัว")
                          .arg(name));
    return name;
}

void addStaff(Connection& admin, const QString& name, const QString& password, const QList<Role>& roles) {
    checkedStaffName(name);
    if (password.isEmpty())
        throw Refused(QStringLiteral("กรุณากำหนดรหัสผ่านของ %1").arg(name));
    if (roles.isEmpty())
        throw Refused(QStringLiteral("กรุณาระบุบทบาทอย่างน้อยหนึ่งบทบาท"));
    admin.exec(
        QStringLiteral("CREATE USER %1 IDENTIFIED BY PASSWORD '%2'").arg(account(name), nativePasswordHash(password)));
    // The server blocks an account after so many wrong passwords (counted for connections from
    // other machines), until a supervisor unlocks it.
    if (admin.query(QStringLiteral("SELECT @@GLOBAL.max_password_errors")).value(0, 0).toLongLong() > signInAttempts)
        admin.exec(QStringLiteral("SET GLOBAL max_password_errors = %1").arg(signInAttempts));
    admin.exec(QStringLiteral("CREATE ROLE IF NOT EXISTS %1").arg(personalRole(name)));
    admin.exec(QStringLiteral("GRANT %1 TO %2").arg(personalRole(name), account(name)));
    admin.exec(QStringLiteral("SET DEFAULT ROLE %1 FOR %2").arg(personalRole(name), account(name)));
    setStaffRoles(admin, name, roles, {});
}

void setStaffRoles(Connection& admin, const QString& name, const QList<Role>& give, const QList<Role>& take) {
    for (Role r : give)
        admin.exec(QStringLiteral("GRANT %1 TO %2").arg(roleSqlName(r), personalRole(name)));
    const Result mapped = admin.query(
        QStringLiteral("SELECT Role FROM mysql.roles_mapping WHERE User = ? AND Host = ''"), {personalRole(name)});
    QStringList held;
    for (int i = 0; i < mapped.rowCount(); ++i)
        held << mapped.text(i, 0);
    for (Role r : take)
        if (held.contains(roleSqlName(r)))
            admin.exec(QStringLiteral("REVOKE %1 FROM %2").arg(roleSqlName(r), personalRole(name)));
}

void lockStaff(Connection& admin, const QString& name, bool locked) {
    admin.exec(QStringLiteral("ALTER USER %1 ACCOUNT %2").arg(account(name), locked ? u"LOCK" : u"UNLOCK"));
}

void expireStaffPassword(Connection& admin, const QString& name) {
    admin.exec(QStringLiteral("ALTER USER %1 PASSWORD EXPIRE").arg(account(name)));
}

void removeStaff(Connection& admin, const QString& name) {
    admin.exec(QStringLiteral("DROP USER %1").arg(account(name)));
    admin.exec(QStringLiteral("DROP ROLE IF EXISTS %1").arg(personalRole(name)));
}

QList<StaffMember> staffList(Connection& admin) {
    const Result r = admin.query(QStringLiteral(
        "SELECT u.User, IFNULL(JSON_VALUE(u.Priv, '$.account_locked'), '0') IN ('1', 'true'), "
        "JSON_VALUE(u.Priv, '$.password_last_changed') = '0', "
        "GROUP_CONCAT(t.Role) FROM mysql.global_priv u JOIN mysql.roles_mapping p ON p.User = u.User AND p.Host = "
        "u.Host AND p.Role = CONCAT('warasan_as_', u.User) LEFT JOIN mysql.roles_mapping t ON t.User = p.Role AND "
        "t.Host = '' WHERE u.Host = '%' GROUP BY u.User, u.Priv ORDER BY u.User"));
    QList<StaffMember> out;
    for (int i = 0; i < r.rowCount(); ++i) {
        StaffMember m{r.text(i, 0), {}, r.value(i, 1).toLongLong() == 1, r.value(i, 2).toLongLong() == 1};
        const QStringList held = r.text(i, 3).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (Role role : allRoles())
            if (held.contains(roleSqlName(role)))
                m.roles << roleWord(role);
        out << m;
    }
    return out;
}

} // namespace data
