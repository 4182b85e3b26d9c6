#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"
#include "rules/receipt/Pattern.h"

#include <QWidget>
#include <memory>
#include <optional>

class QComboBox;
class QCalendarWidget;
class QLineEdit;

namespace Ui {
class New_Journal;
}
namespace forms {
class CalendarPicker;
class PickList;
} // namespace forms

namespace records {
struct Title;
}
namespace marc {
struct Record;
}

namespace titles {

// The journal title register: find a title by part of its name, show it with its code
// tables, publisher and distributor, add a title under the next code of its series, change
// it or delete it.
class New_Journal : public QWidget {
    Q_OBJECT
public:
    // Fills the seven code-table lists over `connection`, opened by the caller; throws
    // data::DbError when that fails.
    explicit New_Journal(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~New_Journal() override;

    bool adding() const { return adding_; }
    bool editing() const { return editing_; }
    // Idle: nothing shown; Shown: a stored title, locked; Adding, Editing: the fields open.
    enum class Mode { Idle, Shown, Adding, Editing };
    Q_ENUM(Mode)
    Mode mode() const {
        return adding_ ? Mode::Adding : editing_ ? Mode::Editing : shownCode_.isEmpty() ? Mode::Idle : Mode::Shown;
    }

    void searchTitles();                                      // Enter or double-click in Text2
    void showTitle(const QString& code, const QString& name); // a row of dlbnamemag
    void searchDealers(QLineEdit* field);                     // Text10 (publisher) or Text14 (distributor)
    void chooseDealer(const QString& code, const QString& name);
    void add();
    void edit();
    void save();
    void remove();
    void cancel();
    // Copy cataloguing while adding: opens the search of the catalogue and MARC files.
    void copyFromCatalogue();
    // Fills the fields of the title being added from a MARC 21 record: only those the record
    // has; says what it could not place. Nothing is saved.
    void fillFrom(const marc::Record& record);
    // Writes the shown title's MARC 21 record (all titles' when none is shown) to `file`
    // (.xml: MARCXML, otherwise ISO 2709), or with `holdings` its holdings record; empty: asks
    // where and which.
    bool exportMarc(QString file = {}, bool holdings = false);

private:
    QList<forms::RoleActions> roleActions();
    std::unique_ptr<Ui::New_Journal> ui;
    // The publication pattern of the catalogue record the title being added was filled from.
    std::optional<receipt::Pattern> importedPattern_;
    QLineEdit* Text8; // shows the chosen publisher's code
    QLineEdit* Text9; // shows the chosen distributor's code
    // The codes of the publisher and distributor chosen from the lists (typing over a name
    // forgets its choice); kept here, shown in Text8 and Text9.
    QString publisherCode_;
    QString distributorCode_;
    static void keepCode(QString& code, QLineEdit* shown, const QString& value);
    forms::PickList* dlbnamemag;
    forms::PickList* dlbdealer;
    QCalendarWidget* MonthView1;
    QCalendarWidget* MonthView2;
    std::unique_ptr<data::Connection> db_;
    bool adding_ = false;
    bool editing_ = false;
    QLineEdit* dealerTarget_ = nullptr;
    QString shownCode_;          // the code of the title on show, which an edit rewrites
    QVariantList shownOriginal_; // its columns as read, which the edit must still find

    QList<QComboBox*> codeLists() const;
    QList<QWidget*> lockableFields() const;
    // Sets every control from the mode: the one place the buttons, fields and lists are set.
    void applyMode();
    void cleardata();
    bool checkinput();
    bool readForm(records::Title* t);
    void backToIdle();
    void refuse(const QString& message, QWidget* focus, const QString& title);
};

} // namespace titles
