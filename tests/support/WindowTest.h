#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace testsupport {

// A child control of a window by its objectName; fails the test when it is missing.
template <typename T> T* control(QWidget* window, const char* name) {
    T* w = window->findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("control %s not found", name);
    return w;
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

} // namespace testsupport
