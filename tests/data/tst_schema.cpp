// The schema as the server sees it: column order (other programs read rows by position),
// keys, character set and collation, and the installation rows.
#include "data/Connection.h"
#include "support/TestServer.h"

#include <QTest>

using testsupport::TestDatabase;

class tst_schema : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<data::Connection> c;

    data::Result catalogue(const QString& sql, const QString& table = {}) {
        return db->admin().query(sql, table.isEmpty() ? data::Params{db->name()} : data::Params{db->name(), table});
    }

private slots:
    void initTestCase() {
        db = std::make_unique<TestDatabase>(QStringLiteral("schema"));
        c = db->connect();
    }
    void cleanupTestCase() {
        c.reset();
        db.reset();
    }

    void columnOrder_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columns"); // the leading columns, in position order
        QTest::newRow("magazine")
            << "magazine"
            << "Pointer Magazine_Name Parallel_Name Former_Name Short_Name ISSN Kind_Code Lang_Code MagType_code "
               "Publisher_Code department_code Receive_Code Cover_Code Copies_Per_Year Price_Per_Year Start_Date "
               "End_Date Order_Date Distributor_Code Member_Status Location";
        QTest::newRow("dealer") << "dealer"
                                << "Publisher_Code Publisher_Name * Address1 Address2 * * * Contact";
        QTest::newRow("recsetup") << "recsetup"
                                  << "* pointer_ctrl1 pointer_ctrl2 pointer_ctrl3 pointer_ctrl4";
        QTest::newRow("typemag") << "typemag"
                                 << "Type_Code Type_Thai_Descrition";
        QTest::newRow("language") << "language"
                                  << "Language_Code LangDesTh";
        QTest::newRow("magtype") << "magtype"
                                 << "MagType_Code MagType_Thai_Des";
        QTest::newRow("department") << "department"
                                    << "Department_Code Department_Thai_Des";
        QTest::newRow("receives") << "receives"
                                  << "receivestatus receivestatusdes";
        QTest::newRow("bindcolor") << "bindcolor"
                                   << "BindType_code BindColor_DesTh";
        QTest::newRow("statustype") << "statustype"
                                    << "Status_code Status_thai_Descrition";
        QTest::newRow("tranfile")
            << "tranfile"
            << "magno pointer indate daily yearno itemsno DescriptionItem * MagStatus * * * * * regno";
        QTest::newRow("jourctrl") << "jourctrl"
                                  << "*";
        QTest::newRow("sum_journal") << "sum_journal"
                                     << "regno callno *";
        QTest::newRow("ctrlsumj") << "ctrlsumj"
                                  << "regno_ctrl";
        QTest::newRow("article")
            << "article"
            << "article_no Article_Name spare pointer year volume month pages remark abstract keydate";
        QTest::newRow("mauthfile") << "mauthfile"
                                   << "article_no seqno idno article_name";
        QTest::newRow("msubject") << "msubject"
                                  << "article_no seqno subject article_name";
        QTest::newRow("artctrl") << "artctrl"
                                 << "artno_ctrl";
        QTest::newRow("authname") << "authname"
                                  << "idno penname *";
        QTest::newRow("authctrl") << "authctrl"
                                  << "*";
        QTest::newRow("chk_receive") << "chk_receive"
                                     << "* * * *";
    }
    void columnOrder() {
        QFETCH(QString, table);
        QFETCH(QString, columns);
        const data::Result r =
            catalogue(QStringLiteral("SELECT column_name, data_type FROM information_schema.columns "
                                     "WHERE table_schema = ? AND table_name = ? ORDER BY ordinal_position"),
                      table);
        const QStringList expected = columns.split(QLatin1Char(' '));
        QVERIFY2(r.rowCount() >= expected.size(), qPrintable(table));
        for (int i = 0; i < expected.size(); ++i)
            if (expected.at(i) != QLatin1String("*"))
                QCOMPARE(r.text(i, 0).toLower(), expected.at(i).toLower());
    }

    void columnTypes_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("type");
        QTest::newRow("start date") << "magazine"
                                    << "Start_Date"
                                    << "date";
        QTest::newRow("end date") << "magazine"
                                  << "End_Date"
                                  << "date";
        QTest::newRow("order date") << "magazine"
                                    << "Order_Date"
                                    << "date";
        QTest::newRow("received") << "tranfile"
                                  << "indate"
                                  << "date";
        QTest::newRow("issue date") << "tranfile"
                                    << "daily"
                                    << "date";
        QTest::newRow("first saved") << "article"
                                     << "keydate"
                                     << "datetime";
        QTest::newRow("range start") << "chk_receive"
                                     << "from_date"
                                     << "date";
    }
    void columnTypes() {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, type);
        const data::Result r = db->admin().query(
            QStringLiteral("SELECT data_type FROM information_schema.columns WHERE table_schema = ? AND table_name = ? "
                           "AND column_name = ?"),
            {db->name(), table, column});
        QCOMPARE(r.rowCount(), 1);
        QCOMPARE(r.text(0, 0), type);
    }

    void everyTableIsInnoDbThaiWithPrimaryKey() {
        const data::Result tables = catalogue(QStringLiteral(
            "SELECT t.table_name, t.engine, t.table_collation, "
            "  (SELECT COUNT(*) FROM information_schema.table_constraints k WHERE k.table_schema = t.table_schema "
            "   AND k.table_name = t.table_name AND k.constraint_type = 'PRIMARY KEY') "
            "FROM information_schema.tables t WHERE t.table_schema = ?"));
        QCOMPARE(tables.rowCount(), 21);
        for (int i = 0; i < tables.rowCount(); ++i) {
            const QString name = tables.text(i, 0);
            QCOMPARE(tables.text(i, 1), QStringLiteral("InnoDB"));
            QVERIFY2(tables.text(i, 2) == QLatin1String("utf8mb4_thai_520_w2"), qPrintable(name));
            QVERIFY2(tables.value(i, 3).toLongLong() == 1, qPrintable(name + " has no primary key"));
        }
    }

    void tableNamesIgnoreCase() {
        // Windows spell some tables in more than one way.
        for (const QString& t : {QStringLiteral("Language"), QStringLiteral("ARTICLE"), QStringLiteral("MAUTHFILE"),
                                 QStringLiteral("MSUBJECT"), QStringLiteral("Bindcolor")})
            c->query(QStringLiteral("SELECT COUNT(*) FROM %1").arg(t));
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
        QCOMPARE(c->query(QStringLiteral("SELECT 1 FROM dealer WHERE Publisher_Name = ?"), {QStringLiteral("ไก")})
                     .rowCount(),
                 0);
        QCOMPARE(c->query(QStringLiteral("SELECT 1 FROM dealer WHERE Publisher_Name = ?"), {QStringLiteral("ไก่")})
                     .rowCount(),
                 1);
        db->admin().exec(QStringLiteral("DELETE FROM dealer"));
    }

    void installationRows_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("title codes")
            << "SELECT CONCAT_WS(' ', pointer_ctrl1, pointer_ctrl2, pointer_ctrl3, pointer_ctrl4) FROM recsetup"
            << "J000001 I000001 K000001 L000001";
        QTest::newRow("issue numbers") << "SELECT magno_ctrl FROM jourctrl"
                                       << "1";
        QTest::newRow("article numbers") << "SELECT artno_ctrl FROM artctrl"
                                         << "0000001";
        QTest::newRow("author codes") << "SELECT idno_ctrl FROM authctrl"
                                      << "0000001";
        QTest::newRow("volume numbers") << "SELECT regno_ctrl FROM ctrlsumj"
                                        << "1";
        QTest::newRow("subscribed") << "SELECT receivestatusdes FROM receives WHERE receivestatus = '1'"
                                    << "เป็นสมาชิก";
        QTest::newRow("frequencies of the receipt check") << "SELECT GROUP_CONCAT(MagType_Code ORDER BY MagType_Code) "
                                                             "FROM magtype WHERE MagType_Code BETWEEN '01' AND '09'"
                                                          << "01,02,03,04,05,06,07,08,09";
        QTest::newRow("an irregular frequency")
            << "SELECT COUNT(*) > 0 FROM magtype WHERE MagType_Code NOT BETWEEN '01' AND '09'"
            << "1";
        QTest::newRow("language 01") << "SELECT COUNT(*) FROM language WHERE Language_Code = '01'"
                                     << "1";
        QTest::newRow("one row per counter") << "SELECT (SELECT COUNT(*) FROM recsetup) + (SELECT COUNT(*) FROM "
                                                "jourctrl) + (SELECT COUNT(*) FROM artctrl) "
                                                "+ (SELECT COUNT(*) FROM authctrl) + (SELECT COUNT(*) FROM ctrlsumj)"
                                             << "5";
    }
    void installationRows() {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(c->query(sql).text(0, 0), expected);
    }

    void everyCodeTableDescribedInThai_data() {
        QTest::addColumn<QString>("sql");
        for (const char* t : {"SELECT Type_Thai_Descrition FROM typemag", "SELECT LangDesTh FROM language",
                              "SELECT MagType_Thai_Des FROM magtype", "SELECT Department_Thai_Des FROM department",
                              "SELECT receivestatusdes FROM receives", "SELECT BindColor_DesTh FROM bindcolor",
                              "SELECT Status_thai_Descrition FROM statustype"})
            QTest::newRow(t) << QString::fromLatin1(t);
    }
    void everyCodeTableDescribedInThai() {
        QFETCH(QString, sql);
        const data::Result r = c->query(sql);
        QVERIFY(r.rowCount() >= 2);
        for (const auto& row : r.rows) {
            const QString d = row.at(0).toString();
            QVERIFY2(std::any_of(d.begin(), d.end(),
                                 [](QChar ch) { return ch.unicode() >= 0x0E00 && ch.unicode() <= 0x0E7F; }),
                     qPrintable(d));
        }
    }
};

QTEST_GUILESS_MAIN(tst_schema)
#include "tst_schema.moc"
