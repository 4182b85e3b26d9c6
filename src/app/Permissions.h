#pragma once

#include "data/Staff.h"

#include <QString>

class QWidget;

namespace app {

// The tooltip of a button kept off: "ต้องมีบทบาท …".
QString roleTip(data::Role role);
// Turns off, for as long as the window lives, the buttons of `window` (of kind `kind`) that `who`
// may not press, as the window's declaration names them. The server refuses the same writes
// whoever asks; this only spares the person a refusal.
void restrictWindow(const QString& kind, QWidget* window, const data::SignedIn& who);

} // namespace app
