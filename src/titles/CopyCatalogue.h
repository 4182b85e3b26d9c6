#pragma once

#include "marc/Catalogue.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace titles {

// Copy cataloguing: finds a title's MARC 21 record in the library catalogue named in the
// configuration (by ISSN or by title) or in a file, and hands the one chosen to the title
// register, which fills its fields for the person to review. Nothing is saved here.
class CopyCatalogue : public QDialog {
    Q_OBJECT
public:
    explicit CopyCatalogue(const marc::CatalogueTarget& target, QWidget* parent = nullptr);

    // Searches the catalogue for the typed text: an ISSN (or a cover's bar code) by ISSN,
    // anything else by title. The answer comes while the window stays usable.
    void search();
    // Reads the records of a MARC file (ISO 2709 or MARCXML); empty: asks which file.
    void openFile(QString file = {});
    // Hands the selected record on and closes.
    void useSelected();
    bool searching() const { return searching_; }

signals:
    void chosen(const marc::Record& record);

private:
    marc::CatalogueTarget target_;
    QLineEdit* Textterm;
    QPushButton *Cmdsearch, *Cmdfile, *Cmduse, *Cmdclose;
    QListWidget* lstrecords;
    QLabel* Labelstatus;
    QList<marc::Record> records_;
    bool searching_ = false;
    void list(const QList<marc::Record>& records, const QString& none, const QStringList& problems);
    void say(const QString& text, bool failure);
};

} // namespace titles
