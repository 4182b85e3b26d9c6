#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"

#include "rules/index/AuthorStore.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QButtonGroup;
class QLineEdit;

namespace Ui {
class add_auther;
}
namespace forms {
class Grid;
}

namespace indexing {

// The author register: find authors by code or by the beginning of the name, add an author
// (a pen name linked to its true name) and change a name or its link.
class add_auther : public QWidget {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller and closed with the window; throws
    // data::DbError when its first reads fail.
    explicit add_auther(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~add_auther() override;

    bool entryFlag() const { return mode_ == Mode::Adding || mode_ == Mode::Editing; }
    // Idle: searching; Found: a search made; Shown: an author picked from it; Adding, Editing.
    enum class Mode { Idle, Found, Shown, Adding, Editing };
    Q_ENUM(Mode)
    Mode mode() const { return mode_; }

    void search();      // Cmdsearch
    void pick(int row); // double-click (or Enter) on a row of showauth
    void add();         // Cmdadd
    void edit();        // Cmdedit
    void saveNew();     // cmdsaveadd
    void saveChange();  // Cmdsaveedit
    void toIdle();      // Cmdcan, and the end of each save

private:
    QList<forms::RoleActions> roleActions();
    std::unique_ptr<Ui::add_auther> ui;
    QLineEdit* Text4; // the true name's code
    forms::Grid* showauth;
    QButtonGroup* choices_;
    std::unique_ptr<data::Connection> db_;
    Mode mode_ = Mode::Idle;
    Author shown_;        // the author picked from the list, which an edit must still find
    QList<Author> found_; // the authors the list shows

    void choose(bool penName);
    void clearChoices();
    // Sets every control from the mode (and the pen-name choice): the one place they are set.
    void applyMode();
    bool confirmSave();
    // Asks, then runs a save of the store; a refusal or a database error is shown and the
    // window stays as it was. True when the store ran to the end.
    bool runSave(const std::function<std::optional<SavedAuthor>()>& store, std::optional<SavedAuthor>* saved);
};

} // namespace indexing
