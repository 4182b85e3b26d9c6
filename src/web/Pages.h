#pragma once

#include "web/Listing.h"

namespace web {

// One page of the report server, under the path the program's menu opens.
struct PageDef {
    QString path; // without the leading "/"
    QString caption;
    std::function<Page(data::Connection&, const Query&)> build;
    // Kept until the data changes (PageCache): false for a page that reads what the change
    // history does not trace (the claims' mail states, written by the mail server's answers).
    bool cached = true;
};

// The titles a reader's typed text names: its code, else its ISSN (or cover bar code), else the
// beginning of its name; Pointer, Magazine_Name and ISSN, at most 50, by name.
data::Result titlesTyped(data::Connection& c, const QString& typed);

// The index page first (path ""), then the report and search pages.
const QList<PageDef>& pages();

} // namespace web
