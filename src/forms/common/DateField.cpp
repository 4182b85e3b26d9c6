#include "forms/common/DateField.h"

#include "data/Dates.h"
#include "forms/common/MessageBoxes.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>

namespace forms {

namespace {

class CalendarKeys : public QObject {
public:
    CalendarKeys(DateField* owner) : QObject(owner), owner_(owner) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            owner_->calendar()->hide();
            owner_->field()->setFocus();
            return true;
        }
        return false;
    }

private:
    DateField* owner_;
};

// Puts a separator at the end before the next character is typed when the trimmed text has
// reached one of the given lengths.
class SeparatorTyping : public QObject {
public:
    SeparatorTyping(QLineEdit* field, QChar separator, QList<int> lengths, bool digitsOnly)
        : QObject(field), field_(field), separator_(separator), lengths_(std::move(lengths)), digitsOnly_(digitsOnly) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || field_->isReadOnly())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (typed.size() != 1 || !typed.at(0).isPrint() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false; // editing and navigation keys behave as usual
        const QChar ch = typed.at(0);
        if (digitsOnly_ && !ch.isDigit() && ch != separator_)
            return true; // refused
        const QString trimmed = field_->text().trimmed();
        if (lengths_.contains(int(trimmed.size())) && ch != separator_ && !field_->hasSelectedText()) {
            field_->setText(trimmed + separator_);
            field_->end(false);
        }
        return false;
    }

private:
    QLineEdit* field_;
    QChar separator_;
    QList<int> lengths_;
    bool digitsOnly_;
};

} // namespace

DateField::DateField(QLineEdit* field, QAbstractButton* button, QCalendarWidget* calendar)
    : QObject(field), field_(field), calendar_(calendar) {
    calendar_->hide();
    typeDateSeparators(field_);
    connect(button, &QAbstractButton::clicked, this, &DateField::openCalendar);
    auto write = [this](QDate d) {
        field_->setText(data::formatDate(d));
        calendar_->hide();
        field_->setFocus();
        emit picked(d);
    };
    connect(calendar_, &QCalendarWidget::clicked, this, write);
    connect(calendar_, &QCalendarWidget::activated, this, write);
    calendar_->installEventFilter(new CalendarKeys(this));
}

void DateField::openCalendar() {
    calendar_->setSelectedDate(QDate::currentDate());
    calendar_->show();
    calendar_->raise();
    calendar_->setFocus();
}

void typeDateSeparators(QLineEdit* field) {
    field->setMaxLength(10);
    field->installEventFilter(new SeparatorTyping(field, QLatin1Char('/'), {2, 5}, true));
}

void typeIssnSeparator(QLineEdit* field) {
    field->setMaxLength(9);
    field->installEventFilter(new SeparatorTyping(field, QLatin1Char('-'), {4}, false));
}

bool readDateField(QWidget* parent, QLineEdit* field, const QString& label, bool required, std::optional<QDate>* out) {
    const QString text = field->text().trimmed();
    out->reset();
    if (text.isEmpty() && !required)
        return true;
    if (const auto d = data::parseDate(text)) {
        *out = d;
        return true;
    }
    const QString problem = text.isEmpty() ? QStringLiteral("กรุณาป้อน%1").arg(label)
                                           : QStringLiteral("%1 \"%2\" ไม่ใช่วันที่ที่ถูกต้อง").arg(label, text);
    inform(parent, problem + QStringLiteral("\nกรุณาป้อนวันที่ในรูปแบบ วว/ดด/ปปปป (ค.ศ.) เช่น 31/12/2026"),
           QStringLiteral("ตรวจสอบข้อมูล"), Icon::Critical);
    field->setFocus();
    field->selectAll();
    return false;
}

} // namespace forms
