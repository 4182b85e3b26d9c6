#pragma once

#include "data/Connection.h"
#include "forms/common/ErrorGuard.h"
#include "rules/index/ArticleStore.h"
#include "rules/records/IssueStore.h"

#include <QWidget>
#include <memory>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class article_form;
}
namespace forms {
class Grid;
class PickList;
} // namespace forms

namespace indexing {

// The article index entry both index windows show: the article's title, up to three authors
// and five subject headings, the journal issue it appeared in, pages, remark and the abstract
// panel, with the searches and pick lists that fill them. The windows add their own buttons.
class ArticleForm : public QWidget {
    Q_OBJECT
public:
    ~ArticleForm() override;

    void searchJournal(); // Enter or double-click in Text7
    void pickJournal(const QString& pointer, const QString& name);
    void showIssues();           // Command1
    void pickIssue(int row);     // show_item
    void searchAuthor(int slot); // Enter or double-click in Text3_<slot>
    void pickAuthor(const QString& idno, const QString& name);
    void searchSubject(int slot); // Enter or double-click in Text6_<slot>
    void pickSubject(const QString& subject);

protected:
    enum class SubjectSearch { Prefix, Anywhere };
    // Builds the entry; throws data::DbError when the server cannot be reached.
    ArticleForm(const QString& name, const QString& caption, SubjectSearch subjects,
                std::unique_ptr<data::Connection> connection, QWidget* parent);

    std::unique_ptr<Ui::article_form> ui;
    QLineEdit* Text3[3];
    QLineEdit* Text4[3]; // shows the picked authors' codes
    QLineEdit* Text6[5];
    QLineEdit* Text13; // shows the picked title's key
    forms::PickList* List_authname;
    forms::PickList* list_subject;
    forms::PickList* dlbnamemag;
    forms::Grid* show_item;
    QList<records::Issue> issues_; // the issues show_item lists
    QGroupBox* Frame4;
    QPlainTextEdit* Text5;
    QPushButton* abstractButton; // opens Frame4
    QPushButton* closeAbstract;  // inside Frame4
    std::unique_ptr<data::Connection> db_;

    // A button in the row at the foot, before Exit.
    QPushButton* addButton(const char* name, const QString& caption);
    // Whether the searches may fill the fields (a window showing a stored entry locks them).
    virtual bool fieldsEditable() const { return true; }

    // The input checks a save makes, in order; the first that fails says so and focuses its field.
    bool checkEntry();
    ArticleEntry entry() const;
    void showEntry(const ArticleEntry& e, const QString& journalName);
    // Empties every entry field but the number.
    void clearFields();
    // Closes the pick lists and the issue list: a change of mode ends what they were offered for.
    virtual void closeLists();
    // How a save or delete tells of its failure: a refusal, or the box after a database error
    // (the connection is replaced); the fields keep what was typed.
    forms::GuardWords saving();
    void saveFailed(const data::DbError& err);

private:
    int cur_author_slot = 0;
    int cur_subject_slot = 0;
    bool fillingJournal_ = false;
    SubjectSearch subjectSearch_;

    // What was picked from the lists: each author slot's code and the journal's title key
    // (typing over a name forgets its pick). Text4 and Text13 only show them.
    struct Picked {
        QString authorIdnos[3];
        QString pointer;
    } picked_;
    void pickAuthorCode(int slot, const QString& idno);
    void pickPointer(const QString& pointer);

    void incomplete(const QString& message, QWidget* focus);
    void forgetJournal();
};

} // namespace indexing
