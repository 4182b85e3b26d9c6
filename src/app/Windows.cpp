#include "app/Windows.h"

#include "app/WindowRegistry.h"
#include "titles/Adddealer.h"
#include "titles/New_Journal.h"

namespace app {

void registerWindows(WindowRegistry& registry) {
    using P = WindowRegistry::Placement;
    registry.add(QStringLiteral("Adddealer"), P::CentredOnScreen, [] { return new titles::Adddealer; });
    registry.add(QStringLiteral("New_Journal"), P::Child, [] { return new titles::New_Journal; });
}

} // namespace app
