#pragma once

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class QAbstractButton;
class QCalendarWidget;
class QLineEdit;
class QWidget;

namespace forms {

// A month calendar that fills date fields: each attached button shows it on today's date for
// its own field (one calendar may serve several fields); a click (or Enter) on a day writes
// it into that field as dd/mm/yyyy and hides the calendar again; Esc hides it and puts the
// focus back on the button that opened it. Attached
// fields get their separators typed for the user.
class CalendarPicker : public QObject {
    Q_OBJECT
public:
    explicit CalendarPicker(QCalendarWidget* calendar);

    // `onFieldDate`: the calendar opens on the date the field holds (today when it holds none).
    void attach(QAbstractButton* button, QLineEdit* field, bool onFieldDate = false);
    void openFor(QLineEdit* field, QWidget* near = nullptr, bool onFieldDate = false);
    QCalendarWidget* calendar() const { return calendar_; }
    QLineEdit* target() const { return target_; }
    QWidget* opener() const { return opener_; }

signals:
    void picked(QLineEdit* field, const QDate& date);

private:
    QCalendarWidget* calendar_;
    QLineEdit* target_ = nullptr;
    QPointer<QWidget> opener_; // the button that opened it, if any
};

// Typing help: "/" after the 2nd and 5th character of a date, only digits taken.
void typeDateSeparators(QLineEdit* field);
// Typing help: "-" after the 4th character of an ISSN.
void typeIssnSeparator(QLineEdit* field);

// Reads a date field before a save. An empty field gives an empty optional (or, when the
// date is required, a message); a text that is not a real date is refused with a message,
// the focus goes to the field, and false comes back: nothing may be saved then.
bool readDateField(QWidget* parent, QLineEdit* field, const QString& label, bool required, std::optional<QDate>* out);

} // namespace forms
