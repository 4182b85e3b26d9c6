#pragma once

#include <QString>

class QAbstractButton;

namespace forms {

// Turns `button` off for good, `why` its tooltip: the window's own changes of mode do not turn
// it on again, nor does its keyboard shortcut press it.
void keepOff(QAbstractButton* button, const QString& why);

} // namespace forms
