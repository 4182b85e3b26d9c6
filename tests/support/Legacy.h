#pragma once

#include "data/Connection.h"

namespace testsupport {

// Turns a Warasan database into one kept the way old installations are: MyISAM tables in
// tis620 (single-byte Thai), primary keys only, empty dates stored as zero dates, counters as
// text without their padding, the publisher names' Thai bytes labelled latin1, the receipt
// check's table without its last two columns, and (on a server that keeps table names as
// written) tables named in capitals. `admin` must be an administrative connection to it.
void makeLegacy(data::Connection& admin);

} // namespace testsupport
