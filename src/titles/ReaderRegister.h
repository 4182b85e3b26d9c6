#pragma once

#include "data/Columns.h"
#include "forms/common/Declaration.h"
#include "data/Connection.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
namespace forms {
class Grid;
class PickList;
} // namespace forms

namespace titles {

// The readers told of new issues: each reader's name, mail address, faculty and the titles
// they follow, kept at the desk; and what the outbox did with their mails (sent, refused by
// the mail server and why, waiting to be tried again).
class ReaderRegister : public QWidget {
    Q_OBJECT
public:
    explicit ReaderRegister(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~ReaderRegister() override;

    // Idle: nothing shown; Shown: a reader, locked; Adding, Editing: the fields open.
    enum class Mode { Idle, Shown, Adding, Editing };
    Q_ENUM(Mode)
    Mode mode() const { return entry_ != Mode::Idle ? entry_ : shownId_ ? Mode::Shown : Mode::Idle; }

    void searchReaders();               // Enter in Textsearch
    void showReader(const QString& id); // a row of lstreaders
    void searchTitles();                // Enter in Texttitle
    void addTitle(const QString& code, const QString& name);
    void removeTitle(); // Cmdremovetitle
    void add();
    void edit();
    void save();
    void remove();
    void cancel();
    // A link elsewhere asks for this reader (its id); an entry open is kept.
    void openOn(const QString& id);

private:
    QList<forms::RoleActions> roleActions();
    std::unique_ptr<data::Connection> db_;
    QLineEdit *Textsearch, *Textname, *Textemail, *Texttitle;
    QComboBox* dcbdepart;
    QListWidget* lsttitles;
    forms::Grid* grdmail;
    forms::PickList *lstreaders, *lstfound;
    QPushButton *Cmdadd, *Cmdedit, *Cmdsave, *Cmddel, *Cmdcancel, *Cmdremovetitle, *Command6;
    Mode entry_ = Mode::Idle; // Adding or Editing while the fields are open
    qint64 shownId_ = 0;
    data::ShownRow shownRow_; // name, email, faculty as read: an edit must still find them

    void applyMode();
    void clear();
    bool unsaved() const { return entry_ != Mode::Idle; }
};

} // namespace titles
