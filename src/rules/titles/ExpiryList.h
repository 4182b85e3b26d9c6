#pragma once

#include "data/Columns.h"
#include "data/Connection.h"
#include "rules/reports/Report.h"

#include <QDate>
#include <QList>
#include <QString>

namespace titles {

// A subscribed title in the expiry list, with the latest issue received.
struct ExpiryRow {
    QString pointer, name, price, publisher, latestIssue;
    QDate orderDate, endDate;
    data::ShownRow shown; // price and both dates as read, for the renewal's check
};

// The expiry date of a renewal: eleven months on, the same day or the month's last.
QDate renewalExpiry(const QDate& renewal);

// The printed list: heading, period, column headings, 28 rows on the first page and 30 on the
// others, the print date at the foot of each full page, page numbers from page 2, the total.
// `size` is the body text's point size (title 2 points larger, print date 2 smaller);
// `lineHeight` the measured height of its bold text, `titleHeight` of the title's.
reports::Document expiryReport(const QList<ExpiryRow>& rows, const QString& from, const QString& to,
                               const QDate& printed, double titleHeight, double lineHeight, double size = 16);
// The same with the largest type whose 32 lines fit the printable A4 page.
reports::Document expiryReport(const QList<ExpiryRow>& rows, const QString& from, const QString& to);

namespace ExpiryStore {

// Subscribed titles of a language group ('J' foreign, 'I' Thai) whose membership expires
// between the two dates, both included, by title name. Titles without an expiry date are
// not listed. The latest issue is the one of the newest issue date, and of those the newest
// registration number.
QList<ExpiryRow> list(data::Connection& c, QChar group, const QDate& from, const QDate& to);

// Writes the new price and dates of a listed title, provided it still holds what was listed.
data::EditOutcome renew(data::Connection& c, const ExpiryRow& listed, const QString& price, const QDate& renewal,
                        const QDate& expiry);

} // namespace ExpiryStore

} // namespace titles
