// warasan-dbcheck: checks the library's database against the tables the program expects and,
// with --migrate, brings an older installation up to them after a verified backup.
#include "data/CommandLine.h"
#include "data/Config.h"
#include "data/DbError.h"
#include "data/Refused.h"
#include "data/SaveGate.h"
#include "data/Staff.h"
#include "dbcheck/DbCheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

void printLine(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

int fail(const QString& why) {
    std::fprintf(stderr, "warasan-dbcheck: %s\n", qPrintable(why));
    return 2;
}

// A new member's password: typed at the terminal without being shown (twice, to be sure), or
// one line of standard input when that is not a terminal. Never an argument or a variable,
// which other users of the machine could read.
QString readPassword(const QString& name) {
    QTextStream in(stdin);
    if (!isatty(STDIN_FILENO))
        return in.readLine();
    termios saved{};
    tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    std::fprintf(stderr, "password for %s: ", qPrintable(name));
    const QString first = in.readLine();
    std::fprintf(stderr, "\nthe same again: ");
    const QString second = in.readLine();
    std::fprintf(stderr, "\n");
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    if (first != second)
        throw data::Refused(QStringLiteral("the two passwords differ; nothing was changed"));
    return first;
}

QList<data::Role> rolesOption(const QCommandLineParser& cli, const QString& option) {
    QList<data::Role> out;
    for (const QString& word : cli.value(option).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<data::Role> r = data::roleByName(word);
        if (!r)
            throw data::Refused(
                QStringLiteral("\"%1\" is not a role: reports, checkin, indexing or supervision").arg(word));
        out << *r;
    }
    return out;
}

// The staff options: each changes accounts on the server and prints the staff list after.
int staffWork(const QCommandLineParser& cli, data::Connection& c) {
    const auto value = [&](const char* o) { return cli.value(QLatin1String(o)); };
    if (cli.isSet(QStringLiteral("staff-add")))
        data::addStaff(c, value("staff-add"), readPassword(value("staff-add")),
                       rolesOption(cli, QStringLiteral("give")));
    else if (cli.isSet(QStringLiteral("staff-roles")))
        data::setStaffRoles(c, value("staff-roles"), rolesOption(cli, QStringLiteral("give")),
                            rolesOption(cli, QStringLiteral("take")));
    else if (cli.isSet(QStringLiteral("staff-lock")))
        data::lockStaff(c, value("staff-lock"), true);
    else if (cli.isSet(QStringLiteral("staff-unlock")))
        data::lockStaff(c, value("staff-unlock"), false);
    else if (cli.isSet(QStringLiteral("staff-expire")))
        data::expireStaffPassword(c, value("staff-expire"));
    else if (cli.isSet(QStringLiteral("staff-remove")))
        data::removeStaff(c, value("staff-remove"));
    // Tab-separated under its headings, every row with its state, for a person or a script.
    printLine(QStringLiteral("account\troles\tstate"));
    for (const data::StaffMember& m : data::staffList(c)) {
        QStringList state;
        if (m.locked)
            state << QStringLiteral("locked");
        if (m.passwordExpired)
            state << QStringLiteral("password expired");
        printLine(QStringLiteral("%1\t%2\t%3")
                      .arg(m.name, m.roles.isEmpty() ? QStringLiteral("-") : m.roles.join(QLatin1Char(',')),
                           state.isEmpty() ? QStringLiteral("active") : state.join(QStringLiteral(", "))));
    }
    return 0;
}

const char* const staffOptions[] = {"staff-add",    "staff-roles",  "staff-lock", "staff-unlock",
                                    "staff-expire", "staff-remove", "staff-list"};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser cli;
    app::describeProgram(
        cli, QStringLiteral("warasan-dbcheck"),
        QStringLiteral(
            "Checks the Warasan database (read-only) and reports what needs doing; exit status 0 only when nothing "
            "does.\nWith --migrate --backup FILE: writes and verifies a backup, converts the tables (InnoDB, utf8mb4 "
            "with the Thai collation, the program's table names, indexes, zero dates to NULL, counters), checks again "
            "and logs every statement.\nWith a --staff option: adds, locks, unlocks or removes a member of staff (an "
            "account of "
            "their own) or gives and takes their roles (reports, checkin, indexing, supervision), then lists the staff."
            "\nThe password of --user is read from WARASAN_ADMIN_PASSWORD."));
    cli.addOptions(
        {{QStringLiteral("migrate"), QStringLiteral("Bring the database up to the program's tables.")},
         {QStringLiteral("backup"), QStringLiteral("Backup written and verified before migrating."),
          QStringLiteral("file")},
         {QStringLiteral("dry-run"), QStringLiteral("With --migrate: print the statements, change nothing.")},
         {QStringLiteral("log"), QStringLiteral("Migration log (default: the backup's name + .log)."),
          QStringLiteral("file")},
         {QStringLiteral("user"), QStringLiteral("Administrative account (needed for --migrate)."),
          QStringLiteral("name")},
         {QStringLiteral("server"), QStringLiteral("Server (default: the configuration's)."), QStringLiteral("host")},
         {QStringLiteral("port"), QStringLiteral("Port."), QStringLiteral("port")},
         {QStringLiteral("socket"), QStringLiteral("Unix socket."), QStringLiteral("path")},
         {QStringLiteral("database"), QStringLiteral("Database (default: the configuration's)."),
          QStringLiteral("name")},
         {QStringLiteral("staff-add"),
          QStringLiteral("Add a member of staff with the roles of --give; the password "
                         "is asked for (or read from standard input)."),
          QStringLiteral("name")},
         {QStringLiteral("staff-roles"), QStringLiteral("Give a member the roles of --give, take those of --take."),
          QStringLiteral("name")},
         {QStringLiteral("give"), QStringLiteral("Roles to give, separated by commas."), QStringLiteral("roles")},
         {QStringLiteral("take"), QStringLiteral("Roles to take, separated by commas."), QStringLiteral("roles")},
         {QStringLiteral("staff-lock"), QStringLiteral("Lock a member's account."), QStringLiteral("name")},
         {QStringLiteral("staff-unlock"), QStringLiteral("Unlock a member's account."), QStringLiteral("name")},
         {QStringLiteral("staff-expire"), QStringLiteral("Make a member set a new password at the next sign-in."),
          QStringLiteral("name")},
         {QStringLiteral("staff-remove"), QStringLiteral("Remove a member's account (their history stays)."),
          QStringLiteral("name")},
         {QStringLiteral("staff-list"), QStringLiteral("List the staff, their roles and their accounts' state.")}});
    cli.process(app);

    const bool migrate = cli.isSet(QStringLiteral("migrate")), dryRun = cli.isSet(QStringLiteral("dry-run"));
    data::ConnectionSettings s = data::installation().db;
    const QString programUser = s.user;
    if (cli.isSet(QStringLiteral("user"))) {
        s.user = cli.value(QStringLiteral("user"));
        s.password = qEnvironmentVariable("WARASAN_ADMIN_PASSWORD");
        s.hasPassword = qEnvironmentVariableIsSet("WARASAN_ADMIN_PASSWORD");
    }
    if (cli.isSet(QStringLiteral("server")))
        s.server = cli.value(QStringLiteral("server"));
    if (cli.isSet(QStringLiteral("port")))
        s.port = cli.value(QStringLiteral("port")).toInt();
    if (cli.isSet(QStringLiteral("socket")))
        s.socket = cli.value(QStringLiteral("socket"));
    if (cli.isSet(QStringLiteral("database")))
        s.database = cli.value(QStringLiteral("database"));
    const bool staff = std::any_of(std::begin(staffOptions), std::end(staffOptions),
                                   [&](const char* o) { return cli.isSet(QLatin1String(o)); });
    if (staff) {
        if (!cli.isSet(QStringLiteral("user")))
            return fail(QStringLiteral("staff accounts are changed with an administrative account (--user NAME)"));
        try {
            data::Connection c(s);
            c.open();
            return staffWork(cli, c);
        } catch (const data::DbError& e) {
            return fail(QStringLiteral("database error %1: %2").arg(e.nativeCode()).arg(e.message()));
        } catch (const data::Refused& e) {
            return fail(e.text);
        }
    }
    if (migrate && !dryRun) {
        if (!cli.isSet(QStringLiteral("user")) || s.user.compare(programUser, Qt::CaseInsensitive) == 0)
            return fail(QStringLiteral("--migrate runs with an administrative account (--user NAME), never the "
                                       "program's own (%1)")
                            .arg(programUser));
        if (cli.value(QStringLiteral("backup")).isEmpty())
            return fail(QStringLiteral("--migrate needs --backup FILE: nothing is changed without a backup that "
                                       "has been written and read back"));
    }

    try {
        data::Connection c(s);
        c.open();
        data::waiveSaveChecks(c);
        data::dbcheck::Analysis a = data::dbcheck::analyse(c);
        for (const QString& line : a.report)
            printLine(line);
        if (!migrate)
            return a.toDo == 0 ? 0 : 1;
        if (dryRun) {
            printLine(QStringLiteral("-- the migration would run:"));
            for (const auto& step : a.plan) {
                if (!step.logQuery.isEmpty())
                    printLine(QStringLiteral("-- logged first: ") + step.logQuery);
                printLine(step.sql + QLatin1Char(';'));
            }
            return 0;
        }
        const QString backupFile = cli.value(QStringLiteral("backup"));
        QElapsedTimer timer;
        timer.start();
        const qint64 rows = data::dbcheck::backup(c, backupFile);
        printLine(QStringLiteral("backup %1: %2 rows written and read back (%3 s)")
                      .arg(backupFile)
                      .arg(rows)
                      .arg(timer.elapsed() / 1000.0, 0, 'f', 1));
        QFile logFile(cli.isSet(QStringLiteral("log")) ? cli.value(QStringLiteral("log")) : backupFile + ".log");
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append))
            return fail(QStringLiteral("cannot write the log %1: %2").arg(logFile.fileName(), logFile.errorString()));
        QTextStream log(&logFile);
        auto say = [&](const QString& line) {
            log << line << '\n';
            log.flush();
        };
        say(QStringLiteral("-- migration of %1 at %2, backup %3")
                .arg(s.target(), QDateTime::currentDateTime().toString(Qt::ISODate), backupFile));
        for (const QString& line : a.report)
            say(QStringLiteral("-- ") + line);
        timer.start();
        data::dbcheck::migrate(c, a.plan, say);
        printLine(QStringLiteral("migrated: %1 statements (%2 s), log %3")
                      .arg(a.plan.size())
                      .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
                      .arg(logFile.fileName()));
        a = data::dbcheck::analyse(c);
        printLine(QStringLiteral("checked again:"));
        for (const QString& line : a.report) {
            printLine(line);
            say(QStringLiteral("-- after: ") + line);
        }
        return a.toDo == 0 ? 0 : 1;
    } catch (const data::DbError& e) {
        return fail(QStringLiteral("database error %1: %2").arg(e.nativeCode()).arg(e.message()));
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
}
