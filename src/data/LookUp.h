#pragma once

#include "data/Connection.h"

namespace data {

// A read by text someone typed (a search, a name or code to find). Text that a column's
// character set cannot hold is in no row of it, but the server says so as a mix of collations
// rather than finding nothing: that is taken here as no rows. Text in plain ASCII never causes
// it, so for such text, and for every other error, the server's answer stands.
Result lookUp(Connection& c, const QString& sql, const Params& params);
// The same, each row handed to `take` as it is read (a long pick list without a Result's
// values in between).
void lookUpEach(Connection& c, const QString& sql, const Params& params, const std::function<void(const Cells&)>& take);

} // namespace data
