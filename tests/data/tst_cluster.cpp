// The program's promises on a two-node MariaDB Galera cluster (scripts/cluster.sh): stations
// on different nodes saving on every counter at once get every number once and lose nothing;
// a station whose node stops moves to the other and goes on, with honest outcomes.
#include "support/Stations.h"
#include "support/TestServer.h"

#include <set>

class tst_cluster : public QObject {
    Q_OBJECT
    QTemporaryDir dir{u"/tmp/warasan-cluster-XXXXXX"_s};
    QStringList nodes; // "127.0.0.1:port", node 1 first

    QString cluster(const QStringList& args) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(u"bash"_s, QStringList{sourcePath(u"scripts/cluster.sh"_s)} + args);
        if (!p.waitForFinished(300000) || p.exitCode() != 0)
            qFatal("cluster.sh %s failed", qPrintable(args.join(u' ')));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    // A station's settings: the node list in the order it tries them.
    data::ConnectionSettings station(const QStringList& order) const {
        data::ConnectionSettings s = programSettings(u"magazine"_s);
        s.server = order.join(u',');
        s.port = 0;
        return s;
    }
    // The administrator on node `i` (1-based), over its socket.
    std::unique_ptr<data::Connection> admin(int i) const {
        data::ConnectionSettings s = adminSettings(u"magazine"_s);
        s.socket = dir.filePath(u"node%1/mysqld.sock"_s.arg(i));
        auto c = std::make_unique<data::Connection>(s);
        c->open();
        return c;
    }

public:
    ~tst_cluster() override {
        if (!nodes.isEmpty()) // stopped here too when a test ended the run early
            cluster({u"stop"_s, dir.path()});
    }

private slots:
    void initTestCase() {
        nodes = cluster({u"start"_s, dir.path(), u"2"_s}).split(u',');
        QCOMPARE(nodes.size(), 2);
        admin(1)->exec(u"INSERT INTO magazine (Pointer, Magazine_Name) VALUES ('X000001', 'x')"_s);
    }

    // Four stations, two starting on each node, 20 saves each on one counter at once.
    void everyCounterOnBothNodes_data() {
        QTest::addColumn<int>("kind");
        for (int k = 0; k < numberedSaves().size(); ++k)
            QTest::newRow(numberedSaves().at(k).name) << k;
    }
    void everyCounterOnBothNodes() {
        QFETCH(int, kind);
        const auto one = admin(1), two = admin(2); // both nodes hold every save
        const QString problem = savedAtOnce(numberedSaves().at(kind), 4, 20,
                                            [this](int st) {
                                                return station(st % 2 ? QStringList{nodes[1], nodes[0]} : nodes);
                                            },
                                            {one.get(), two.get()});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // A station reads what another node committed even where its own node has not applied it
    // yet: node 2 holding back what it applies (a read lock), a title saved on node 1 is read on
    // node 2 once the lock goes, not missed before it.
    void readsWaitForTheCluster() {
        data::Connection reader(station({nodes[1], nodes[0]}));
        reader.open(); // a node holding back is not one a station connects to
        auto lock = admin(2);
        lock->exec(u"FLUSH TABLES WITH READ LOCK"_s);
        admin(1)->exec(u"INSERT INTO magazine (Pointer, Magazine_Name) VALUES ('X000002', 'รอนำไปใช้')"_s);
        QString seen = u"(not read)"_s;
        std::unique_ptr<QThread> read(QThread::create([&] {
            const data::Result r = reader.query(u"SELECT Magazine_Name FROM magazine WHERE Pointer = 'X000002'"_s);
            seen = r.isEmpty() ? u"(missed)"_s : r.text(0, 0);
        }));
        read->start();
        const bool waited = !read->wait(1500);
        lock->exec(u"UNLOCK TABLES"_s);
        QVERIFY(read->wait(30000));
        QCOMPARE(seen, u"รอนำไปใช้"_s);
        QVERIFY(waited);
    }

    // The station's node is stopped while it saves: it moves to the other node. Every save it
    // reported as done is there once; one it reported as not done is not there.
    void nodeStopsWhileSaving() {
        const NumberedSave& s = numberedSaves().at(0);
        data::Connection c(station(nodes));
        QStringList saved;
        int failed = 0;
        std::unique_ptr<QThread> stopper;
        for (int i = 0; i < 60; ++i) {
            if (i == 20) {
                stopper.reset(QThread::create([&] { cluster({u"kill"_s, dir.path(), u"1"_s, u"TERM"_s}); }));
                stopper->start();
            }
            try {
                saved << s.save(c, u"ย้าย %1"_s.arg(i));
            } catch (const data::DbError& e) {
                ++failed;
                QVERIFY2(e.message().contains(u"ไม่ได้ถูกบันทึก"_s) || e.connectionLost(), qPrintable(e.describe()));
            }
            QThread::msleep(20);
        }
        stopper->wait();
        QVERIFY2(failed <= 2, qPrintable(QString::number(failed)));
        QVERIFY(saved.size() >= 58);
        auto other = admin(2);
        QCOMPARE(int(std::set<QString>(saved.begin(), saved.end()).size()), saved.size());
        for (const QString& n : saved)
            QVERIFY2(s.stored(*other, n).startsWith(u"ย้าย"_s), qPrintable(n));
        QCOMPARE(other->query(u"SHOW GLOBAL STATUS LIKE 'wsrep_cluster_size'"_s).text(0, 1), u"1"_s);
        cluster({u"restart"_s, dir.path(), u"1"_s});
    }
};

WARASAN_GUILESS_TEST_MAIN(tst_cluster)
#include "tst_cluster.moc"
