#pragma once

#include "data/Connection.h"

#include <QDate>
#include <functional>

namespace datagen {

// How much data to make. The same sizes and seed always give the same rows.
struct DataSize {
    int publishers = 40;
    int titles = 60;
    int issues = 3000; // in all; the first title gets `bigTitleIssues` of them
    int bigTitleIssues = 0;
    int yearsOfIssues = 3; // when set, each title gets this many years of issues by its frequency instead
    int authors = 300;
    int articles = 600;
    int volumes = 40;
    QDate today = QDate(2026, 12, 1);
    quint64 seed = 20261206;
    // Data as a real library's has it: titles with no or an unknown faculty, renamed by plain
    // SQL; issues off their dates, late, early, registered twice, and histories of the shapes
    // `historyShape` names; blanks and zero-padded numbers.
    bool messy = false;

    static DataSize demo();
    static DataSize large();    // 20,000 titles, 1,000,000 issues, 50,000 authors, ~200,000 subject rows
    static DataSize huge();     // ten times the titles and issues of large (the rest as large)
    static DataSize messySet(); // the demo's sizes with more titles, messy
};

// The shape a messy set gives a title's history, by its key and frequency code ("tidy" for
// one as the generator makes them anyway): "off-step", "late-early", "registered-twice",
// "zero-padded", "blanks", "volume-words", "october-volumes", "count-volumes" (weekly),
// "half-month" (half-monthly), "skips-months", "combined", "short-months" (monthly),
// "ends-new-volume" (monthly to half-yearly). Empty for frequencies without issue marks.
QString historyShape(const QString& pointer, const QString& frequencyCode);

struct DataCounts {
    qint64 publishers = 0, titles = 0, issues = 0, authors = 0, articles = 0, authorLinks = 0, subjects = 0,
           volumes = 0;
    qint64 total() const {
        return publishers + titles + issues + authors + articles + authorLinks + subjects + volumes;
    }
};

// Fills an empty Warasan database (schema and installation rows loaded) with realistic Thai
// and English titles, their issues, articles, authors and bound volumes, and moves every
// counter past what it wrote. Refuses a database that already holds titles.
// `progress` receives a short line now and then.
DataCounts generate(data::Connection& c, const DataSize& size,
                    const std::function<void(const QString&)>& progress = {});

} // namespace datagen
