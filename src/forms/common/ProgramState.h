#pragma once

#include <QString>

class QStatusBar;

namespace forms {

// The few values the whole program shares.
//
// add_dealer_flag: "T" asks the publisher register to start adding as soon as it shows;
// it goes back to "F" after the register saves. Empty at start, which counts as "F".
QString& add_dealer_flag();

} // namespace forms
