// The home panel's lists on the generated set, each part's one query timed (target 50 ms), the
// claims, endings and refusals checked against plain counts over the tables.
#include "BenchUtil.h"
#include "rules/desk/Glance.h"

#include <cstdio>

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        auto c = bench::openedConnection();
        desk::Glance g;
        g.today = c->query(QStringLiteral("SELECT MAX(daily) FROM tranfile")).value(0, 0).toDate();
        const char* names[] = {"titles (today, week, overdue, quiet)", "claims waiting", "claims refused",
                               "subscriptions ending", "alerts refused"};
        bool within = true;
        for (desk::Part p : desk::parts) {
            std::vector<double> ms;
            for (int i = 0; i < 7; ++i)
                ms.push_back(bench::timed([&] { desk::read(*c, p, g); }));
            const double m = bench::median(ms);
            within = within && m <= 50;
            std::printf("  %-38s median %7.1f ms\n", names[int(p)], m);
        }
        const int ending = c->query(QStringLiteral("SELECT COUNT(*) FROM magazine WHERE Receive_Code = '1' AND "
                                                   "LEFT(Pointer, 1) IN ('J', 'I') AND End_Date BETWEEN ? AND ?"),
                                    {g.today, g.today.addMonths(2)})
                               .value(0, 0)
                               .toInt();
        std::printf("as of %s: today %d, week %d, overdue %d, quiet %d, claims %d, ending %d (plain count %d), "
                    "refused alerts %d, refused claims %d\n",
                    qPrintable(g.today.toString(Qt::ISODate)), int(g.today_.size()), int(g.week.size()),
                    int(g.overdue.size()), int(g.quiet.size()), int(g.claims.size()), int(g.ending.size()), ending,
                    int(g.refusedAlerts.size()), int(g.refusedClaims.size()));
        std::printf("every part within 50 ms: %s\n", within ? "yes" : "NO");
        return ending == g.ending.size() ? 0 : 1;
    });
}
