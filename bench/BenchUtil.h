#pragma once

#include "data/Config.h"
#include "data/Connection.h"
#include "rules/reports/Fonts.h"
#include "forms/common/MessageBoxes.h"

#include "forms/common/SearchList.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace bench {

// Milliseconds one call takes.
template <typename F> double timed(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

// A connection to the configured database, opened, for a window to work on.
inline std::unique_ptr<data::Connection> openedConnection() {
    auto c = std::make_unique<data::Connection>(data::installation().db);
    c->open();
    return c;
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A benchmark must never stop at a box waiting for a click (a search that finds nothing on a
// small data set): boxes are answered OK and counted.
class SilentBoxes : public forms::MessageBoxes {
public:
    SilentBoxes() { install(this); }
    ~SilentBoxes() override { install(nullptr); }
    int shown = 0;
    bool askOkCancel(QWidget*, const QString&, const QString&, forms::Icon) override { return ++shown > 0; }
    bool askYesNo(QWidget*, const QString&, const QString&, forms::Icon, bool) override { return ++shown > 0; }
    void inform(QWidget*, const QString&, const QString&, forms::Icon) override { ++shown; }
};

inline void setFieldText(QLineEdit* f, const QString& t) {
    f->setText(t);
}
inline void setFieldText(QPlainTextEdit* f, const QString& t) {
    f->setPlainText(t);
}

// The median time from Enter in a search field to its filled pick list, over `runs` searches.
template <typename Field> double enterToList(Field* field, forms::PickList* list, const QString& text, int runs = 20) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        setFieldText(field, text);
        list->showRows({}, nullptr); // emptied, as before a first search
        list->hide();
        QElapsedTimer t;
        t.start();
        QTest::keyClick(field, Qt::Key_Return);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(ms);
}

// A window benchmark's frame: the application with the Thai fonts, boxes answered silently,
// and a failure reported under the benchmark's name. `body` gives the exit status.
inline int runBenchmark(int argc, char** argv, const std::function<int(SilentBoxes&)>& body) {
    QApplication app(argc, argv);
    reports::installThaiFonts();
    SilentBoxes boxes;
    try {
        return body(boxes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName()), e.what());
        return 1;
    }
}

// The name and code of the title with the most issues (of those not bound, when asked).
inline std::pair<QString, QString> biggestTitle(data::Connection& c, bool unboundOnly) {
    const data::Result r = c.query(
        QStringLiteral("SELECT m.Magazine_Name, m.Pointer, COUNT(*) n FROM tranfile t JOIN magazine m ON m.Pointer = "
                       "t.pointer %1 GROUP BY m.Pointer, m.Magazine_Name ORDER BY n DESC LIMIT 1")
            .arg(unboundOnly ? QStringLiteral("WHERE COALESCE(t.MagStatus, '') <> 'Z'") : QString()));
    return {r.text(0, 0), r.text(0, 1)};
}

} // namespace bench
