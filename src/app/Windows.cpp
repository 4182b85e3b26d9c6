#include "app/Windows.h"

#include "app/HistoryReportWindow.h"
#include "app/WindowRegistry.h"
#include "index/add_auther.h"
#include "index/articlectrl.h"
#include "index/edit_index_journal.h"
#include "index/index_journal.h"
#include "receipt/check_receive.h"
#include "receipt/PatternEditor.h"
#include "receipt/reg_journal.h"
#include "survey/frmrep_journ_serv.h"
#include "titles/Adddealer.h"
#include "titles/New_Journal.h"
#include "titles/ReaderRegister.h"
#include "titles/expdate.h"
#include "volumes/sum_journal.h"

namespace app {

namespace {

// Each window made on a connection of its own, opened by the registry.
template <class W> void add(WindowRegistry& registry, const char* kind, WindowRegistry::Placement placement) {
    registry.add(QLatin1String(kind), placement, [&registry] { return new W(registry.connection()); });
}

} // namespace

void registerWindows(WindowRegistry& registry) {
    using P = WindowRegistry::Placement;
    add<titles::Adddealer>(registry, "Adddealer", P::CentredOnScreen);
    add<titles::New_Journal>(registry, "New_Journal", P::Child);
    add<receipt::reg_journal>(registry, "reg_journal", P::Child);
    add<receipt::PatternEditor>(registry, "PatternEditor", P::Child);
    add<indexing::add_auther>(registry, "add_auther", P::CentredOnScreen);
    add<indexing::index_journal>(registry, "index_journal", P::Child);
    add<indexing::edit_index_journal>(registry, "edit_index_journal", P::Child);
    add<receipt::check_receive>(registry, "check_receive", P::Child);
    add<survey::frmrep_journ_serv>(registry, "frmrep_journ_serv", P::Child);
    add<titles::expdate>(registry, "expdate", P::Child);
    add<volumes::sum_journal>(registry, "sum_journal", P::Child);
    add<indexing::articlectrl>(registry, "articlectrl", P::CentredOnScreen);
    add<titles::ReaderRegister>(registry, "ReaderRegister", P::Child);
    add<HistoryReportWindow>(registry, "HistoryReport", P::CentredOnOwner);
}

} // namespace app
