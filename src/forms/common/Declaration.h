#pragma once

#include "data/Connection.h"
#include "data/Staff.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QAbstractButton;
class QWidget;

namespace forms {

// How a working window opens.
enum class Opens {
    Child,           // inside the main window's MDI area
    CentredOnScreen, // separate top-level window
    CentredOnOwner,  // separate top-level window, centred on the main window
};

// Where a record window shows its record's last change: the table, and the field holding the
// row's key (or a name the key is looked up by, through `keyLookUp`). No field: the table's
// single row (a number control). No table: the window has no such place.
struct HistoryPlace {
    QString table;
    QString keyField;
    QString keyLookUp; // a query with one "?" for the field's text, giving the key; empty: the text is the key
};

// The buttons of an open window that change records, and the role that may press them. Named by
// the window's own members, so a control renamed or taken away breaks the build instead of
// silently dropping a role's restriction.
struct RoleActions {
    data::Role role;
    QList<QAbstractButton*> buttons;
    std::optional<data::Role> alsoBy{}; // a second role that may press them too
};

// Everything the desk needs to know of a window, said once beside the window itself: its kind
// (the name the menu, the registry and the tests know it by), the menu entry that opens it, how
// it opens, how it is made, where its record's history is, and which actions each role may use.
struct Declaration {
    QString kind;
    QString menuKey; // the menu entry's object name; empty when only another window opens it
    Opens opens = Opens::Child;
    std::function<QWidget*(std::unique_ptr<data::Connection>)> make;
    HistoryPlace history;
    std::function<QList<RoleActions>(QWidget*)> actions; // given the open window (of this kind)
    // Shows one record in the open window, as a link elsewhere asks (a title's pointer, a
    // distributor's code, a reader's id); none: the window opens as from the menu. A window with
    // an entry open keeps it and is only brought forward.
    std::function<void(QWidget*, const QString&)> openOn{};
};

// `make` of a window made on a connection of its own.
template <class W> QWidget* makeWindow(std::unique_ptr<data::Connection> connection) {
    return new W(std::move(connection));
}

// `actions` of a window of class W: `restrict(w)` of the window, called with it cast back.
template <class W> std::function<QList<RoleActions>(QWidget*)> actionsOf(QList<RoleActions> (W::*restrict)()) {
    return [restrict](QWidget* w) { return (static_cast<W*>(w)->*restrict)(); };
}

// `openOn` of a window of class W: `show(w, key)` of the window, called with it cast back.
template <class W> std::function<void(QWidget*, const QString&)> openOnOf(void (W::*show)(const QString&)) {
    return [show](QWidget* w, const QString& key) { (static_cast<W*>(w)->*show)(key); };
}

} // namespace forms
