#pragma once

#include "data/Connection.h"

#include <QWidget>
#include <memory>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace Ui {
class index_journal;
}
namespace forms {
class PickList;
}

namespace indexing {

// A new article index entry: the article's title, up to three authors and five subject
// headings, the journal issue it appeared in, pages, remark and abstract, saved under the
// next article number.
class index_journal : public QWidget {
    Q_OBJECT
public:
    // Opens the window's connection and shows the next article number; throws
    // data::DbError when the server cannot be reached.
    explicit index_journal(QWidget* parent = nullptr);
    ~index_journal() override;

    void searchJournal(); // Enter or double-click in Text7
    void pickJournal(const QString& pointer, const QString& name);
    void showIssues();           // Command1
    void pickIssue(int row);     // show_item
    void searchAuthor(int slot); // Enter or double-click in Text3_<slot>
    void pickAuthor(const QString& idno, const QString& name);
    void searchSubject(int slot); // Enter or double-click in Text6_<slot>
    void pickSubject(const QString& subject);
    void save();       // Command4
    void clearEntry(); // Command3

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<Ui::index_journal> ui;
    QLineEdit* Text3[3];
    QLineEdit* Text4[3]; // the picked authors' codes
    QLineEdit* Text6[5];
    QLineEdit* Text13; // the picked title's key
    forms::PickList* List_authname;
    forms::PickList* list_subject;
    forms::PickList* dlbnamemag;
    QTableWidget* show_item;
    QGroupBox* Frame4;
    QPlainTextEdit* Text5;
    QPushButton* Command6;
    std::unique_ptr<data::Connection> index_conn;
    int cur_author_slot = 0;
    int cur_subject_slot = 0;
    bool fillingJournal_ = false;

    bool checkEntry();
    void incomplete(const QString& message, QWidget* focus);
    void forgetJournal();
};

} // namespace indexing
