#pragma once

#include "web/Listing.h"

namespace web {

// One page of the report server, under the path the program's menu opens.
struct PageDef {
    QString path; // without the leading "/"
    QString caption;
    std::function<Page(data::Connection&, const Query&)> build;
};

// The index page first (path ""), then the report and search pages.
const QList<PageDef>& pages();

// A reference for citing one article, in the Thai or the English style: authors, year,
// title, journal, volume (year number), number and pages; missing parts left out.
struct Citation {
    QStringList authors; // in order, as stored
    QString title;
    QString journal;
    QString yearNo;
    QString number;
    QString pages;
    int year = 0; // common-era year of publication; 0 when unknown
};
QString reference(const Citation& c, bool english);

} // namespace web
