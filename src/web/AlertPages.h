#pragma once

#include "alerts/Alerts.h"
#include "web/Listing.h"

namespace web {

// The report server's pages where a reader asks to follow a title's new issues, or to stop,
// and confirms through the link mailed to them. The server's reading account cannot write;
// requests and confirmations go through a second account allowed only those.
struct Reply {
    int status = 200;
    QByteArray html;
};

inline const QString followPath = QStringLiteral("alerts/follow.php");
using alerts::confirmPath;

Reply followForm(data::Connection& read, const Query& q);
// The form sent: the address and title checked, the request recorded under a token of its own
// for the confirmation the next alerts run mails. At most a few requests an address a day.
Reply followRequest(data::Connection& read, data::Connection& requests, const Query& form);
// The link from a mail: what it confirms, and a button; a link alone never changes anything
// (mail scanners open links).
Reply confirmForm(data::Connection& read, const Query& q);
Reply confirmRequest(data::Connection& requests, const Query& form);

} // namespace web
