#pragma once

#include "rules/receipt/ReceiptCheck.h"
#include "support/Names.h"

namespace testsupport {

// The receipt check found the slow way, one query per title's anchor and per expected date:
// the benchmark holds the program's run against it.
QList<receipt::MissingIssue> receiptCheckPerDate(data::Connection& c, const QDate& from, const QDate& to);

} // namespace testsupport
