// The reliability test at length: stations saving at once on every numbered save, links cut
// at COMMIT now and then, hostile text throughout, on a server without strict mode. Prints a
// table; exits non-zero when any save was duplicated, half-written or answered wrongly.
//   soak [--stations 8] [--saves 1000] [--cuts 50]
#include "support/CutProxy.h"
#include "support/Saves.h"
#include "support/TestServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QThread>
#include <atomic>
#include <cstdio>

using testsupport::CutProxy;

namespace {

struct Outcome {
    QString text, number;
    enum { Saved, NotSaved, Unknown, Refused } kind;
};

qint64 deadlocks(data::Connection& admin) {
    return admin.query(QStringLiteral("SHOW GLOBAL STATUS LIKE 'Innodb_deadlocks'")).value(0, 1).toLongLong();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser args;
    args.addHelpOption();
    args.addOptions({{"stations", "stations saving at once", "n", "8"},
                     {"saves", "saves per station and kind", "n", "1000"},
                     {"cuts", "links cut at COMMIT, over all kinds", "n", "50"}});
    args.process(app);
    const int stations = args.value("stations").toInt(), saves = args.value("saves").toInt();
    const int cutsPerKind = qMax(1, args.value("cuts").toInt() / int(testsupport::numberedSaves().size()));

    testsupport::TestDatabase db(QStringLiteral("soak"));
    db.admin().exec(QStringLiteral("INSERT INTO magazine (Pointer, Magazine_Name) VALUES ('X000001', 'x')"));
    db.admin().exec(QStringLiteral("SET GLOBAL sql_mode = ''")); // an old, permissive installation
    const QStringList hostile = testsupport::hostileTexts();
    CutProxy proxy(testsupport::testPort());
    data::ConnectionSettings viaProxy = db.settings();
    viaProxy.port = proxy.port();

    std::printf("%-10s %8s %8s %9s %8s %8s %11s %8s %13s %9s %8s\n", "save", "saves", "saved", "not saved", "unknown",
                "refused", "duplicates", "partial", "wrong answers", "deadlocks", "seconds");
    int failures = 0;
    for (const auto& kind : testsupport::numberedSaves()) {
        const qint64 deadlocksBefore = deadlocks(db.admin());
        const int cutsBefore = proxy.cuts();
        QList<Outcome> outcomes;
        QMutex mutex;
        std::atomic<int> done{0};
        QElapsedTimer clock;
        clock.start();
        QList<QThread*> threads;
        for (int s = 0; s < stations; ++s) {
            threads << QThread::create([&, s] {
                data::Connection c(viaProxy);
                for (int i = 0; i < saves; ++i, ++done) {
                    Outcome o{hostile.at((s * saves + i) % hostile.size()) + QStringLiteral(" #%1-%2").arg(s).arg(i),
                              {},
                              Outcome::Saved};
                    try {
                        o.number = kind.save(c, o.text);
                    } catch (const data::DbError& e) {
                        o.kind = e.outcomeUnknown()                                   ? Outcome::Unknown
                                 : e.message().contains(QStringLiteral("ไม่ได้ถูกบันทึก")) ? Outcome::NotSaved
                                                                                      : Outcome::Refused;
                    } catch (const std::exception&) {
                        o.kind = Outcome::Refused;
                    }
                    QMutexLocker lock(&mutex);
                    outcomes << o;
                }
            });
            threads.last()->start();
        }
        // Cuts spread over the run, alternately after and before COMMIT reaches the server.
        for (int armed = 0; done < stations * saves;) {
            if (armed < cutsPerKind && done >= (armed + 1) * stations * saves / (cutsPerKind + 1) &&
                proxy.cuts() - cutsBefore == armed) {
                proxy.cutAtNextCommit(armed % 2 ? CutProxy::Cut::BeforeCommit : CutProxy::Cut::AfterCommit);
                ++armed;
            }
            QThread::msleep(2);
        }
        for (QThread* t : threads) {
            t->wait();
            delete t;
        }
        const double seconds = clock.elapsed() / 1000.0;

        // What the database holds, against what each station was told.
        QHash<QString, QStringList> storedUnder; // text -> numbers
        const data::Result rows = db.admin().query(QString::fromLatin1(kind.everyRow));
        for (const auto& row : rows.rows)
            storedUnder[row.at(1).toString()] << row.at(0).toString();
        int counts[4] = {}, duplicates = 0, wrong = 0;
        QHash<QString, int> numberUse;
        for (const Outcome& o : std::as_const(outcomes)) {
            ++counts[o.kind];
            const QStringList& at = storedUnder.value(o.text);
            duplicates += at.size() > 1;
            if (o.kind == Outcome::Saved) {
                duplicates += ++numberUse[o.number] > 1;
                wrong += at != QStringList{o.number};
            } else if (o.kind == Outcome::NotSaved || o.kind == Outcome::Refused) {
                wrong += !at.isEmpty();
            }
        }
        const qint64 partial = db.admin().query(QString::fromLatin1(kind.partialRows)).value(0, 0).toLongLong();
        const qint64 locked = deadlocks(db.admin()) - deadlocksBefore;
        std::printf("%-10s %8d %8d %9d %8d %8d %11d %8lld %13d %9lld %8.1f\n", kind.name, int(outcomes.size()),
                    counts[Outcome::Saved], counts[Outcome::NotSaved], counts[Outcome::Unknown],
                    counts[Outcome::Refused], duplicates, partial, wrong, locked, seconds);
        failures += duplicates + int(partial) + wrong;
    }
    std::printf("links cut at COMMIT: %d\n", proxy.cuts());
    db.admin().exec(QStringLiteral("SET GLOBAL sql_mode = DEFAULT"));
    return failures == 0 ? 0 : 1;
}
