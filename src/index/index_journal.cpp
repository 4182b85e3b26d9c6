#include "index/index_journal.h"

#include "data/Counter.h"

#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/SearchList.h"
#include "rules/index/AuthorStore.h"
#include "ui_article_form.h"

#include <QGroupBox>

namespace indexing {

index_journal::index_journal(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : ArticleForm(QStringLiteral("index_journal"), QStringLiteral("โปรแกรมบันทึกดรรชนีวารสาร"), SubjectSearch::Prefix,
                  std::move(connection), parent) {
    Frame4->setTitle(QStringLiteral("บทคัดย่อ ( Abstruc)"));
    closeAbstract->setObjectName(QStringLiteral("Command6"));
    save_ = addButton("Command4", QStringLiteral("Save"));
    QPushButton* cancel = addButton("Command3", QStringLiteral("Cancel"));
    setTabOrder(abstractButton, save_);
    setTabOrder(save_, cancel);
    setTabOrder(cancel, ui->Command2);
    ui->Text1->setText(ArticleStore::expectedNumber(*db_));
    connect(save_, &QPushButton::clicked, this, &index_journal::save);
    connect(cancel, &QPushButton::clicked, this, &index_journal::clearEntry);
    forms::keyboardReady(this);
    forms::askBeforeClosing(
        this, [this] { return entry() != ArticleEntry{} || !ui->Text7->toPlainText().trimmed().isEmpty(); });
}

void index_journal::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ui->Text2->setFocus();
}

void index_journal::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ui->Text2->setFocus();
}

void index_journal::save() {
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"), QStringLiteral("Confirn"),
                            forms::Icon::Question))
        return;
    if (!checkEntry())
        return;
    const QString shown = ui->Text1->text().trimmed();
    data::Saved<QString> saved;
    if (!forms::guarded(
            this, [&] { saved = ArticleStore::save(*db_, entry()); }, db_.get(), saving()))
        return;
    const QString& number = saved.value;
    if (saved.foundAfterCut())
        forms::inform(this,
                      QStringLiteral("การเชื่อมต่อขาดขณะยืนยันการบันทึก ตรวจสอบแล้วว่าบทความนี้บันทึกไว้เรียบร้อย เลขที่ %1").arg(number),
                      QStringLiteral("ผลการบันทึก"), forms::Icon::Information);
    else if (data::leadingNumber(number) != data::leadingNumber(shown)) // "100" and "0000100" are one number
        forms::inform(this,
                      QStringLiteral("บันทึกข้อมูลเรียบร้อยแล้ว เลขที่ %1 ถูกใช้ไปแล้ว บทความนี้ได้รับเลขที่ %2").arg(shown, number),
                      QStringLiteral("ผลการบันทึก"), forms::Icon::Information);
    ui->Text1->setText(ArticleStore::articleNumber(data::leadingNumber(number) + 1)); // the next article number
    clearEntry();
}

void index_journal::clearEntry() {
    clearFields();
    ui->Text2->setFocus();
}

forms::Declaration index_journal::declaration() {
    return {QStringLiteral("index_journal"), QStringLiteral("addnew_index"), forms::Opens::Child, forms::makeWindow<index_journal>,
            {}, forms::actionsOf(&index_journal::roleActions)};
}

QList<forms::RoleActions> index_journal::roleActions() {
    return {{data::Role::Indexing, {save_}}};
}

} // namespace indexing
