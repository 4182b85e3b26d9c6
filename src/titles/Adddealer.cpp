#include "titles/Adddealer.h"

#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/ProgramState.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "rules/titles/DealerStore.h"
#include "ui_Adddealer.h"

#include <QRegularExpression>

namespace titles {

namespace {
const QColor windowColour(192, 255, 255);
const QColor buttonColour(255, 192, 192);
} // namespace

Adddealer::Adddealer(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::Adddealer>()) {
    ui->setupUi(this);
    db_ = std::move(connection);

    forms::setBackColour(this, windowColour);
    for (QLabel* label :
         {ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label5, ui->Label6, ui->Label7, ui->Label8, ui->Label9}) {
        label->setFont(reports::thaiFont(9.75, true));
        forms::setBackColour(label, windowColour);
    }
    for (QWidget* field : fields())
        forms::styleDataField(field);
    for (QPushButton* b : {ui->Command5, ui->Command4, ui->Command1, ui->Command2, ui->Command3}) {
        b->setFont(reports::thaiFont(9.75, true));
        forms::setBackColour(b, buttonColour);
    }
    forms::setFieldLocked(ui->Text1, true);  // the code is never typed
    forms::setFieldLocked(ui->Text2, false); // the name is also the search field
    Listdealer = new forms::PickList(this);
    Listdealer->setObjectName(QStringLiteral("Listdealer"));
    lockinput();
    resetbuttom(true, false, false);

    forms::onSearch(
        ui->Text2, [this] { search(); }, Listdealer);
    connect(Listdealer, &forms::PickList::picked, this, &Adddealer::choose);

    connect(ui->Command5, &QPushButton::clicked, this, &Adddealer::add);
    connect(ui->Command4, &QPushButton::clicked, this, &Adddealer::edit);
    connect(ui->Command1, &QPushButton::clicked, this, &Adddealer::save);
    connect(ui->Command2, &QPushButton::clicked, this, &Adddealer::cancel);
    connect(ui->Command3, &QPushButton::clicked, this, &QWidget::close);
    forms::limitToColumns(
        *db_, QStringLiteral("dealer"),
        {{ui->Text2, "Publisher_Name"},
         {ui->Text3, "Address1"},
         {ui->Text4, "Address2"},
         {ui->Text5, "Contact"},
         {ui->Textmail, "Email"},
         {ui->Textaccount, "claim_account"}});
    ui->Textdays->setMaxLength(3);
    // Tab down the fields, then along the buttons as they stand (Add first, not after Exit).
    QWidget* previous = ui->Textaccount;
    for (QWidget* next : {ui->Command5, ui->Command4, ui->Command1, ui->Command2, ui->Command3}) {
        setTabOrder(previous, next);
        previous = next;
    }
    forms::keyboardReady(this);
    forms::askBeforeClosing(this, [this] { return mode() == Mode::Adding || mode() == Mode::Editing; });
    ui->Text2->setFocus();
}

Adddealer::~Adddealer() = default;

QStringList Adddealer::fieldTexts() const {
    QStringList texts;
    for (QWidget* f : fields())
        texts << forms::fieldText(f);
    return texts;
}

bool Adddealer::hasUnsavedChanges() const {
    return entry_ != Entry::None && ui->Command1->isEnabled() && fieldTexts() != startedWith_;
}

QList<QWidget*> Adddealer::fields() const {
    return {ui->Text1, ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Textmail, ui->cbolanguage, ui->Textdays,
            ui->Textaccount};
}

QList<QWidget*> Adddealer::openFields() const {
    return {ui->Text3, ui->Text4, ui->Text5, ui->Textmail, ui->cbolanguage, ui->Textdays, ui->Textaccount};
}

void Adddealer::lockinput() {
    forms::setFieldsLocked(openFields(), true);
}

void Adddealer::unlockinput() {
    forms::setFieldsLocked(openFields(), false);
}

namespace {
// The letters' language as the list shows it: by the name, Thai, English.
const QStringList languageCodes = {QString(), QStringLiteral("th"), QStringLiteral("en")};
} // namespace

void Adddealer::resetbuttom(bool add, bool edit, bool save) {
    Listdealer->hide(); // every change of mode closes the list; a pick acts only where it was offered
    forms::setButtons({ui->Command5, ui->Command4, nullptr, ui->Command1}, {add, edit, false, save});
}

void Adddealer::search() {
    // While a publisher is being added or changed, Enter in its name is typing, not a search:
    // a pick from a list there would drop the entry.
    if (entry_ != Entry::None)
        return;
    forms::searchInto(
        this, db_.get(), Listdealer, ui->Text2, 10,
        [&] {
            return forms::pickRows(DealerStore::search(*db_, ui->Text2->toPlainText()), [](const DealerMatch& m) {
                return forms::PickRow{m.code, m.name};
            });
        },
        [] {}); // nothing found: nothing changes, no message, the list stays as it was
}

void Adddealer::choose(const QString& code, const QString& shownName) {
    Listdealer->hide();
    entry_ = Entry::None;
    lockinput();
    resetbuttom(false, true, false);
    forms::guarded(
        this,
        [&] {
            if (const auto d = DealerStore::find(*db_, code)) {
                shown_ = *d;
                ui->Text1->setText(d->code);
                ui->Text2->setPlainText(d->name);
                // A NULL column leaves what the field showed before.
                if (d->address1)
                    ui->Text3->setPlainText(*d->address1);
                if (d->address2)
                    ui->Text4->setPlainText(*d->address2);
                if (d->contact)
                    ui->Text5->setText(*d->contact);
                ui->Textmail->setText(d->email.value_or(QString()));
                ui->cbolanguage->setCurrentIndex(int(qMax(0, languageCodes.indexOf(d->claimLanguage))));
                ui->Textdays->setText(QString::number(d->claimDays));
                ui->Textaccount->setText(d->account.value_or(QString()));
            }
            if (!shownName.isEmpty())
                ui->Text2->setPlainText(shownName);
        },
        db_.get());
}

void Adddealer::add() {
    forms::guarded(
        this,
        [&] {
            ui->Text1->setText(DealerStore::proposeCode(*db_));
            entry_ = Entry::Adding;
            // A new publisher starts with empty address fields, whatever was shown before.
            forms::clearFields(openFields());
            ui->cbolanguage->setCurrentIndex(0);
            ui->Textdays->setText(QStringLiteral("30"));
            startedWith_ = fieldTexts();
            unlockinput();
            resetbuttom(false, false, true);
            ui->Text2->moveCursor(QTextCursor::End);
            ui->Text2->setFocus();
        },
        db_.get());
}

void Adddealer::startAddingWith(const QString& name) {
    if (hasUnsavedChanges() && !forms::askYesNo(this,
                                                QStringLiteral("ข้อมูลสำนักพิมพ์ที่กำลังเพิ่มหรือแก้ไขอยู่ยังไม่ได้บันทึก\n"
                                                               "ต้องการยกเลิกข้อมูลนั้น แล้วเพิ่มสำนักพิมพ์ \"%1\" หรือไม่")
                                                    .arg(name.trimmed()),
                                                QStringLiteral("ข้อมูลยังไม่ได้บันทึก"), forms::Icon::Question)) {
        return; // the unsaved work stays as it is
    }
    if (entry_ != Entry::Adding || !ui->Command1->isEnabled() || hasUnsavedChanges())
        add(); // already open: showing it again does not resize it
    ui->Text2->setPlainText(name.trimmed());
    startedWith_ = fieldTexts();
    ui->Text2->moveCursor(QTextCursor::End);
    ui->Text2->setFocus();
}

void Adddealer::edit() {
    entry_ = Entry::Editing;
    startedWith_ = fieldTexts();
    unlockinput();
    resetbuttom(false, false, true);
    ui->Text2->setFocus();
}

void Adddealer::save() {
    if (ui->Text2->toPlainText().trimmed().isEmpty()) {
        forms::inform(this, QStringLiteral("กรุณากรอกชื่อสำนักพิมพ์"), QStringLiteral("ข้อมูลไม่สมบูรณ์"), forms::Icon::Critical);
        ui->Text2->setFocus();
        return;
    }
    // One address for the claims, or none (the letters then printed).
    static const QRegularExpression mailAddress(QStringLiteral("^[^@\\s,;<>]+@[^@\\s,;<>]+\\.[^@\\s,;<>]+$"));
    const QString mail = ui->Textmail->text().trimmed();
    if (!mail.isEmpty() && !mailAddress.match(mail).hasMatch()) {
        forms::inform(this, QStringLiteral("อีเมลไม่ถูกต้อง กรุณากรอกที่อยู่เดียว เช่น sales@example.com"),
                      QStringLiteral("ข้อมูลไม่ถูกต้อง"), forms::Icon::Critical);
        ui->Textmail->setFocus();
        return;
    }
    bool number = false;
    const int days = ui->Textdays->text().trimmed().toInt(&number);
    if (!number || days < 1 || days > 365) {
        forms::inform(this, QStringLiteral("จำนวนวันก่อนทวงซ้ำต้องเป็นตัวเลข 1 ถึง 365"), QStringLiteral("ข้อมูลไม่ถูกต้อง"),
                      forms::Icon::Critical);
        ui->Textdays->setFocus();
        return;
    }
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"), QStringLiteral("บันทึกข้อมูล"),
                            forms::Icon::Question))
        return;
    const auto optional = [](const QString& text) {
        return text.trimmed().isEmpty() ? std::nullopt : std::optional<QString>(text.trimmed());
    };
    const Dealer d{ui->Text1->text(),
                   ui->Text2->toPlainText(),
                   ui->Text3->toPlainText(),
                   ui->Text4->toPlainText(),
                   ui->Text5->text(),
                   optional(mail),
                   languageCodes.value(ui->cbolanguage->currentIndex()),
                   days,
                   optional(ui->Textaccount->text())};
    QString result = QStringLiteral("บันทึกข้อมูล เรียบร้อยแล้ว");
    data::EditOutcome outcome = data::EditOutcome::Saved;
    const bool ok = forms::guarded(
        this,
        [&] {
            if (entry_ == Entry::Adding) {
                const auto [code, commit] = DealerStore::add(*db_, d);
                if (code != d.code)
                    result += QStringLiteral("\nรหัส %1 ถูกใช้ไปแล้ว สำนักพิมพ์นี้ได้รับรหัส %2").arg(d.code, code);
                if (commit == data::Commit::FoundAfterCut)
                    result += forms::verifiedAfterCut();
            } else if (entry_ == Entry::Editing) {
                outcome = DealerStore::update(*db_, d, shown_);
            }
        },
        db_.get(), QStringLiteral("บันทึกข้อมูลไม่สำเร็จ"));
    if (!ok)
        return; // the fields and the mode stay, so the user can try again
    if (outcome == data::EditOutcome::Missing) {
        forms::inform(this, QStringLiteral("ไม่พบสำนักพิมพ์รหัส %1 (อาจถูกลบโดยเครื่องอื่น) ข้อมูลไม่ได้ถูกบันทึก").arg(d.code),
                      QStringLiteral("บันทึกข้อมูลไม่สำเร็จ"), forms::Icon::Critical);
        return;
    }
    if (outcome == data::EditOutcome::ChangedElsewhere) {
        if (forms::askYesNo(this, forms::changedElsewhere(QStringLiteral("สำนักพิมพ์รหัส %1").arg(d.code)),
                            QStringLiteral("บันทึกข้อมูลไม่สำเร็จ"), forms::Icon::Warning))
            choose(d.code, QString());
        return;
    }
    forms::inform(this, result, QStringLiteral("Complete"), forms::Icon::Information);
    cancel();
}

void Adddealer::cancel() {
    entry_ = Entry::None;
    shown_ = {};
    Listdealer->hide();
    forms::clearFields(fields());
    lockinput();
    resetbuttom(true, false, false);
    ui->Text2->setFocus();
}

forms::Declaration Adddealer::declaration() {
    return {QStringLiteral("Adddealer"), QStringLiteral("i"), forms::Opens::CentredOnScreen, forms::makeWindow<Adddealer>,
            {QStringLiteral("dealer"), QStringLiteral("Text1"), {}}, forms::actionsOf(&Adddealer::roleActions)};
}

QList<forms::RoleActions> Adddealer::roleActions() {
    return {{data::Role::Supervision, {ui->Command5, ui->Command4, ui->Command1}}};
}

} // namespace titles
