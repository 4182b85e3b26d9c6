#pragma once

#include "data/Connection.h"
#include "forms/common/Declaration.h"
#include "rules/receipt/Claims.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace forms {
class Grid;
}

namespace receipt {

// Claims to distributors: the issues of a period not received, by distributor, with the
// claims made so far; those due (never claimed, or claimed longer ago than the distributor's
// wait) marked to be sent. Space marks or unmarks a row; sending claims the marked ones, their
// letters to the outbox, and shows the letters of distributors without a mail address to print.
class ClaimsWindow : public QWidget {
    Q_OBJECT
public:
    explicit ClaimsWindow(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~ClaimsWindow() override;

    void find();    // Command3, Enter in the period
    void send();    // Cmdsend
    void summary(); // Cmdreport: the claims made in the period, per distributor
    // Cmdanswer: the answer chosen in cboanswer (Textnote its note; Textagain, for "not yet
    // published", the date the issue is now expected) to the current row's latest claim.
    void answer();
    // A link elsewhere asks for this distributor (its code): its issues not received from its
    // oldest open claim to today, the others left out until the next Find.
    void openOn(const QString& distributor);
    // The rows shown and whether each is marked to be sent.
    const QList<Claims::Row>& shown() const { return rows_; }
    const QList<bool>& marked() const { return marked_; }

private:
    QList<forms::RoleActions> roleActions();
    std::unique_ptr<data::Connection> db_;
    QLineEdit *Text1, *Text2, *Textnote, *Textagain;
    QComboBox* cboanswer;
    QLabel* Labelsum;
    forms::Grid* grdclaims;
    QPushButton *Command3, *Cmdsend, *Cmdanswer, *Cmdreport, *Command6;
    QList<Claims::Row> rows_;
    QList<bool> marked_;
    QDate from_, to_;
    QString only_; // the distributor a link asked for, while its Find runs

    bool period();
    void showRows();
    void toggle(int row);
};

} // namespace receipt
