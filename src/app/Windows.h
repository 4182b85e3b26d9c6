#pragma once

namespace app {
class WindowRegistry;

// Registers every working window this build has with the main window's registry.
void registerWindows(WindowRegistry& registry);

} // namespace app
