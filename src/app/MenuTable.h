#pragma once

#include <QList>
#include <QString>

namespace app {

// One entry of the main menu, in menu order. `level` 1 is the menu bar.
struct MenuEntry {
    enum class Action { Submenu, Window, Web, SignIn, Exit, Hidden };
    int level;
    QString name;    // the entry's objectName
    QString caption; // as the users know it
    Action action;
    QString target; // the web page's path under the report server (a window names its own menu entry)
};

const QList<MenuEntry>& mainMenu();

} // namespace app
