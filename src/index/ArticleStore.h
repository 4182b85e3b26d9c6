#pragma once

#include "data/Connection.h"

#include <QList>
#include <QString>

namespace indexing {

// One indexed article as the entry window collects it.
struct ArticleEntry {
    QString title;
    QString authorNames[3]; // a slot counts when its name is filled in
    QString authorIdnos[3]; // the code picked for each slot
    QString subjects[5];
    QString pointer, year, volume, month; // the picked title and issue
    QString pages, remark, abstract;
};

// A save refused before anything was written: the number the counter gives is already an
// article's (a counter set back by hand), or the counter is missing or not a number.
class ArticleRefused : public std::runtime_error {
public:
    explicit ArticleRefused(const QString& m) : std::runtime_error(m.toStdString()), text(m) {}
    QString text;
};

namespace ArticleStore {

// The article number the next entry is expected to get; empty when the counter has no row.
QString expectedNumber(data::Connection& c);
// Subject headings already in use that begin with `prefix` as typed, each once.
QStringList subjectsStartingWith(data::Connection& c, const QString& prefix);
// Saves the article, its authors and subjects under the counter's number, taken under a
// lock, and advances the counter, all in one transaction. Gives the number used (seven
// digits at least).
QString save(data::Connection& c, const ArticleEntry& entry);

} // namespace ArticleStore

} // namespace indexing
