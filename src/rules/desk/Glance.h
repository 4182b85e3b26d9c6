#pragma once

// The serials desk at a glance: what needs doing today, each item with the key of the record
// the window that deals with it opens on.
#include "data/Connection.h"

#include <QDate>
#include <QList>
#include <QString>

namespace desk {

struct Item {
    QString key;  // a title's pointer, a distributor's code or a reader's id
    QString name; // the title, distributor or reader
    QDate date;   // the issue expected, the subscription's end, the oldest claim or refusal
    int count = 0; // days late, issues waiting, mails refused
};

struct Glance {
    QDate today;
    // Titles by the issue their pattern expects next after their latest: today, within the
    // next six days, already past (most late first) and, past their third, gone quiet.
    QList<Item> today_, week, overdue, quiet;
    QList<Item> claims;        // per distributor: issues claimed, the latest claim unanswered, not come
    QList<Item> ending;        // subscriptions ending within two months (the renewal's groups J and I)
    QList<Item> refusedAlerts; // per reader whose latest alert the mail server refused or bounced
    QList<Item> refusedClaims; // per distributor whose latest claim of an issue was refused or bounced
};

// What one query reads: the titles' next issues (today, week, overdue, quiet), the claims
// waiting, those refused, the subscriptions ending, the alerts refused.
enum class Part { Titles, Claims, RefusedClaims, Ending, RefusedAlerts };
inline constexpr Part parts[] = {Part::Titles, Part::Claims, Part::RefusedClaims, Part::Ending, Part::RefusedAlerts};
void read(data::Connection& c, Part part, Glance& g);

// Every part, read-only, as of `today`; the lists in the order the desk works them.
Glance glance(data::Connection& c, const QDate& today);

} // namespace desk
