#include "data/SaveGate.h"

#include "data/Charsets.h"
#include "data/Schema.h"

#include <QHash>
#include <QMutex>

namespace data {

namespace {

// The tables the stores write, each one a table of the schema. The search pieces (*_gram) are
// left out: an installation not yet migrated lacks them, and keeping them skips a missing table.
const char* const writtenTables[] = {"magazine",    "dealer",   "recsetup", "tranfile",   "jourctrl",
                                     "sum_journal", "ctrlsumj", "article",  "mauthfile",  "msubject",
                                     "artctrl",     "authname", "authctrl", "chk_receive"};

// What one connection found at its first save.
struct Findings {
    bool waived = false;
    QString refusal;
    QHash<QString, QStringList> narrowCharsets; // by lower-case table name
};

QMutex lock;
QHash<quint64, Findings> findings; // by connection serial
constexpr int remembered = 256;    // connections kept; the oldest are checked again if they save

Findings examine(Connection& c) {
    Findings f;
    const bool exactNames = c.query(QStringLiteral("SELECT @@lower_case_table_names")).value(0, 0).toLongLong() == 0;
    const Result tables = c.query(
        QStringLiteral("SELECT TABLE_NAME, ENGINE FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE()"));
    QStringList problems;
    for (const char* name : writtenTables) {
        const ExpectedTable* expected = schemaTable(QLatin1String(name));
        Q_ASSERT(expected);
        const QString table = expected ? expected->name : QLatin1String(name);
        int found = -1;
        for (int i = 0; i < tables.rowCount() && found < 0; ++i)
            if (tables.text(i, 0).compare(table, exactNames ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0)
            problems << QStringLiteral("ไม่พบตาราง %1 (ตามชื่อที่โปรแกรมใช้)").arg(table);
        else if (tables.text(found, 1).compare(QLatin1String("InnoDB"), Qt::CaseInsensitive) != 0)
            problems << QStringLiteral("ตาราง %1 เป็นแบบ %2 ซึ่งไม่รองรับการบันทึกทั้งชุด").arg(table, tables.text(found, 1));
    }
    const Result narrow = c.query(QStringLiteral(
        "SELECT LOWER(TABLE_NAME), GROUP_CONCAT(DISTINCT CHARACTER_SET_NAME) FROM information_schema.COLUMNS "
        "WHERE TABLE_SCHEMA = DATABASE() AND CHARACTER_SET_NAME NOT IN ('utf8mb4', 'utf16', 'utf16le', 'utf32', "
        "'binary') GROUP BY TABLE_NAME"));
    for (const auto& row : narrow.rows)
        f.narrowCharsets.insert(row.at(0).toString(), row.at(1).toString().split(QLatin1Char(',')));
    if (!problems.isEmpty())
        f.refusal = QStringLiteral("ฐานข้อมูลนี้ใช้ค้นหาและแสดงข้อมูลได้เท่านั้น ยังบันทึกไม่ได้: %1\nข้อมูลไม่ได้ถูกบันทึก "
                                   "กรุณาให้ผู้ดูแลระบบปรับปรุงฐานข้อมูลด้วยคำสั่ง warasan-dbcheck --migrate ก่อน")
                        .arg(problems.join(QStringLiteral(", ")));
    return f;
}

Findings findingsOf(Connection& c) {
    {
        QMutexLocker hold(&lock);
        const auto it = findings.constFind(c.serial());
        if (it != findings.cend())
            return *it;
    }
    const Findings f = examine(c); // outside the lock: other threads' connections go on
    QMutexLocker hold(&lock);
    if (findings.size() >= remembered) {
        quint64 oldest = c.serial();
        for (auto it = findings.cbegin(); it != findings.cend(); ++it)
            if (!it->waived)
                oldest = qMin(oldest, it.key());
        findings.remove(oldest);
    }
    findings.insert(c.serial(), f);
    return f;
}

void refuseUnstorable(const QString& table, const QStringList& charsets, const Params& params) {
    QList<char32_t> refused;
    for (const QVariant& p : params)
        if (p.metaType().id() == QMetaType::QString)
            for (const char32_t ch : unstorable(p.toString(), charsets))
                if (!refused.contains(ch))
                    refused.append(ch);
    if (!refused.isEmpty())
        throw DbError(0, QStringLiteral("22007"),
                      QStringLiteral("ฐานข้อมูลเก็บตัวอักษรต่อไปนี้ไม่ได้ (ตาราง %1 ใช้ชุดอักขระ %2): %3\n"
                                     "ข้อมูลไม่ได้ถูกบันทึก กรุณาแก้ไขข้อความ หรือให้ผู้ดูแลระบบปรับปรุงฐานข้อมูลเป็น utf8mb4")
                          .arg(table, charsets.join(QStringLiteral(", ")), describeCharacters(refused)));
}

} // namespace

qint64 write(Connection& c, const QString& table, const QString& sql, const Params& params) {
    Q_ASSERT_X(schemaTable(table), "data::write", qPrintable(table));
    const Findings f = findingsOf(c);
    if (!f.waived) {
        if (!f.refusal.isEmpty())
            throw DbError(0, QStringLiteral("HY000"), f.refusal);
        if (const auto charsets = f.narrowCharsets.constFind(table.toLower()); charsets != f.narrowCharsets.cend())
            refuseUnstorable(table.toLower(), *charsets, params);
    }
    return c.exec(sql, params);
}

QString saveRefusal(Connection& c) {
    return findingsOf(c).refusal;
}

void waiveSaveChecks(Connection& c) {
    Findings f;
    f.waived = true;
    QMutexLocker hold(&lock);
    findings.insert(c.serial(), f);
}

} // namespace data
