#include "titles/DealerStore.h"

#include "data/Counter.h"

namespace titles::DealerStore {

namespace {

std::optional<QString> textOrNull(const QVariant& v) {
    if (v.isNull())
        return std::nullopt;
    return v.toString();
}

QVariant nullable(const std::optional<QString>& s) {
    return s ? QVariant(*s) : QVariant();
}

// The leading number of a code: CAST takes the leading digits ("12A" is 12, "ABC" is 0).
const QString nextCodeSql = QStringLiteral("SELECT COALESCE(MAX(CAST(Publisher_Code AS UNSIGNED)), 0) + 1 FROM dealer");

} // namespace

QList<DealerMatch> search(data::Connection& c, const QString& text) {
    const data::Result r =
        c.query(QStringLiteral("SELECT Publisher_Code, Publisher_Name FROM dealer "
                               "WHERE Publisher_Name LIKE ? ORDER BY Publisher_Name, Publisher_Code"),
                {data::likeContains(text)});
    QList<DealerMatch> out;
    out.reserve(r.rowCount());
    for (const auto& row : r.rows)
        out.append({row.at(0).toString(), row.at(1).toString()});
    return out;
}

std::optional<Dealer> find(data::Connection& c, const QString& code) {
    const data::Result r = c.query(QStringLiteral("SELECT Publisher_Code, Publisher_Name, Address1, Address2, Contact "
                                                  "FROM dealer WHERE Publisher_Code = ?"),
                                   {code});
    if (r.isEmpty())
        return std::nullopt;
    return Dealer{r.text(0, 0), r.text(0, 1), textOrNull(r.value(0, 2)), textOrNull(r.value(0, 3)),
                  textOrNull(r.value(0, 4))};
}

QString proposeCode(data::Connection& c) {
    return c.query(nextCodeSql).text(0, 0);
}

QString add(data::Connection& c, const Dealer& d) {
    QString code;
    data::retryingTransaction(c, [&] {
        // Locks the rows read, so a second station waits here and then sees this one's row.
        code = c.query(nextCodeSql + QStringLiteral(" FOR UPDATE")).text(0, 0);
        c.exec(QStringLiteral("INSERT INTO dealer (Publisher_Code, Publisher_Name, Address1, Address2, Contact) "
                              "VALUES (?, ?, ?, ?, ?)"),
               {code, d.name, nullable(d.address1), nullable(d.address2), nullable(d.contact)});
    });
    return code;
}

bool update(data::Connection& c, const Dealer& d) {
    // The driver reports rows matched, not rows changed: saving unchanged values still counts.
    return c.exec(QStringLiteral("UPDATE dealer SET Publisher_Name = ?, Address1 = ?, Address2 = ?, Contact = ? "
                                 "WHERE Publisher_Code = ?"),
                  {d.name, nullable(d.address1), nullable(d.address2), nullable(d.contact), d.code}) > 0;
}

} // namespace titles::DealerStore
