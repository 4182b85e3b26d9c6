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

} // namespace web
