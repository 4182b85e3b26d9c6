#pragma once

#include "support/TestServer.h"

#include <functional>
#include <memory>

class QWidget;

namespace testsupport {

// A window's state table and what the explorer needs to walk it, written once as data. Lists
// are "key: word word; key: word …".
struct WindowTable {
    const char* menu; // the menu entry that opens it
    const char* kind; // the window's objectName
    // The mode the window is in, by its own account.
    std::function<QString(QWidget*)> mode;
    // Per mode the controls a person can use ("name") and cannot ("-name"): a text field is
    // usable when it takes typing, anything else when it is enabled and visible.
    const char* states;
    // Per pick list or calendar, the modes it may be seen in.
    const char* lists = "";
    // Values worth typing per field, beside the explorer's own (',' between values).
    const char* values = "";
    // The tables its saves may change.
    const char* writes = "";
    // Per mode in which a stored record is shown: "Mode: SQL | key field | shown fields", the SQL
    // taking the key field's text and giving the shown fields' texts in order.
    const char* shown = "";
    // The modes in which it holds an entry not saved yet: it asks before it closes.
    const char* unsaved = "";
};

// One thing a person did: the kind, the control, what was typed or which row, and the answers
// given to the boxes it brought up (true for OK / Yes).
struct Step {
    QString action, target, arg;
    QList<bool> answers;
    QString text() const;
    static Step parse(const QString& text);
};

struct Walk {
    QString violation; // empty when every check held
    QList<Step> steps;
    QSet<QString> modes;
    QString report(const QString& window, quint64 seed) const;
};

// Opens a window from the menu on the demo data, takes seeded random steps a person could take
// and checks after each: no database error, the state table obeyed, pick lists only in their
// modes, saves touching only the window's tables, the record shown as stored, Tab in order.
class Explorer {
public:
    explicit Explorer(TestDatabase& db);
    ~Explorer();

    Walk walk(const WindowTable& table, quint64 seed, int steps);
    // The same steps again, from the same data (a regression row, or a shorter list).
    Walk replay(const WindowTable& table, const QList<Step>& steps);
    // Fewer steps that still end in the same kind of violation.
    QList<Step> shorten(const WindowTable& table, const Walk& failed, int tries = 60);

private:
    struct Run;
    TestDatabase& db_;
    std::unique_ptr<TestDatabase> demo_;
    void restoreData();
};

// Every window reachable from the menu, with its state table.
const QList<WindowTable>& windowTables();

} // namespace testsupport
