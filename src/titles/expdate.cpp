#include "titles/expdate.h"

#include "data/Dates.h"
#include "forms/common/DateField.h"
#include "forms/common/ErrorGuard.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/Style.h"
#include "forms/common/ReportViewer.h"
#include "ui_expdate.h"

#include <QCalendarWidget>
#include <QRegularExpression>

namespace titles {

namespace {

const QColor lightGreen(192, 255, 192);
const QColor lightYellow(255, 255, 192);

enum Column { ColName, ColEnd, ColLatest, ColPrice, ColPublisher, ColOrder, ColPointer, ColSpare };

} // namespace

expdate::expdate(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::expdate>()) {
    ui->setupUi(this);
    forms::setupGrid(ui->showjour, {{QString(39, QLatin1Char(' ')) + QStringLiteral("รายชื่อวารสาร"), 6300},
                                    {QStringLiteral("   วันที่ครบอายุ"), 1500},
                                    {QStringLiteral("    ฉบับล่าสุดที่ได้รับ"), 3150},
                                    {QString(), 0},
                                    {QString(), 0},
                                    {QString(), 0},
                                    {QString(), 0},
                                    {QString(), 0}});
    forms::clearGrid(ui->showjour, 1);
    QCalendarWidget** views[] = {&MonthView1, &MonthView2, &MonthView3, &MonthView4};
    for (int i = 0; i < 4; ++i) {
        *views[i] = new QCalendarWidget(this);
        (*views[i])->setObjectName(QStringLiteral("MonthView%1").arg(i + 1));
    }
    (new forms::CalendarPicker(MonthView1))->attach(ui->Command4, ui->Text1);
    (new forms::CalendarPicker(MonthView2))->attach(ui->Command5, ui->Text2);
    auto* renewal = new forms::CalendarPicker(MonthView3);
    renewal->attach(ui->Command6, ui->Text7);
    (new forms::CalendarPicker(MonthView4))->attach(ui->Command7, ui->Text8, true); // on the expiry shown
    // A renewal runs eleven months from the day it is picked.
    connect(renewal, &forms::CalendarPicker::picked, this,
            [this](QLineEdit*, const QDate& d) { ui->Text8->setText(data::formatDate(renewalExpiry(d))); });
    for (QLineEdit* f : {ui->Text1, ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Text7, ui->Text8})
        forms::styleDataField(f);
    for (QLineEdit* f : {ui->Text1, ui->Text2, ui->Text7, ui->Text8})
        f->setMaxLength(10);
    forms::setFieldColour(ui->Text1, lightGreen);
    forms::setFieldColour(ui->Text2, lightGreen);
    ui->Text1->setText(data::formatDate(QDate::currentDate()));
    ui->Text2->setText(ui->Text1->text());
    applyMode();

    db_ = std::move(connection);
    forms::limitLength(ui->Text5, 13);

    connect(ui->Command1, &QPushButton::clicked, this, &expdate::search);
    connect(ui->Command2, &QPushButton::clicked, this, &expdate::clear);
    connect(ui->Command3, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->cmdedit, &QPushButton::clicked, this, &expdate::edit);
    connect(ui->cmdsave, &QPushButton::clicked, this, &expdate::save);
    connect(ui->Cmdcancel, &QPushButton::clicked, this, &expdate::cancel);
    connect(ui->Cmdprint, &QPushButton::clicked, this, &expdate::print);
    connect(ui->showjour, &forms::Grid::cellClicked, this, [this](int r, int) { chooseRow(r); });
    forms::onRowChosenByEnter(ui->showjour, [this](int r) { chooseRow(r); });
    forms::keyboardReady(this);
    forms::askBeforeClosing(this, [this] { return editing_; });
    ui->Option1->setFocus();
}

expdate::~expdate() = default;

void expdate::applyMode() {
    // Idle: the period and Search; Listed: Print, a title to choose; Chosen: Edit; Editing: the
    // renewal's fields with their calendars, Save and Cancel, the list waiting.
    const Mode m = mode();
    forms::setButtons({ui->Command1, ui->Cmdprint, ui->cmdedit, ui->cmdsave, ui->Cmdcancel, ui->Command6, ui->Command7},
                      {m == Mode::Idle, !listed_.isEmpty(), m == Mode::Chosen, editing_, editing_, editing_, editing_});
    ui->Cmdcancel->setVisible(editing_);
    ui->showjour->setEnabled(!editing_);
    lockInput(!editing_);
}

void expdate::lockInput(bool locked) {
    for (QLineEdit* f : {ui->Text3, ui->Text4})
        forms::setFieldLocked(f, true, lightYellow, lightYellow);
    for (QLineEdit* f : {ui->Text5, ui->Text7, ui->Text8})
        forms::setFieldLocked(f, locked, lightYellow, lightYellow);
    if (locked) { // a calendar left open would write into the locked dates
        MonthView3->hide();
        MonthView4->hide();
    }
}

void expdate::fillGrid() {
    QList<QStringList> rows;
    for (const ExpiryRow& r : listed_)
        rows.append({r.name, data::formatDate(r.endDate), r.latestIssue, r.price, r.publisher,
                     data::formatDate(r.orderDate), r.pointer, QString()});
    // One blank row below the list, and at least eleven rows in all.
    forms::fillGrid(ui->showjour, rows, rows.size() + 2 < 11 ? 11 : int(rows.size()) + 1);
}

void expdate::search() {
    std::optional<QDate> from, to;
    if (!forms::readDateField(this, ui->Text1, QStringLiteral("วันที่"), true, &from) ||
        !forms::readDateField(this, ui->Text2, QStringLiteral("ถึงวันที่"), true, &to))
        return;
    if (*to < *from) {
        forms::inform(this,
                      QStringLiteral("ช่วงวันที่ไม่ถูกต้อง: วันที่ \"%1\" อยู่ก่อนวันที่เริ่มต้น \"%2\"\nกรุณาป้อนช่วงวันที่ใหม่")
                          .arg(ui->Text2->text(), ui->Text1->text()),
                      QStringLiteral("ตรวจสอบข้อมูล"), forms::Icon::Critical);
        ui->Text2->setFocus();
        return;
    }
    const QChar group = ui->Option1->isChecked()   ? QLatin1Char('J')
                        : ui->Option2->isChecked() ? QLatin1Char('I')
                                                   : QChar();
    forms::guarded(
        this,
        [&] {
            const QList<ExpiryRow> found =
                group.isNull() ? QList<ExpiryRow>{} : ExpiryStore::list(*db_, group, *from, *to);
            if (found.isEmpty()) {
                forms::inform(this, QStringLiteral("ไม่พบรายชื่อวารสารที่จะครบอายุสมาชิกในช่วงเวลานี้"),
                              QStringLiteral("ผลการตรวจเช็ค"), forms::Icon::Information);
                return;
            }
            listed_ = found;
            from_ = ui->Text1->text();
            to_ = ui->Text2->text();
            fillGrid();
            ui->showjour->setCurrentCell(0, 0);
            applyMode(); // a new search starts with Clear
            ui->showjour->setFocus();
        },
        db_.get());
}

void expdate::clear() {
    listed_.clear();
    current_ = -1;
    editing_ = false; // Clear ends a renewal being edited as well
    forms::clearGrid(ui->showjour, 1);
    applyMode();
    for (QLineEdit* f : {ui->Text3, ui->Text4, ui->Text5, ui->Text7, ui->Text8})
        f->clear();
    ui->Text1->setText(data::formatDate(QDate::currentDate()));
    ui->Text2->setText(ui->Text1->text());
    ui->Text1->setFocus();
}

void expdate::chooseRow(int r) {
    if (r < 0 || r >= listed_.size() || !ui->showjour->isEnabled())
        return;
    current_ = r;
    const ExpiryRow& row = listed_.at(r);
    ui->Text3->setText(row.name);
    ui->Text4->setText(row.publisher);
    ui->Text5->setText(row.price);
    ui->Text7->setText(data::formatDate(row.orderDate));
    ui->Text8->setText(data::formatDate(row.endDate));
    applyMode();
}

void expdate::edit() {
    if (current_ < 0)
        return;
    editing_ = true;
    applyMode();
    ui->Text5->setFocus();
    ui->Text5->selectAll();
}

void expdate::cancel() {
    editing_ = false;
    applyMode();
    chooseRow(current_);
    ui->showjour->setFocus();
}

void expdate::save() {
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"), QStringLiteral("บันทึกข้อมูล"),
                            forms::Icon::Information))
        return;
    static const QRegularExpression money(QStringLiteral("^\\d{1,10}(\\.\\d{1,2})?$"));
    if (!money.match(ui->Text5->text().trimmed()).hasMatch()) {
        forms::inform(
            this,
            QStringLiteral(
                "ค่าสมาชิก/ปี \"%1\" ไม่ใช่จำนวนเงินที่ถูกต้อง\nกรุณาป้อนตัวเลขไม่ติดลบ ทศนิยมไม่เกิน 2 ตำแหน่ง เช่น 12500 หรือ 12500.50")
                .arg(ui->Text5->text()),
            QStringLiteral("ตรวจสอบข้อมูล"), forms::Icon::Critical);
        ui->Text5->setFocus();
        ui->Text5->selectAll();
        return;
    }
    std::optional<QDate> renewal, expiry;
    if (!forms::readDateField(this, ui->Text7, QStringLiteral("วันที่ต่ออายุ"), true, &renewal) ||
        !forms::readDateField(this, ui->Text8, QStringLiteral("วันที่ครบอายุ"), true, &expiry))
        return;
    ExpiryRow& row = listed_[current_];
    forms::guarded(
        this,
        [&] {
            const data::EditOutcome outcome = ExpiryStore::renew(*db_, row, ui->Text5->text(), *renewal, *expiry);
            if (outcome == data::EditOutcome::Missing) {
                forms::inform(this, QStringLiteral("ไม่พบวารสาร %1 (อาจถูกลบจากเครื่องอื่นแล้ว) ข้อมูลไม่ได้ถูกบันทึก").arg(row.name),
                              QStringLiteral("ผลการบันทึกข้อมูล"), forms::Icon::Critical);
                return;
            }
            if (outcome == data::EditOutcome::ChangedElsewhere) {
                forms::inform(this, forms::changedElsewhere(row.name).section(QLatin1Char('\n'), 0, 0),
                              QStringLiteral("ผลการบันทึกข้อมูล"), forms::Icon::Warning);
                return;
            }
            row.price = QString::number(ui->Text5->text().trimmed().toDouble(), 'f', 2);
            row.orderDate = *renewal;
            row.endDate = *expiry;
            row.shown.values = {row.price, *expiry, *renewal};
            fillGrid();
            ui->showjour->setCurrentCell(current_, 0);
            forms::inform(this, QStringLiteral("บันทึกข้อมูลเรียบร้อยแล้ว"), QStringLiteral("ผลการบันทึกข้อมูล"),
                          forms::Icon::Information);
            editing_ = false;
            applyMode();
            chooseRow(current_); // the renewal as stored, not as typed ("120.5", a Buddhist-era year)
            ui->showjour->setFocus();
        },
        db_.get());
}

void expdate::print() {
    if (listed_.isEmpty() || !forms::askOkCancel(this, QStringLiteral("คุณต้องการพิมพ์ข้อมูลหรือไม่"),
                                                 QStringLiteral("พิมพ์ข้อมูล"), forms::Icon::Information))
        return;
    reports::showReport(expiryReport(listed_, from_, to_), this);
}

forms::Declaration expdate::declaration() {
    return {QStringLiteral("expdate"), QStringLiteral("jjjj"), forms::Opens::Child, forms::makeWindow<expdate>,
            {QStringLiteral("magazine"), QStringLiteral("Text3"), QStringLiteral("SELECT Pointer FROM magazine WHERE Magazine_Name = ? ORDER BY Pointer LIMIT 1")}, forms::actionsOf(&expdate::roleActions),
            forms::openOnOf(&expdate::openOn)};
}

void expdate::openOn(const QString& pointer) {
    if (editing_)
        return;
    const QChar group = pointer.trimmed().isEmpty() ? QChar() : pointer.trimmed().at(0).toUpper();
    (group == QLatin1Char('I') ? ui->Option2 : ui->Option1)->setChecked(true);
    const QDate today = QDate::currentDate();
    ui->Text1->setText(data::formatDate(today));
    ui->Text2->setText(data::formatDate(today.addMonths(2)));
    search();
    for (int row = 0; row < listed_.size(); ++row)
        if (listed_.at(row).pointer.trimmed() == pointer.trimmed()) {
            ui->showjour->setCurrentCell(row, 0);
            chooseRow(row);
            return;
        }
}

QList<forms::RoleActions> expdate::roleActions() {
    return {{data::Role::Supervision, {ui->cmdedit, ui->cmdsave}}};
}

} // namespace titles
