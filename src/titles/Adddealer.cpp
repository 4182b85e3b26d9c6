#include "titles/Adddealer.h"

#include "data/Config.h"
#include "forms/common/ErrorGuard.h"
#include "forms/common/Fonts.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/ProgramState.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "titles/DealerStore.h"
#include "ui_Adddealer.h"

#include <QKeyEvent>

namespace titles {

namespace {
const QColor windowColour(192, 255, 255);
const QColor buttonColour(255, 192, 192);
} // namespace

Adddealer::Adddealer(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::Adddealer>()) {
    ui->setupUi(this);
    db_ = std::make_unique<data::Connection>(data::installation().db);
    db_->open();

    forms::setBackColour(this, windowColour);
    for (QLabel* label : {ui->Label1, ui->Label2, ui->Label3, ui->Label4, ui->Label5}) {
        label->setFont(forms::thaiFont(9.75, true));
        forms::setBackColour(label, windowColour);
    }
    for (QWidget* field : fields())
        forms::styleDataField(field);
    for (QPushButton* b : {ui->Command5, ui->Command4, ui->Command1, ui->Command2, ui->Command3}) {
        b->setFont(forms::thaiFont(9.75, true));
        forms::setBackColour(b, buttonColour);
    }
    forms::setFieldLocked(ui->Text1, true);  // the code is never typed
    forms::setFieldLocked(ui->Text2, false); // the name is also the search field
    lockinput();
    resetbuttom(true, false, false);

    Listdealer = new forms::PickList(this);
    Listdealer->setObjectName(QStringLiteral("Listdealer"));
    forms::onSearch(
        ui->Text2, [this] { search(); }, Listdealer);
    connect(Listdealer, &forms::PickList::picked, this, &Adddealer::choose);

    connect(ui->Command5, &QPushButton::clicked, this, &Adddealer::add);
    connect(ui->Command4, &QPushButton::clicked, this, &Adddealer::edit);
    connect(ui->Command1, &QPushButton::clicked, this, &Adddealer::save);
    connect(ui->Command2, &QPushButton::clicked, this, &Adddealer::cancel);
    connect(ui->Command3, &QPushButton::clicked, this, &QWidget::close);
    ui->Text2->setFocus();
}

Adddealer::~Adddealer() = default;

QList<QWidget*> Adddealer::fields() const {
    return {ui->Text1, ui->Text2, ui->Text3, ui->Text4, ui->Text5};
}

void Adddealer::lockinput() {
    forms::setFieldsLocked({ui->Text3, ui->Text4, ui->Text5}, true);
}

void Adddealer::unlockinput() {
    forms::setFieldsLocked({ui->Text3, ui->Text4, ui->Text5}, false);
}

void Adddealer::resetbuttom(bool add, bool edit, bool save) {
    forms::setButtons({ui->Command5, ui->Command4, nullptr, ui->Command1}, {add, edit, false, save});
}

void Adddealer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The title register asks for a new publisher this way.
    if (forms::add_dealer_flag() == QLatin1String("T"))
        add();
}

void Adddealer::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && Listdealer->isVisible()) {
        Listdealer->hide();
        ui->Text2->setFocus();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Adddealer::search() {
    forms::guarded(
        this,
        [&] {
            const QList<DealerMatch> found = DealerStore::search(*db_, ui->Text2->toPlainText());
            if (found.isEmpty())
                return; // nothing changes, no message: the list stays as it was
            QList<forms::PickRow> rows;
            rows.reserve(found.size());
            for (const DealerMatch& m : found)
                rows.append({m.code, m.name});
            Listdealer->showRows(rows, ui->Text2, 10);
        },
        db_.get());
}

void Adddealer::choose(const QString& code, const QString& shownName) {
    Listdealer->hide();
    resetbuttom(false, true, false);
    forms::guarded(
        this,
        [&] {
            if (const auto d = DealerStore::find(*db_, code)) {
                ui->Text1->setText(d->code);
                ui->Text2->setPlainText(d->name);
                // A NULL column leaves what the field showed before.
                if (d->address1)
                    ui->Text3->setPlainText(*d->address1);
                if (d->address2)
                    ui->Text4->setPlainText(*d->address2);
                if (d->contact)
                    ui->Text5->setText(*d->contact);
            }
            ui->Text2->setPlainText(shownName);
        },
        db_.get());
}

void Adddealer::add() {
    forms::guarded(
        this,
        [&] {
            ui->Text1->setText(DealerStore::proposeCode(*db_));
            mode_ = QStringLiteral("Add");
            unlockinput();
            resetbuttom(false, false, true);
            ui->Text2->moveCursor(QTextCursor::End);
            ui->Text2->setFocus();
        },
        db_.get());
}

void Adddealer::startAddingWith(const QString& name) {
    ui->Text2->setPlainText(name);
    if (mode_ != QLatin1String("Add") || !ui->Command1->isEnabled())
        add(); // already open: showing it again does not resize it
    ui->Text2->moveCursor(QTextCursor::End);
    ui->Text2->setFocus();
}

void Adddealer::edit() {
    mode_ = QStringLiteral("Edit");
    unlockinput();
    resetbuttom(false, false, true);
    ui->Text2->setFocus();
}

void Adddealer::save() {
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"), QStringLiteral("บันทึกข้อมูล"),
                            forms::Icon::Question))
        return;
    const Dealer d{ui->Text1->text(), ui->Text2->toPlainText(), ui->Text3->toPlainText(), ui->Text4->toPlainText(),
                   ui->Text5->text()};
    QString result = QStringLiteral("บันทึกข้อมูล เรียบร้อยแล้ว");
    const bool ok = forms::guarded(
        this,
        [&] {
            if (mode_ == QLatin1String("Add")) {
                const QString code = DealerStore::add(*db_, d);
                if (code != d.code)
                    result += QStringLiteral("\nรหัส %1 ถูกใช้ไปแล้ว สำนักพิมพ์นี้ได้รับรหัส %2").arg(d.code, code);
            } else if (mode_ == QLatin1String("Edit")) {
                if (!DealerStore::update(*db_, d))
                    throw data::DbError(
                        0, QStringLiteral("02000"),
                        QStringLiteral("ไม่พบสำนักพิมพ์รหัส %1 (อาจถูกลบโดยเครื่องอื่น) ข้อมูลไม่ได้ถูกบันทึก").arg(d.code));
            }
        },
        db_.get(), QStringLiteral("บันทึกข้อมูลไม่สำเร็จ"));
    if (!ok)
        return; // the fields and the mode stay, so the user can try again
    forms::add_dealer_flag() = QStringLiteral("F");
    forms::inform(this, result, QStringLiteral("Complete"), forms::Icon::Information);
    cancel();
}

void Adddealer::cancel() {
    Listdealer->hide();
    forms::clearFields(fields());
    lockinput();
    resetbuttom(true, false, false);
    ui->Text2->setFocus();
}

} // namespace titles
