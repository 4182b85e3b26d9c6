// The next-issue prediction replayed over the generated set: for every title, issue k+1
// predicted from issues 1…k and compared with the one registered, field by field, where issue
// k+1 came when due (no issue missing between); then the time of one prediction on the title
// with the most issues.
#include "BenchUtil.h"
#include "data/Config.h"
#include "receipt/NextIssue.h"
#include "receipt/ReceiptCheck.h"

#include <QElapsedTimer>
#include <cstdio>
#include <map>

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        data::Connection c(data::installation().db);
        c.open();
        QElapsedTimer t;
        t.start();
        const data::Result r = c.query(QStringLiteral(
            "SELECT m.Pointer, m.MagType_code, t.daily, t.yearno, t.itemsno, t.DescriptionItem FROM magazine m "
            "JOIN tranfile t ON t.pointer = m.Pointer ORDER BY m.Pointer, t.daily, CAST(t.magno AS UNSIGNED)"));
        std::printf("read %d issues in %.1f s\n", r.rowCount(), t.nsecsElapsed() / 1e9);
        struct Tally {
            int cases = 0, date = 0, year = 0, number = 0, description = 0, all = 0;
        };
        std::map<QString, Tally> byCode;
        QList<receipt::IssueSeen> longest;
        for (int i = 0; i < r.rowCount();) {
            const QString pointer = r.text(i, 0), code = r.text(i, 1).trimmed();
            QList<receipt::IssueSeen> issues;
            for (; i < r.rowCount() && r.text(i, 0) == pointer; ++i)
                issues.append({r.value(i, 2).toDate(), r.text(i, 3), r.text(i, 4), r.text(i, 5)});
            if (issues.size() > longest.size())
                longest = issues;
            const auto frequency = receipt::frequencyOf(code);
            if (!frequency)
                continue; // daily and irregular: nothing but the number is predicted
            for (int k = 2; k < issues.size(); ++k) {
                const receipt::IssueSeen& actual = issues.at(k);
                if (receipt::nextIssueDate(*frequency, issues.at(k - 1).daily) != actual.daily)
                    continue; // one or more issues never came in between
                const auto p = receipt::predictNext(code, issues.mid(0, k));
                Tally& tally = byCode[code];
                ++tally.cases;
                const bool date = p && p->daily == actual.daily, year = p && p->year == actual.year.trimmed(),
                           number = p && p->number == actual.number.trimmed(),
                           description = p && p->description == actual.description;
                tally.date += date;
                tally.year += year;
                tally.number += number;
                tally.description += description;
                tally.all += date && year && number && description;
                static int shown = qEnvironmentVariableIntValue("WARASAN_SHOW_MISSES");
                if (!(date && year && number && description) && shown > 0 && shown--)
                    std::printf(
                        "miss %s (%s) after %s %s/%s \"%s\": predicted %s/%s \"%s\", registered %s %s/%s \"%s\"\n",
                        qPrintable(pointer), qPrintable(code), qPrintable(issues.at(k - 1).daily.toString(Qt::ISODate)),
                        qPrintable(issues.at(k - 1).year), qPrintable(issues.at(k - 1).number),
                        qPrintable(issues.at(k - 1).description), qPrintable(p ? p->year : QString()),
                        qPrintable(p ? p->number : QString()), qPrintable(p ? p->description : QString()),
                        qPrintable(actual.daily.toString(Qt::ISODate)), qPrintable(actual.year),
                        qPrintable(actual.number), qPrintable(actual.description));
            }
        }
        const auto pct = [](int n, int of) { return of ? 100.0 * n / of : 0.0; };
        std::printf("%-6s %8s %7s %7s %7s %7s %9s\n", "code", "cases", "date", "year", "number", "descr.", "all four");
        Tally total;
        for (const auto& [code, tally] : byCode) {
            std::printf("%-6s %8d %6.2f%% %6.2f%% %6.2f%% %6.2f%% %8.2f%%\n", qPrintable(code), tally.cases,
                        pct(tally.date, tally.cases), pct(tally.year, tally.cases), pct(tally.number, tally.cases),
                        pct(tally.description, tally.cases), pct(tally.all, tally.cases));
            total.cases += tally.cases;
            total.date += tally.date;
            total.year += tally.year;
            total.number += tally.number;
            total.description += tally.description;
            total.all += tally.all;
        }
        std::printf("%-6s %8d %6.2f%% %6.2f%% %6.2f%% %6.2f%% %8.2f%%\n", "all", total.cases,
                    pct(total.date, total.cases), pct(total.year, total.cases), pct(total.number, total.cases),
                    pct(total.description, total.cases), pct(total.all, total.cases));
        // The longest history read as a weekly title's, so every rule is worked through.
        std::vector<double> times;
        for (int n = 0; n < 50; ++n) {
            t.start();
            const auto p = receipt::predictNext(QStringLiteral("02"), longest);
            times.push_back(t.nsecsElapsed() / 1e6);
            if (!p)
                return 1;
        }
        std::sort(times.begin(), times.end());
        std::printf("one prediction over %d issues (as weekly): median %.3f ms, slowest %.3f ms\n", int(longest.size()),
                    times[times.size() / 2], times.back());
        return pct(total.all, total.cases) >= 97.0 && times[times.size() / 2] < 1.0 ? 0 : 1;
    });
}
