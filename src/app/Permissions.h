#pragma once

#include "data/Staff.h"

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace app {

// What each window's buttons change, and the role that may: a button the signed-in person's
// roles do not allow stays off, with a tooltip naming the role. The server refuses the same
// writes whoever asks; this only spares the person a refusal.
struct Permission {
    QString kind;        // the window
    QStringList buttons; // its buttons' object names
    data::Role role;
};
const QList<Permission>& permissions();

// The tooltip of a button kept off: "ต้องมีบทบาท …".
QString roleTip(data::Role role);
// Turns off, for as long as the window lives, the buttons of `window` that `who` may not press.
void restrictWindow(const QString& kind, QWidget* window, const data::SignedIn& who);

// Where a record window shows its record's last change: the table, and the field holding the
// row's key (or a name the key is looked up by, through `keyLookUp`). No field: the table's
// single row (a number control).
struct HistoryPlace {
    QString kind;
    QString table;
    QString keyField;
    QString keyLookUp; // a query with one "?" for the field's text, giving the key; empty: the text is the key
};
const QList<HistoryPlace>& historyPlaces();

} // namespace app
