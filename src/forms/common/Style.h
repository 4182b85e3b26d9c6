#pragma once

#include <QColor>
#include <QList>

class QAbstractButton;
namespace data {
class Connection;
}
class QWidget;

class QPushButton;

namespace forms {

// The colours every working window shares.
inline const QColor lockedColour{224, 224, 224};   // showing: light grey
inline const QColor unlockedColour{255, 255, 192}; // adding or editing: light yellow
inline const QColor fieldTextColour{0, 0, 192};    // dark blue

// The data-field look: MS Sans Serif 9.75 pt bold, dark blue text.
void styleDataField(QWidget* field, const QColor& text = fieldTextColour);
// Back colour of a window, a label or a button (buttons keep their text colour).
void setBackColour(QWidget* widget, const QColor& colour);

// Locks a data field (read-only, grey) or unlocks it (editable, yellow). Text fields become
// read-only and keep their focus and selection; lists and option buttons are disabled.
void setFieldLocked(QWidget* field, bool locked, const QColor& lockedBack = lockedColour,
                    const QColor& unlockedBack = unlockedColour);
// The back colour of a data field.
void setFieldColour(QWidget* field, const QColor& back);
void setFieldsLocked(const QList<QWidget*>& fields, bool locked);
bool isFieldLocked(const QWidget* field);

// Empties text fields and the shown text of code-table lists.
void clearFields(const QList<QWidget*>& fields);

// The record buttons in the order add, edit, delete, save, cancel; a null button is skipped.
void setButtons(const QList<QAbstractButton*>& buttons, std::initializer_list<bool> enabled);

// Lets no more characters into each field than its column holds (widths as the database has
// them), so an over-long text is stopped while typing, never by an error after the save.
struct ColumnField {
    QWidget* field;
    const char* column;
};
void limitToColumns(data::Connection& c, const QString& table, const QList<ColumnField>& fields);
// At most `maxChars` characters and, when `maxBytes` is given, that many bytes of UTF-8. What
// goes past the limit is taken off the end of what was just typed or pasted (a text set whole,
// such as a generated call number, keeps its beginning).
void limitLength(QWidget* field, int maxChars, int maxBytes = 0);

// The text of a QLineEdit or QPlainTextEdit.
QString fieldText(const QWidget* field);
void setFieldText(QWidget* field, const QString& text);

// A control of a window made in code: named (tests, the explorer and role limits find it by
// that name) and given to its parent.
template <typename W> W* named(QWidget* parent, const char* name, W* w) {
    w->setObjectName(QLatin1String(name));
    w->setParent(parent);
    return w;
}
// A window's button made in code: Enter presses it only when it has the focus, at least
// 96 by 32 pixels.
QPushButton* button(QWidget* parent, const char* name, const QString& text);

} // namespace forms
