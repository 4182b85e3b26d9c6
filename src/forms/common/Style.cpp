#include "forms/common/Style.h"

#include "data/Columns.h"

#include "forms/common/Fonts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace forms {

void styleDataField(QWidget* field, const QColor& text) {
    field->setFont(thaiFont(9.75, true));
    QPalette p = field->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::ButtonText, text);
    field->setPalette(p);
}

void setBackColour(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    if (qobject_cast<QAbstractButton*>(widget)) {
        p.setColor(QPalette::Button, colour);
    } else {
        p.setColor(QPalette::Window, colour);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(p);
}

void setFieldColour(QWidget* field, const QColor& back) {
    QPalette p = field->palette();
    p.setColor(QPalette::Base, back);
    p.setColor(QPalette::Button, back);
    field->setPalette(p);
}

void setFieldLocked(QWidget* field, bool locked, const QColor& lockedBack, const QColor& unlockedBack) {
    setFieldColour(field, locked ? lockedBack : unlockedBack);
    if (auto* line = qobject_cast<QLineEdit*>(field))
        line->setReadOnly(locked);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(field))
        text->setReadOnly(locked);
    else
        field->setEnabled(!locked);
}

void setFieldsLocked(const QList<QWidget*>& fields, bool locked) {
    for (QWidget* f : fields)
        setFieldLocked(f, locked);
}

bool isFieldLocked(const QWidget* field) {
    if (auto* line = qobject_cast<const QLineEdit*>(field))
        return line->isReadOnly();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(field))
        return text->isReadOnly();
    return !field->isEnabled();
}

void clearFields(const QList<QWidget*>& fields) {
    for (QWidget* f : fields) {
        if (auto* combo = qobject_cast<QComboBox*>(f))
            combo->setCurrentIndex(-1);
        else
            setFieldText(f, QString());
    }
}

void setButtons(const QList<QAbstractButton*>& buttons, std::initializer_list<bool> enabled) {
    auto state = enabled.begin();
    for (QAbstractButton* b : buttons) {
        if (state == enabled.end())
            break;
        if (b)
            b->setEnabled(*state);
        ++state;
    }
}

QString fieldText(const QWidget* field) {
    if (auto* line = qobject_cast<const QLineEdit*>(field))
        return line->text();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(field))
        return text->toPlainText();
    if (auto* combo = qobject_cast<const QComboBox*>(field))
        return combo->currentText();
    return {};
}

void setFieldText(QWidget* field, const QString& value) {
    if (auto* line = qobject_cast<QLineEdit*>(field)) {
        line->setText(value);
        line->setCursorPosition(0);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(field)) {
        text->setPlainText(value);
    }
}

void limitLength(QWidget* field, int maxChars) {
    if (auto* line = qobject_cast<QLineEdit*>(field)) {
        line->setMaxLength(qMin(maxChars, 32767));
        return;
    }
    auto* text = qobject_cast<QPlainTextEdit*>(field);
    if (!text)
        return;
    text->setProperty("maxChars", maxChars);
    QObject::connect(text, &QPlainTextEdit::textChanged, text, [text] {
        const int max = text->property("maxChars").toInt();
        if (text->document()->characterCount() - 1 <= max)
            return;
        // What went past the limit is taken back, as a one-line field refuses it.
        QTextCursor cursor = text->textCursor();
        const int at = cursor.position();
        const QString all = text->toPlainText();
        const int over = int(all.size()) - max;
        const int cutFrom = qMax(0, qMin(at - over, max));
        QString kept = all.left(cutFrom) + all.mid(cutFrom + over);
        const QSignalBlocker block(text);
        text->setPlainText(kept);
        cursor = text->textCursor();
        cursor.setPosition(cutFrom);
        text->setTextCursor(cursor);
    });
}

void limitToColumns(data::Connection& c, const QString& table, const QList<ColumnField>& fields) {
    const QHash<QString, int> widths = data::textColumnWidths(c, table);
    for (const ColumnField& f : fields)
        if (const int w = widths.value(QString::fromLatin1(f.column).toLower()); w > 0)
            limitLength(f.field, w);
}

} // namespace forms
