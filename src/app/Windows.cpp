#include "app/Windows.h"

#include "app/WindowRegistry.h"
#include "titles/Adddealer.h"

namespace app {

void registerWindows(WindowRegistry& registry) {
    using P = WindowRegistry::Placement;
    registry.add(QStringLiteral("Adddealer"), P::CentredOnScreen, [] { return new titles::Adddealer; });
}

} // namespace app
