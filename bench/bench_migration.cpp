// The database check and migration on the large generated set made legacy (MyISAM, tis620,
// primary keys only, zero dates, counters as text): how long the check, the backup and the
// migration take. Run last: it rebuilds every table. Needs the administrator's socket in
// WARASAN_ADMIN_SOCKET.
#include "BenchUtil.h"
#include "Legacy.h"
#include "data/Config.h"
#include "data/DbCheck.h"

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
        c.administer();
        std::printf("made legacy:            %8.1f s\n", bench::timed([&] { bench::makeLegacy(c); }) / 1000);
        data::dbcheck::Analysis a;
        std::printf("check:                  %8.1f s (%d things to do, %d statements planned)\n",
                    bench::timed([&] { a = data::dbcheck::analyse(c); }) / 1000, a.toDo, int(a.plan.size()));
        QTemporaryDir dir;
        qint64 rows = 0;
        std::printf("backup, read back:      %8.1f s",
                    bench::timed([&] { rows = data::dbcheck::backup(c, dir.filePath(QStringLiteral("backup.sql"))); }) /
                        1000);
        std::printf(" (%lld rows)\n", rows);
        int logged = 0;
        std::printf("migration:              %8.1f s",
                    bench::timed([&] { data::dbcheck::migrate(c, a.plan, [&](const QString&) { ++logged; }); }) / 1000);
        std::printf(" (%d log lines)\n", logged);
        std::printf("check again:            %8.1f s", bench::timed([&] { a = data::dbcheck::analyse(c); }) / 1000);
        std::printf(" (%d things to do)\n", a.toDo);
        for (const QString& line : a.report)
            if (line.startsWith(QLatin1String("  !")))
                std::printf("%s\n", qPrintable(line));
        return a.toDo == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_migration: %s\n", e.what());
        return 1;
    }
}
