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
    registry.add(QStringLiteral("Adddealer"), P::CentredOnScreen,
                 [&registry] { return new titles::Adddealer(registry.connection()); });
    registry.add(QStringLiteral("New_Journal"), P::Child,
                 [&registry] { return new titles::New_Journal(registry.connection()); });
    registry.add(QStringLiteral("reg_journal"), P::Child,
                 [&registry] { return new receipt::reg_journal(registry.connection()); });
    registry.add(QStringLiteral("add_auther"), P::CentredOnScreen,
                 [&registry] { return new indexing::add_auther(registry.connection()); });
    registry.add(QStringLiteral("index_journal"), P::Child,
                 [&registry] { return new indexing::index_journal(registry.connection()); });
    registry.add(QStringLiteral("edit_index_journal"), P::Child,
                 [&registry] { return new indexing::edit_index_journal(registry.connection()); });
    registry.add(QStringLiteral("check_receive"), P::Child,
                 [&registry] { return new receipt::check_receive(registry.connection()); });
    registry.add(QStringLiteral("frmrep_journ_serv"), P::Child,
                 [&registry] { return new survey::frmrep_journ_serv(registry.connection()); });
    registry.add(QStringLiteral("expdate"), P::Child,
                 [&registry] { return new titles::expdate(registry.connection()); });
    registry.add(QStringLiteral("sum_journal"), P::Child,
                 [&registry] { return new volumes::sum_journal(registry.connection()); });
    registry.add(QStringLiteral("articlectrl"), P::CentredOnScreen,
                 [&registry] { return new indexing::articlectrl(registry.connection()); });
}

} // namespace app
