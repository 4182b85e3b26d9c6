#pragma once

#include <QString>

namespace data {

// Where and how the program reaches the library's database.
struct ConnectionSettings {
    QString driver = QStringLiteral("MySQL ODBC 3.51 Driver");
    QString server;
    int port = 0;   // 0: the driver's default
    QString socket; // empty: none
    QString database = QStringLiteral("magazine");
    QString user = QStringLiteral("varnok");
    QString password;
    bool hasPassword = false;
    // The server ends any statement running longer (0: no limit). Set by the report server,
    // whose visitors must not be able to keep the database busy.
    int statementSeconds = 0;
    // Only to set a new password for an expired one: the server takes nothing else on such a
    // session, so it is left as the server made it.
    bool passwordChangeOnly = false;
    // The driver's compressed protocol (bit 2048 of the option): on for a server across the
    // network; on this machine's loopback or socket inflating every packet only costs time (it
    // doubled the desk panel's read of 30,000 rows), so "auto" leaves it off there.
    enum class Compression { Auto, On, Off } compression = Compression::Auto;

    // `server` may list the nodes of a cluster: "db1:3306,db2:3306" (an entry without a port
    // takes `port`). One entry per node, in the order stations try them.
    struct Node {
        QString host;
        int port;
    };
    QList<Node> nodes() const;

    // The ODBC driver connection string for one node. Holds the password: never log or show it.
    QString connectionString(int node = 0) const;
    // What a message may say about the target: server, port or socket, database.
    QString target() const;
};

// The installation's configuration: an INI file (the user's, then the system's), each key
// overridable by an environment variable.
//
//   [database] server port socket driver password name user   WARASAN_SERVER, WARASAN_PORT, ...
//              compress (auto | yes | no)                      WARASAN_COMPRESS
//   [reports]  root staging_dir                                WARASAN_REPORT_ROOT, WARASAN_STAGING_DIR
//   [display]  era (common | buddhist)                         WARASAN_ERA
//   [web]      listen port user password                       WARASAN_WEB_LISTEN, WARASAN_WEB_PORT, ...
//   [catalogue] target protocol timeout organization          WARASAN_CATALOGUE_TARGET, ...
//   [mail]     url tls user password from                      WARASAN_MAIL_URL, ...
//   [claims]   library address template_th template_en         WARASAN_CLAIMS_LIBRARY, ...
struct InstallationConfig {
    ConnectionSettings db;
    // The intranet report server: where it listens, and the read-only account it reads with
    // (the database's server and name are those of [database]).
    QString webListen;
    int webPort = 8080;
    ConnectionSettings webDb;
    QString reportRoot;
    QString stagingDir;
    bool buddhistEra = false;
    // The library catalogue searched for copy cataloguing: a Z39.50 target "host:port/database"
    // or an SRU base URL ("http://host/path", protocol sru); empty when there is none.
    QString catalogueTarget;
    QString catalogueProtocol = QStringLiteral("z3950");
    int catalogueTimeout = 15; // seconds a search may take
    QString marcOrganization;  // the library's MARC organization code, for exported records
    // New-issue alerts: the SMTP server (smtp://host:587), STARTTLS (required, try, no), its
    // account and the sender's address.
    QString mailUrl, mailTls = QStringLiteral("required"), mailUser, mailPassword, mailFrom;
    // Claims to distributors: the library as its letters name it, and the letters' templates
    // (files the library edits; empty: the built-in Thai and English letters).
    QString libraryName, libraryAddress, claimTemplateTh, claimTemplateEn;
    // The report server's second account, allowed only to record readers' alert requests and
    // their confirmations.
    ConnectionSettings webRequestDb;

    static InstallationConfig load();
};

// What is unsafe or unusable in the configuration, as messages for the person starting the
// program: a file holding the password that other users may read, a password with blanks at
// its ends (the driver cannot pass those on).
QStringList configurationProblems(bool* fatal);

// The configuration this program runs with: loaded at start-up, replaced by tests.
const InstallationConfig& installation();
void setInstallation(const InstallationConfig& config);

// Appends a path to the report server's root with exactly one "/" between them.
QString joinUrl(const QString& root, const QString& path);

} // namespace data
