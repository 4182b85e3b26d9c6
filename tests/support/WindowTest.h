#pragma once

#include "app/Windows.h"
#include "app/menumagizine.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "forms/common/Grid.h"
#include "forms/common/SearchList.h"
#include "support/Names.h"
#include "support/Tables.h"

#include <array>
#include <vector>

namespace testsupport {

// A child control of a window by its objectName; fails the test when it is missing.
template <typename T> T* control(QWidget* window, const char* name) {
    T* w = window->findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("control %s not found", name);
    return w;
}

// Creates a window of type W on a connection of its own to the configured database, as a
// top-level window that deletes itself on closing, shows it and waits until it is active.
template <typename W> W* showWindow() {
    auto connection = std::make_unique<data::Connection>(data::installation().db);
    connection->open();
    W* w = new W(std::move(connection));
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    if (!QTest::qWaitForWindowActive(w))
        qWarning("window did not become active");
    return w;
}

// The program's main window made in `main`, its windows registered, shown and active; then the
// window `name` opened in it as its menu opens it. Null when either does not come up.
template <typename W> W* openInMainWindow(std::unique_ptr<app::menumagizine>& main, const QString& name) {
    main = std::make_unique<app::menumagizine>();
    app::registerWindows(main->windows());
    main->show();
    main->activateWindow();
    if (!QTest::qWaitForWindowActive(main.get()))
        return nullptr;
    return qobject_cast<W*>(main->windows().show(name));
}


// Puts the focus in a field and presses Enter there.
inline void pressEnter(QWidget* field) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
}

// Types any text, Thai included, one key press per character (QTest::keyClicks takes ASCII only).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Closes and deletes every top-level window left over, and says how many were still open.
inline int closeAllWindows() {
    int open = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            ++open;
            w->close();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return open;
}

// What every window test reaches its window's controls with.
template <typename W> struct WindowFixture {
    W* w = nullptr;
    QLineEdit* text(const char* n) const { return control<QLineEdit>(w, n); }
    QPlainTextEdit* area(const char* n) const { return control<QPlainTextEdit>(w, n); }
    QPushButton* button(const char* n) const { return control<QPushButton>(w, n); }
    void click(const char* n) const { QTest::mouseClick(button(n), Qt::LeftButton); }
    // "1" for each enabled control, "0" for each disabled one, in the order named.
    QString enabled(std::initializer_list<const char*> names) const {
        QString out;
        for (const char* n : names)
            out += control<QWidget>(w, n)->isEnabled() ? u'1' : u'0';
        return out;
    }
    forms::Grid* grid(const char* n) const { return control<forms::Grid>(w, n); }
    QString cell(const char* g, int r, int c) const { return grid(g)->rows()->text(r, c); }
    // A grid row's cells as "a|b|c".
    QString row(const char* g, int r) const {
        QStringList cells;
        for (int c = 0; c < grid(g)->columnCount(); ++c)
            cells << cell(g, r, c);
        return cells.join(u'|');
    }
    // The filled rows of a grid (its first named column not empty), each as the named columns
    // "a:b", the rows joined by ",".
    QString rows(const char* g, std::initializer_list<int> columns) const {
        QStringList out;
        for (int r = 0; r < grid(g)->rowCount() && !cell(g, r, *columns.begin()).isEmpty(); ++r) {
            QStringList cells;
            for (int c : columns)
                cells << cell(g, r, c);
            out << cells.join(u':');
        }
        return out.join(u',');
    }
    void clickRow(const char* g, int r, bool twice = false) const {
        const QPoint at = grid(g)->visualRect(grid(g)->model()->index(r, 0)).center();
        QTest::mouseClick(grid(g)->viewport(), Qt::LeftButton, {}, at);
        if (twice)
            QTest::mouseDClick(grid(g)->viewport(), Qt::LeftButton, {}, at);
    }
    // Types a search text into a field and presses Enter there.
    void enter(const char* field, const QString& s) const {
        QWidget* f = control<QWidget>(w, field);
        if (auto* line = qobject_cast<QLineEdit*>(f))
            line->setText(s);
        else
            static_cast<QPlainTextEdit*>(f)->setPlainText(s);
        pressEnter(f);
    }
    // Clicks the row of the named pick list that shows `shown`; false when no row shows it.
    bool pick(const char* name, const QString& shown) const {
        auto* list = control<forms::PickList>(w, name);
        for (int row = 0; row < list->count(); ++row)
            if (list->textAt(row) == shown) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualRect(list->model()->index(row, 0)).center());
                return true;
            }
        return false;
    }
    // The name of the control that has the focus now.
    static QString focused() {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
};

} // namespace testsupport
