#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"
#include "rules/receipt/Pattern.h"
#include "rules/records/IssueStore.h"

#include <QWidget>
#include <memory>
#include <optional>

class QCalendarWidget;
class QLineEdit;

namespace Ui {
class reg_journal;
}

namespace receipt {

// Issue registration: find a title, see its issues newest first with the latest one and
// whether it is indexed, and register, correct or delete an issue as it arrives.
class reg_journal : public QWidget {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller; throws data::DbError when its first reads fail.
    explicit reg_journal(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~reg_journal() override;

    const QString& curPointer() const { return cur_pointer; }
    // Cleared: no title chosen; Browsing: a title's issues listed; Adding, Editing: an issue's
    // fields open.
    enum class Mode { Cleared, Browsing, Adding, Editing };
    Q_ENUM(Mode)
    Mode mode() const {
        return entry_ == Entry::Adding    ? Mode::Adding
               : entry_ == Entry::Editing ? Mode::Editing
               : cur_pointer.isEmpty()    ? Mode::Cleared
                                          : Mode::Browsing;
    }

    void search();             // Command1, or Enter in Text1
    void chooseTitle(int row); // a row of show_journal
    void chooseIssue(int row); // a row of show_item
    void newIssue();           // Command2
    void receiveExpected();    // Command11: New, filled with the issue expected next
    void editIssue();          // Command3
    void save();               // Command7
    void remove();             // Command6
    void cancel();             // Command4
    void clear();              // Command8
    // A link elsewhere asks for this title (its pointer): found by its name and chosen, its
    // issues listed; an issue's fields open are kept.
    void openOn(const QString& pointer);

private:
    QList<forms::RoleActions> roleActions();
    std::unique_ptr<Ui::reg_journal> ui;
    QCalendarWidget* MonthView1;
    QCalendarWidget* MonthView2;
    std::unique_ptr<data::Connection> db_;
    enum class Entry { None, Adding, Editing } entry_ = Entry::None; // an issue's fields open for
    QString cur_pointer;                                             // the chosen title's key, trimmed
    QString listedPointer;                  // the same key as listed, which new issues are written under
    QList<records::Issue> listed_;          // the issues on show, as read
    records::Issue editedFrom_;             // the issue an edit started from
    QList<records::TitleRow> titles_;       // the titles listed
    std::optional<ExpectedIssue> expected_; // the chosen title's next issue, if it can be told
    std::optional<Pattern> setPattern_;     // the chosen title's pattern, where a person set one
    bool issueShown_ = false;               // an issue of the list is on show, to edit or delete
    bool listing_ = false;                  // the window itself moves the issue list's highlight

    QList<QLineEdit*> issueFields() const;
    // The issue or title a list row shows; none for the blank rows below a list.
    const records::Issue* issueAt(int row) const {
        return row >= 0 && row < listed_.size() ? &listed_.at(row) : nullptr;
    }
    const records::TitleRow* titleAt(int row) const {
        return row >= 0 && row < titles_.size() ? &titles_.at(row) : nullptr;
    }
    void reset_textbox();
    void cls_show_journal();
    void cls_show_listitem();
    // Lists the title's issues; false when it has none (the list is then empty).
    bool refreshIssues(const QString& pointer, const QString& selectMagno = {});
    void checkIndex(int row);
    // No title chosen: its issues, lines, expected issue and fields go (a new search).
    void forgetTitle();
    // The registration area names the title its issues are saved under (none: its caption alone).
    void nameChosenTitle(const QString& title);
    // Works out the chosen title's expected next issue and says it under the latest one.
    void predict();
    QString frequencyCode() const;
    QList<IssueSeen> issuesSeen() const;
    void setBrowsing();
    // Sets every control from the mode (and whether an issue of the list is on show): the one
    // place the window's buttons, fields and lists are made usable or not.
    void applyMode();
    void datePickers(bool on);
};

} // namespace receipt
