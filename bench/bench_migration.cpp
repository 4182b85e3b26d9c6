// The database check and migration on the large generated set made legacy (MyISAM, tis620,
// primary keys only, zero dates, counters as text): how long the check, the backup and the
// migration take. Run last: it rebuilds every table. Needs the administrator's socket in
// WARASAN_ADMIN_SOCKET.
#include "BenchUtil.h"
#include "data/Config.h"
#include "data/SaveGate.h"
#include "dbcheck/DbCheck.h"
#include "support/Legacy.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        data::ConnectionSettings s = data::installation().db;
        s.user = QStringLiteral("root");
        s.server = QStringLiteral("localhost");
        s.socket = qEnvironmentVariable("WARASAN_ADMIN_SOCKET");
        data::Connection c(s);
        c.open();
        data::waiveSaveChecks(c);
        const double legacy = bench::timed([&] { testsupport::makeLegacy(c); });
        std::printf("made legacy:            %8.1f s\n", legacy / 1000);
        data::dbcheck::Analysis a;
        const double check = bench::timed([&] { a = data::dbcheck::analyse(c); });
        std::printf("check:                  %8.1f s (%d things to do, %d statements planned)\n", check / 1000, a.toDo,
                    int(a.plan.size()));
        QTemporaryDir dir;
        qint64 rows = 0;
        const double backup =
            bench::timed([&] { rows = data::dbcheck::backup(c, dir.filePath(QStringLiteral("backup.sql"))); });
        std::printf("backup, read back:      %8.1f s (%lld rows)\n", backup / 1000, rows);
        int logged = 0;
        const double migration =
            bench::timed([&] { data::dbcheck::migrate(c, a.plan, [&](const QString&) { ++logged; }); });
        std::printf("migration:              %8.1f s (%d log lines)\n", migration / 1000, logged);
        const double again = bench::timed([&] { a = data::dbcheck::analyse(c); });
        std::printf("check again:            %8.1f s (%d things to do)\n", again / 1000, a.toDo);
        for (const QString& line : a.report)
            if (line.startsWith(QLatin1String("  !")))
                std::printf("%s\n", qPrintable(line));
        return a.toDo == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_migration: %s\n", e.what());
        return 1;
    }
}
