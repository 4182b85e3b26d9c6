#pragma once

#include "data/Columns.h"
#include "data/Connection.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace records {

// A title as the issue registration lists it.
struct TitleRow {
    QString name;
    QString department;
    QString pointer; // as stored: the key the issues are written under
    QString departmentCode;
    QString frequencyCode; // MagType_code
};

// One registered issue.
struct Issue {
    QString magno;
    QDate daily; // the issue's own date
    QString yearno, itemsno, description;
    QDate indate; // the date it was received
    // daily, yearno, itemsno, DescriptionItem, indate exactly as read, for an edit's check.
    data::Params original;
};

// Newest issue date first; on the same date the newest registration number, compared as a
// number (a text that is not one sorts after the numbers, then by its text).
bool newerFirst(const Issue& a, const Issue& b);

// An ORDER BY piece: the newest registration number of table alias `t` first, compared as a
// number (a text that is not one after the numbers), as the issue list orders issues of a date.
QString newestNumberFirst(const QString& t);

namespace IssueStore {

// Titles whose name contains `text` as typed (blanks around it do not count), with their
// subscribing faculty.
QList<TitleRow> searchTitles(data::Connection& c, const QString& text);
// The issues of a title, newest issue date first; issues of the same date newest
// registration number first, so the order never changes between two readings. With
// `unboundOnly`, those not bound into a volume (status other than Z, or none).
QList<Issue> issues(data::Connection& c, const QString& pointer, bool unboundOnly = false);
// Issues from rows that begin magno, daily, yearno, itemsno, DescriptionItem, indate, in their
// order.
QList<Issue> issueRows(const data::Result& r);
// Whether an article is indexed for this issue: same title, year and number (blanks around
// the stored and the given values do not count).
bool indexed(data::Connection& c, const QString& pointer, const QString& yearno, const QString& itemsno);
// The first registration of the same issue of the title (same date, year and number, blanks
// around them not counting), when it has been checked in already: a second copy is asked about.
std::optional<Issue> registeredCopy(data::Connection& c, const QString& pointer, const Issue& issue);
// The registration number the next issue is expected to get (nothing is reserved).
QString expectedNumber(data::Connection& c);
// Registers a new issue (status "O") under the next registration number, taken under a lock
// in the same transaction as the row: both are written or neither. Gives the number used.
data::Saved<QString> add(data::Connection& c, const QString& pointer, const Issue& issue);
// Changes the issue's dates, year, number and description, provided the row still holds
// what `shown` was read with.
data::EditOutcome update(data::Connection& c, const Issue& issue, const Issue& shown);
// What deleting an issue would touch: the volume it is bound into (nothing when it is not
// bound) and the articles indexed for it that no other issue of the title with the same year
// and number stands for.
struct IssueTies {
    QString volume, callNumber;
    int articles = 0;
};
IssueTies ties(data::Connection& c, const QString& magno);
// The words refusing to delete a bound issue, naming its volume.
QString boundRefusal(const IssueTies& t);
// Deletes an issue with those articles, their authors and subjects, in one transaction, so
// nothing is left pointing at an issue that is gone. Refused (data::Refused) when the issue is
// bound into a volume by then: the volume register releases it first. False when it was gone.
bool remove(data::Connection& c, const QString& magno);

} // namespace IssueStore

} // namespace records
