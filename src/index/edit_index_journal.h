#pragma once

#include "forms/common/Declaration.h"
#include "index/ArticleForm.h"

#include <optional>

namespace indexing {

// Finds an indexed article by number or title, steps through the stored numbers, and edits or
// deletes the article shown.
class edit_index_journal : public ArticleForm {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller; throws data::DbError when its first reads
    // fail.
    explicit edit_index_journal(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();

    // Empty: no article shown; Browse: a stored article shown, locked; Edit: it is being changed.
    enum class Mode { Empty, Browse, Edit };
    Q_ENUM(Mode)
    Mode mode() const { return editing_ ? Mode::Edit : shown_ ? Mode::Browse : Mode::Empty; }

    void lookUp();           // Enter in Text1
    void searchTitle();      // Enter in Text2
    void step(bool forward); // Cmdnext, Cmdprev
    void edit();             // Cmdedit
    void cancel();           // Cmdcancel
    void save();             // Cmdsave
    void remove();           // Cmddel

protected:
    void showEvent(QShowEvent* event) override;
    bool fieldsEditable() const override { return editing_; }
    void closeLists() override;

private:
    QList<forms::RoleActions> roleActions();
    QPushButton *Cmdnext, *Cmdprev, *Cmdedit, *Cmdsave, *Cmddel, *Cmdcancel;
    forms::PickList* List_Index;
    std::optional<StoredArticle> shown_; // the article as loaded, while one is shown
    QString shownNumber_;
    bool editing_ = false;
    bool shownOnce_ = false;
    bool stepping_ = false; // a number was looked up: Next and Previous step from it

    // Shows the article numbered as Text1 says (fields emptied when there is none); true when found.
    bool showArticle();
    void lockInput(bool locked);
    void setBrowsing();
    // Sets every control from the mode (and whether a number was looked up yet): the one place
    // they are set.
    void applyMode();
};

} // namespace indexing
