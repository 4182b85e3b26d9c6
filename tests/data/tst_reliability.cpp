// Every numbered save under the faults a shared database meets: stations saving at once, the
// link cut at COMMIT, hostile text and text at its column's limit.
#include "data/Connection.h"
#include "support/CutProxy.h"
#include "support/DatabaseTest.h"
#include "support/Saves.h"
#include "support/Stations.h"

#include <thread>

class tst_reliability : public testsupport::DatabaseTest {
    Q_OBJECT

    void kinds() {
        QTest::addColumn<int>("kind");
        for (int k = 0; k < numberedSaves().size(); ++k)
            QTest::newRow(numberedSaves().at(k).name) << k;
    }

private slots:
    void init() {
        fresh();
        windowsLeft = 0;
        exec(u"INSERT INTO magazine (Pointer, Magazine_Name) VALUES ('X000001', 'x')"_s);
    }

    void stationsAtOnce_data() { kinds(); }
    void stationsAtOnce() {
        QFETCH(int, kind);
        auto reader = db->connect();
        const QString problem =
            savedAtOnce(numberedSaves().at(kind), 4, 12, [this](int) { return db->settings(); }, {reader.get()});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Every counter held by another station past the lock wait (1205): the save waits its turn.
    void lockWaitOutlasted() {
        auto holder = db->connect(), c = db->connect();
        c->exec(u"SET SESSION innodb_lock_wait_timeout = 1"_s);
        holder->begin();
        holder->exec(u"SELECT * FROM jourctrl, artctrl, authctrl, ctrlsumj, recsetup FOR UPDATE"_s);
        std::thread release([&] {
            QThread::msleep(1500);
            holder->rollback();
        });
        QString number;
        const QString error = failure([&] { number = numberedSaves().at(2).save(*c, u"รอคิว"_s).value; }); // jourctrl
        release.join();
        QCOMPARE(error, u"no error"_s);
        QVERIFY2(number.toLongLong() > 0, qPrintable(number));
    }

    // Cut after COMMIT reached the server: saved, and said so, once. Cut before: not saved,
    // and said so. Never "not saved" for a save that was.
    void cutAtCommit_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("cut");
        const char* cuts[] = {"", "before COMMIT", "after COMMIT", "after COMMIT answered"};
        for (int k = 0; k < numberedSaves().size(); ++k)
            for (int cut : {1, 2, 3})
                QTest::addRow("%s, %s", numberedSaves().at(k).name, cuts[cut]) << k << cut;
    }
    void cutAtCommit() {
        QFETCH(int, kind);
        QFETCH(int, cut);
        const auto& s = numberedSaves().at(kind);
        CutProxy proxy(testPort());
        const auto link = proxy.connect(db->settings());
        data::Connection& c = *link;
        const QString text = u"ตัดสายตอนยืนยัน %1"_s.arg(kind);
        const bool saved = cut != 1;
        proxy.cutAtNextCommit(CutProxy::Cut(cut));
        QString number;
        try {
            const auto done = s.save(c, text);
            number = done.value;
            QVERIFY2(saved, "a save cut before COMMIT was reported as saved");
            QVERIFY(done.foundAfterCut() == (cut == 2)); // answered: nothing to check
        } catch (const data::DbError& e) {
            QVERIFY2(!saved, qPrintable("a committed save reported as failed: " + e.describe()));
            QVERIFY2(e.message().contains(u"ไม่ได้ถูกบันทึก"_s), qPrintable(e.message()));
        }
        QCOMPARE(proxy.cuts(), 1);
        auto check = db->connect();
        QCOMPARE(s.search(*check, text), saved ? 1 : 0); // once, or not at all
        if (saved)
            QCOMPARE(s.stored(*check, number), text);
        QCOMPARE(s.stored(*check, s.save(c, text + u" อีกครั้ง"_s)), text + u" อีกครั้ง"_s);
    }

    // Exact round trip through every save and its search, or a clear refusal with nothing
    // written: text at its column's limit is kept whole, one character more is refused.
    void hostileText_data() { kinds(); }
    void hostileText() {
        QFETCH(int, kind);
        const auto& s = numberedSaves().at(kind);
        auto c = db->connect();
        const QStringList texts = hostileTexts();
        QVERIFY(texts.size() >= 150);
        for (const QString& t : texts) {
            QString n;
            try {
                n = s.save(*c, t);
            } catch (const std::exception& e) {
                QFAIL(qPrintable(t + u": "_s + QString::fromUtf8(e.what())));
            }
            QCOMPARE(s.stored(*c, n), t);
            QVERIFY2(s.search(*c, t) >= 1, qPrintable(t));
        }
        const QString atLimit = u"ก่"_s.repeated(127) + u"ข"_s;
        QCOMPARE(s.stored(*c, s.save(*c, atLimit)), atLimit);
        QVERIFY(failure([&] { s.save(*c, atLimit + u"ค"_s); }).startsWith(u"[1406]"_s));
        QCOMPARE(s.search(*c, atLimit), 1);
    }
};

WARASAN_GUILESS_TEST_MAIN(tst_reliability)
#include "tst_reliability.moc"
