#pragma once

#include "forms/common/Declaration.h"

#include <QList>

namespace app {
class WindowRegistry;

// Every working window this build has, each as it declares itself beside its own code.
const QList<forms::Declaration>& declarations();
// The declaration of a kind of window, or of the window a menu entry opens; nullptr when none.
const forms::Declaration* declarationOf(const QString& kind);
const forms::Declaration* declarationForMenu(const QString& menuKey);
// Registers every working window with the main window's registry.
void registerWindows(WindowRegistry& registry);

} // namespace app
