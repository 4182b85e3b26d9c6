#include "rules/records/TitleStore.h"
#include "data/LookUp.h"
#include "data/SaveGate.h"

#include "data/Counter.h"
#include "data/NameSearch.h"
#include "data/Numbering.h"

#include <variant>

using namespace Qt::StringLiterals;

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

QChar issnCheckDigit(QStringView sevenDigits) {
    int sum = 0; // weights 8 down to 2, modulo 11
    for (int i = 0; i < 7; ++i)
        sum += sevenDigits.at(i).digitValue() * (8 - i);
    const int check = (11 - sum % 11) % 11;
    return check == 10 ? QLatin1Char('X') : QChar(u'0' + check);
}

std::optional<Issn> issnOf(const QString& text) {
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
        // The bar code's last digit is its own; the ISSN's check digit is worked out.
        const QString seven = digits.mid(3, 7);
        return Issn{seven.left(4) + QLatin1Char('-') + seven.mid(4) + issnCheckDigit(seven), true};
    }
    if (digits.size() == 8 && allDigits(7) && (digitAt(7) >= 0 || digits.at(7) == QLatin1Char('X')))
        return Issn{digits.left(4) + QLatin1Char('-') + digits.mid(4), false};
    return std::nullopt;
}

data::Condition issnIs(const Issn& issn) {
    // A scanned bar code names the ISSN by its seven digits: a title stored with a mistyped check
    // digit is still the one on the cover.
    const QString held = issn.scanned ? issn.text.left(8) + QLatin1Char('_') : issn.text;
    return {QStringLiteral("(m.ISSN LIKE ? OR m.ISSN LIKE ?)"), {held, QString(held).remove(QLatin1Char('-'))}};
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

// The title's columns after the code, in table order, each with its field, how the save writes
// it (trimmed; empty names as two blanks; empty numbers and dates as NULL) and the flag that
// remembers a NULL where the form needs it: the one definition that the reading, the insert
// and the update are made from.
enum class Stored { Trimmed, TwoBlanks, OrNull };
struct Column {
    const char* name;
    std::variant<QString Title::*, QDate Title::*> field;
    Stored stored = Stored::Trimmed;
    bool Title::*null = nullptr;
};
const QList<Column>& columns() {
    static const QList<Column> all = {{"Magazine_Name", &Title::name},
                                      {"Parallel_Name", &Title::parallelName, Stored::TwoBlanks, &Title::parallelNull},
                                      {"Former_Name", &Title::formerName, Stored::TwoBlanks, &Title::formerNull},
                                      {"Short_Name", &Title::shortName, Stored::TwoBlanks, &Title::shortNull},
                                      {"ISSN", &Title::issn},
                                      {"Kind_Code", &Title::kindCode},
                                      {"Lang_Code", &Title::languageCode},
                                      {"MagType_code", &Title::frequencyCode},
                                      {"Publisher_Code", &Title::publisherCode},
                                      {"department_code", &Title::departmentCode},
                                      {"Receive_Code", &Title::receiveCode},
                                      {"Cover_Code", &Title::coverCode},
                                      {"Copies_Per_Year", &Title::copiesPerYear, Stored::OrNull},
                                      {"Price_Per_Year", &Title::pricePerYear, Stored::OrNull},
                                      {"Start_Date", &Title::startDate},
                                      {"End_Date", &Title::endDate},
                                      {"Order_Date", &Title::orderDate},
                                      {"Distributor_Code", &Title::distributorCode},
                                      {"Member_Status", &Title::memberStatus},
                                      {"Location", &Title::location, Stored::Trimmed, &Title::locationNull}};
    return all;
}

QStringList columnNames(const QString& prefix = {}) {
    QStringList out;
    for (const Column& col : columns())
        out << prefix + QLatin1String(col.name);
    return out;
}

// Every column after the code, in table order, as the save writes them.
data::Params columnValues(const Title& t) {
    data::Params out;
    for (const Column& col : columns()) {
        if (const auto* date = std::get_if<QDate Title::*>(&col.field)) {
            out << orNull(t.**date);
            continue;
        }
        const QString& text = t.*std::get<QString Title::*>(col.field);
        out << (col.stored == Stored::TwoBlanks ? QVariant(orTwoBlanks(text))
                : col.stored == Stored::OrNull  ? orNull(text)
                                                : QVariant(text.trimmed()));
    }
    return out;
}

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
        for (int i = 0; i < r.rowCount(); ++i)
            out.append({r.text(i, u"Pointer"_s), r.text(i, u"Magazine_Name"_s)});
        return out;
    };
    return titlesFor<QList<TitleMatch>>(c, text, matching);
}

std::optional<Title> find(data::Connection& c, const QString& pointer) {
    const data::Result r = data::lookUp(
        c,
        QStringLiteral(
            "SELECT m.Pointer, %1, p.Publisher_Name AS publisher_name, d.Publisher_Name AS distributor_name, "
            "COALESCE(NULLIF(TRIM(p.Address2), ''), p.Address1) AS publisher_place "
            "FROM magazine m LEFT JOIN dealer p ON p.Publisher_Code = m.Publisher_Code "
            "LEFT JOIN dealer d ON d.Publisher_Code = m.Distributor_Code WHERE m.Pointer = ?")
            .arg(columnNames(QStringLiteral("m.")).join(QStringLiteral(", "))),
        {pointer.trimmed()});
    if (r.isEmpty())
        return std::nullopt;
    Title t;
    t.pointer = r.text(0, QStringLiteral("Pointer"));
    for (const Column& col : columns()) {
        const QVariant& v = r.value(0, QLatin1String(col.name));
        if (const auto* date = std::get_if<QDate Title::*>(&col.field))
            t.** date = v.toDate();
        else
            t.*std::get<QString Title::*>(col.field) = v.toString();
        if (col.null)
            t.*col.null = v.isNull();
        t.original << v; // exactly as read
    }
    t.publisherName = r.text(0, QStringLiteral("publisher_name"));
    t.distributorName = r.text(0, QStringLiteral("distributor_name"));
    t.publisherPlace = r.text(0, QStringLiteral("publisher_place"));
    return t;
}

bool nameExists(data::Connection& c, const QString& name) {
    return !data::lookUp(c, nameExistsSql, {name.trimmed()}).isEmpty();
}

QStringList issnHolders(data::Connection& c, const QString& issn, const QString& except) {
    const auto typed = issnOf(issn);
    if (!typed)
        return {};
    const data::Condition has = issnIs(*typed);
    const data::Result r =
        data::lookUp(c,
                     QStringLiteral("SELECT m.Pointer, m.Magazine_Name FROM magazine m WHERE %1 AND m.Pointer <> ? "
                                    "ORDER BY m.Pointer LIMIT 5")
                         .arg(has.sql),
                     has.values + data::Params{except.trimmed()});
    QStringList out;
    for (int i = 0; i < r.rowCount(); ++i)
        out << QStringLiteral("\"%1\" (รหัส %2)").arg(r.text(i, 1).trimmed(), r.text(i, 0).trimmed());
    return out;
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
            data::write(
                c, QStringLiteral("magazine"),
                QStringLiteral("INSERT INTO magazine (Pointer, %1) VALUES (?%2)")
                    .arg(columnNames().join(QStringLiteral(", ")), QStringLiteral(", ?").repeated(columns().size())),
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
    const QStringList names = columnNames();
    const data::Params values = columnValues(t);
    const QString code = t.pointer.trimmed();
    data::EditOutcome outcome = data::EditOutcome::Missing;
    const data::Commit commit = data::retryingTransaction(
        c,
        [&] {
            outcome = data::updateIfUnchanged(c, QStringLiteral("magazine"), QStringLiteral("Pointer"), code, names,
                                              values, {t.original.isEmpty() ? QStringList() : names, t.original});
            if (outcome == data::EditOutcome::Saved)
                data::keepPieces(c, data::titleNames, code, t.name.trimmed(), true);
        },
        [&] {
            return data::rowHolds(c, QStringLiteral("magazine"), QStringLiteral("Pointer"), code, {names, values});
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
