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
    explicit CalendarKeys(CalendarPicker* owner) : QObject(owner), owner_(owner) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return false;
        owner_->calendar()->hide();
        if (owner_->target())
            owner_->target()->setFocus();
        return true;
    }

private:
    CalendarPicker* owner_;
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

CalendarPicker::CalendarPicker(QCalendarWidget* calendar) : QObject(calendar), calendar_(calendar) {
    calendar_->hide();
    auto write = [this](QDate d) {
        calendar_->hide();
        if (!target_)
            return;
        target_->setText(data::formatDate(d));
        target_->setFocus();
        emit picked(target_, d);
    };
    connect(calendar_, &QCalendarWidget::clicked, this, write);
    connect(calendar_, &QCalendarWidget::activated, this, write);
    calendar_->installEventFilter(new CalendarKeys(this));
}

void CalendarPicker::attach(QAbstractButton* button, QLineEdit* field) {
    typeDateSeparators(field);
    connect(button, &QAbstractButton::clicked, this, [this, field, button] { openFor(field, button); });
}

void CalendarPicker::openFor(QLineEdit* field, QWidget* near) {
    target_ = field;
    calendar_->setSelectedDate(QDate::currentDate());
    if (QWidget* parent = calendar_->parentWidget(); parent && near) {
        // Just under the button, kept inside the window.
        calendar_->resize(calendar_->sizeHint().expandedTo(QSize(280, 190)));
        QPoint at = near->mapTo(parent, QPoint(0, near->height()));
        at.setX(qBound(0, at.x() - calendar_->width() + near->width(), qMax(0, parent->width() - calendar_->width())));
        if (at.y() + calendar_->height() > parent->height())
            at.setY(qMax(0, near->mapTo(parent, QPoint(0, 0)).y() - calendar_->height()));
        calendar_->move(at);
    }
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
