// The next-issue prediction replayed over the generated set: for every title, issue k+1
// predicted from issues 1…k and held against the one registered, field by field, where issue
// k+1 is the one after issue k (its number follows on, or without numbers its date is the
// next mark's); then the time of one prediction on the title with the most issues.
// A field is right, left empty (the registered one is not), or wrong. With --messy the set is
// a messy one and the figures are given per history shape as well as per frequency code.
#include "BenchUtil.h"
#include "data/Config.h"
#include "data/Counter.h"
#include "datagen/DataGenerator.h"
#include "rules/receipt/NextIssue.h"
#include "rules/receipt/ReceiptCheck.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <cstdio>
#include <map>

namespace {

// A field registered empty (a blank in old data) is not held against the prediction.
struct Field {
    int right = 0, empty = 0, wrong = 0;
    void add(const QString& predicted, const QString& actual) {
        (predicted == actual || actual.isEmpty() ? right : predicted.isEmpty() ? empty : wrong)++;
    }
};
struct Tally {
    int cases = 0, all = 0;
    Field fields[4]; // date, year, number, description
};

qint64 numberIn(const QString& text, bool last) {
    static const QRegularExpression range(QStringLiteral("^\\s*\\d+\\s*[-/]\\s*(\\d+)"));
    if (const auto m = range.match(text); last && m.hasMatch())
        return m.captured(1).toLongLong();
    return data::leadingDigits(text.trimmed()).value_or(-1);
}

// Whether `actual` is the issue after `before`: by number where both have one, else by date.
bool nextOne(const QString& code, const receipt::IssueSeen& before, const receipt::IssueSeen& actual) {
    const qint64 was = numberIn(before.number, true), now = numberIn(actual.number, false);
    if (was >= 0 && now >= 0)
        return now == was + 1 || (now == 1 && was >= 1);
    const auto f = *receipt::frequencyOf(code);
    const QDate step = receipt::nextIssueDate(f, before.daily), after = receipt::nextIssueDate(f, step);
    return std::abs(actual.daily.daysTo(step)) < std::abs(actual.daily.daysTo(after));
}

void print(const char* name, const Tally& t) {
    const auto pct = [&](int n) { return t.cases ? 100.0 * n / t.cases : 0.0; };
    std::printf("%-17s %7d", name, t.cases);
    for (const Field& f : t.fields)
        std::printf("  %6.2f %5.2f %5.2f", pct(f.right), pct(f.empty), pct(f.wrong));
    std::printf("  %7.2f%%\n", pct(t.all));
}

void printTable(const char* by, const std::map<QString, Tally>& tallies, Tally* total) {
    std::printf("%-17s %7s  %-19s  %-19s  %-19s  %-19s  %8s\n", by, "cases", "date", "year", "number", "description",
                "all four");
    std::printf("%-17s %7s  %-19s  %-19s  %-19s  %-19s\n", "", "", "right% empty wrong", "right% empty wrong",
                "right% empty wrong", "right% empty wrong");
    for (const auto& [name, tally] : tallies) {
        print(qPrintable(name), tally);
        if (total) {
            total->cases += tally.cases;
            total->all += tally.all;
            for (int f = 0; f < 4; ++f) {
                total->fields[f].right += tally.fields[f].right;
                total->fields[f].empty += tally.fields[f].empty;
                total->fields[f].wrong += tally.fields[f].wrong;
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool messy = argc > 1 && QByteArray(argv[1]) == "--messy";
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        data::Connection c(data::installation().db);
        c.open();
        QElapsedTimer t;
        t.start();
        const data::Result r = c.query(QStringLiteral(
            "SELECT m.Pointer, m.MagType_code, t.daily, t.yearno, t.itemsno, t.DescriptionItem FROM magazine m "
            "JOIN tranfile t ON t.pointer = m.Pointer ORDER BY m.Pointer, t.daily, CAST(t.magno AS UNSIGNED)"));
        std::printf("read %d issues in %.1f s\n", r.rowCount(), t.nsecsElapsed() / 1e9);
        std::map<QString, Tally> byCode, byShape;
        QList<receipt::IssueSeen> longest;
        int shown = qEnvironmentVariableIntValue("WARASAN_SHOW_MISSES");
        const QString showShape = qEnvironmentVariable("WARASAN_SHOW_SHAPE");
        for (int i = 0; i < r.rowCount();) {
            const QString pointer = r.text(i, 0), code = r.text(i, 1).trimmed();
            QList<receipt::IssueSeen> issues;
            for (; i < r.rowCount() && r.text(i, 0) == pointer; ++i)
                issues.append({r.value(i, 2).toDate(), r.text(i, 3), r.text(i, 4), r.text(i, 5)});
            if (issues.size() > longest.size())
                longest = issues;
            if (!receipt::frequencyOf(code))
                continue; // daily and irregular: nothing but the number is predicted
            const QString shape = messy ? datagen::historyShape(pointer, code) : QString();
            for (int k = 2; k < issues.size(); ++k) {
                const receipt::IssueSeen& actual = issues.at(k);
                if (!nextOne(code, issues.at(k - 1), actual))
                    continue; // one or more issues never came in between, or a copy of the one before
                const auto p = receipt::predictNext(code, issues.mid(0, k));
                const QStringList got =
                    p ? QStringList{p->daily.toString(Qt::ISODate), p->year, p->number, p->description}
                      : QStringList(4);
                const QStringList want = {actual.daily.toString(Qt::ISODate), actual.year.trimmed(),
                                          actual.number.trimmed(), actual.description};
                for (Tally* tally : {&byCode[code], messy ? &byShape[shape] : nullptr}) {
                    if (!tally)
                        continue;
                    ++tally->cases;
                    bool all = true;
                    for (int f = 0; f < 4; ++f)
                        all &= got.at(f) == want.at(f) || want.at(f).isEmpty();
                    tally->all += all;
                    for (int f = 0; f < 4; ++f)
                        tally->fields[f].add(got.at(f), want.at(f));
                }
                if (got != want && shown > 0 && (showShape.isEmpty() || showShape == shape) && shown--)
                    std::printf("miss %s (%s, %s) after %s %s/%s \"%s\": predicted %s\n", qPrintable(pointer),
                                qPrintable(code), qPrintable(shape),
                                qPrintable(issues.at(k - 1).daily.toString(Qt::ISODate)),
                                qPrintable(issues.at(k - 1).year), qPrintable(issues.at(k - 1).number),
                                qPrintable(issues.at(k - 1).description), qPrintable(got.join(u'|')));
                if (got != want && shown >= 0 && (showShape.isEmpty() || showShape == shape) &&
                    qEnvironmentVariableIsSet("WARASAN_SHOW_MISSES"))
                    std::printf("     registered %s\n", qPrintable(want.join(u'|')));
            }
        }
        Tally total;
        printTable("code", byCode, &total);
        print("all", total);
        if (messy)
            printTable("shape", byShape, nullptr);
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
        // Tidy data: all four fields right nearly always. Messy data: a field may be left empty
        // where the history does not tell it, but is seldom wrong.
        int wrong = 0;
        for (const Field& f : total.fields)
            wrong += f.wrong;
        const bool good =
            messy ? 100.0 * wrong / qMax(1, 4 * total.cases) <= 3.0 : 100.0 * total.all / total.cases >= 97.0;
        return good && times[times.size() / 2] < 1.0 ? 0 : 1;
    });
}
