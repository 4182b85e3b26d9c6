// The title register over the generated titles: opening the window (connection and the
// seven code-table lists) and a title search from Enter to a filled pick list.
#include "BenchUtil.h"
#include "titles/New_Journal.h"

#include "forms/common/SearchList.h"
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using bench::median;

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        std::vector<double> load;
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer t;
            t.start();
            auto w = std::make_unique<titles::New_Journal>(bench::openedConnection());
            load.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("title register load (connect + 7 code tables)   median %6.2f ms\n", median(load));

        titles::New_Journal w(bench::openedConnection());
        w.show();
        auto* field = w.findChild<QLineEdit*>(QStringLiteral("Text2"));
        auto* list = w.findChild<forms::PickList*>(QStringLiteral("dlbnamemag"));
        for (const QString& text : {QStringLiteral("Library Science"), QStringLiteral("ครุศาสตร์"),
                                    QStringLiteral("Journal of Nursing"), QStringLiteral("ไทยรัฐ")}) {
            const double ms = bench::enterToList(field, list, text);
            std::printf("title search %-22s %5d rows   median %6.2f ms\n", qPrintable(text), int(list->count()), ms);
        }
        return 0;
    });
}
