// The schema as the server sees it: engines and keys, character set and Thai collation.
#include "data/Connection.h"
#include "support/DatabaseTest.h"
#include "titles/DealerStore.h"

#include <QTest>

class tst_schema : public testsupport::DatabaseTest {
    Q_OBJECT

private slots:
    void init() { windowsLeft = 0; }

    void everyTableIsInnoDbThaiWithPrimaryKey() {
        const data::Result tables = db->admin().query(
            QStringLiteral("SELECT t.table_name, t.engine, t.table_collation, "
                           "  (SELECT COUNT(*) FROM information_schema.table_constraints k WHERE k.table_schema = "
                           "   t.table_schema AND k.table_name = t.table_name AND k.constraint_type = 'PRIMARY KEY') "
                           "FROM information_schema.tables t WHERE t.table_schema = ?"),
            {db->name()});
        QCOMPARE(tables.rowCount(), 21);
        for (int i = 0; i < tables.rowCount(); ++i) {
            const QString name = tables.text(i, 0);
            QCOMPARE(tables.text(i, 1), QStringLiteral("InnoDB"));
            QVERIFY2(tables.text(i, 2) == QLatin1String("utf8mb4_thai_520_w2"), qPrintable(name));
            QVERIFY2(tables.value(i, 3).toLongLong() == 1, qPrintable(name + " has no primary key"));
        }
        // Windows spell some tables in more than one way.
        for (const char* t : {"Language", "ARTICLE", "MAUTHFILE", "MSUBJECT", "Bindcolor"})
            db->connect()->query(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(t)));
    }

    void thaiCollation() {
        // Stored names sort in Thai dictionary order (leading vowels after their consonant)
        // and tone marks stay distinct: ไก (chicken without its tone mark) is not ไก่.
        int code = 0;
        for (const QString& name :
             {QStringLiteral("ขา"), QStringLiteral("ไก่"), QStringLiteral("เกม"), QStringLiteral("กา")})
            db->admin().exec(QStringLiteral("INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES (?, ?)"),
                             {QString::number(++code), name});
        const data::Result r =
            db->connect()->query(QStringLiteral("SELECT Publisher_Name FROM dealer ORDER BY Publisher_Name"));
        QStringList order;
        for (const auto& row : r.rows)
            order << row.at(0).toString();
        QCOMPARE(order, (QStringList{QStringLiteral("กา"), QStringLiteral("เกม"), QStringLiteral("ไก่"),
                                     QStringLiteral("ขา")}));
        const QString find = QStringLiteral("SELECT 1 FROM dealer WHERE Publisher_Name = ?");
        QCOMPARE(db->connect()->query(find, {QStringLiteral("ไก")}).rowCount(), 0);
        QCOMPARE(db->connect()->query(find, {QStringLiteral("ไก่")}).rowCount(), 1);
        db->admin().exec(QStringLiteral("DELETE FROM dealer"));
    }

    // A copy whose tables cannot keep a save whole, or are not where the program looks, still
    // shows what it holds but takes no save at all: the message names them, nothing is written.
    void legacyTablesTakeNoSave() {
        db->admin().exec(QStringLiteral("ALTER TABLE mauthfile ENGINE=MyISAM"));
        db->admin().exec(QStringLiteral("RENAME TABLE artctrl TO artctrl_old"));
        auto legacy = db->connect();
        QCOMPARE(legacy->query(QStringLiteral("SELECT COUNT(*) FROM dealer")).text(0, 0), QStringLiteral("0"));
        QVERIFY_THROWS_EXCEPTION(data::DbError,
                                 titles::DealerStore::add(*legacy, {{}, QStringLiteral("x"), {}, {}, {}}));
        QVERIFY2(legacy->writeRefusal().contains(QStringLiteral("mauthfile เป็นแบบ MyISAM")) &&
                     legacy->writeRefusal().contains(QStringLiteral("ไม่พบตาราง artctrl")),
                 qPrintable(legacy->writeRefusal()));
        db->admin().exec(QStringLiteral("ALTER TABLE mauthfile ENGINE=InnoDB"));
        db->admin().exec(QStringLiteral("RENAME TABLE artctrl_old TO artctrl"));
        QCOMPARE(testsupport::rowText(db->admin(), QStringLiteral("SELECT COUNT(*) FROM dealer")), QStringLiteral("0"));
        QCOMPARE(titles::DealerStore::add(*db->connect(), {{}, QStringLiteral("x"), {}, {}, {}}), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(tst_schema)
#include "tst_schema.moc"
