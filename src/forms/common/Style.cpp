#include "forms/common/Style.h"

#include "data/Columns.h"

#include "rules/reports/Fonts.h"

#include <QPushButton>
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>

namespace forms {

void styleDataField(QWidget* field, const QColor& text) {
    field->setFont(reports::thaiFont(9.75, true));
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

namespace {
// How many characters to take back, ending at `end`, for `text` to fit the limits.
int excess(const QString& text, qsizetype end, int maxChars, int maxBytes) {
    qsizetype bytes = maxBytes > 0 ? text.toUtf8().size() : 0;
    int over = 0;
    for (qsizetype i = end; i > 0 && (text.size() - over > maxChars || (maxBytes > 0 && bytes > maxBytes)); --i) {
        bytes -= QStringView(text).mid(i - 1, 1).toUtf8().size();
        ++over;
    }
    return over;
}
} // namespace

void limitLength(QWidget* field, int maxChars, int maxBytes) {
    if (auto* line = qobject_cast<QLineEdit*>(field)) {
        line->setMaxLength(qMin(maxChars, 32767));
        if (maxBytes > 0)
            QObject::connect(line, &QLineEdit::textChanged, line, [line, maxBytes](const QString& all) {
                if (all.toUtf8().size() <= maxBytes)
                    return;
                const int at = line->cursorPosition();
                const int over = excess(all, at, 32767, maxBytes);
                const QSignalBlocker block(line);
                line->setText(all.left(at - over) + all.mid(at));
                line->setCursorPosition(at - over);
            });
        return;
    }
    auto* text = qobject_cast<QPlainTextEdit*>(field);
    if (!text)
        return;
    // The document says where the last change put its characters; that is where they are taken back.
    auto added = std::make_shared<qsizetype>(0);
    QObject::connect(text->document(), &QTextDocument::contentsChange, text,
                     [added](int position, int, int charsAdded) { *added = position + charsAdded; });
    QObject::connect(text, &QPlainTextEdit::textChanged, text, [text, added, maxChars, maxBytes] {
        const QString all = text->toPlainText();
        if (all.size() <= maxChars && (maxBytes <= 0 || all.size() * 4 <= maxBytes || all.toUtf8().size() <= maxBytes))
            return;
        const qsizetype end = qBound<qsizetype>(0, *added, all.size());
        const int over = excess(all, end, maxChars, maxBytes);
        const QSignalBlocker block(text);
        text->setPlainText(all.left(end - over) + all.mid(end));
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(int(end - over));
        text->setTextCursor(cursor);
    });
}

void limitToColumns(data::Connection& c, const QString& table, const QList<ColumnField>& fields) {
    const QHash<QString, data::ColumnLimit> limits = data::textColumnLimits(c, table);
    for (const ColumnField& f : fields)
        if (const data::ColumnLimit l = limits.value(QString::fromLatin1(f.column).toLower()); l.chars > 0)
            limitLength(f.field, l.chars, l.bytes);
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = named(parent, name, new QPushButton(text));
    b->setAutoDefault(false);
    b->setMinimumSize(96, 32);
    return b;
}

} // namespace forms
