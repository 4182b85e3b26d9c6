#include "app/Windows.h"

#include "app/HistoryReportWindow.h"
#include "app/HomePanel.h"
#include "app/WindowRegistry.h"
#include "index/add_auther.h"
#include "index/articlectrl.h"
#include "index/edit_index_journal.h"
#include "index/index_journal.h"
#include "receipt/check_receive.h"
#include "receipt/PatternEditor.h"
#include "receipt/ClaimsWindow.h"
#include "receipt/reg_journal.h"
#include "survey/frmrep_journ_serv.h"
#include "titles/Adddealer.h"
#include "titles/New_Journal.h"
#include "titles/ReaderRegister.h"
#include "titles/expdate.h"
#include "volumes/sum_journal.h"

namespace app {

const QList<forms::Declaration>& declarations() {
    static const QList<forms::Declaration> all = {
        titles::Adddealer::declaration(),          titles::New_Journal::declaration(),
        receipt::reg_journal::declaration(),       receipt::PatternEditor::declaration(), receipt::ClaimsWindow::declaration(),
        indexing::add_auther::declaration(),       indexing::index_journal::declaration(),
        indexing::edit_index_journal::declaration(), receipt::check_receive::declaration(),
        survey::frmrep_journ_serv::declaration(),  titles::expdate::declaration(),
        volumes::sum_journal::declaration(),       indexing::articlectrl::declaration(),
        titles::ReaderRegister::declaration(),     HistoryReportWindow::declaration(),
        HomePanel::declaration(),
    };
    return all;
}

const forms::Declaration* declarationOf(const QString& kind) {
    for (const forms::Declaration& d : declarations())
        if (d.kind == kind)
            return &d;
    return nullptr;
}

const forms::Declaration* declarationForMenu(const QString& menuKey) {
    for (const forms::Declaration& d : declarations())
        if (!menuKey.isEmpty() && d.menuKey == menuKey)
            return &d;
    return nullptr;
}

void registerWindows(WindowRegistry& registry) {
    for (const forms::Declaration& d : declarations())
        registry.add(d.kind, d.opens, [&registry, make = d.make] { return make(registry.connection()); });
}

} // namespace app
