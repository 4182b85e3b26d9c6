// Publisher search in the publisher register over the generated publishers: the time from
// Enter in the name field to a filled pick list.
#include "BenchUtil.h"
#include "titles/Adddealer.h"

#include "forms/common/SearchList.h"
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        titles::Adddealer w(bench::openedConnection());
        w.show();
        auto* field = w.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
        auto* list = w.findChild<forms::PickList*>(QStringLiteral("Listdealer"));
        const QStringList texts = {QString(),
                                   QStringLiteral("สำนักพิมพ์การ"),
                                   QStringLiteral("Publishing 12"),
                                   QStringLiteral("Smith"),
                                   QStringLiteral("ศาสตร์ 4"),
                                   QStringLiteral("Tourism"),
                                   QStringLiteral("77")};
        for (const QString& text : texts) {
            const double ms = bench::enterToList(field, list, text, 30);
            std::printf("publisher search %-16s %5d rows   median %6.2f ms\n", qPrintable(text), int(list->count()),
                        ms);
        }
        return 0;
    });
}
