// Every window the menu opens, walked by seeded random steps with its state table checked
// after each; walks that once found a fault replayed step by step.
//
// WARASAN_EXPLORE_STEPS: steps per window (default 3 walks of 200); WARASAN_EXPLORE_WALK: steps
// per walk; WARASAN_EXPLORE_WINDOW: one window only. A violation prints the seed and the
// shortest step list found that still shows it.
#include "forms/common/Fonts.h"
#include "support/Explorer.h"


class tst_explorer : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Explorer> explorer;

    static int setting(const char* name, int fallback) {
        return qEnvironmentVariableIsSet(name) ? qEnvironmentVariableIntValue(name) : fallback;
    }
    static const WindowTable& table(const QString& kind) {
        for (const WindowTable& t : windowTables())
            if (QLatin1String(t.kind) == kind)
                return t;
        qFatal("no state table for %s", qPrintable(kind));
    }

private slots:
    void initTestCase() {
        // The offscreen platform says these of every window it sizes or raises: no news for a walk.
        static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.contains(u"propagateSizeHints"_s) && !text.contains(u"support raise()"_s))
                previous(type, context, text);
        });
        forms::installThaiFonts();
        db = std::make_unique<TestDatabase>(u"explorer"_s);
        explorer = std::make_unique<Explorer>(*db);
    }
    void cleanupTestCase() {
        explorer.reset();
        db.reset();
    }

    void walk_data() {
        QTest::addColumn<QString>("kind");
        const QString only = qEnvironmentVariable("WARASAN_EXPLORE_WINDOW");
        for (const WindowTable& t : windowTables())
            if (only.isEmpty() || only == QLatin1String(t.kind))
                QTest::newRow(t.kind) << QString::fromLatin1(t.kind);
    }
    // Walks of fixed seeds, so a failure here fails again on the next run.
    void walk() {
        QFETCH(QString, kind);
        const WindowTable& t = table(kind);
        const int perWalk = setting("WARASAN_EXPLORE_WALK", 200);
        const int total = setting("WARASAN_EXPLORE_STEPS", 3 * perWalk);
        int taken = 0;
        QSet<QString> modes;
        QStringList found;
        for (quint64 seed = 1; taken < total; ++seed) {
            const Walk w = explorer->walk(t, seed, qMin(perWalk, total - taken));
            taken += int(w.steps.size()) + (w.violation.isEmpty() ? 0 : perWalk - int(w.steps.size()));
            modes += w.modes;
            if (!w.violation.isEmpty()) {
                Walk shortest = w;
                shortest.steps = explorer->shorten(t, w);
                found << shortest.report(kind, seed);
            }
        }
        QStringList visited(modes.begin(), modes.end());
        visited.sort();
        qInfo().noquote() << u"%1: %2 steps, modes %3, %4 violations"_s.arg(kind)
                                 .arg(taken)
                                 .arg(visited.join(u' '))
                                 .arg(found.size());
        for (const QString& f : found)
            qInfo().noquote() << f;
        QVERIFY2(found.isEmpty(), qPrintable(found.value(0)));
    }

    // Walks that once ended in a fault, kept as they were shortened (a line a step).
    void regression_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("steps");
        const auto row = [](const char* tag, const char* kind, const char* steps) {
            QTest::newRow(tag) << QString::fromLatin1(kind) << QString::fromUtf8(steps);
        };
        row("volume without issues edited", "sum_journal",
            "open sum_journal\ntype Text2 \"B000900\"\nkey focus \"Return\"\nclick Cmdedit");
        row("title search beside a shown volume", "sum_journal",
            "open sum_journal\nclick clear_sumj\nkey focus \"Return\"\nrow list_namesumj \"14\"");
        row("title clear while editing a volume without issues", "sum_journal",
            "open sum_journal\nclick clear_sumj\nkey focus \"Return\"\nrow list_namesumj \"13\"\nclick Cmdedit\n"
            "click Cmdclear");
        row("call-number list across Add", "sum_journal",
            "open sum_journal\ntype Text3 \"ว\"\nkey focus \"Return\"\ntype Text1 \"วารสาร\"\nkey focus \"Return\"\n"
            "row show_journal \"0\"\nclick Cmdadd");
        row("publisher list while adding", "Adddealer", "open Adddealer\nclick Command5\nkey focus \"Return\"");
        row("calendar after Cancel", "New_Journal",
            "open New_Journal\nclick Cmdadd\nclick Command1\nclick Cmdcancle [Y]");
        row("author list after Edit", "add_auther",
            "open add_auther\ntype Text1 \"0000010\"\nclick Cmdsearch\nclick Cmdedit");
        row("title list across Edit", "edit_index_journal",
            "open edit_index_journal\ntype Text1 \"41\"\nkey focus \"Return\"\ntype Text2 \"ก\"\nkey focus \"Return\"\n"
            "click Cmdedit");
        row("author list across Cancel", "edit_index_journal",
            "open edit_index_journal\ntype Text1 \"41\"\nkey focus \"Return\"\nclick Cmdedit\ntype Text3_0 \"ก\"\n"
            "key focus \"Return\"\nclick Cmdcancel");
        row("long expected issue beside the title search", "reg_journal",
            "open reg_journal\nenter Text1 \"ก\"\nrow show_journal \"10\"\nrow show_journal \"9\"");
        row("renewal edit ended by Clear", "expdate",
            "open expdate\ntype Text1 \"29/02/2024\"\nclick Option1\nclick Command1\nrow showjour \"0\"\nclick "
            "cmdedit\n"
            "click Command2");
        row("renewal calendar after Cancel", "expdate",
            "open expdate\ntype Text1 \"01/01/2026\"\ntype Text2 \"15/06/2570\"\nclick Option1\nclick Command1\nrow "
            "showjour \"0\"\n"
            "click cmdedit\nclick Command6\nclick Cmdcancel");
    }
    void regression() {
        QFETCH(QString, kind);
        QFETCH(QString, steps);
        QList<Step> list;
        for (const QString& line : steps.split(u'\n'))
            list << Step::parse(line);
        const Walk w = explorer->replay(table(kind), list);
        QVERIFY2(w.violation.isEmpty(), qPrintable(w.report(kind, 0)));
        QCOMPARE(w.steps.size(), list.size()); // every step still possible: the row still walks its path
    }
};

WARASAN_TEST_MAIN(tst_explorer)
#include "tst_explorer.moc"
