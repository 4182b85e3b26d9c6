#include "support/TestServer.h"

#include <stdexcept>

namespace testsupport {

int testPort() {
    const int port = qEnvironmentVariableIntValue("WARASAN_TEST_PORT");
    if (port <= 0)
        throw std::runtime_error("WARASAN_TEST_PORT is not set: run the tests with scripts/test.sh");
    return port;
}

QString testSocket() {
    const QString s = qEnvironmentVariable("WARASAN_TEST_SOCKET");
    if (s.isEmpty())
        throw std::runtime_error("WARASAN_TEST_SOCKET is not set: run the tests with scripts/test.sh");
    return s;
}

data::ConnectionSettings adminSettings(const QString& database) {
    data::ConnectionSettings s;
    s.server = u"localhost"_s;
    s.socket = testSocket();
    s.user = u"root"_s;
    s.database = database;
    return s;
}

data::ConnectionSettings programSettings(const QString& database) {
    data::ConnectionSettings s;
    s.server = u"127.0.0.1"_s;
    s.port = testPort();
    s.database = database;
    return s;
}

QString rowText(data::Connection& c, const QString& sql, const data::Params& params) {
    const data::Result r = c.query(sql, params);
    QStringList cells;
    for (int i = 0; !r.isEmpty() && i < r.columns.size(); ++i)
        cells << (r.value(0, i).metaType().id() == QMetaType::QDate ? r.value(0, i).toDate().toString(Qt::ISODate)
                                                                    : r.text(0, i));
    return cells.join(u'|');
}

QString sourcePath(const QString& relative) {
    return QStringLiteral(WARASAN_SOURCE_DIR "/") + relative;
}

QStringList sqlStatements(const QString& fileName) {
    QFile f(sourcePath(u"db/"_s + fileName));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read db/" + fileName.toStdString());
    QString text = QString::fromUtf8(f.readAll());
    text.remove(QRegularExpression(u"^\\s*--[^\\n]*$"_s, QRegularExpression::MultilineOption));
    QStringList out;
    for (const QString& piece : text.split(QRegularExpression(u";\\s*\\n"_s)))
        if (!piece.trimmed().isEmpty())
            out << piece.trimmed();
    return out;
}

namespace {

const QStringList& seedStatements() {
    static const QStringList statements = sqlStatements(u"seed.sql"_s);
    return statements;
}

} // namespace

TestDatabase::TestDatabase(const QString& name) {
    name_ = u"wt_%1_%2"_s.arg(name).arg(QCoreApplication::applicationPid());
    {
        data::Connection root(adminSettings());
        root.open();
        root.exec(u"DROP DATABASE IF EXISTS `%1`"_s.arg(name_));
        root.exec(u"CREATE DATABASE `%1`"_s.arg(name_));
        for (const QString& host : {u"127.0.0.1"_s, u"localhost"_s}) {
            root.exec(u"CREATE USER IF NOT EXISTS 'varnok'@'%1'"_s.arg(host));
            root.exec(u"GRANT SELECT, INSERT, UPDATE, DELETE ON `%1`.* TO 'varnok'@'%2'"_s.arg(name_, host));
        }
    }
    admin_ = std::make_unique<data::Connection>(adminSettings(name_));
    admin_->open();
    for (const QString& file : {u"schema.sql"_s, u"roles.sql"_s})
        for (const QString& statement : sqlStatements(file))
            admin_->exec(statement);
    for (const QString& statement : seedStatements())
        admin_->exec(statement);
    data::InstallationConfig config = data::installation();
    config.db = settings();
    data::setInstallation(config);
}

TestDatabase::~TestDatabase() {
    try {
        admin_->exec(u"DROP DATABASE IF EXISTS `%1`"_s.arg(name_));
    } catch (...) {
        // a server that is already gone takes the database with it
    }
}

std::unique_ptr<data::Connection> TestDatabase::connect() const {
    auto c = std::make_unique<data::Connection>(settings());
    c->open();
    return c;
}

void TestDatabase::reset() {
    const data::Result tables =
        admin_->query(u"SELECT table_name FROM information_schema.tables WHERE table_schema = ?"_s, {name_});
    for (const auto& row : tables.rows)
        admin_->exec(u"TRUNCATE TABLE `%1`"_s.arg(row.at(0).toString()));
    for (const QString& statement : seedStatements())
        admin_->exec(statement);
}

StaffAccounts::StaffAccounts(TestDatabase& db) : db_(db), tag_(u"s%1_"_s.arg(QCoreApplication::applicationPid())) {
    for (data::Role r : data::allRoles()) {
        db_.admin().exec(u"DROP USER IF EXISTS '%1'@'%'"_s.arg(name(r)));
        data::addStaff(db_.admin(), name(r), password(name(r)), {r});
    }
}

StaffAccounts::~StaffAccounts() {
    signOut();
    for (data::Role r : data::allRoles())
        data::removeStaff(db_.admin(), name(r));
}

data::ConnectionSettings StaffAccounts::as(const QString& name) const {
    data::ConnectionSettings s = db_.settings();
    s.user = name;
    s.password = password(name);
    s.hasPassword = true;
    return s;
}

std::unique_ptr<data::Connection> StaffAccounts::connect(const QString& name) const {
    auto c = std::make_unique<data::Connection>(as(name));
    c->open();
    return c;
}

void StaffAccounts::signIn(data::Role r) const {
    data::InstallationConfig config = data::installation();
    config.db = as(name(r));
    data::setInstallation(config);
    data::setCurrentStaff(data::signedIn(*connect(name(r))));
}

void StaffAccounts::signOut() const {
    data::InstallationConfig config = data::installation();
    config.db = db_.settings();
    data::setInstallation(config);
    data::SignedIn everything;
    everything.allRoles = true;
    data::setCurrentStaff(everything);
}

} // namespace testsupport
