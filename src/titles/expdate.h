#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"
#include "rules/titles/ExpiryList.h"

#include <QWidget>
#include <memory>

class QCalendarWidget;

namespace Ui {
class expdate;
}

namespace titles {

// Subscription renewal: the subscribed titles of a language group whose membership expires in
// a period, each with its latest issue; a title is renewed (price, renewal and expiry date);
// the list goes to the report viewer for printing, PDF and CSV.
class expdate : public QWidget {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller; throws data::DbError when its first reads fail.
    explicit expdate(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~expdate() override;

    const QList<ExpiryRow>& listed() const { return listed_; }
    // Idle: no list; Listed: a list shown; Chosen: one of its titles shown; Editing: its renewal open.
    enum class Mode { Idle, Listed, Chosen, Editing };
    Q_ENUM(Mode)
    Mode mode() const {
        return editing_ ? Mode::Editing : current_ >= 0 ? Mode::Chosen : listed_.isEmpty() ? Mode::Idle : Mode::Listed;
    }

    void search();         // Command1
    void clear();          // Command2
    void chooseRow(int r); // showjour
    void edit();           // cmdedit
    void save();           // cmdsave
    void cancel();         // Cmdcancel
    void print();          // Cmdprint: the list in the report viewer
    // A link elsewhere asks for this title (its pointer): the titles of its group ending within
    // two months listed, the title chosen; a renewal being edited is kept.
    void openOn(const QString& pointer);

private:
    QList<forms::RoleActions> roleActions();
    std::unique_ptr<Ui::expdate> ui;
    QCalendarWidget *MonthView1, *MonthView2, *MonthView3, *MonthView4;
    std::unique_ptr<data::Connection> db_;
    QList<ExpiryRow> listed_;
    int current_ = -1; // the listed title on show
    bool editing_ = false;
    QString from_, to_; // the period of the list

    // Sets every control from the mode: the one place they are set.
    void applyMode();
    void lockInput(bool locked);
    void fillGrid();
};

} // namespace titles
