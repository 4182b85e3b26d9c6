#include "app/Windows.h"

#include "app/WindowRegistry.h"
#include "index/add_auther.h"
#include "index/articlectrl.h"
#include "index/edit_index_journal.h"
#include "index/index_journal.h"
#include "receipt/check_receive.h"
#include "receipt/reg_journal.h"
#include "survey/frmrep_journ_serv.h"
#include "titles/Adddealer.h"
#include "titles/New_Journal.h"
#include "titles/expdate.h"
#include "volumes/sum_journal.h"

namespace app {

void registerWindows(WindowRegistry& registry) {
    using P = WindowRegistry::Placement;
    registry.add(QStringLiteral("Adddealer"), P::CentredOnScreen, [] { return new titles::Adddealer; });
    registry.add(QStringLiteral("New_Journal"), P::Child, [] { return new titles::New_Journal; });
    registry.add(QStringLiteral("reg_journal"), P::Child, [] { return new receipt::reg_journal; });
    registry.add(QStringLiteral("add_auther"), P::CentredOnScreen, [] { return new indexing::add_auther; });
    registry.add(QStringLiteral("index_journal"), P::Child, [] { return new indexing::index_journal; });
    registry.add(QStringLiteral("edit_index_journal"), P::Child, [] { return new indexing::edit_index_journal; });
    registry.add(QStringLiteral("check_receive"), P::Child, [] { return new receipt::check_receive; });
    registry.add(QStringLiteral("frmrep_journ_serv"), P::Child, [] { return new survey::frmrep_journ_serv; });
    registry.add(QStringLiteral("expdate"), P::Child, [] { return new titles::expdate; });
    registry.add(QStringLiteral("sum_journal"), P::Child, [] { return new volumes::sum_journal; });
    registry.add(QStringLiteral("articlectrl"), P::CentredOnScreen, [] { return new indexing::articlectrl; });
}

} // namespace app
