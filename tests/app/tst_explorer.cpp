// Every window walked by seeded random steps, its state table checked after each; walks that
// once found a fault replayed. WARASAN_EXPLORE_STEPS (per window, 3 walks of 200),
// WARASAN_EXPLORE_WALK, WARASAN_EXPLORE_WINDOW; a violation prints its seed and shortest walk.
#include "rules/reports/Fonts.h"
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
        reports::installThaiFonts();
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

    // Walks that once ended in a fault, kept as they were shortened: name|window|steps.
    // Signed in under each role: the buttons its roles do not allow stay off in every mode (the
    // state tables say so through the window's permissions), and nothing the person can press
    // is refused by the server.
    void walkAs_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("kind");
        const QString only = qEnvironmentVariable("WARASAN_EXPLORE_WINDOW");
        for (data::Role r : data::allRoles())
            for (const WindowTable& t : windowTables())
                if (only.isEmpty() || only == QLatin1String(t.kind))
                    QTest::addRow("%s %s", qPrintable(data::roleWord(r)), t.kind)
                        << int(r) << QString::fromLatin1(t.kind);
    }
    void walkAs() {
        QFETCH(int, role);
        QFETCH(QString, kind);
        StaffAccounts staff(*db);
        staff.signIn(data::Role(role));
        const Walk w = explorer->walk(table(kind), 7, setting("WARASAN_EXPLORE_ROLE_WALK", 400));
        QVERIFY2(w.violation.isEmpty(), qPrintable(w.report(kind, 7)));
    }

    void regression_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("steps");
        for (const QString& row : QStringLiteral(R"(
volume without issues edited|sum_journal|open sum_journal; type Text2 "B000900"; key focus "Return"; click Cmdedit
title search beside a shown volume|sum_journal|open sum_journal; click clear_sumj; key focus "Return"; row list_namesumj "14"
title clear while editing a volume without issues|sum_journal|open sum_journal; click clear_sumj; key focus "Return"; row list_namesumj "13"; click Cmdedit; click Cmdclear
call-number list across Add|sum_journal|open sum_journal; type Text3 "ว"; key focus "Return"; type Text1 "วารสาร"; key focus "Return"; row show_journal "0"; click Cmdadd
publisher list while adding|Adddealer|open Adddealer; click Command5; key focus "Return"
calendar after Cancel|New_Journal|open New_Journal; click Cmdadd; click Command1; click Cmdcancle [Y]
author list after Edit|add_auther|open add_auther; type Text1 "0000010"; click Cmdsearch; click Cmdedit
title list across Edit|edit_index_journal|open edit_index_journal; type Text1 "41"; key focus "Return"; type Text2 "ก"; key focus "Return"; click Cmdedit
author list across Cancel|edit_index_journal|open edit_index_journal; type Text1 "41"; key focus "Return"; click Cmdedit; type Text3_0 "ก"; key focus "Return"; click Cmdcancel
long expected issue beside the title search|reg_journal|open reg_journal; enter Text1 "ก"; row show_journal "10"; row show_journal "9"
renewal edit ended by Clear|expdate|open expdate; type Text1 "29/02/2024"; click Option1; click Command1; row showjour "0"; click cmdedit; click Command2
renewal calendar after Cancel|expdate|open expdate; type Text1 "01/01/2026"; type Text2 "15/06/2570"; click Option1; click Command1; row showjour "0"; click cmdedit; click Command6; click Cmdcancel)")
                                      .split(u'\n', Qt::SkipEmptyParts))
            QTest::addRow("%s", qPrintable(row.section(u'|', 0, 0))) << row.section(u'|', 1, 1) << row.section(u'|', 2);
    }
    void regression() {
        QFETCH(QString, kind);
        QFETCH(QString, steps);
        QList<Step> list;
        for (const QString& step : steps.split(u"; "_s))
            list << Step::parse(step);
        const Walk w = explorer->replay(table(kind), list);
        QVERIFY2(w.violation.isEmpty(), qPrintable(w.report(kind, 0)));
        QCOMPARE(w.steps.size(), list.size()); // every step still possible: the row still walks its path
    }
};

WARASAN_TEST_MAIN(tst_explorer)
#include "tst_explorer.moc"
