#pragma once

#include "data/Columns.h"
#include "data/Connection.h"

#include <QList>
#include <QString>
#include <optional>

namespace titles {

// A publisher or distributor as the register shows it. The address and contact columns may
// be NULL in the database; they are then empty optionals.
struct Dealer {
    QString code{};
    QString name{};
    std::optional<QString> address1{};
    std::optional<QString> address2{};
    std::optional<QString> contact{};
    // For claims: where the letters go (none: printed), their language ("th", "en", or "" by
    // the name), the days to wait before claiming an issue again, the library's account number.
    std::optional<QString> email{};
    QString claimLanguage{};
    int claimDays = 30;
    std::optional<QString> account{};
};

struct DealerMatch {
    QString code;
    QString name;
};

// The publisher table, for the publisher register and the title register's pick lists.
namespace DealerStore {

// Publishers whose name contains `text` as typed (no wildcards; blanks around it do not
// count); empty text lists every one.
QList<DealerMatch> search(data::Connection& c, const QString& text);
std::optional<Dealer> find(data::Connection& c, const QString& code);
// The code a new publisher would get now: the largest numeric code plus one ("1" for an
// empty table; a code that does not begin with a digit counts as 0).
QString proposeCode(data::Connection& c);
// Stores a new publisher (name trimmed) under the code free at this moment. Publisher adds
// queue on one well-known row's lock, so two stations never store the same code and never
// deadlock; the rule stays "largest numeric code + 1", so publishers added by other programs
// count too. Gives the code it received.
data::Saved<QString> add(data::Connection& c, const Dealer& d);
// Changes name, addresses, contact and claim settings of `d.code`, provided the row still holds `shown`.
data::EditOutcome update(data::Connection& c, const Dealer& d, const Dealer& shown);

} // namespace DealerStore

} // namespace titles
