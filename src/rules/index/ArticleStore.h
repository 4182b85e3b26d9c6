#pragma once

#include "data/Columns.h"
#include "data/Connection.h"
#include "data/Refused.h"

#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace indexing {

// One indexed article as the entry window collects it.
struct ArticleEntry {
    QString title;
    QString authorNames[3]; // a slot counts when its name is filled in
    QString authorIdnos[3]; // the code picked for each slot
    QString subjects[5];
    QString pointer, year, volume, month; // the picked title and issue
    QString pages, remark, abstract;
    bool operator==(const ArticleEntry&) const = default;
};

// An article as stored, for showing and editing.
struct StoredArticle {
    ArticleEntry entry;  // up to three authors (a code without an author row leaves its slot empty), five subjects
    QString journalName; // the title's name, empty when the title is gone
    QStringList stamp;   // every stored value of the article, its authors and subjects, to spot changes
};

namespace ArticleStore {

// The article number the next entry is expected to get; empty when the counter has no row.
QString expectedNumber(data::Connection& c);
// Subject headings already in use that begin with (or, `anywhere`, contain) the trimmed text,
// each once.
QStringList subjectsMatching(data::Connection& c, const QString& text, bool anywhere);
// Saves the article, its authors and subjects under the counter's number, taken under a
// lock, and advances the counter, all in one transaction. Gives the number used (seven
// digits at least). Refused (data::Refused) before anything is written when the number the
// counter gives is already an article's (a counter set back by hand) or the counter is missing
// or not a number.
data::Saved<QString> save(data::Connection& c, const ArticleEntry& entry);

// A number shown in the window: the leading number of the typed text, seven digits.
QString numberText(const QString& typed);
// An article number as stored: the number padded to 7 characters.
QString articleNumber(qint64 n);
// The article stored under `number`, if there is one.
std::optional<StoredArticle> load(data::Connection& c, const QString& number);
// Articles whose title begins with the trimmed text (characters, matched literally): number and title.
QList<QPair<QString, QString>> titlesStartingWith(data::Connection& c, const QString& text);
// The nearest article number after (or, `forward` false, before) `number` that is below the
// counter (resp. above 0); nothing when there is none. `limit` gets the last number Next may
// reach, from the counter as it is now.
std::optional<QString> neighbour(data::Connection& c, const QString& number, bool forward, qint64* limit);

// Rewrites the article, its first three author rows and first five subject rows, in one
// transaction, when it still holds what `shown` was loaded with. `keydate` keeps its value.
data::Saved<data::EditOutcome> update(data::Connection& c, const QString& number, const ArticleEntry& e,
                                      const StoredArticle& shown);
// Deletes the article with its author and subject rows in one transaction; false when it was
// already gone (nothing is deleted then).
bool remove(data::Connection& c, const QString& number);

// The counter's stored text (empty when it has no row); setting it stores the trimmed text,
// which must be a number no article has yet (the row is created when missing).
QString counterText(data::Connection& c);
void setCounter(data::Connection& c, const QString& text);
// The highest article number in use (0 when there is none).
qint64 highestNumber(data::Connection& c);

} // namespace ArticleStore

} // namespace indexing
