// The bound-volume register over the generated set: the click on the title with the most
// unbound issues to the filled issue list, saving a 50-issue volume, a call-number prefix
// search, and Next / Previous across a gap of 1,000 volume numbers.
#include "BenchUtil.h"
#include "data/Config.h"
#include "forms/common/Grid.h"
#include "volumes/sum_journal.h"

#include <QLineEdit>
#include <cstdio>

using bench::median;
using bench::timed;

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes& boxes) {
        data::Connection c(data::installation().db);
        c.open();
        const auto [name, pointer] = bench::biggestTitle(c, true);
        volumes::sum_journal w(bench::openedConnection());
        w.show();
        auto* titles = w.findChild<forms::Grid*>(QStringLiteral("show_journal"));
        auto* issues = w.findChild<forms::Grid*>(QStringLiteral("show_item"));
        w.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(name);
        w.searchTitles();
        int row = 0;
        for (int r = 0; r < titles->rowCount(); ++r)
            if (titles->rows()->text(r, 2) == pointer)
                row = r;
        std::vector<double> pick, save;
        for (int i = 0; i < 20; ++i)
            pick.push_back(timed([&] { w.pickTitle(row); }));
        const int offered = issues->rowCount();
        for (int i = 0; i < 10; ++i) {
            w.pickTitle(row);
            w.add();
            for (int r = 0; r < 50; ++r)
                w.pickIssue(r);
            save.push_back(timed([&] { w.save(); }));
        }
        std::printf("title click to issue list: %d issues   median %6.2f ms\n", offered, median(pick));
        std::printf("saving a 50-issue volume: median %6.2f ms\n", median(save));

        const QString callno =
            c.query(QStringLiteral("SELECT callno FROM sum_journal ORDER BY regno LIMIT 1")).text(0, 0);
        auto* text3 = w.findChild<QPlainTextEdit*>(QStringLiteral("Text3"));
        std::vector<double> prefix;
        for (int i = 0; i < 20; ++i) {
            text3->setPlainText(callno.left(8));
            prefix.push_back(timed([&] { w.searchCallNumber(); }));
        }
        std::printf("call-number prefix search \"%s\": median %6.2f ms\n", qPrintable(callno.left(8)), median(prefix));

        c.exec(QStringLiteral("DELETE FROM sum_journal WHERE regno BETWEEN 'B001001' AND 'B002000'"));
        w.clearTitles();
        w.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("B001000"));
        w.searchRegno();
        std::vector<double> gap;
        for (int i = 0; i < 10; ++i)
            for (bool forward : {true, false})
                gap.push_back(timed([&] { w.step(forward); }));
        std::printf("Next / Previous across 1,000 missing numbers: median %6.2f ms (%d boxes in all)\n", median(gap),
                    boxes.shown);
        return 0;
    });
}
