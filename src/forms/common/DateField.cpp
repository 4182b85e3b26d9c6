#include "forms/common/DateField.h"

#include "data/Dates.h"
#include "forms/common/MessageBoxes.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QToolButton>

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
        // Back where the calendar was opened from (its button; the field when it has none).
        if (QWidget* back = owner_->opener() ? owner_->opener() : owner_->target())
            back->setFocus();
        return true;
    }

private:
    CalendarPicker* owner_;
};

// The one printable character a key press types into an editable field, if it types one.
bool typedCharacter(const QLineEdit* field, QEvent* event, QChar* ch) {
    if (event->type() != QEvent::KeyPress || field->isReadOnly())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    if (typed.size() != 1 || !typed.at(0).isPrint() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    *ch = typed.at(0);
    return true;
}

// Puts a separator at the end before the next character is typed when the trimmed text has
// reached one of the given lengths.
class SeparatorTyping : public QObject {
public:
    SeparatorTyping(QLineEdit* field, QChar separator, QList<int> lengths)
        : QObject(field), field_(field), separator_(separator), lengths_(std::move(lengths)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        QChar ch;
        if (!typedCharacter(field_, event, &ch))
            return false; // editing and navigation keys behave as usual
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
};

// Date typing: "/" comes by itself after a two-digit day and month, and a "/" typed after a
// single digit pads it ("1/2/2024" becomes 01/02/2024); only digits and "/" are taken.
class DateTyping : public QObject {
public:
    explicit DateTyping(QLineEdit* field) : QObject(field), field_(field) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        QChar ch;
        if (!typedCharacter(field_, event, &ch))
            return false; // editing and navigation keys behave as usual
        const bool slash = ch == QLatin1Char('/');
        if (!slash && !(ch >= QLatin1Char('0') && ch <= QLatin1Char('9')))
            return true; // refused
        if (field_->hasSelectedText() || field_->cursorPosition() != field_->text().size())
            return false; // typing inside the text: as typed
        QStringList parts = field_->text().split(QLatin1Char('/'));
        QString& last = parts.last();
        if (slash) {
            if (parts.size() >= 3 || last.isEmpty())
                return true;
            if (last.size() == 1)
                last.prepend(QLatin1Char('0'));
            field_->setText(parts.join(QLatin1Char('/')) + QLatin1Char('/'));
            return true;
        }
        if (parts.size() < 3 && last.size() >= 2)
            field_->setText(field_->text() + QLatin1Char('/'));
        return false;
    }

private:
    QLineEdit* field_;
};

bool typable(const QWidget* w) {
    if (auto* line = qobject_cast<const QLineEdit*>(w))
        return !line->isReadOnly();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(w))
        return !text->isReadOnly();
    if (qobject_cast<const QComboBox*>(w))
        return true;
    return qobject_cast<const QAbstractButton*>(w) && !w->property("calendarButton").toBool();
}

// After a date is picked: the next control in the tab order (after the date field) that can
// be typed in or pressed, passing over locked fields and the calendar buttons.
void focusAfter(QLineEdit* field) {
    QWidget* window = field->window();
    for (QWidget* w = field->nextInFocusChain(); w && w != field; w = w->nextInFocusChain()) {
        if (w->window() != window || !w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        if (typable(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    field->setFocus();
}

// The year on the calendar's heading, in the era the program shows.
void showEraYear(QCalendarWidget* calendar) {
    if (auto* year = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton")))
        year->setText(QString::number(data::shownYear(calendar->yearShown())));
}

} // namespace

CalendarPicker::CalendarPicker(QCalendarWidget* calendar) : QObject(calendar), calendar_(calendar) {
    calendar_->hide();
    // Thai month and day names; the year in the era the program shows.
    calendar_->setLocale(QLocale(QLocale::Thai, QLocale::Thailand));
    calendar_->setFirstDayOfWeek(Qt::Sunday);
    connect(calendar_, &QCalendarWidget::currentPageChanged, calendar_, [this] { showEraYear(calendar_); });
    auto write = [this](QDate d) {
        calendar_->hide();
        if (!target_)
            return;
        target_->setText(data::formatDate(d));
        focusAfter(target_);
        emit picked(target_, d);
    };
    connect(calendar_, &QCalendarWidget::clicked, this, write);
    connect(calendar_, &QCalendarWidget::activated, this, write);
    calendar_->installEventFilter(new CalendarKeys(this));
}

void CalendarPicker::attach(QAbstractButton* button, QLineEdit* field, bool onFieldDate) {
    typeDateSeparators(field);
    button->setProperty("calendarButton", true);
    connect(button, &QAbstractButton::clicked, this,
            [this, field, button, onFieldDate] { openFor(field, button, onFieldDate); });
}

void CalendarPicker::openFor(QLineEdit* field, QWidget* near, bool onFieldDate) {
    target_ = field;
    opener_ = near;
    const std::optional<QDate> held = onFieldDate ? data::parseDate(field->text()) : std::nullopt;
    calendar_->setSelectedDate(held && held->isValid() ? *held : QDate::currentDate());
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
    showEraYear(calendar_);
    calendar_->raise();
    calendar_->setFocus();
}

void typeDateSeparators(QLineEdit* field) {
    field->setMaxLength(10);
    field->installEventFilter(new DateTyping(field));
}

void typeIssnSeparator(QLineEdit* field) {
    field->setMaxLength(9);
    field->installEventFilter(new SeparatorTyping(field, QLatin1Char('-'), {4}));
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
    inform(parent,
           problem + QStringLiteral("\nกรุณาป้อนวันที่ในรูปแบบ วว/ดด/ปปปป (ค.ศ. หรือ พ.ศ.)\nเช่น 31/12/2026 หรือ 31/12/2569"),
           QStringLiteral("ตรวจสอบข้อมูล"), Icon::Critical);
    field->setFocus();
    field->selectAll();
    return false;
}

} // namespace forms
