// The schema as the server sees it: column order and types (other programs read rows by
// position), keys, character set and collation, and the installation rows.
#include "data/Connection.h"
#include "support/TestServer.h"

#include <QTest>

using testsupport::TestDatabase;

class tst_schema : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<data::Connection> c;

private slots:
    void initTestCase() {
        db = std::make_unique<TestDatabase>(QStringLiteral("schema"));
        c = db->connect();
    }
    void cleanupTestCase() {
        c.reset();
        db.reset();
    }

    // The leading columns of each table in position order ("*": a column whose name is free),
    // with the type where it matters ("name:type").
    void columnOrderAndTypes() {
        const char* tables[][2] = {
            {"magazine", "Pointer Magazine_Name Parallel_Name Former_Name Short_Name ISSN Kind_Code Lang_Code "
                         "MagType_code Publisher_Code department_code Receive_Code Cover_Code Copies_Per_Year "
                         "Price_Per_Year Start_Date:date End_Date:date Order_Date:date Distributor_Code Member_Status "
                         "Location"},
            {"dealer", "Publisher_Code Publisher_Name * Address1 Address2 * * * Contact"},
            {"recsetup", "* pointer_ctrl1 pointer_ctrl2 pointer_ctrl3 pointer_ctrl4"},
            {"typemag", "Type_Code Type_Thai_Descrition"},
            {"language", "Language_Code LangDesTh"},
            {"magtype", "MagType_Code MagType_Thai_Des"},
            {"department", "Department_Code Department_Thai_Des"},
            {"receives", "receivestatus receivestatusdes"},
            {"bindcolor", "BindType_code BindColor_DesTh"},
            {"statustype", "Status_code Status_thai_Descrition"},
            {"tranfile",
             "magno pointer indate:date daily:date yearno itemsno DescriptionItem * MagStatus * * * * * regno"},
            {"sum_journal", "regno callno *"},
            {"ctrlsumj", "regno_ctrl"},
            // The abstract holds at least 60,000 Thai characters (three bytes each).
            {"article", "article_no Article_Name spare pointer year volume month pages remark abstract:mediumtext "
                        "keydate:datetime"},
            {"mauthfile", "article_no seqno idno article_name"},
            {"msubject", "article_no seqno subject article_name"},
            {"artctrl", "artno_ctrl"},
            {"authname", "idno penname *"},
            {"chk_receive", "* * from_date:date to_date:date"},
        };
        for (const auto& [table, columns] : tables) {
            const data::Result r =
                db->admin().query(QStringLiteral("SELECT column_name, data_type FROM information_schema.columns "
                                                 "WHERE table_schema = ? AND table_name = ? ORDER BY ordinal_position"),
                                  {db->name(), QString::fromLatin1(table)});
            const QStringList expected = QString::fromLatin1(columns).split(QLatin1Char(' '));
            QVERIFY2(r.rowCount() >= expected.size(), table);
            for (int i = 0; i < expected.size(); ++i) {
                const QStringList nameType = expected.at(i).split(QLatin1Char(':'));
                if (nameType.first() != QLatin1String("*"))
                    QCOMPARE(r.text(i, 0).toLower(), nameType.first().toLower());
                if (nameType.size() > 1)
                    QCOMPARE(r.text(i, 1), nameType.at(1));
            }
        }
    }

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
            c->query(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(t)));
    }

    void thaiCollation() {
        // Stored names sort in Thai dictionary order (leading vowels after their consonant)
        // and tone marks stay distinct: ไก (chicken without its tone mark) is not ไก่.
        int code = 0;
        for (const QString& name :
             {QStringLiteral("ขา"), QStringLiteral("ไก่"), QStringLiteral("เกม"), QStringLiteral("กา")})
            db->admin().exec(QStringLiteral("INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES (?, ?)"),
                             {QString::number(++code), name});
        const data::Result r = c->query(QStringLiteral("SELECT Publisher_Name FROM dealer ORDER BY Publisher_Name"));
        QStringList order;
        for (const auto& row : r.rows)
            order << row.at(0).toString();
        QCOMPARE(order, (QStringList{QStringLiteral("กา"), QStringLiteral("เกม"), QStringLiteral("ไก่"),
                                     QStringLiteral("ขา")}));
        const QString find = QStringLiteral("SELECT 1 FROM dealer WHERE Publisher_Name = ?");
        QCOMPARE(c->query(find, {QStringLiteral("ไก")}).rowCount(), 0);
        QCOMPARE(c->query(find, {QStringLiteral("ไก่")}).rowCount(), 1);
        db->admin().exec(QStringLiteral("DELETE FROM dealer"));
    }

    // The counters' first values, the subscribed status, frequencies 01 to 09 and one more, and
    // every code table with at least two rows described in Thai.
    void installationRows() {
        QCOMPARE(
            testsupport::rowText(
                *c, QStringLiteral(
                        "SELECT CONCAT_WS(' ', pointer_ctrl1, pointer_ctrl2, pointer_ctrl3, pointer_ctrl4), "
                        "(SELECT magno_ctrl FROM jourctrl), (SELECT artno_ctrl FROM artctrl), (SELECT idno_ctrl "
                        "FROM authctrl), (SELECT regno_ctrl FROM ctrlsumj), (SELECT receivestatusdes FROM receives "
                        "WHERE receivestatus = '1'), (SELECT GROUP_CONCAT(MagType_Code ORDER BY MagType_Code) FROM "
                        "magtype WHERE MagType_Code BETWEEN '01' AND '09'), (SELECT COUNT(*) > 0 FROM magtype WHERE "
                        "MagType_Code NOT BETWEEN '01' AND '09') FROM recsetup")),
            QStringLiteral(
                "J000001 I000001 K000001 L000001|1|0000001|0000001|1|เป็นสมาชิก|01,02,03,04,05,06,07,08,09|1"));
        for (const char* t : {"typemag.Type_Thai_Descrition", "language.LangDesTh", "magtype.MagType_Thai_Des",
                              "department.Department_Thai_Des", "receives.receivestatusdes",
                              "bindcolor.BindColor_DesTh", "statustype.Status_thai_Descrition"}) {
            const QStringList tc = QString::fromLatin1(t).split(QLatin1Char('.'));
            QCOMPARE(testsupport::rowText(
                         *c, QStringLiteral("SELECT COUNT(*) >= 2, MIN(%2 REGEXP '[ก-๛]') FROM %1").arg(tc[0], tc[1])),
                     QStringLiteral("1|1"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_schema)
#include "tst_schema.moc"
