// The reliability test at length: stations saving at once on every numbered save, links cut
// at COMMIT now and then, hostile text throughout, on a server without strict mode. Prints a
// table; exits non-zero when any save was duplicated, half-written or answered wrongly.
//   soak [--stations 8] [--saves 1000] [--cuts 50]
//   soak --cluster DIR [--stations 8] [--saves 1000] [--kill-every 5] [--pause 0] [--restart-after 5000]
// With --cluster, the same saves on the Galera cluster that scripts/cluster.sh started in DIR,
// the stations spread over its nodes, one node killed (SIGKILL) and started again every few
// seconds; then once more on the single server, without kills, for the saves per second.
// Each kind's row gives its saves' times (median, 99th percentile, slowest): what a station
// waits for a save, a node's death included. --pause sets the desk's pace (ms between saves).
#include "support/CutProxy.h"
#include "support/Saves.h"
#include "support/TestServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

using testsupport::CutProxy;

namespace {

struct Outcome {
    QString text, number;
    enum { Saved, NotSaved, Unknown, Refused } kind;
    double ms = 0; // how long the station waited for the answer
};

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

int pauseMs = 0; // between one station's saves: the desk's pace
// How long a killed node stays down: Debian's mariadb.service starts a server that died
// abnormally again after 5 s.
int restartAfterMs = 5000;

qint64 deadlocks(data::Connection& admin) {
    return admin.query(QStringLiteral("SHOW GLOBAL STATUS LIKE 'Innodb_deadlocks'")).value(0, 1).toLongLong();
}

// One pass over every numbered save: `stations` threads, each on its own settings, saving
// `saves` times; `during` runs beside them until they are done (cuts, kills). Prints a row per
// kind; gives the number of duplicates, partial writes and wrong answers.
int pass(data::Connection& admin, const std::function<data::ConnectionSettings(int station)>& settings, int stations,
         int saves, const std::function<void(const std::atomic<int>& done, int total)>& during) {
    const QStringList hostile = testsupport::hostileTexts();
    std::printf("%-10s %8s %8s %9s %8s %8s %11s %8s %13s %9s %8s %8s %9s %7s %8s %8s %8s\n", "save", "saves", "saved",
                "not saved", "unknown", "refused", "duplicates", "partial", "wrong answers", "deadlocks", "retries",
                "failovers", "seconds", "saves/s", "med ms", "p99 ms", "max ms");
    int failures = 0;
    for (const auto& kind : testsupport::numberedSaves()) {
        const qint64 deadlocksBefore = deadlocks(admin);
        const qint64 retriesBefore = data::stats::transactionRetries, switchesBefore = data::stats::nodeSwitches;
        QList<Outcome> outcomes;
        QStringList reasons; // why saves were refused, the first few kinds
        QMutex mutex;
        std::atomic<int> done{0};
        QElapsedTimer clock;
        clock.start();
        QList<QThread*> threads;
        for (int s = 0; s < stations; ++s) {
            threads << QThread::create([&, s] {
                data::Connection c(settings(s));
                for (int i = 0; i < saves; ++i, ++done) {
                    Outcome o{hostile.at((s * saves + i) % hostile.size()) + QStringLiteral(" #%1-%2").arg(s).arg(i),
                              {},
                              Outcome::Saved};
                    if (pauseMs > 0 && i > 0)
                        QThread::msleep(pauseMs);
                    QElapsedTimer took;
                    took.start();
                    try {
                        o.number = kind.save(c, o.text).value;
                    } catch (const data::DbError& e) {
                        o.kind = e.outcomeUnknown()                                   ? Outcome::Unknown
                                 : e.message().contains(QStringLiteral("ไม่ได้ถูกบันทึก")) ? Outcome::NotSaved
                                                                                      : Outcome::Refused;
                        QMutexLocker lock(&mutex);
                        if (o.kind == Outcome::Refused && reasons.size() < 5 && !reasons.contains(e.describe()))
                            reasons << e.describe();
                    } catch (const std::exception&) {
                        o.kind = Outcome::Refused;
                    }
                    o.ms = took.nsecsElapsed() / 1e6;
                    QMutexLocker lock(&mutex);
                    outcomes << o;
                }
            });
            threads.last()->start();
        }
        during(done, stations * saves);
        for (QThread* t : threads) {
            t->wait();
            delete t;
        }
        const double seconds = clock.elapsed() / 1000.0;

        // What the database holds, against what each station was told.
        QHash<QString, QStringList> storedUnder; // text -> numbers
        const data::Result rows = admin.query(QString::fromLatin1(kind.everyRow));
        for (const auto& row : rows.rows)
            storedUnder[row.at(1).toString()] << row.at(0).toString();
        int counts[4] = {}, duplicates = 0, wrong = 0;
        QHash<QString, int> numberUse;
        std::vector<double> times;
        for (const Outcome& o : std::as_const(outcomes)) {
            ++counts[o.kind];
            times.push_back(o.ms);
            const QStringList& at = storedUnder.value(o.text);
            duplicates += at.size() > 1;
            if (o.kind == Outcome::Saved) {
                duplicates += ++numberUse[o.number] > 1;
                wrong += at != QStringList{o.number};
            } else if (o.kind == Outcome::NotSaved || o.kind == Outcome::Refused) {
                wrong += !at.isEmpty();
            }
        }
        const qint64 partial = admin.query(QString::fromLatin1(kind.partialRows)).value(0, 0).toLongLong();
        // The server's own count, since the pass began: unknown ("?") when the server the
        // administrator's connection reads was killed and started again meanwhile, its count
        // starting again from nought.
        const qint64 locked = deadlocks(admin) - deadlocksBefore;
        const QByteArray lockedText = locked < 0 ? QByteArray("?") : QByteArray::number(locked);
        std::printf("%-10s %8d %8d %9d %8d %8d %11d %8lld %13d %9s %8lld %9lld %8.1f %7.0f %8.1f %8.1f %8.1f\n",
                    kind.name, int(outcomes.size()), counts[Outcome::Saved], counts[Outcome::NotSaved],
                    counts[Outcome::Unknown], counts[Outcome::Refused], duplicates, partial, wrong,
                    lockedText.constData(), qint64(data::stats::transactionRetries - retriesBefore),
                    qint64(data::stats::nodeSwitches - switchesBefore), seconds,
                    counts[Outcome::Saved] / qMax(0.001, seconds), percentile(times, 0.5), percentile(times, 0.99),
                    percentile(times, 1.0));
        for (const QString& r : std::as_const(reasons))
            std::printf("    refused: %s\n", qPrintable(r));
        std::fflush(stdout);
        failures += duplicates + int(partial) + wrong;
    }
    return failures;
}

int runCluster(const QString& dir, int stations, int saves, int killEvery) {
    const auto script = [&](const QStringList& args) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral("bash"),
                QStringList{testsupport::sourcePath(QStringLiteral("scripts/cluster.sh"))} + args);
        p.waitForFinished(600000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };
    const QStringList nodes = script({QStringLiteral("servers"), dir}).split(QLatin1Char(','));
    const auto onNodes = [&](int first) {
        data::ConnectionSettings s = testsupport::programSettings(QStringLiteral("magazine"));
        QStringList order;
        for (int i = 0; i < nodes.size(); ++i)
            order << nodes.at((first + i) % nodes.size());
        s.server = order.join(QLatin1Char(','));
        s.port = 0;
        return s;
    };
    data::Connection admin(onNodes(0));
    admin.exec(QStringLiteral("INSERT IGNORE INTO magazine (Pointer, Magazine_Name) VALUES ('X000001', 'x')"));
    std::printf("cluster of %d nodes (%s), %d stations spread over them, one node killed every %d s:\n",
                int(nodes.size()), qPrintable(nodes.join(QLatin1Char(' '))), stations, killEvery);
    int kills = 0;
    const int failures = pass(
        admin, [&](int station) { return onNodes(station); }, stations, saves,
        [&](const std::atomic<int>& done, int total) {
            while (done < total) {
                for (int waited = 0; waited < killEvery * 10 && done < total; ++waited)
                    QThread::msleep(100);
                if (done >= total)
                    break;
                const QString node = QString::number(1 + QRandomGenerator::global()->bounded(int(nodes.size())));
                script({QStringLiteral("kill"), dir, node});
                ++kills;
                QThread::msleep(restartAfterMs);
                script({QStringLiteral("restart"), dir, node});
            }
        });
    std::printf("nodes killed and restarted: %d\n\n", kills);
    return failures;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser args;
    args.addHelpOption();
    args.addOptions(
        {{"stations", "stations saving at once", "n", "8"},
         {"saves", "saves per station and kind", "n", "1000"},
         {"cuts", "links cut at COMMIT, over all kinds", "n", "50"},
         {"cluster", "the Galera cluster started by scripts/cluster.sh in this folder", "dir"},
         {"kill-every", "with --cluster: seconds between node kills", "s", "5"},
         {"pause", "milliseconds between one station's saves", "ms", "0"},
         {"restart-after", "with --cluster: milliseconds before a killed node starts again", "ms", "5000"}});
    args.process(app);
    pauseMs = args.value("pause").toInt();
    restartAfterMs = args.value("restart-after").toInt();
    const int stations = args.value("stations").toInt(), saves = args.value("saves").toInt();
    const int cutsPerKind = qMax(1, args.value("cuts").toInt() / int(testsupport::numberedSaves().size()));

    int failures = 0;
    if (args.isSet("cluster"))
        failures += runCluster(args.value("cluster"), stations, saves, args.value("kill-every").toInt());

    testsupport::TestDatabase db(QStringLiteral("soak"));
    db.admin().exec(QStringLiteral("INSERT INTO magazine (Pointer, Magazine_Name) VALUES ('X000001', 'x')"));
    if (args.isSet("cluster")) {
        std::printf("one server, the same stations and saves, nothing killed:\n");
        failures += pass(
            db.admin(), [&](int) { return db.settings(); }, stations, saves, [](const std::atomic<int>&, int) {});
        return failures == 0 ? 0 : 1;
    }
    db.admin().exec(QStringLiteral("SET GLOBAL sql_mode = ''")); // an old, permissive installation
    CutProxy proxy(testsupport::testPort());
    data::ConnectionSettings viaProxy = db.settings();
    viaProxy.port = proxy.port();
    failures += pass(
        db.admin(), [&](int) { return viaProxy; }, stations, saves,
        [&](const std::atomic<int>& done, int total) {
            // Cuts spread over the run, alternately after and before COMMIT reaches the server.
            const int cutsBefore = proxy.cuts();
            for (int armed = 0; done < total;) {
                if (armed < cutsPerKind && done >= (armed + 1) * total / (cutsPerKind + 1) &&
                    proxy.cuts() - cutsBefore == armed) {
                    proxy.cutAtNextCommit(armed % 2 ? CutProxy::Cut::BeforeCommit : CutProxy::Cut::AfterCommit);
                    ++armed;
                }
                QThread::msleep(2);
            }
        });
    std::printf("links cut at COMMIT: %d\n", proxy.cuts());
    db.admin().exec(QStringLiteral("SET GLOBAL sql_mode = DEFAULT"));
    return failures == 0 ? 0 : 1;
}
