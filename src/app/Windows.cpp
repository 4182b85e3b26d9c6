#include "app/Windows.h"

#include "app/WindowRegistry.h"

namespace app {

void registerWindows(WindowRegistry& registry) {
    // Working windows are added here as they are built.
    (void)registry;
}

} // namespace app
