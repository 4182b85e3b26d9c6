#include "records/TitleStore.h"
#include "data/LookUp.h"
#include "data/SaveGate.h"

#include "data/Counter.h"
#include "data/NameSearch.h"
#include "data/Numbering.h"

namespace records {

int seriesNumber(bool newspaper, const QString& languageCode) {
    const bool foreign = languageCode.trimmed() == QLatin1String("01");
    return newspaper ? (foreign ? 3 : 4) : (foreign ? 1 : 2);
}

namespace {

constexpr qint64 lastNumber = 999999;

std::optional<qint64> codeNumber(const QString& code) {
    const QString t = code.trimmed();
    if (t.size() < 2 || !t.at(0).isLetter())
        return std::nullopt;
    return data::counterValue(t.mid(1));
}

// The series letter of `code` with the number, six digits.
// The series letter the counter holds, whatever its case, and the number at the width of title codes.
QString titleCode(const QString& code, qint64 number) {
    return code.trimmed().left(1) +
           QStringLiteral("%1").arg(number, data::titleNumbering(1).digits, 10, QLatin1Char('0'));
}

} // namespace

std::optional<QString> nextTitleCode(const QString& code) {
    const auto n = codeNumber(code);
    if (!n)
        return std::nullopt;
    return titleCode(code, *n + 1);
}

bool titleCodeUsable(const QString& code) {
    const auto n = codeNumber(code);
    return n && *n <= lastNumber;
}

std::optional<QString> issnOf(const QString& text) {
    QString digits = text.trimmed().toUpper();
    if (digits.size() == 9 && digits.at(4) == QLatin1Char('-'))
        digits.remove(4, 1);
    const auto digitAt = [&](int i) { return digits.at(i).digitValue(); };
    const auto allDigits = [&](int n) {
        for (int i = 0; i < n; ++i)
            if (digitAt(i) < 0)
                return false;
        return true;
    };
    if (digits.size() == 13 && digits.startsWith(QLatin1String("977")) && allDigits(13)) {
        int sum = 0; // EAN-13: weights 1 and 3 from the left
        for (int i = 0; i < 12; ++i)
            sum += digitAt(i) * (i % 2 ? 3 : 1);
        if ((10 - sum % 10) % 10 != digitAt(12))
            return std::nullopt; // misread
        return digits.mid(3, 4) + QLatin1Char('-') + digits.mid(7, 3) + QLatin1Char('_');
    }
    if (digits.size() == 8 && allDigits(7) && (digitAt(7) >= 0 || digits.at(7) == QLatin1Char('X')))
        return digits.left(4) + QLatin1Char('-') + digits.mid(4);
    return std::nullopt;
}

data::Condition issnIs(const QString& issn) {
    return {QStringLiteral("(m.ISSN LIKE ? OR m.ISSN LIKE ?)"), {issn, QString(issn).remove(QLatin1Char('-'))}};
}

namespace TitleStore {

namespace {

QVariant orNull(const QString& s) {
    return s.trimmed().isEmpty() ? QVariant() : QVariant(s.trimmed());
}
QVariant orNull(const QDate& d) {
    return d.isValid() ? QVariant(d) : QVariant();
}
// Empty parallel, former and abbreviated titles are kept as two blanks, as the other
// programs reading this table expect.
QString orTwoBlanks(const QString& s) {
    return s.trimmed().isEmpty() ? QStringLiteral("  ") : s.trimmed();
}

// Every column after the code, in table order, as the save writes them (trimmed).
data::Params columnValues(const Title& t) {
    return {
        t.name.trimmed(),          orTwoBlanks(t.parallelName), orTwoBlanks(t.formerName), orTwoBlanks(t.shortName),
        t.issn.trimmed(),          t.kindCode.trimmed(),        t.languageCode.trimmed(),  t.frequencyCode.trimmed(),
        t.publisherCode.trimmed(), t.departmentCode.trimmed(),  t.receiveCode.trimmed(),   t.coverCode.trimmed(),
        orNull(t.copiesPerYear),   orNull(t.pricePerYear),      orNull(t.startDate),       orNull(t.endDate),
        orNull(t.orderDate),       t.distributorCode.trimmed(), t.memberStatus.trimmed(),  t.location.trimmed()};
}

const QString columnList = QStringLiteral(
    "Magazine_Name, Parallel_Name, Former_Name, Short_Name, ISSN, Kind_Code, Lang_Code, MagType_code, "
    "Publisher_Code, department_code, Receive_Code, Cover_Code, Copies_Per_Year, Price_Per_Year, Start_Date, "
    "End_Date, Order_Date, Distributor_Code, Member_Status, Location");

const QString nameExistsSql = QStringLiteral("SELECT Pointer FROM magazine WHERE TRIM(Magazine_Name) = ? LIMIT 1");

} // namespace

QList<TitleMatch> search(data::Connection& c, const QString& text) {
    const auto matching = [&](const data::Condition& holds) {
        const data::Result r = data::lookUp(c,
                                            QStringLiteral("SELECT m.Pointer, m.Magazine_Name FROM magazine m WHERE %1 "
                                                           "ORDER BY m.Magazine_Name, m.Pointer")
                                                .arg(holds.sql),
                                            holds.values);
        QList<TitleMatch> out;
        out.reserve(r.rowCount());
        for (const auto& row : r.rows)
            out.append({row.at(0).toString(), row.at(1).toString()});
        return out;
    };
    return titlesFor<QList<TitleMatch>>(c, text, matching);
}

std::optional<Title> find(data::Connection& c, const QString& pointer) {
    const data::Result r = data::lookUp(
        c,
        QStringLiteral("SELECT m.Pointer, m.Magazine_Name, m.Parallel_Name, m.Former_Name, m.Short_Name, m.ISSN, "
                       "m.Kind_Code, m.Lang_Code, m.MagType_code, m.Publisher_Code, m.department_code, m.Receive_Code, "
                       "m.Cover_Code, m.Copies_Per_Year, m.Price_Per_Year, m.Start_Date, m.End_Date, m.Order_Date, "
                       "m.Distributor_Code, m.Member_Status, m.Location, p.Publisher_Name, d.Publisher_Name "
                       "FROM magazine m LEFT JOIN dealer p ON p.Publisher_Code = m.Publisher_Code "
                       "LEFT JOIN dealer d ON d.Publisher_Code = m.Distributor_Code WHERE m.Pointer = ?"),
        {pointer.trimmed()});
    if (r.isEmpty())
        return std::nullopt;
    const auto& v = r.rows.first();
    Title t;
    t.pointer = v[0].toString();
    t.name = v[1].toString();
    t.parallelName = v[2].toString();
    t.parallelNull = v[2].isNull();
    t.formerName = v[3].toString();
    t.formerNull = v[3].isNull();
    t.shortName = v[4].toString();
    t.shortNull = v[4].isNull();
    t.issn = v[5].toString();
    t.kindCode = v[6].toString();
    t.languageCode = v[7].toString();
    t.frequencyCode = v[8].toString();
    t.publisherCode = v[9].toString();
    t.departmentCode = v[10].toString();
    t.receiveCode = v[11].toString();
    t.coverCode = v[12].toString();
    t.copiesPerYear = v[13].toString();
    t.pricePerYear = v[14].toString();
    t.startDate = v[15].toDate();
    t.endDate = v[16].toDate();
    t.orderDate = v[17].toDate();
    t.distributorCode = v[18].toString();
    t.memberStatus = v[19].toString();
    t.location = v[20].toString();
    t.locationNull = v[20].isNull();
    t.publisherName = v[21].toString();
    t.distributorName = v[22].toString();
    t.original = v.mid(1, 20);
    return t;
}

bool nameExists(data::Connection& c, const QString& name) {
    return !data::lookUp(c, nameExistsSql, {name.trimmed()}).isEmpty();
}

data::Saved<QString> add(data::Connection& c, const Title& t, int series) {
    const data::Numbering& numbering = data::titleNumbering(series); // refuses a series that is not 1 to 4
    const data::CounterColumn counter{numbering.table, numbering.column, [](const QString& code) {
                                          const auto n = codeNumber(code);
                                          return n ? titleCode(code, *n) : code;
                                      }};
    return data::takeCounter(
        c, counter,
        [&](const QString& current) {
            const auto next = nextTitleCode(current);
            if (!next)
                throw data::Refused(QStringLiteral("ตัวนับรหัสวารสารชุดที่ %1 มีค่า \"%2\" ซึ่งไม่ใช่รหัสที่ถูกต้อง "
                                                   "ข้อมูลไม่ได้ถูกบันทึก กรุณาติดต่อผู้ดูแลระบบ")
                                        .arg(series)
                                        .arg(current),
                                    BadCounter);
            if (!titleCodeUsable(current))
                throw data::Refused(QStringLiteral("รหัสวารสารชุด %1 ถูกใช้ครบแล้ว (ถึง %1999999) "
                                                   "ไม่สามารถเพิ่มรายชื่อใหม่ในชุดนี้ได้ ข้อมูลไม่ได้ถูกบันทึก")
                                        .arg(current.trimmed().left(1)),
                                    SeriesExhausted);
            return *next;
        },
        [&](const QString& code) {
            // Every title add holds the series row lock from here on, so this check and the
            // insert cannot be overtaken by another station adding the same title.
            if (!data::lookUp(c, nameExistsSql, {t.name.trimmed()}).isEmpty())
                throw data::Refused(QStringLiteral("พบวารสารรายชื่อนี้ในฐานข้อมูล ไม่สามารถทำการเพิ่มรายชื่อใหม่ได้"), Duplicate);
            data::write(c, QStringLiteral("magazine"),
                        QStringLiteral("INSERT INTO magazine (Pointer, %1) VALUES (?%2)")
                            .arg(columnList, QStringLiteral(", ?").repeated(20)),
                        data::Params{code} + columnValues(t));
            data::keepPieces(c, data::titleNames, code, t.name.trimmed(), false);
        },
        [&](const QString& code) {
            return !c.query(
                         QStringLiteral("SELECT 1 FROM magazine WHERE Pointer = ? AND BINARY Magazine_Name = BINARY ?"),
                         {code, t.name.trimmed()})
                        .isEmpty();
        });
}

data::Saved<data::EditOutcome> update(data::Connection& c, const Title& t) {
    const QStringList columns = columnList.split(QStringLiteral(", "));
    const data::Params values = columnValues(t);
    const QString code = t.pointer.trimmed();
    data::EditOutcome outcome = data::EditOutcome::Missing;
    const data::Commit commit = data::retryingTransaction(
        c,
        [&] {
            outcome = data::updateIfUnchanged(c, QStringLiteral("magazine"), QStringLiteral("Pointer"), code, columns,
                                              values, {t.original.isEmpty() ? QStringList() : columns, t.original});
            if (outcome == data::EditOutcome::Saved)
                data::keepPieces(c, data::titleNames, code, t.name.trimmed(), true);
        },
        [&] {
            return data::rowHolds(c, QStringLiteral("magazine"), QStringLiteral("Pointer"), code, {columns, values});
        });
    return {outcome, commit};
}

TitleHoldings holdings(data::Connection& c, const QString& pointer) {
    const data::Result r = c.query(QStringLiteral("SELECT (SELECT COUNT(*) FROM tranfile WHERE pointer = ?), "
                                                  "(SELECT COUNT(*) FROM article WHERE pointer = ?), "
                                                  "(SELECT COUNT(DISTINCT regno) FROM tranfile WHERE pointer = ? "
                                                  "AND regno IS NOT NULL AND TRIM(regno) <> '')"),
                                   {pointer.trimmed(), pointer.trimmed(), pointer.trimmed()});
    return {r.value(0, 0).toLongLong(), r.value(0, 1).toLongLong(), r.value(0, 2).toLongLong()};
}

bool remove(data::Connection& c, const QString& pointer) {
    const QString code = pointer.trimmed();
    bool existed = false;
    data::retryingTransaction(
        c,
        [&] {
            data::dropPieces(c, data::titleNames, code);
            existed = data::write(c, QStringLiteral("magazine"),
                                  QStringLiteral("DELETE FROM magazine WHERE Pointer = ?"), {code}) > 0;
        },
        [&] { return c.query(QStringLiteral("SELECT 1 FROM magazine WHERE Pointer = ?"), {code}).isEmpty(); });
    return existed;
}

} // namespace TitleStore

} // namespace records
