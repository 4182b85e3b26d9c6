// The data layer against the real server: rows read in blocks, strict writes, links cut at
// COMMIT and connections lost inside a transaction.
#include "data/Connection.h"
#include "data/Counter.h"
#include "data/LookUp.h"
#include "support/CutProxy.h"
#include "support/DatabaseTest.h"

class tst_connection : public testsupport::DatabaseTest {
    Q_OBJECT
    std::unique_ptr<data::Connection> c;

private slots:
    void initTestCase() {
        DatabaseTest::initTestCase();
        exec(QStringLiteral("CREATE TABLE probe (id INT PRIMARY KEY, t TEXT NULL, d DATE NULL, "
                            "s DATETIME NULL, n BIGINT NULL, p DECIMAL(12,2) NULL)"));
        c = db->connect();
    }
    void init() {
        windowsLeft = 0;
        exec(u"DELETE FROM probe"_s);
    }

    void manyRowsInBlocks() {
        // Bounded columns are read a block of rows at a time: rows on both sides of each block
        // boundary, NULLs among them, and Thai text at its full declared width, must come back whole.
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS wide (id INT PRIMARY KEY, v VARCHAR(40) NULL, "
                            "d DATE NULL, p DECIMAL(12,2) NULL)"));
        exec(u"DELETE FROM wide"_s);
        constexpr int rows = 700;
        const auto row = [](int i) {
            return QVariantList{qint64(i), i % 7 == 0 ? QVariant() : QVariant(u"ก่"_s.repeated(20)),
                                i % 5 == 0 ? QVariant() : QVariant(QDate(2024, 1, 1).addDays(i)), u"%1.25"_s.arg(i)};
        };
        data::Transaction tx(*c);
        for (int i = 0; i < rows; ++i)
            c->exec(u"INSERT INTO wide (id, v, d, p) VALUES (?, ?, ?, ?)"_s, row(i));
        tx.commit();
        const data::Result r = c->query(u"SELECT id, v, d, p FROM wide ORDER BY id"_s);
        QCOMPARE(r.rowCount(), rows);
        for (int i : {0, 1, 255, 256, 257, 511, 512, 699})
            QCOMPARE(r.rows.at(i), row(i));
        // The same prepared statement then serves a one-row query as before.
        QCOMPARE(c->query(u"SELECT id, v, d, p FROM wide ORDER BY id"_s).rowCount(), rows);
        QCOMPARE(c->query(u"SELECT id FROM wide WHERE id = ?"_s, {256}).text(0, 0), u"256"_s);
    }

    // No server setting may let a write be cut short: the session is strict on every connection.
    void strictEvenOnAPermissiveServer() {
        exec(u"SET GLOBAL sql_mode = ''"_s);
        auto lax = db->connect();
        exec(u"SET GLOBAL sql_mode = DEFAULT"_s);
        const QString mode = lax->query(u"SELECT @@SESSION.sql_mode"_s).text(0, 0);
        for (const char* m : {"STRICT_TRANS_TABLES", "NO_ZERO_DATE", "NO_ZERO_IN_DATE", "ERROR_FOR_DIVISION_BY_ZERO"})
            QVERIFY2(mode.contains(QLatin1String(m)), qPrintable(mode));
        QVERIFY(failure([&] {
                    lax->exec(u"INSERT INTO tranfile (magno, pointer, yearno) VALUES ('1', 'J000001', ?)"_s,
                              {QString(21, u'9')});
                }).startsWith(u"[1406]"_s));
        QCOMPARE(lax->query(u"SELECT magno FROM tranfile"_s).rowCount(), 0);
    }

    // A link cut while COMMIT was under way, with no way to look the save up: "unknown", never
    // "not saved". After a cut a write is never sent twice, while a read is retried.
    void cutLinks() {
        CutProxy proxy(testPort());
        const auto link = proxy.connect(db->settings());
        data::Connection& viaProxy = *link;
        proxy.cutAtNextCommit(CutProxy::Cut::AfterCommit);
        try {
            data::retryingTransaction(viaProxy, [&] { viaProxy.exec(u"INSERT INTO probe (id, t) VALUES (1, 'x')"_s); });
            QFAIL("a save whose commit was cut off was reported as saved without looking");
        } catch (const data::DbError& e) {
            QVERIFY2(e.outcomeUnknown() && e.message().contains(u"ไม่ทราบ"_s), qPrintable(e.message()));
        }
        const int rows = 1;
        QCOMPARE(c->query(u"SELECT id FROM probe"_s).rowCount(), rows);

        viaProxy.query(u"SELECT 1"_s); // a live link to cut
        proxy.dropAll();
        QTest::qWait(100);
        QVERIFY_THROWS_EXCEPTION(data::DbError, viaProxy.exec(u"INSERT INTO probe (id) VALUES (2)"_s));
        QCOMPARE(viaProxy.query(u"SELECT COUNT(*) FROM probe"_s).value(0, 0).toLongLong(), qint64(rows));
        // A link lost while the window sat idle, short or long (checked before use): a read
        // still costs the user no failed click.
        for (int idle : {100, 3500}) {
            proxy.dropAll();
            QTest::qWait(idle);
            QCOMPARE(viaProxy.query(u"SELECT COUNT(*) FROM probe"_s).value(0, 0).toLongLong(), qint64(rows));
            // as does a pick list read row by row
            proxy.dropAll();
            QTest::qWait(idle);
            int seen = 0;
            data::lookUpEach(viaProxy, u"SELECT id FROM probe"_s, {}, [&](const data::Cells&) { ++seen; });
            QCOMPARE(seen, rows);
        }
    }

    void lostInsideTransactionIsNotContinued() {
        // A connection killed half-way through a save: the rest of the save must not go on
        // in a fresh connection, and nothing of it may stay.
        auto victim = db->connect();
        const QString id = victim->query(u"SELECT CONNECTION_ID()"_s).text(0, 0);
        victim->begin();
        victim->exec(u"INSERT INTO probe (id) VALUES (1)"_s);
        exec(u"KILL "_s + QString::number(id.toLongLong()));
        QVERIFY_THROWS_EXCEPTION(data::DbError, victim->exec(u"INSERT INTO probe (id) VALUES (2)"_s));
        QVERIFY_THROWS_EXCEPTION(data::DbError, victim->exec(u"INSERT INTO probe (id) VALUES (3)"_s));
        victim->rollback();
        QCOMPARE(c->query(u"SELECT id FROM probe"_s).rowCount(), 0);
        // After the rollback the connection is opened again and works.
        victim->exec(u"INSERT INTO probe (id) VALUES (4)"_s);
        QCOMPARE(c->query(u"SELECT id FROM probe"_s).rowCount(), 1);
    }
};

WARASAN_GUILESS_TEST_MAIN(tst_connection)
#include "tst_connection.moc"
