// Issue registration over the generated set: the title search from Enter to a filled grid,
// and the click on a title with 3,000 issues to the filled issue grid with the index check.
#include "BenchUtil.h"
#include "data/Config.h"
#include "forms/common/Grid.h"
#include "receipt/reg_journal.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

using bench::median;

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        data::Connection c(data::installation().db);
        c.open();
        const auto [name, pointer] = bench::biggestTitle(c, false);

        receipt::reg_journal w(bench::openedConnection());
        w.show();
        auto* field = w.findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* titles = w.findChild<forms::Grid*>(QStringLiteral("show_journal"));
        auto* issues = w.findChild<forms::Grid*>(QStringLiteral("show_item"));
        std::vector<double> search, open;
        for (int i = 0; i < 20; ++i) {
            field->setText(name);
            QElapsedTimer t;
            t.start();
            QTest::keyClick(field, Qt::Key_Return);
            search.push_back(t.nsecsElapsed() / 1e6);
            int row = 0;
            for (int r = 0; r < titles->rowCount(); ++r)
                if (titles->rows()->text(r, 2) == pointer)
                    row = r;
            t.start();
            w.chooseTitle(row);
            open.push_back(t.nsecsElapsed() / 1e6);
        }
        std::vector<double> store;
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer t;
            t.start();
            records::IssueStore::issues(c, pointer);
            store.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("  of which reading the issues: median %6.2f ms\n", median(store));
        std::printf("title search \"%s\": %d titles   median %6.2f ms\n", qPrintable(name), int(titles->rowCount()),
                    median(search));
        std::printf("title click to issue grid + index check: %d issues   median %6.2f ms\n", int(issues->rowCount()),
                    median(open));
        return 0;
    });
}
