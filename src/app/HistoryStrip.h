#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"

#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QToolButton;
class QTimer;

namespace app {

using forms::HistoryPlace;

// The foot of a record window: who changed the record shown last and when ("แก้ไขล่าสุดโดย …
// เมื่อ …"), read from the change history whoever made the change, and a button listing every
// change to the record (Ctrl+H). In a window that fills its screen, the words go in the
// frame's title instead. Read on a connection of its own, after the key field changes and after
// each button of the window did its work; a history that cannot be read shows nothing and
// stops nothing.
class HistoryStrip : public QWidget {
    Q_OBJECT
public:
    // Adds a strip to the foot of `window`; nullptr when the window has no such place.
    static HistoryStrip* attach(const HistoryPlace& place, QWidget* window);
    HistoryStrip(HistoryPlace place, QWidget* window);
    ~HistoryStrip() override;

    void refresh();
    // Asks for no room of its own: a window as tall as the screen allows keeps every control
    // and grid whole, and the foot takes what is left.
    QSize minimumSizeHint() const override { return {0, 0}; }
    // The record's changes in a list of their own, with print through the report output.
    void showList();

private:
    HistoryPlace place_;
    QLineEdit* field_ = nullptr;
    QLabel* label_;
    QToolButton* list_;
    QTimer* timer_;
    std::unique_ptr<data::Connection> db_;
    QString key_;
    data::Connection& db();
    QString currentKey();
    void makeRoom();
    QWidget* frame() const;
    QString title_; // the frame's own title, before any last change was put in it
};

} // namespace app
