#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"
#include "rules/titles/DealerStore.h"

#include <QWidget>
#include <memory>

namespace Ui {
class Adddealer;
}
namespace forms {
class PickList;
}

namespace titles {

// The publisher register: find a publisher by part of its name, look at it, correct it, or
// add a new one under the code the window proposes.
class Adddealer : public QWidget {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller; throws data::DbError when its first reads fail.
    explicit Adddealer(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~Adddealer() override;

    // Idle: nothing shown; Shown: a publisher picked, locked; Adding, Editing: the fields open.
    enum class Mode { Idle, Shown, Adding, Editing };
    Q_ENUM(Mode)
    Mode mode() const {
        return entry_ == Entry::Adding    ? Mode::Adding
               : entry_ == Entry::Editing ? Mode::Editing
               : shown_.code.isEmpty()    ? Mode::Idle
                                          : Mode::Shown;
    }

    void search();                                              // double-click or Enter in Text2
    void choose(const QString& code, const QString& shownName); // a row of Listdealer
    void add();                                                 // ADD
    void edit();                                                // EDIT
    void save();                                                // Save
    void cancel();                                              // Cancel
    // The title register's hand-over: a publisher it could not find, to be added now.
    void startAddingWith(const QString& name);

private:
    QList<forms::RoleActions> roleActions();
    std::unique_ptr<Ui::Adddealer> ui;
    forms::PickList* Listdealer;
    std::unique_ptr<data::Connection> db_;
    enum class Entry { None, Adding, Editing } entry_ = Entry::None; // what Save does
    QStringList startedWith_;                                        // the fields when adding or editing began
    Dealer shown_; // the publisher as read, which an edit must still find

    bool hasUnsavedChanges() const;
    QStringList fieldTexts() const;

    QList<QWidget*> fields() const;
    QList<QWidget*> openFields() const; // the fields Add and Edit open
    void lockinput();
    void unlockinput();
    void resetbuttom(bool add, bool edit, bool save);
};

} // namespace titles
