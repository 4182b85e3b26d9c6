#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"
#include "rules/receipt/Pattern.h"

#include <QWidget>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace forms {
class Grid;
class PickList;
} // namespace forms

namespace receipt {

// A title's publication pattern, as learnt from its issues or as a person set it: the months
// it has an issue in (a weekly title's weeks without one), where its volumes turn and how its numbers run; beside it the next twelve
// issues exactly as check-in will expect them, and the last twelve received with what the
// pattern would have predicted for each, the differences marked. Saving sets it under the
// signed-in account; "learn again" returns to the learnt one.
class PatternEditor : public QWidget {
    Q_OBJECT
public:
    explicit PatternEditor(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();
    ~PatternEditor() override;

    // Idle: no title; Shown: a title's pattern as stored or learnt; Editing: changed, not saved.
    enum class Mode { Idle, Shown, Editing };
    Q_ENUM(Mode)
    Mode mode() const { return pointer_.isEmpty() ? Mode::Idle : changed_ ? Mode::Editing : Mode::Shown; }

    Q_INVOKABLE void showTitle(const QString& pointer);
    void searchTitles(); // Enter in Text1
    void save();         // Cmdsave
    void learnAgain();   // Cmdlearn
    // The titles whose set pattern their issues contradict, to choose from (Cmdcheck).
    void listContradicted();

    // The pattern the fields say (set by the person at the desk).
    Pattern fromFields() const;

private:
    QList<forms::RoleActions> roleActions();
    std::unique_ptr<data::Connection> db_;
    QLineEdit *Text1, *Text2, *Textvolissues, *Textday, *Textdigits, *Textwording, *Textweeks;
    QLabel *Labeltitle, *Labelsource, *Labelwarn, *Labellearnt;
    QCheckBox* chkmonth[12];
    QComboBox *cbovolmonth, *cbonumbers;
    forms::Grid *grdnext, *grdlast;
    forms::PickList* lsttitles;
    QPushButton *Cmdsave, *Cmdlearn, *Cmdcheck, *Command6;

    QString pointer_, code_, name_;
    QList<IssueSeen> issues_;       // the title's issues, oldest first
    Pattern learnt_;                // as its issues show
    QString learntWording_;         // the latest description, its moving parts named
    std::optional<Pattern> stored_; // as pub_pattern holds it
    bool changed_ = false, filling_ = false;

    void applyMode();
    void fill(const Pattern& p);
    void preview();
    void edited();
    // The first thing wrong with the fields, with the field to go to; empty when none.
    QString refusal(QWidget** field) const;
};

} // namespace receipt
