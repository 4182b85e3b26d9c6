#include "app/Windows.h"

#include "app/WindowRegistry.h"
#include "receipt/reg_journal.h"
#include "titles/Adddealer.h"
#include "titles/New_Journal.h"

namespace app {

void registerWindows(WindowRegistry& registry) {
    using P = WindowRegistry::Placement;
    registry.add(QStringLiteral("Adddealer"), P::CentredOnScreen, [] { return new titles::Adddealer; });
    registry.add(QStringLiteral("New_Journal"), P::Child, [] { return new titles::New_Journal; });
    registry.add(QStringLiteral("reg_journal"), P::Child, [] { return new receipt::reg_journal; });
}

} // namespace app
