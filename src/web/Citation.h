#pragma once

#include <QString>
#include <QStringList>

namespace web {

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
