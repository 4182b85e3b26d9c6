#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <optional>

class QAbstractButton;
class QCalendarWidget;
class QLineEdit;
class QWidget;

namespace forms {

// A date field with its "..." button and month calendar: the button shows the calendar on
// today's date, a click (or Enter) on a day writes it into the field as dd/mm/yyyy and hides
// the calendar again; Esc hides it. The field gets its separators typed for the user.
class DateField : public QObject {
    Q_OBJECT
public:
    DateField(QLineEdit* field, QAbstractButton* button, QCalendarWidget* calendar);

    QLineEdit* field() const { return field_; }
    QCalendarWidget* calendar() const { return calendar_; }
    void openCalendar();

signals:
    void picked(const QDate& date);

private:
    QLineEdit* field_;
    QCalendarWidget* calendar_;
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
