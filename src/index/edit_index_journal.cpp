#include "index/edit_index_journal.h"

#include "data/Counter.h"
#include "forms/common/ErrorGuard.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "rules/index/AuthorStore.h"
#include "ui_article_form.h"

#include <QGroupBox>

namespace indexing {

namespace {

const QColor lightCyan(0xC0, 0xFF, 0xFF);
const QColor lightOrange(0xFF, 0xE0, 0xC0);

void setLocked(QWidget* field, bool locked, const QColor& unlockedBack) {
    forms::setFieldLocked(field, locked, forms::lockedColour, unlockedBack);
}

} // namespace

edit_index_journal::edit_index_journal(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : ArticleForm(QStringLiteral("edit_index_journal"), QStringLiteral("โปรแกรมแก้ไขดรรชนีวารสาร"),
                  SubjectSearch::Anywhere, std::move(connection), parent) {
    Frame4->setTitle(QStringLiteral("บทคัดย่อ ( Abstract )"));
    abstractButton->setObjectName(QStringLiteral("Command3"));
    closeAbstract->setObjectName(QStringLiteral("Command4"));
    Cmdnext = addButton("Cmdnext", QStringLiteral("Next"));
    Cmdprev = addButton("Cmdprev", QStringLiteral("Previous"));
    Cmdedit = addButton("Cmdedit", QStringLiteral("Edit"));
    Cmdsave = addButton("Cmdsave", QStringLiteral("Save"));
    Cmddel = addButton("Cmddel", QStringLiteral("Delete"));
    Cmdcancel = addButton("Cmdcancel", QStringLiteral("Cancel"));
    QWidget* previous = abstractButton;
    for (QPushButton* b : {Cmdnext, Cmdprev, Cmdedit, Cmdsave, Cmddel, Cmdcancel, ui->Command2}) {
        setTabOrder(previous, b);
        previous = b;
    }
    List_Index = new forms::PickList(this);
    List_Index->setObjectName(QStringLiteral("List_Index"));

    forms::limitLength(ui->Text1, 7);
    applyMode();

    forms::onSearch(ui->Text1, [this] { lookUp(); });
    forms::onSearch(
        ui->Text2, [this] { searchTitle(); }, List_Index);
    connect(List_Index, &forms::PickList::picked, this, [this](const QString& number, const QString&) {
        List_Index->hide();
        if (editing_) // offered while browsing: an edit under way is not dropped by it
            return;
        ui->Text1->setText(number);
        forms::guarded(
            this, [&] { showArticle(); }, db_.get());
        setBrowsing();
    });
    connect(Cmdnext, &QPushButton::clicked, this, [this] { step(true); });
    connect(Cmdprev, &QPushButton::clicked, this, [this] { step(false); });
    connect(Cmdedit, &QPushButton::clicked, this, &edit_index_journal::edit);
    connect(Cmdcancel, &QPushButton::clicked, this, &edit_index_journal::cancel);
    connect(Cmdsave, &QPushButton::clicked, this, &edit_index_journal::save);
    connect(Cmddel, &QPushButton::clicked, this, &edit_index_journal::remove);
    forms::keyboardReady(this);
    forms::askBeforeClosing(this, [this] { return editing_; });
}

void edit_index_journal::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_)
        ui->Text1->setFocus();
    shownOnce_ = true;
}

void edit_index_journal::lockInput(bool locked) {
    for (QLineEdit* f : Text3)
        setLocked(f, locked, lightCyan);
    for (QLineEdit* f : Text6)
        setLocked(f, locked, lightOrange);
    for (QWidget* f :
         {static_cast<QWidget*>(ui->Text7), static_cast<QWidget*>(ui->Text8), static_cast<QWidget*>(ui->Text9),
          static_cast<QWidget*>(ui->Text10), static_cast<QWidget*>(ui->Text11), static_cast<QWidget*>(ui->Text12)})
        setLocked(f, locked, forms::unlockedColour);
}

void edit_index_journal::closeLists() {
    ArticleForm::closeLists();
    List_Index->hide();
}

bool edit_index_journal::showArticle() {
    closeLists();
    clearFields();
    shownNumber_ = ui->Text1->text();
    shown_ = ArticleStore::load(*db_, shownNumber_);
    if (shown_)
        showEntry(shown_->entry, shown_->journalName);
    return shown_.has_value();
}

void edit_index_journal::setBrowsing() {
    editing_ = false;
    stepping_ = true;
    closeLists();
    applyMode();
}

void edit_index_journal::applyMode() {
    // Browsing: the number and title searches, Next and Previous once a number was looked up,
    // Edit and Delete for the article on show. Editing: its fields, the abstract, Save, Cancel.
    const bool shown = !editing_ && shown_.has_value();
    lockInput(!editing_);
    ui->Text1->setReadOnly(editing_);
    forms::setFieldColour(ui->Text1, editing_ ? forms::lockedColour : forms::unlockedColour);
    Cmdedit->setVisible(!editing_);
    forms::setButtons({Cmdnext, Cmdprev, Cmdedit, Cmddel, Cmdsave, Cmdcancel, abstractButton},
                      {!editing_ && stepping_, !editing_ && stepping_, shown, shown, editing_, editing_, editing_});
}

void edit_index_journal::lookUp() {
    if (editing_)
        return;
    forms::guarded(
        this,
        [&] {
            ui->Text1->setText(ArticleStore::numberText(ui->Text1->text()));
            if (!showArticle()) {
                forms::inform(this, QStringLiteral("ไม่พบเลจที่บทความนี้ กรุณาตรวจสอบอีกครั้ง"), QStringLiteral("ไม่พบข้อมูล"),
                              forms::Icon::Critical);
                setBrowsing();
                ui->Text1->setFocus();
                return;
            }
            setBrowsing();
        },
        db_.get());
}

void edit_index_journal::searchTitle() {
    if (editing_) // Enter in the title being edited is not a search
        return;
    forms::searchInto(
        this, db_.get(), List_Index, ui->Text2, 10,
        [&] {
            return forms::pickRows(ArticleStore::titlesStartingWith(*db_, ui->Text2->toPlainText()), [](const auto& a) {
                return forms::PickRow{a.first, a.second};
            });
        },
        forms::sayNotFound(this, List_Index, ui->Text2, false));
}

void edit_index_journal::step(bool forward) {
    forms::guarded(
        this,
        [&] {
            qint64 limit = 0;
            const QString from = ui->Text1->text();
            const auto next = ArticleStore::neighbour(*db_, from, forward, &limit);
            if (next) {
                ui->Text1->setText(*next);
                showArticle();
                setBrowsing();
                return;
            }
            // No article between here and the end: the number shown is the last (first) one.
            const qint64 n = data::leadingNumber(from);
            if (forward ? n < limit : n > 1) {
                clearFields();
                shown_.reset();
                ui->Text1->setText(ArticleStore::articleNumber(forward ? limit : 1));
                setBrowsing();
            }
            forms::inform(
                this, forward ? QStringLiteral("Record สุดท้ายของฐานข้อมูลแล้ว") : QStringLiteral("Record แรกของฐานข้อมูลแล้ว"),
                forward ? QStringLiteral("End Of File") : QStringLiteral("Begin Of File"), forms::Icon::Information);
        },
        db_.get());
}

void edit_index_journal::edit() {
    if (!shown_)
        return;
    editing_ = true;
    closeLists();
    // Whatever was typed in the number or the title search since, the stored article is edited.
    ui->Text1->setText(shownNumber_);
    clearFields();
    showEntry(shown_->entry, shown_->journalName);
    applyMode();
    ui->Text2->setFocus();
}

void edit_index_journal::cancel() {
    forms::guarded(
        this, [&] { showArticle(); }, db_.get());
    setBrowsing();
}

void edit_index_journal::save() {
    if (!editing_ || !shown_)
        return;
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"), QStringLiteral("Confirn"),
                            forms::Icon::Question))
        return;
    if (!checkEntry())
        return;
    const QString number = shownNumber_;
    data::Saved<data::EditOutcome> saved;
    if (!forms::guarded(
            this, [&] { saved = ArticleStore::update(*db_, number, entry(), *shown_); }, db_.get(), saving()))
        return;
    if (saved.value == data::EditOutcome::Missing) {
        forms::inform(this, QStringLiteral("ไม่พบบทความเลขที่ %1 (อาจถูกลบจากเครื่องอื่นแล้ว) ข้อมูลไม่ได้ถูกบันทึก").arg(number),
                      QStringLiteral("Save Data Error"), forms::Icon::Critical);
        return;
    }
    if (saved.value == data::EditOutcome::ChangedElsewhere) {
        if (forms::askYesNo(this, forms::changedElsewhere(QStringLiteral("บทความเลขที่ %1").arg(number)),
                            QStringLiteral("Save Data Error"), forms::Icon::Warning))
            cancel();
        return;
    }
    if (saved.foundAfterCut())
        forms::inform(this, QStringLiteral("บันทึกข้อมูลเรียบร้อยแล้ว") + forms::verifiedAfterCut(),
                      QStringLiteral("ผลการบันทึก"), forms::Icon::Information);
    cancel();
}

void edit_index_journal::remove() {
    if (!shown_ || editing_)
        return;
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการลบข้อมูลหรือไม่"), QStringLiteral("ยืนยันการลบข้อมูล"),
                            forms::Icon::Question))
        return;
    const QString number = shownNumber_;
    ui->Text1->setText(number);
    bool existed = false;
    if (!forms::guarded(
            this, [&] { existed = ArticleStore::remove(*db_, number); }, db_.get(), saving()))
        return;
    if (!existed)
        forms::inform(this, QStringLiteral("ไม่พบบทความเลขที่ %1 (อาจถูกลบจากเครื่องอื่นแล้ว) ไม่มีข้อมูลถูกลบ").arg(number),
                      QStringLiteral("ไม่พบข้อมูล"), forms::Icon::Critical);
    ui->Text1->setText(ArticleStore::articleNumber(qMax<qint64>(0, data::leadingNumber(number) - 1)));
    cancel();
}

forms::Declaration edit_index_journal::declaration() {
    return {QStringLiteral("edit_index_journal"), QStringLiteral("edit_index"), forms::Opens::Child, forms::makeWindow<edit_index_journal>,
            {QStringLiteral("article"), QStringLiteral("Text1"), {}}, forms::actionsOf(&edit_index_journal::roleActions)};
}

QList<forms::RoleActions> edit_index_journal::roleActions() {
    return {{data::Role::Indexing, {Cmdedit, Cmdsave}},
            {data::Role::Supervision, {Cmddel}}};
}

} // namespace indexing
