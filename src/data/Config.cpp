#include "data/Config.h"

#include "data/Dates.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace data {

namespace {

// Values holding ";", "{" or "}" (or spaces at either end) go in braces with "}" doubled,
// so a password cannot break out of its piece.
QString quoted(const QString& value) {
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) &&
                       !value.contains(QLatin1Char('}')) && value.trimmed() == value;
    if (plain)
        return value;
    QString v = value;
    v.replace(QLatin1String("}"), QLatin1String("}}"));
    return QLatin1Char('{') + v + QLatin1Char('}');
}

QString setting(const QSettings& ini, const char* key, const char* env, const QString& fallback = {}) {
    const QByteArray fromEnv = qgetenv(env);
    if (qEnvironmentVariableIsSet(env))
        return QString::fromUtf8(fromEnv);
    // An unquoted value holding commas (a cluster's list of nodes, a password) comes back as a
    // list: it is the text as written, not nothing.
    const QVariant v = ini.value(QLatin1String(key), fallback);
    return v.metaType().id() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString();
}

} // namespace

QList<ConnectionSettings::Node> ConnectionSettings::nodes() const {
    QList<Node> out;
    for (const QString& entry : server.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString e = entry.trimmed();
        // "host:port"; a bare IPv6 address ("::1") has more than one colon and no port.
        const qsizetype colon = e.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const int p = colon > 0 && e.count(QLatin1Char(':')) == 1 ? e.mid(colon + 1).toInt(&ok) : 0;
        out.append(ok ? Node{e.left(colon), p} : Node{e, port});
    }
    if (out.isEmpty())
        out.append(Node{server.trimmed(), port});
    return out;
}

QString ConnectionSettings::connectionString(int node) const {
    const QList<Node> all = nodes();
    const Node& n = all.at(qBound(0, node, int(all.size()) - 1));
    QString s = QStringLiteral("DRIVER={%1};").arg(driver);
    s += QStringLiteral("SERVER=%1;").arg(quoted(n.host));
    if (n.port > 0)
        s += QStringLiteral("PORT=%1;").arg(n.port);
    if (!socket.isEmpty())
        s += QStringLiteral("SOCKET=%1;").arg(quoted(socket));
    s += QStringLiteral("DATABASE=%1;").arg(quoted(database));
    s += QStringLiteral("UID=%1;").arg(quoted(user));
    if (hasPassword)
        s += QStringLiteral("PWD=%1;").arg(quoted(password));
    // Field length, found rows, big packets, dynamic cursor, compressed protocol, no BIGINT.
    constexpr int options = 18475, compressed = 2048;
    const QString host = n.host.trimmed().toLower();
    const bool local = !socket.isEmpty() || host == QLatin1String("localhost") ||
                       host.startsWith(QLatin1String("127.")) || host == QLatin1String("::1") ||
                       host == QLatin1String("[::1]");
    const bool compress = compression == Compression::On || (compression == Compression::Auto && !local);
    s += QStringLiteral("OPTION=%1;").arg(compress ? options : options & ~compressed);
    // Text travels as UTF-8 both ways; Thai in any other client character set is lost.
    s += QStringLiteral("CHARSET=utf8mb4;");
    return s;
}

QString ConnectionSettings::target() const {
    QString where = server.isEmpty() ? QStringLiteral("(ไม่ได้กำหนด)") : server;
    if (!socket.isEmpty())
        where += QStringLiteral(" (socket %1)").arg(socket);
    else if (port > 0 && !server.contains(QLatin1Char(',')) && server.count(QLatin1Char(':')) != 1)
        where += QStringLiteral(":%1").arg(port);
    return QStringLiteral("%1/%2").arg(where, database);
}

InstallationConfig InstallationConfig::load() {
    // User file first, then the system-wide one (QSettings' own fallback order).
    QSettings ini(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("warasan"), QStringLiteral("warasan"));
    InstallationConfig c;
    ini.beginGroup(QStringLiteral("database"));
    c.db.server = setting(ini, "server", "WARASAN_SERVER");
    c.db.port = setting(ini, "port", "WARASAN_PORT").toInt();
    c.db.socket = setting(ini, "socket", "WARASAN_SOCKET");
    c.db.driver = setting(ini, "driver", "WARASAN_DRIVER", c.db.driver);
    const QString compress = setting(ini, "compress", "WARASAN_COMPRESS").trimmed().toLower();
    if (compress == QLatin1String("yes"))
        c.db.compression = ConnectionSettings::Compression::On;
    else if (compress == QLatin1String("no"))
        c.db.compression = ConnectionSettings::Compression::Off;
    c.db.database = setting(ini, "name", "WARASAN_DATABASE", c.db.database);
    c.db.user = setting(ini, "user", "WARASAN_USER", c.db.user);
    c.db.hasPassword = qEnvironmentVariableIsSet("WARASAN_PASSWORD") || ini.contains(QStringLiteral("password"));
    c.db.password = setting(ini, "password", "WARASAN_PASSWORD");
    ini.endGroup();
    ini.beginGroup(QStringLiteral("reports"));
    c.reportRoot = setting(ini, "root", "WARASAN_REPORT_ROOT", QStringLiteral("http://localhost/"));
    c.stagingDir = setting(ini, "staging_dir", "WARASAN_STAGING_DIR",
                           QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    ini.endGroup();
    ini.beginGroup(QStringLiteral("web"));
    c.webListen = setting(ini, "listen", "WARASAN_WEB_LISTEN", QStringLiteral("127.0.0.1"));
    c.webPort = setting(ini, "port", "WARASAN_WEB_PORT", QStringLiteral("8080")).toInt();
    c.webDb = c.db;
    c.webDb.user = setting(ini, "user", "WARASAN_WEB_USER", QStringLiteral("warasan_web"));
    c.webDb.hasPassword = qEnvironmentVariableIsSet("WARASAN_WEB_PASSWORD") || ini.contains(QStringLiteral("password"));
    c.webDb.password = setting(ini, "password", "WARASAN_WEB_PASSWORD");
    c.webRequestDb = c.db;
    c.webRequestDb.user = setting(ini, "request_user", "WARASAN_WEB_REQUEST_USER", QStringLiteral("warasan_requests"));
    c.webRequestDb.hasPassword =
        qEnvironmentVariableIsSet("WARASAN_WEB_REQUEST_PASSWORD") || ini.contains(QStringLiteral("request_password"));
    c.webRequestDb.password = setting(ini, "request_password", "WARASAN_WEB_REQUEST_PASSWORD");
    ini.endGroup();
    ini.beginGroup(QStringLiteral("mail"));
    c.mailUrl = setting(ini, "url", "WARASAN_MAIL_URL").trimmed();
    c.mailTls = setting(ini, "tls", "WARASAN_MAIL_TLS", c.mailTls).trimmed().toLower();
    c.mailUser = setting(ini, "user", "WARASAN_MAIL_USER");
    c.mailPassword = setting(ini, "password", "WARASAN_MAIL_PASSWORD");
    c.mailFrom = setting(ini, "from", "WARASAN_MAIL_FROM").trimmed();
    ini.endGroup();
    ini.beginGroup(QStringLiteral("claims"));
    c.libraryName = setting(ini, "library", "WARASAN_CLAIMS_LIBRARY").trimmed();
    c.libraryAddress = setting(ini, "address", "WARASAN_CLAIMS_ADDRESS").trimmed();
    c.claimTemplateTh = setting(ini, "template_th", "WARASAN_CLAIMS_TEMPLATE_TH").trimmed();
    c.claimTemplateEn = setting(ini, "template_en", "WARASAN_CLAIMS_TEMPLATE_EN").trimmed();
    ini.endGroup();
    ini.beginGroup(QStringLiteral("catalogue"));
    c.catalogueTarget = setting(ini, "target", "WARASAN_CATALOGUE_TARGET").trimmed();
    c.catalogueProtocol =
        setting(ini, "protocol", "WARASAN_CATALOGUE_PROTOCOL", c.catalogueProtocol).trimmed().toLower();
    c.catalogueTimeout = qMax(1, setting(ini, "timeout", "WARASAN_CATALOGUE_TIMEOUT", QStringLiteral("15")).toInt());
    c.marcOrganization = setting(ini, "organization", "WARASAN_MARC_ORGANIZATION").trimmed();
    ini.endGroup();
    ini.beginGroup(QStringLiteral("display"));
    c.buddhistEra =
        setting(ini, "era", "WARASAN_ERA").trimmed().compare(QLatin1String("buddhist"), Qt::CaseInsensitive) == 0;
    ini.endGroup();
    return c;
}

QStringList configurationProblems(bool* fatal) {
    QStringList problems;
    *fatal = false;
    for (const auto scope : {QSettings::UserScope, QSettings::SystemScope}) {
        const QSettings ini(QSettings::IniFormat, scope, QStringLiteral("warasan"), QStringLiteral("warasan"));
        const QString file = ini.fileName();
        if (!QFileInfo::exists(file) || !ini.contains(QStringLiteral("database/password")))
            continue;
        const QFile::Permissions p = QFile::permissions(file);
        if (p & (QFile::ReadGroup | QFile::ReadOther))
            problems << QStringLiteral("ไฟล์ตั้งค่า %1 เก็บรหัสผ่านฐานข้อมูลไว้ และผู้ใช้อื่นในเครื่องนี้อ่านได้\n"
                                       "กรุณาสั่ง chmod 600 %1 เพื่อให้เจ้าของไฟล์อ่านได้คนเดียว")
                            .arg(file);
    }
    const ConnectionSettings& db = installation().db;
    if (db.hasPassword && db.password.trimmed() != db.password) {
        *fatal = true;
        problems << QStringLiteral("รหัสผ่านฐานข้อมูลที่ตั้งไว้มีช่องว่างอยู่ที่ต้นหรือท้าย ซึ่งส่งต่อให้เครื่องแม่ข่ายไม่ได้\n"
                                   "กรุณาตั้งรหัสผ่านใหม่ที่ไม่มีช่องว่างที่ต้นหรือท้าย");
    }
    return problems;
}

namespace {
InstallationConfig& current() {
    static InstallationConfig config = [] {
        InstallationConfig c = InstallationConfig::load();
        setDisplayEra(c.buddhistEra ? Era::Buddhist : Era::Common);
        return c;
    }();
    return config;
}
} // namespace

const InstallationConfig& installation() {
    return current();
}

void setInstallation(const InstallationConfig& config) {
    current() = config;
    setDisplayEra(config.buddhistEra ? Era::Buddhist : Era::Common);
}

QString joinUrl(const QString& root, const QString& path) {
    QString r = root;
    while (r.endsWith(QLatin1Char('/')))
        r.chop(1);
    QString p = path;
    while (p.startsWith(QLatin1Char('/')))
        p.remove(0, 1);
    return r + QLatin1Char('/') + p;
}

} // namespace data
