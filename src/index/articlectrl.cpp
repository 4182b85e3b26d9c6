#include "index/articlectrl.h"

#include "data/Counter.h"
#include "forms/common/ErrorGuard.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/Style.h"
#include "rules/index/ArticleStore.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace indexing {

articlectrl::articlectrl(std::unique_ptr<data::Connection> connection, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("articlectrl"));
    setWindowTitle(QStringLiteral("เลขทะเบียนดรรชนีวารสาร"));
    auto* frame = new QGroupBox(QStringLiteral("เลขทะเบียน"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    Text_regctrl = new QLineEdit(frame);
    Text_regctrl->setObjectName(QStringLiteral("Text_regctrl"));
    forms::styleDataField(Text_regctrl);
    forms::limitLength(Text_regctrl, 7);
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(Text_regctrl);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](QPushButton*& b, const char* name, const char* caption) {
        b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setMinimumSize(90, 32);
        buttons->addWidget(b);
    };
    button(Cmdedit, "Cmdedit", "Edit");
    button(Cmdsave, "Cmdsave", "Save");
    button(Cmdcan, "Cmdcan", "Cancel");
    button(Cmdexit, "Cmdexit", "Exit");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    setEditing(false);

    db_ = std::move(connection);
    connect(Cmdedit, &QPushButton::clicked, this, &articlectrl::edit);
    connect(Cmdsave, &QPushButton::clicked, this, &articlectrl::save);
    connect(Cmdcan, &QPushButton::clicked, this, &articlectrl::cancel);
    connect(Cmdexit, &QPushButton::clicked, this, &QWidget::close);
    // Enter in the field saves; Esc in it cancels the edit.
    connect(Text_regctrl, &QLineEdit::returnPressed, this, &articlectrl::save);
    forms::keyboardReady(this);
    forms::askBeforeClosing(this, [this] { return editing_; });
}

void articlectrl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    cancel(); // shows the stored number
    Cmdedit->setFocus();
}

void articlectrl::setEditing(bool editing) {
    editing_ = editing;
    forms::setFieldLocked(Text_regctrl, !editing);
    Cmdedit->setEnabled(!editing);
    Cmdsave->setEnabled(editing);
}

void articlectrl::edit() {
    setEditing(true);
    Text_regctrl->setCursorPosition(Text_regctrl->text().size());
    Text_regctrl->setFocus();
}

void articlectrl::save() {
    if (!Cmdsave->isEnabled())
        return;
    forms::GuardWords words;
    words.refusalTitle = QStringLiteral("ข้อมูลไม่ถูกต้อง");
    words.refusedField = [this](int) { return Text_regctrl; };
    forms::guarded(
        this,
        [&] {
            // A free number below the highest in use puts new articles among the old ones: only
            // when the user says so (a number in use, or not a number, the store refuses).
            const auto typed = data::counterValue(Text_regctrl->text().trimmed());
            const qint64 highest = ArticleStore::highestNumber(*db_);
            if (typed && *typed >= 1 && *typed < highest &&
                !forms::askYesNo(this,
                                 QStringLiteral("เลขทะเบียน %1 ต่ำกว่าเลขที่บทความสูงสุดที่ใช้อยู่แล้ว (%2) บทความใหม่จะได้รับเลขที่ว่าง"
                                                "ระหว่างเลขที่ที่ใช้แล้ว ต้องการกำหนดเลขทะเบียนนี้หรือไม่")
                                     .arg(*typed)
                                     .arg(highest),
                                 QStringLiteral("ยืนยันเลขทะเบียน"), forms::Icon::Warning)) {
                Text_regctrl->setFocus();
                return;
            }
            ArticleStore::setCounter(*db_, Text_regctrl->text());
            setEditing(false);
            Text_regctrl->setText(ArticleStore::counterText(*db_));
            Cmdedit->setFocus();
        },
        db_.get(), words);
}

void articlectrl::cancel() {
    setEditing(false);
    forms::guarded(
        this, [&] { Text_regctrl->setText(ArticleStore::counterText(*db_)); }, db_.get());
}

forms::Declaration articlectrl::declaration() {
    return {QStringLiteral("articlectrl"), QStringLiteral("article_ctrl"), forms::Opens::CentredOnScreen, forms::makeWindow<articlectrl>,
            {QStringLiteral("artctrl"), {}, {}}, forms::actionsOf(&articlectrl::roleActions)};
}

QList<forms::RoleActions> articlectrl::roleActions() {
    return {{data::Role::Supervision, {Cmdedit, Cmdsave}}};
}

} // namespace indexing
