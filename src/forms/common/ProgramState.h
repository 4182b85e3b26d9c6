#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace forms {

// Shows a working window by its kind ("Adddealer"), the way the main menu does, so a window
// can hand over to another one. Set by the main window; gives nullptr when none is set.
using WindowOpener = std::function<QWidget*(const QString& kind)>;
void setWindowOpener(WindowOpener opener);
QWidget* openWindow(const QString& kind);

} // namespace forms
