#include "rules/titles/DealerStore.h"
#include "data/Like.h"
#include "data/LookUp.h"
#include "data/SaveGate.h"

#include "data/Counter.h"

using namespace Qt::StringLiterals;

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
    // All 10,000 publishers when nothing is typed: read straight into the list.
    QList<DealerMatch> out;
    data::lookUpEach(c,
                     QStringLiteral("SELECT Publisher_Code, Publisher_Name FROM dealer "
                                    "WHERE Publisher_Name LIKE ? ORDER BY Publisher_Name, Publisher_Code"),
                     {data::likeContains(text.trimmed())}, [&](const data::Cells& cell) {
                         out.append({cell.text(0), cell.text(1)});
                     });
    return out;
}

std::optional<Dealer> find(data::Connection& c, const QString& code) {
    const data::Result r = c.query(u"SELECT Publisher_Code, Publisher_Name, Address1, Address2, Contact, Email, "
                                   "claim_language, claim_days, claim_account FROM dealer WHERE Publisher_Code = ?"_s,
                                   {code});
    if (r.isEmpty())
        return std::nullopt;
    return Dealer{r.text(0, u"Publisher_Code"_s),          r.text(0, u"Publisher_Name"_s),
                  textOrNull(r.value(0, u"Address1"_s)),   textOrNull(r.value(0, u"Address2"_s)),
                  textOrNull(r.value(0, u"Contact"_s)),    textOrNull(r.value(0, u"Email"_s)),
                  r.text(0, u"claim_language"_s).trimmed(), r.value(0, u"claim_days"_s).toInt(),
                  textOrNull(r.value(0, u"claim_account"_s))};
}

QString proposeCode(data::Connection& c) {
    return c.query(nextCodeSql).text(0, 0);
}

data::Saved<QString> add(data::Connection& c, const Dealer& d) {
    QString code;
    const QString name = d.name.trimmed();
    const data::Commit commit = data::retryingTransaction(
        c,
        [&] {
            // Every publisher add queues here, on the one installation row, before it reads the
            // largest code: the read then sees every earlier add, and nothing else is locked.
            c.query(QStringLiteral("SELECT setup_no FROM recsetup ORDER BY setup_no LIMIT 1 FOR UPDATE"));
            code = c.query(nextCodeSql).text(0, 0);
            data::write(
                c, QStringLiteral("dealer"),
                u"INSERT INTO dealer (Publisher_Code, Publisher_Name, Address1, Address2, Contact, Email, "
                "claim_language, claim_days, claim_account) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                {code, name, nullable(d.address1), nullable(d.address2), nullable(d.contact), nullable(d.email),
                 d.claimLanguage, d.claimDays, nullable(d.account)});
        },
        [&] {
            return !c.query(QStringLiteral("SELECT 1 FROM dealer WHERE Publisher_Code = ? AND BINARY Publisher_Name = "
                                           "BINARY ? AND BINARY Address1 <=> BINARY ? AND BINARY Address2 <=> BINARY ? "
                                           "AND BINARY Contact <=> BINARY ?"),
                            {code, name, nullable(d.address1), nullable(d.address2), nullable(d.contact)})
                        .isEmpty();
        });
    return {code, commit};
}

data::EditOutcome update(data::Connection& c, const Dealer& d, const Dealer& shown) {
    const QStringList columns = {u"Publisher_Name"_s, u"Address1"_s,       u"Address2"_s,   u"Contact"_s,
                                 u"Email"_s,          u"claim_language"_s, u"claim_days"_s, u"claim_account"_s};
    const auto values = [](const Dealer& x, const QString& name) {
        return QVariantList{name,           nullable(x.address1), nullable(x.address2), nullable(x.contact),
                            nullable(x.email), x.claimLanguage,   x.claimDays,          nullable(x.account)};
    };
    return data::updateIfUnchanged(c, u"dealer"_s, u"Publisher_Code"_s, d.code, columns, values(d, d.name.trimmed()),
                                   {columns, values(shown, shown.name)});
}

} // namespace titles::DealerStore
