#pragma once

#include <QIcon>

namespace forms {

// The program's own icon (a bound journal with the letter "ว"), drawn at the sizes desktops
// ask for, for the main window, every working window and the report viewer.
QIcon programIcon();

} // namespace forms
