#include "support/Explorer.h"

#include "app/Permissions.h"
#include "app/WindowRegistry.h"
#include "app/Windows.h"
#include "app/menumagizine.h"
#include "datagen/DataGenerator.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/ProgramIcon.h"
#include "support/WindowTest.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <random>

extern "C" void __sanitizer_set_death_callback(void (*)(void)) __attribute__((weak));

namespace testsupport {

namespace {

// "key: a b; key: c" → {key: [a, b], …}; `sep` splits the words.
QHash<QString, QStringList> keyed(const char* text, QChar sep = u' ') {
    QHash<QString, QStringList> out;
    for (const QString& part : QString::fromUtf8(text).split(u';', Qt::SkipEmptyParts)) {
        const qsizetype colon = part.indexOf(u':');
        if (colon < 0)
            continue;
        QStringList words;
        for (const QString& w : part.mid(colon + 1).split(sep, Qt::SkipEmptyParts))
            if (!w.trimmed().isEmpty())
                words << (sep == u' ' ? w.trimmed() : w);
        out[part.left(colon).trimmed()] = words;
    }
    return out;
}

// What the explorer types besides a field's own values: good and bad, Thai, empty, too long,
// dates in either era, text that means something to SQL or HTML.
const QStringList& commonValues() {
    static const QStringList values = [] {
        QStringList v =
            QString::fromUtf8("|ก|การ|วารสาร|Journal|a|%|_|'|\\|<script>|0|1|41|9999999999|-1|3.5|31/12/2569|"
                              "29/02/2024|01/01/2027|32/13/2020|1/1/2027|B000001|b000005|ไก่ ไข่|📚|  ")
                .split(u'|');
        v.insert(17, QString(300, QChar(0x0E01))); // longer than any field takes
        return v;
    }();
    return values;
}

// The keys a person presses on whatever has the focus.
const QStringList keys = u"Return Tab Escape Delete Down Ctrl+N Ctrl+S Ctrl+E"_s.split(u' ');

// The buttons that open a file or printer dialog, or the record's history list (a dialog of its
// own, tested apart): not part of a window's states.
const QStringList dialogButtons = {u"print"_s, u"pdf"_s, u"csv"_s, u"Cmdmarcout"_s, u"Cmdfile"_s, u"cmdHistory"_s};

bool takesTyping(QWidget* w) {
    if (auto* l = qobject_cast<QLineEdit*>(w))
        return !l->isReadOnly();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return !p->isReadOnly();
    return true;
}

bool usable(QWidget* w, QWidget* window) {
    return w->isVisibleTo(window) && w->isVisible() && w->isEnabled() && takesTyping(w);
}

QString fieldText(QWidget* w) {
    if (auto* l = qobject_cast<QLineEdit*>(w))
        return l->text();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return {};
}

// The walk under way, for the report a crash prints.
QString crashReport;
void printCrashReport() {
    std::fputs(crashReport.toUtf8().constData(), stderr);
    std::fputs("\n", stderr);
}
void onCrash(int sig) {
    printCrashReport();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

} // namespace

QString Step::text() const {
    QString t = action + u' ' + target;
    if (!arg.isNull())
        t += u" \"%1\""_s.arg(QString(arg).replace(u'"', u"\\\""_s));
    if (!answers.isEmpty()) {
        t += u" ["_s;
        for (bool a : answers)
            t += a ? u'Y' : u'N';
        t += u']';
    }
    return t;
}

Step Step::parse(const QString& text) {
    Step s;
    QString rest = text.trimmed();
    if (rest.endsWith(u']')) {
        const qsizetype open = rest.lastIndexOf(u'[');
        for (QChar c : rest.mid(open + 1, rest.size() - open - 2))
            s.answers << (c == u'Y');
        rest = rest.left(open).trimmed();
    }
    if (const qsizetype quote = rest.indexOf(u'"'); quote >= 0) {
        s.arg = rest.mid(quote + 1, rest.size() - quote - 2).replace(u"\\\""_s, u"\""_s);
        if (s.arg.isNull())
            s.arg = u""_s;
        rest = rest.left(quote).trimmed();
    }
    const QStringList words = rest.split(u' ', Qt::SkipEmptyParts);
    s.action = words.value(0);
    s.target = words.value(1);
    return s;
}

QString Walk::report(const QString& window, quint64 seed) const {
    QString out = u"%1 seed %2: %3 after %4 steps\n"_s.arg(window).arg(seed).arg(violation).arg(steps.size());
    for (int i = 0; i < steps.size(); ++i)
        out += u"  %1. %2\n"_s.arg(i + 1).arg(steps.at(i).text());
    return out;
}

// Boxes answered at random (or as a replayed step answered them), each one recorded.
class ExplorerBoxes : public forms::MessageBoxes {
public:
    std::mt19937_64* rng = nullptr;
    QList<bool>* replayAnswers = nullptr;
    QList<bool> answers;
    QStringList errors;
    bool refused = false; // a critical or warning box, or a No

    ExplorerBoxes() { install(this); }
    ~ExplorerBoxes() override { install(nullptr); }

    bool askOkCancel(QWidget*, const QString& prompt, const QString& title, forms::Icon icon) override {
        return ask(prompt, title, icon);
    }
    bool askYesNo(QWidget*, const QString& prompt, const QString& title, forms::Icon icon, bool) override {
        return ask(prompt, title, icon);
    }
    void inform(QWidget*, const QString& prompt, const QString& title, forms::Icon icon) override {
        note(prompt, title, icon);
    }

private:
    bool ask(const QString& prompt, const QString& title, forms::Icon icon) {
        note(prompt, title, icon);
        bool yes = true;
        if (replayAnswers)
            yes = replayAnswers->isEmpty() ? true : replayAnswers->takeFirst();
        else if (rng)
            yes = (*rng)() % 3 != 0; // mostly yes, so saves happen
        answers << yes;
        refused |= !yes;
        return yes;
    }
    void note(const QString& prompt, const QString& title, forms::Icon icon) {
        if (title == u"ข้อผิดพลาดของฐานข้อมูล"_s || prompt.startsWith(u"เกิดข้อผิดพลาด"_s))
            errors << u"%1: %2"_s.arg(title, prompt);
        if (icon == forms::Icon::Critical || icon == forms::Icon::Warning)
            refused = true;
    }
};

struct Explorer::Run {
    const WindowTable& table;
    TestDatabase& db;
    std::unique_ptr<app::menumagizine> main;
    QPointer<QWidget> window;
    ExplorerBoxes boxes;
    std::mt19937_64 rng;
    QHash<QString, QStringList> states, lists, values, shown;
    QStringList writes, unsaved;
    Walk result;
    QString modalSeen;
    QString typedKey;     // the shown record's key field as a person typed it, until the window rewrites it
    QList<bool> replayed; // a replayed step's answers, also for what closing the window asks
    QTimer modalWatch;

    Run(const WindowTable& t, TestDatabase& d, quint64 seed) : table(t), db(d), rng(seed) {
        states = keyed(t.states);
        lists = keyed(t.lists);
        values = keyed(t.values, u',');
        shown = keyed(t.shown, u'|');
        writes = QString::fromLatin1(t.writes).split(u' ', Qt::SkipEmptyParts);
        unsaved = QString::fromLatin1(t.unsaved).split(u' ', Qt::SkipEmptyParts);
        main = std::make_unique<app::menumagizine>();
        app::registerWindows(main->windows());
        main->refreshMenu();
        main->resize(1024, 740);
        main->show();
        // A modal dialog would stop the walk: note it and close it.
        modalWatch.setInterval(100);
        QObject::connect(&modalWatch, &QTimer::timeout, [this] {
            if (QWidget* m = QApplication::activeModalWidget()) {
                modalSeen = QString::fromLatin1(m->metaObject()->className()) + u' ' + m->windowTitle();
                m->close();
            }
        });
        modalWatch.start();
    }
    ~Run() {
        if (window)
            window->close();
        closeAllWindows();
        main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int pick(int n) { return n <= 0 ? 0 : int(rng() % quint64(n)); }

    bool open() {
        if (auto* action = main->findChild<QAction*>(QLatin1String(table.menu)))
            action->trigger();
        QCoreApplication::processEvents();
        window = main->windows().find(QString::fromLatin1(table.kind));
        return window;
    }

    template <typename T> QList<T*> children() const {
        QList<T*> out;
        for (T* c : window->findChildren<T*>())
            if (!c->objectName().isEmpty() && !c->objectName().startsWith(u"qt_"_s))
                out << c;
        return out;
    }

    QWidget* named(const QString& name) const {
        if (name == u"focus"_s)
            return window->focusWidget() ? window->focusWidget() : window.data();
        return window->findChild<QWidget*>(name);
    }

    QString modeName() const { return table.mode(window); }

    // A step a person could take now, chosen at random.
    Step choose() {
        QList<std::pair<int, Step>> options; // weight, step
        for (QAbstractButton* b : children<QAbstractButton>()) {
            if (!usable(b, window) || dialogButtons.contains(b->objectName()) || qobject_cast<QComboBox*>(b->parent()))
                continue;
            const bool exits =
                b->text().contains(u"Exit"_s) || b->text().contains(u"ออก"_s) || b->objectName() == u"close"_s;
            options.append({exits ? 1 : 4, {u"click"_s, b->objectName(), {}, {}}});
        }
        for (QWidget* f : children<QWidget>()) {
            if (!(qobject_cast<QLineEdit*>(f) || qobject_cast<QPlainTextEdit*>(f)) || !usable(f, window) ||
                qobject_cast<QComboBox*>(f->parent()))
                continue;
            const QStringList own = values.value(f->objectName());
            const QString v = (!own.isEmpty() && rng() % 2) ? own.at(pick(int(own.size())))
                                                            : commonValues().at(pick(int(commonValues().size())));
            // Typing, and typing then Enter, as a search is made.
            const QString typed = v.isNull() ? u""_s : v;
            options.append({2, {u"type"_s, f->objectName(), typed, {}}});
            options.append({2, {u"enter"_s, f->objectName(), typed, {}}});
        }
        options.append({3, {u"key"_s, u"focus"_s, keys.at(pick(int(keys.size()))), {}}});
        for (forms::Grid* g : children<forms::Grid>())
            if (usable(g, window) && g->rowCount() > 0) {
                const QString row = QString::number(pick(int(g->rowCount())));
                options.append({3, {u"row"_s, g->objectName(), row, {}}});
                options.append({1, {u"dclick"_s, g->objectName(), row, {}}});
            }
        for (forms::PickList* l : children<forms::PickList>())
            if (l->isVisible() && l->count() > 0)
                options.append({4, {u"row"_s, l->objectName(), QString::number(pick(int(l->count()))), {}}});
        for (QCalendarWidget* c : children<QCalendarWidget>())
            if (c->isVisible())
                options.append({4, {u"day"_s, c->objectName(), u"%1,%2"_s.arg(1 + pick(6)).arg(1 + pick(7)), {}}});
        for (QComboBox* c : children<QComboBox>())
            if (usable(c, window) && c->count() > 1)
                options.append({1, {u"combo"_s, c->objectName(), rng() % 2 ? "Down" : "Up", {}}});
        int total = 0;
        for (const auto& o : options)
            total += o.first;
        int at = pick(total);
        for (const auto& o : options) {
            if (at < o.first)
                return o.second;
            at -= o.first;
        }
        return options.last().second;
    }

    // Does what the step says, as a person would; false when it cannot be done now.
    bool perform(const Step& s) {
        if (s.action == u"open"_s)
            return open();
        if (!window)
            return false;
        QWidget* w = named(s.target);
        if (!w || (s.action != u"key"_s && !w->isVisible()))
            return false;
        if (s.action == u"click"_s) {
            auto* b = qobject_cast<QAbstractButton*>(w);
            if (!b || !usable(b, window))
                return false;
            QTest::mouseClick(b, Qt::LeftButton);
        } else if (s.action == u"type"_s || s.action == u"enter"_s) {
            if (!usable(w, window))
                return false;
            QWidget* target = qobject_cast<QPlainTextEdit*>(w) ? static_cast<QPlainTextEdit*>(w)->viewport() : w;
            QTest::mouseClick(target, Qt::LeftButton);
            QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(w, Qt::Key_Backspace);
            typeText(w, s.arg);
            if (s.action == u"enter"_s)
                QTest::keyClick(w, Qt::Key_Return);
        } else if (s.action == u"key"_s) {
            const QKeySequence k(s.arg);
            QTest::keyClick(w, Qt::Key(k[0].key()), k[0].keyboardModifiers());
        } else if (s.action == u"row"_s || s.action == u"dclick"_s) {
            auto* view = qobject_cast<QAbstractItemView*>(w);
            const int row = s.arg.toInt();
            if (!view || !view->isEnabled() || row >= view->model()->rowCount())
                return false;
            const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
            if (s.action == u"dclick"_s)
                QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
            else
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        } else if (s.action == u"day"_s) {
            auto* days = w->findChild<QTableView*>(u"qt_calendar_calendarview"_s);
            const QStringList rc = s.arg.split(u',');
            if (!days)
                return false;
            const QPoint at = days->visualRect(days->model()->index(rc.value(0).toInt(), rc.value(1).toInt())).center();
            QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, at);
        } else if (s.action == u"combo"_s) {
            if (!usable(w, window))
                return false;
            w->setFocus();
            QTest::keyClick(w, s.arg == u"Up"_s ? Qt::Key_Up : Qt::Key_Down);
        } else {
            return false;
        }
        return true;
    }

    // The server's count of rows written, by any client: when it has not moved, no table changed.
    qint64 rowsWritten() {
        qint64 n = 0;
        for (const auto& r :
             db.admin()
                 .query(QStringLiteral("SELECT variable_value FROM information_schema.global_status WHERE "
                                       "variable_name IN ('INNODB_ROWS_INSERTED', 'INNODB_ROWS_UPDATED', "
                                       "'INNODB_ROWS_DELETED')"))
                 .rows)
            n += r.at(0).toLongLong();
        return n;
    }
    qint64 written = -1;
    QHash<QString, QString> sums; // each table's checksum after the last step

    QHash<QString, QString> snapshot() {
        QHash<QString, QString> sums;
        const data::Result tables =
            db.admin().query(u"SELECT table_name FROM information_schema.tables WHERE table_schema = ?"_s, {db.name()});
        QStringList names;
        for (const auto& r : tables.rows)
            names << u"`%1`"_s.arg(r.at(0).toString());
        for (const auto& r : db.admin().query(u"CHECKSUM TABLE "_s + names.join(u',')).rows)
            sums[r.at(0).toString().section(u'.', 1).toLower()] = r.at(1).toString();
        return sums;
    }

    bool allowed(const QString& button) const {
        const forms::Declaration* d = app::declarationOf(QLatin1String(table.kind));
        if (d && d->actions && window)
            for (const forms::RoleActions& a : d->actions(window))
                for (const QAbstractButton* b : a.buttons)
                    if (b->objectName() == button)
                        return data::currentStaff().has(a.role);
        return true;
    }

    // The first check that fails after a step, or empty.
    QString check(const Step& s) {
        if (!boxes.errors.isEmpty())
            return u"[error] a box showed a failure: "_s + boxes.errors.first();
        if (!modalSeen.isEmpty())
            return u"[modal] a dialog stopped the window: "_s + modalSeen;
        if (!window)
            return {};
        for (QLineEdit* f : window->findChildren<QLineEdit*>())
            if (f->isVisible() && f->width() < 60 && f->minimumSizeHint().width() < 60)
                return u"[fit] field %1 squeezed to %2 pixels"_s.arg(f->objectName()).arg(f->width());
        // Tab takes each row of usable buttons left to right.
        QPushButton* last = nullptr;
        for (QWidget* f = window->nextInFocusChain(); f && f != window.data(); f = f->nextInFocusChain()) {
            auto* b = qobject_cast<QPushButton*>(f);
            if (!b || !usable(b, window) || !(b->focusPolicy() & Qt::TabFocus) || !window->isAncestorOf(b))
                continue;
            const QPoint at = b->mapTo(window, QPoint()), before = last ? last->mapTo(window, QPoint()) : QPoint();
            if (last && qAbs(at.y() - before.y()) <= 10 && at.x() < before.x())
                return u"[tab] %1 comes after %2 to its right"_s.arg(b->objectName(), last->objectName());
            last = b;
        }
        const QString mode = modeName();
        result.modes.insert(mode);
        if (!states.contains(mode))
            return u"[mode] the state table has no mode %1"_s.arg(mode);
        for (const QString& word : states.value(mode)) {
            const QString name = word.startsWith(u'-') ? word.mid(1) : word;
            // What the signed-in person's roles do not allow stays off in every mode.
            const bool wanted = !word.startsWith(u'-') && allowed(name);
            QWidget* c = named(name);
            if (!c)
                return u"[table] no control %1"_s.arg(name);
            if (usable(c, window) != wanted)
                return u"[state %1] in mode %2 %1 should be %3"_s.arg(name, mode, wanted ? "usable" : "off");
        }
        for (auto it = lists.cbegin(); it != lists.cend(); ++it) {
            QWidget* l = named(it.key());
            if (l && l->isVisible() && !it.value().contains(mode))
                return u"[list %1] %1 is open in mode %2"_s.arg(it.key(), mode);
        }
        if (const qint64 now = rowsWritten(); now != written) {
            written = now;
            const QHash<QString, QString> after = snapshot();
            QStringList changed;
            for (auto it = after.cbegin(); it != after.cend(); ++it)
                if (sums.value(it.key()) != it.value())
                    changed << it.key();
            sums = after;
            for (const QString& t : changed)
                if (!writes.contains(t))
                    return u"[write %1] table %1 changed, which this window never writes"_s.arg(t);
            if (!changed.isEmpty() && boxes.refused)
                return u"[write refused] %1 changed by a step that was refused or answered No"_s.arg(
                    changed.join(u' '));
        }
        const bool looked =
            s.action != u"type"_s && s.action != u"combo"_s && !(s.action == u"key"_s && s.arg != u"Return"_s);
        if (looked && shown.contains(mode)) {
            const QStringList parts = shown.value(mode);
            const QString key = fieldText(named(parts.value(1).trimmed()));
            if (!typedKey.isNull() && key == typedKey)
                return {}; // the key field holds what the person typed, not the record's key
            typedKey = QString();
            QStringList texts;
            for (const QString& f : parts.value(2).split(u' ', Qt::SkipEmptyParts))
                texts << fieldText(named(f));
            const QString stored = rowText(db.admin(), parts.value(0), {key});
            if (stored != texts.join(u'|'))
                return u"[shown] in mode %1 the window shows \"%2\" for %3, stored: \"%4\""_s.arg(
                    mode, texts.join(u'|'), key, stored);
        }
        return {};
    }

    // A window just opened from the menu of a 1024×768 screen: wholly inside the working area,
    // every control shown without scrolling, each grid with at least five whole rows.
    QString fits() const {
        auto* area = main->findChild<QMdiArea*>();
        QWidget* frame = area->isAncestorOf(window) ? static_cast<QWidget*>(area->activeSubWindow()) : window.data();
        const QRect bounds = area->isAncestorOf(window) ? QRect(QPoint(0, 0), area->viewport()->size())
                                                        : main->screen()->availableGeometry();
        if (!bounds.contains(area->isAncestorOf(window) ? frame->geometry() : frame->frameGeometry()))
            return u"[fit] the window reaches outside the working area"_s;
        if (frame->windowIcon().pixmap(32).toImage() != forms::programIcon().pixmap(32).toImage())
            return u"[fit] the frame does not carry the program's icon"_s;
        if (window->parentWidget() && qobject_cast<QAbstractScrollArea*>(window->parentWidget()->parentWidget()))
            return u"[fit] the window scrolls inside its frame"_s;
        for (forms::Grid* g : children<forms::Grid>())
            if (g->isVisible() && g->viewport()->height() < 5 * g->verticalHeader()->defaultSectionSize())
                return u"[fit] grid %1 shows fewer than five rows"_s.arg(g->objectName());
        return {};
    }

    // Takes one step (a given one when replaying); false when the walk must end.
    bool step(const Step* given) {
        Step s;
        if (given)
            s = *given;
        else if (!window)
            s = {u"open"_s, QString::fromLatin1(table.kind), {}, {}};
        else
            s = choose();
        if (given && s.action == u"open"_s && window)
            return true;
        replayed = s.answers;
        boxes.replayAnswers = given ? &replayed : nullptr;
        boxes.rng = given ? nullptr : &rng;
        boxes.answers.clear();
        boxes.refused = false;
        const bool typing = s.action == u"type"_s;
        if (written < 0) {
            written = rowsWritten();
            sums = snapshot();
        }
        result.steps.append(s);
        crashReport = result.report(QString::fromLatin1(table.kind), 0) + u"(crashed at the last step)"_s;
        const QString keyField = window ? shown.value(modeName()).value(1).trimmed() : QString();
        QWidget* keyWidget = keyField.isEmpty() ? nullptr : named(keyField);
        const QString keyBefore = keyWidget ? fieldText(keyWidget) : QString();
        const QString modeBefore = window ? modeName() : QString();
        if (!perform(s)) {
            result.steps.removeLast();
            return true;
        }
        // Typing or editing keys in the shown record's key field make its text the person's own.
        if (const QString keyNow = window ? shown.value(modeName()).value(1).trimmed() : QString(); !keyNow.isEmpty()) {
            const bool edits = typing || (s.action == u"key"_s && s.arg != u"Return"_s);
            if (QWidget* k = named(keyNow); k && edits && fieldText(k) != keyBefore)
                typedKey = fieldText(k);
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        result.steps.last().answers = boxes.answers;
        // Other windows a step opened (a viewer, the publisher register) are closed again.
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top != main.get() && top != window && !top->isAncestorOf(window))
                top->close();
        for (QMdiSubWindow* sub : main->findChild<QMdiArea*>()->subWindowList())
            if (!sub->isAncestorOf(window))
                sub->close();
        if (s.action == u"open"_s && !window)
            result.violation = u"[open] the window did not open from the menu"_s;
        else if (result.violation = s.action == u"open"_s ? fits() : QString(); result.violation.isEmpty())
            result.violation = check(s);
        if (!window && unsaved.contains(modeBefore) && boxes.answers.isEmpty())
            result.violation = u"[lost] the window closed in mode %1 without asking"_s.arg(modeBefore);
        return result.violation.isEmpty();
    }
};

Explorer::Explorer(TestDatabase& db) : db_(db) {
    std::signal(SIGABRT, onCrash);
    std::signal(SIGSEGV, onCrash);
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(printCrashReport);
    // The demo data made messy (as a real library's is), once, in a database of its own; every
    // walk starts from a copy.
    demo_ = std::make_unique<TestDatabase>(u"demo"_s);
    data::Connection& a = demo_->admin();
    datagen::DataSize size = datagen::DataSize::demo();
    size.messy = true;
    datagen::generate(a, size);
    // Edge rows older programs left: a bound volume whose issues were all released.
    a.exec(u"INSERT INTO sum_journal (regno, callno, status) VALUES ('B000900', 'ว่าง', 'ST')"_s);
    a.exec(u"UPDATE ctrlsumj SET regno_ctrl = GREATEST(regno_ctrl, 901)"_s);
    // The generator's own inserts are thousands of history rows no walk needs.
    a.exec(u"TRUNCATE TABLE change_history"_s); // its rows are never deleted one by one
    data::InstallationConfig config = data::installation();
    config.db = db.settings(); // the windows work on the walked copy
    data::setInstallation(config);
}

Explorer::~Explorer() = default;

void Explorer::restoreData() {
    data::Connection& a = db_.admin();
    const data::Result tables =
        a.query(u"SELECT table_name FROM information_schema.tables WHERE table_schema = ?"_s, {demo_->name()});
    a.exec(u"SET foreign_key_checks = 0"_s);
    QStringList names;
    for (const auto& r : tables.rows)
        names << r.at(0).toString();
    // The history last: the copying itself is recorded by its triggers, and must not stay.
    std::stable_partition(names.begin(), names.end(), [](const QString& t) { return t != u"change_history"_s; });
    for (const QString& t : names) {
        a.exec(
            (t == u"change_history"_s ? u"TRUNCATE TABLE `%1`.`%2`"_s : u"DELETE FROM `%1`.`%2`"_s).arg(db_.name(), t));
        a.exec(u"INSERT INTO `%1`.`%3` SELECT * FROM `%2`.`%3`"_s.arg(db_.name(), demo_->name(), t));
    }
    a.exec(u"SET foreign_key_checks = 1"_s);
}

Walk Explorer::walk(const WindowTable& table, quint64 seed, int steps) {
    restoreData();
    Run run(table, db_, seed);
    for (int i = 0; i < steps && run.step(nullptr); ++i) {
    }
    return run.result;
}

Walk Explorer::replay(const WindowTable& table, const QList<Step>& steps) {
    restoreData();
    Run run(table, db_, 0);
    for (const Step& s : steps)
        if (!run.step(&s))
            break;
    return run.result;
}

QList<Step> Explorer::shorten(const WindowTable& table, const Walk& failed, int tries) {
    const auto kind = [](const QString& v) { return v.section(u']', 0, 0); };
    QList<Step> best = failed.steps;
    // Drop ever smaller runs of steps while the same kind of violation still comes.
    for (qsizetype chunk = best.size() / 2; chunk >= 1 && tries > 0; chunk /= 2) {
        for (qsizetype at = 0; at + chunk <= best.size() && tries > 0;) {
            QList<Step> fewer = best;
            fewer.remove(at, chunk);
            --tries;
            const Walk w = replay(table, fewer);
            if (!w.violation.isEmpty() && kind(w.violation) == kind(failed.violation))
                best = w.steps;
            else
                at += chunk;
        }
    }
    return best;
}

} // namespace testsupport
