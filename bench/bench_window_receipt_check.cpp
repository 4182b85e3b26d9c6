// The receipt check over the generated set for one year: the whole run (reading, stepping,
// staging) against the per-date method, which must give the same rows.
#include "BenchUtil.h"
#include "ReceiptPerDate.h"
#include "data/Config.h"
#include "rules/receipt/ReceiptCheck.h"

#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        data::Connection c(data::installation().db);
        c.open();
        const QDate to = c.query(QStringLiteral("SELECT MAX(daily) FROM tranfile")).value(0, 0).toDate();
        const QDate from = to.addYears(-1).addDays(1);
        QElapsedTimer t;
        std::vector<double> fast, reading;
        QList<receipt::MissingIssue> rows;
        int titles = 0;
        for (int i = 0; i < 5; ++i) {
            t.start();
            rows = receipt::ReceiptCheck::run(c, from, to, &titles);
            reading.push_back(t.nsecsElapsed() / 1e6);
            receipt::ReceiptCheck::stage(c, QStringLiteral("bench"), rows, from, to);
            fast.push_back(t.nsecsElapsed() / 1e6);
        }
        std::sort(fast.begin(), fast.end());
        std::sort(reading.begin(), reading.end());
        t.start();
        const auto slow = testsupport::receiptCheckPerDate(c, from, to);
        const double slowMs = t.nsecsElapsed() / 1e6;
        bool same = slow.size() == rows.size();
        for (int i = 0; same && i < rows.size(); ++i)
            same = slow.at(i).pointer == rows.at(i).pointer && slow.at(i).expected == rows.at(i).expected;
        std::printf("receipt check %s to %s: %d titles examined, %d missing issues\n",
                    qPrintable(from.toString(Qt::ISODate)), qPrintable(to.toString(Qt::ISODate)), titles,
                    int(rows.size()));
        std::printf("  reading and stepping:   median %8.1f ms\n", reading[reading.size() / 2]);
        std::printf("  whole run with staging: median %8.1f ms\n", fast[fast.size() / 2]);
        std::printf("  per-date method:               %8.1f ms (%.0f times slower), same rows: %s\n", slowMs,
                    slowMs / fast[fast.size() / 2], same ? "yes" : "NO");
        return same ? 0 : 1;
    });
}
