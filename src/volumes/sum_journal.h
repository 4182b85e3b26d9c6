#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"
#include "rules/records/IssueStore.h"
#include "rules/volumes/CallNumber.h"
#include "rules/volumes/VolumeStore.h"

#include <QWidget>
#include <memory>

namespace Ui {
class sum_journal;
}
namespace forms {
class PickList;
}

namespace volumes {

// The bound-volume register: a title's received issues are gathered into a volume with a
// registration number and a generated call number; stored volumes are found, stepped through,
// changed and their issues released.
class sum_journal : public QWidget {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller; throws data::DbError when its first reads fail.
    explicit sum_journal(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~sum_journal() override;

    // Idle: searching titles or volumes; New: a volume being gathered; Shown: a stored volume
    // on show; Edit: a stored volume being changed. Save, Cancel and removing an issue branch on it.
    enum class Mode { Idle, New, Shown, Edit };
    Q_ENUM(Mode)
    Mode mode() const { return mode_; }

    void searchTitles();       // Cmdsearch, Enter in Text1
    void clearTitles();        // Cmdclear
    void pickTitle(int row);   // show_journal
    void add();                // Cmdadd
    void pickIssue(int row);   // show_item
    void removeIssue(int row); // double-click or Delete on sum_item
    void edit();               // Cmdedit
    void save();               // Cmdsave
    void cancel();             // Cmdcancel
    void searchRegno();        // Enter in Text2
    void step(bool forward);   // Cmdnext, Cmdprevious
    void searchCallNumber();   // Enter or double-click in Text3
    void clearVolume();        // clear_sumj

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<forms::RoleActions> roleActions();
    std::unique_ptr<Ui::sum_journal> ui;
    forms::PickList* list_namesumj;
    std::unique_ptr<data::Connection> db_;
    Mode mode_ = Mode::Idle;
    QStringList heldAtEdit_; // the issues the volume held when Edit was pressed
    Language language_ = Language::Unknown;
    QString titleName_, titlePointer_;
    QList<records::Issue> gathered_;  // the issues of sum_item, in its order
    QList<records::Issue> offered_;   // the issues of show_item
    QList<records::TitleRow> titles_; // the titles of show_journal

    bool titlesListed_ = false; // a title search filled show_journal

    bool run(const std::function<void()>& handler);
    // Every change of mode goes through here: it closes the call-number list, whose choice
    // belongs to the mode that offered it, and sets the controls.
    void setMode(Mode mode);
    // Sets every control from the mode (and what the mode is working on: titles listed, a title
    // picked, a volume without a title): the one place the window's controls are set.
    void applyMode();
    // A volume being edited that holds no issue has no title yet: the user picks one first.
    bool mayPickTitle() const { return mode_ == Mode::Edit && titlePointer_.isEmpty(); }
    void listOffered(const QList<records::Issue>& issues);
    void listGathered();
    void regenerateCallNumber();
    void setLanguage(const QString& pointer);
    // Asks before a search drops a volume being added or edited; true when nothing unsaved is lost.
    bool mayDropUnsaved();
    // Shows the stored volume `regno`; false (and nothing changed) when there is none.
    bool showVolume(const QString& regno);
    void volumeShown();
    void newVolumeEnded();
    QStringList gatheredNumbers() const;
};

} // namespace volumes
