#pragma once

#include <QList>
#include <QString>

namespace reports {

// The intranet report server's pages, in one list that the server, the program's menu and
// warasan-report all read: each page's path under the server's root (the old intranet's, so
// bookmarks and links keep working), its caption, and the name warasan-report prints it under
// (none for the searches, which are not lists).
enum class WebPage {
    Home,
    AllTitles,
    TitlesByFaculty,
    Registrations,
    BoundVolumes,
    IndexEntries,
    TitleIssues,
    Publishers,
    Claims,
    Statistics,
    Search,
    References
};

struct WebPageInfo {
    WebPage page;
    QString path; // without the leading "/"; empty for the index page
    QString caption;
    QString command;
};

// In the order the index page lists them, the index page first.
const QList<WebPageInfo>& webPages();
const WebPageInfo& webPage(WebPage page);

} // namespace reports
