#pragma once

#include <QString>
#include <functional>

class QLabel;
class QWidget;

namespace forms {

// Shows a working window by its kind ("Adddealer"), the way the main menu does, so a window
// can hand over to another one. Set by the main window; gives nullptr when none is set.
using WindowOpener = std::function<QWidget*(const QString& kind)>;
void setWindowOpener(WindowOpener opener);
QWidget* openWindow(const QString& kind);

// A panel of the main window's status bar (1 or 2) as seen from one of its windows, with its
// width set in twips; nullptr when the window stands alone.
QLabel* statusPanel(QWidget* from, int number, int widthTwips = 0);

} // namespace forms
