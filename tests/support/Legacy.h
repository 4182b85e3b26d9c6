#pragma once

#include "data/Connection.h"

namespace testsupport {

// Turns a Warasan database (through an administrative connection) into one kept the old way:
// MyISAM in tis620, primary keys only, zero dates, counters unpadded, publisher names' Thai
// bytes labelled latin1, no search pieces or triggers, the receipt check's last two columns gone.
void makeLegacy(data::Connection& admin);

} // namespace testsupport
