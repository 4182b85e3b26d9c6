#pragma once

#include "data/Connection.h"
#include "forms/common/Declaration.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QMdiArea;
class QWidget;

namespace app {

// Keeps one instance of each kind of working window. The first request creates the window
// (its constructor loads it: connection, lists); later requests only bring it forward; a
// closed window is created afresh next time.
class WindowRegistry : public QObject {
    Q_OBJECT
public:
    using Placement = forms::Opens;
    // Creates and loads a window; may throw (a server that cannot be reached), and then
    // nothing is shown.
    using Factory = std::function<QWidget*()>;

    WindowRegistry(QMdiArea* area, QWidget* owner);

    // A new connection for a window to work on, to the configured database, opened; throws
    // data::DbError when the server cannot be reached.
    std::unique_ptr<data::Connection> connection() const;

    void add(const QString& kind, Placement placement, Factory factory);
    // Called with each new window before it is placed and shown (the signed-in person's
    // limits, the record's history at its foot).
    void setPreparer(std::function<void(const QString& kind, QWidget* window)> prepare) {
        prepare_ = std::move(prepare);
    }
    // Closes every open window, each asking about an unsaved entry as its Exit does; false
    // when one stays open.
    bool closeAll();
    bool has(const QString& kind) const { return kinds_.contains(kind); }
    // The open window of this kind, or nullptr.
    QWidget* find(const QString& kind) const;
    // Shows the window of this kind, creating it when it is not open. Failures to load are
    // reported to the user; gives nullptr then.
    QWidget* show(const QString& kind);

signals:
    void created(const QString& kind, QWidget* window);
    // Passed on from any window that says something for the main window's status bar (a
    // signal statusSaid(int, QString, int) of its own): panel 1 or 2, the text (a null text
    // leaves it as it is), the width in twips (0 leaves it).
    void statusSaid(int panel, const QString& text, int widthTwips);

private:
    struct Kind {
        Placement placement;
        Factory factory;
        QPointer<QWidget> window;
    };
    QMdiArea* area_;
    QWidget* owner_;
    QHash<QString, Kind> kinds_;
    std::function<void(const QString&, QWidget*)> prepare_;
};

} // namespace app
