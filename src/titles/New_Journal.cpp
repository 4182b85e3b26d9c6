#include "titles/New_Journal.h"

#include "data/CodeTables.h"
#include "data/Config.h"
#include "data/Dates.h"
#include "forms/common/CodeCombo.h"
#include "forms/common/DateField.h"
#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/ProgramState.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "rules/receipt/PatternStore.h"
#include "rules/records/Holdings.h"
#include "rules/records/TitleStore.h"
#include "forms/common/ReportViewer.h"
#include "titles/Adddealer.h"
#include "titles/CopyCatalogue.h"
#include "rules/titles/DealerStore.h"
#include "rules/titles/TitleRecord.h"
#include "ui_New_Journal.h"

#include <QCalendarWidget>
#include <QFileDialog>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace titles {

namespace {

const QString subscribed = QStringLiteral("เป็นสมาชิก");
const QString incompleteTitle = QStringLiteral("ข้อมูลไม่สมบรูณ์");

// The ISSN as "9999-9999" when it is stored as eight characters without the hyphen.
QString shownIssn(const QString& stored) {
    const QString t = stored.trimmed();
    if (t.size() == 8 && !t.contains(QLatin1Char('-')))
        return t.left(4) + QLatin1Char('-') + t.mid(4);
    return t;
}

} // namespace

New_Journal::New_Journal(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::New_Journal>()) {
    ui->setupUi(this);
    db_ = std::move(connection);

    Text8 = new QLineEdit(this);
    Text8->setObjectName(QStringLiteral("Text8"));
    Text8->hide();
    Text9 = new QLineEdit(this);
    Text9->setObjectName(QStringLiteral("Text9"));
    Text9->hide();
    dlbnamemag = new forms::PickList(this);
    dlbnamemag->setObjectName(QStringLiteral("dlbnamemag"));
    dlbdealer = new forms::PickList(this);
    dlbdealer->setObjectName(QStringLiteral("dlbdealer"));
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView2 = new QCalendarWidget(this);
    MonthView2->setObjectName(QStringLiteral("MonthView2"));

    for (QWidget* f : lockableFields())
        forms::styleDataField(f);
    forms::styleDataField(ui->Text1);
    forms::styleDataField(ui->Text2);
    forms::setFieldLocked(ui->Text2, false); // the search field is never locked
    for (QLabel* l : findChildren<QLabel*>())
        l->setFont(reports::thaiFont(9.75, true));
    for (QWidget* b : {ui->Cmdadd, ui->Cmdedit, ui->Cmddel, ui->Cmdsave, ui->Cmdcancle, ui->Command6})
        b->setFont(reports::thaiFont(9.75, true));
    forms::styleDataField(ui->Textholdings);
    forms::setFieldLocked(ui->Textholdings, true);
    // The frames keep room for their fields however small the window is made.
    for (QGroupBox* frame : {ui->Frame1, ui->Frame2, ui->Frame3})
        frame->setMinimumHeight(frame->sizeHint().height());

    // Load: the seven code tables, one query each.
    const std::pair<QComboBox*, const data::CodeTable*> lists[] = {
        {ui->dcblanguage, &data::codetables::language},  {ui->dcbtypemag, &data::codetables::typemag},
        {ui->dcbmagtype, &data::codetables::magtype},    {ui->dcbdepart, &data::codetables::department},
        {ui->dcbrecei, &data::codetables::receives},     {ui->dcbstatus, &data::codetables::statustype},
        {ui->dcbbindcolor, &data::codetables::bindcolor}};
    for (const auto& [combo, table] : lists)
        forms::fillCodeCombo(combo, data::loadCodeTable(*db_, *table));

    ui->Frame2->hide();
    connect(ui->dcbrecei, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { ui->Frame2->setVisible(text == subscribed); });

    forms::onSearch(
        ui->Text2, [this] { searchTitles(); }, dlbnamemag);
    connect(dlbnamemag, &forms::PickList::picked, this, &New_Journal::showTitle);
    forms::onSearch(
        ui->Text10, [this] { searchDealers(ui->Text10); }, dlbdealer);
    forms::onSearch(
        ui->Text14, [this] { searchDealers(ui->Text14); }, dlbdealer);
    connect(dlbdealer, &forms::PickList::picked, this, &New_Journal::chooseDealer);
    // A name typed over a chosen one no longer stands for the chosen publisher.
    connect(ui->Text10, &QLineEdit::textEdited, this, [this] { keepCode(publisherCode_, Text8, {}); });
    connect(ui->Text14, &QLineEdit::textEdited, this, [this] { keepCode(distributorCode_, Text9, {}); });

    auto* start = new forms::CalendarPicker(MonthView2);
    start->attach(ui->Command1, ui->Mask1);
    auto* membership = new forms::CalendarPicker(MonthView1);
    membership->attach(ui->Command2, ui->Mask5);
    membership->attach(ui->Command3, ui->Mask4);
    forms::typeIssnSeparator(ui->Mask2);

    connect(ui->Cmdadd, &QPushButton::clicked, this, &New_Journal::add);
    connect(ui->Cmdedit, &QPushButton::clicked, this, &New_Journal::edit);
    connect(ui->Cmddel, &QPushButton::clicked, this, &New_Journal::remove);
    connect(ui->Cmdsave, &QPushButton::clicked, this, &New_Journal::save);
    connect(ui->Cmdcancle, &QPushButton::clicked, this, &New_Journal::cancel);
    connect(ui->Command6, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->Cmdmarcin, &QPushButton::clicked, this, &New_Journal::copyFromCatalogue);
    connect(ui->Cmdmarcout, &QPushButton::clicked, this, [this] { exportMarc(); });
    // The shown title's publication pattern, in a window of its own.
    connect(ui->Cmdpattern, &QPushButton::clicked, this, [this] {
        if (QWidget* w = forms::openWindow(QStringLiteral("PatternEditor")))
            QMetaObject::invokeMethod(w, "showTitle", Q_ARG(QString, ui->Text1->text().trimmed()));
    });

    forms::limitToColumns(*db_, QStringLiteral("magazine"),
                          {{ui->Text1, "Pointer"},
                           {ui->Text2, "Magazine_Name"},
                           {ui->Text3, "Parallel_Name"},
                           {ui->Text4, "Former_Name"},
                           {ui->Text5, "Short_Name"},
                           {ui->Text6, "Location"}});

    // The holdings row's buttons keep their whole captions; the holdings field takes what is left.
    for (QPushButton* b : {ui->Cmdmarcin, ui->Cmdpattern, ui->Cmdmarcout})
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("รูปแบบการออก (!)...")) + 20);
    applyMode();
    // After the membership frame, Tab takes the holdings row and the buttons in their order on screen.
    QWidget* previous = ui->Command3;
    for (QWidget* next : QList<QWidget*>{ui->Textholdings, ui->Cmdmarcin, ui->Cmdpattern, ui->Cmdmarcout, ui->Cmdadd,
                                         ui->Cmdedit,
                                         ui->Cmddel, ui->Cmdsave, ui->Cmdcancle, ui->Command6}) {
        setTabOrder(previous, next);
        previous = next;
    }
    forms::keyboardReady(this);
    forms::askBeforeClosing(this, [this] { return adding_ || editing_; });
    ui->Text2->setFocus();
}

New_Journal::~New_Journal() = default;

QList<QComboBox*> New_Journal::codeLists() const {
    return {ui->dcbtypemag, ui->dcblanguage, ui->dcbmagtype,  ui->dcbdepart,
            ui->dcbstatus,  ui->dcbrecei,    ui->dcbbindcolor};
}

QList<QWidget*> New_Journal::lockableFields() const {
    QList<QWidget*> f = {ui->Text3,  ui->Text4, ui->Text5, ui->Text7, ui->Text10, ui->Text14,
                         ui->Text11, ui->Text6, ui->Mask1, ui->Mask2, ui->Mask4,  ui->Mask5};
    for (QComboBox* c : codeLists())
        f << c;
    return f;
}

void New_Journal::applyMode() {
    const Mode m = mode();
    const bool entry = m == Mode::Adding || m == Mode::Editing, shown = m == Mode::Shown;
    // Every change of mode closes the lists and calendars: a click in one left open would write
    // into a field that is locked now.
    for (QWidget* popup :
         {static_cast<QWidget*>(dlbdealer), static_cast<QWidget*>(MonthView1), static_cast<QWidget*>(MonthView2)})
        popup->hide();
    // Idle: Add; Shown: Edit, Delete, Cancel; Adding, Editing: the fields, Save, Cancel.
    forms::setButtons({ui->Cmdadd, ui->Cmdedit, ui->Cmddel, ui->Cmdsave, ui->Cmdcancle},
                      {m == Mode::Idle, shown, shown, entry, entry || shown});
    for (QWidget* w :
         {static_cast<QWidget*>(ui->opt1), static_cast<QWidget*>(ui->opt2), static_cast<QWidget*>(ui->Command1),
          static_cast<QWidget*>(ui->Command2), static_cast<QWidget*>(ui->Command3)})
        w->setEnabled(entry);
    // A record is copied into a new title only; records go out of what is stored.
    ui->Cmdmarcin->setEnabled(m == Mode::Adding);
    ui->Cmdmarcout->setEnabled(!entry);
    ui->Cmdpattern->setEnabled(shown);
    ui->Text1->setReadOnly(!entry); // its colour does not change
    forms::setFieldsLocked(lockableFields(), !entry);
}

void New_Journal::cleardata() {
    ui->Cmdpattern->setText(QStringLiteral("รูปแบบการออก..."));
    ui->Cmdpattern->setStyleSheet({});
    ui->Cmdpattern->setToolTip({});
    ui->opt1->setEnabled(false);
    ui->opt2->setEnabled(false);
    forms::clearFields({ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Text10, ui->Text14, ui->Text6, ui->Mask1,
                        ui->Mask2, ui->Mask4, ui->Mask5, ui->Textholdings});
    ui->Text7->setText(QStringLiteral("1"));
    ui->Text11->setText(QStringLiteral("0"));
    const QList<QComboBox*> lists = codeLists();
    forms::clearFields(QList<QWidget*>(lists.begin(), lists.end()));
}

void New_Journal::searchTitles() {
    const auto notFound = forms::sayNotFound(this, dlbnamemag, ui->Text2, true);
    forms::searchInto(
        this, db_.get(), dlbnamemag, ui->Text2, 12,
        [&] {
            return forms::pickRows(records::TitleStore::search(*db_, ui->Text2->text()),
                                   [](const records::TitleMatch& m) {
                                       return forms::PickRow{m.pointer, m.name};
                                   });
        },
        [&] {
            if (adding_ || editing_)
                dlbnamemag->hide(); // a new or corrected name: what was typed stays
            else
                notFound();
        });
}

void New_Journal::showTitle(const QString& code, const QString& name) {
    dlbnamemag->hide();
    if ((adding_ || editing_) &&
        !forms::askYesNo(this, QStringLiteral("ข้อมูลที่กำลังเพิ่มหรือแก้ไขอยู่ยังไม่ได้บันทึก ต้องการยกเลิกแล้วแสดงวารสารที่เลือกหรือไม่"),
                         QStringLiteral("ข้อมูลยังไม่ได้บันทึก"), forms::Icon::Question))
        return;
    // Showing a title is browsing: the fields are locked whatever was going on before.
    adding_ = editing_ = false;
    shownCode_.clear();
    applyMode();
    ui->Text1->setText(code);
    ui->Text2->setText(name);
    dlbnamemag->hide();
    cleardata();
    forms::guarded(
        this,
        [&] {
            const auto t = records::TitleStore::find(*db_, code);
            if (!t)
                return;
            ui->Text1->setText(t->pointer);
            shownCode_ = t->pointer.trimmed();
            shownOriginal_ = t->original;
            // A publication pattern set by staff that the issues received since contradict.
            const bool contradicted = receipt::contradicted(receipt::contradictions(*db_, shownCode_));
            ui->Cmdpattern->setText(contradicted ? QStringLiteral("รูปแบบการออก (!)...") : QStringLiteral("รูปแบบการออก..."));
            ui->Cmdpattern->setStyleSheet(contradicted ? QStringLiteral("color: #b00020") : QString());
            ui->Cmdpattern->setToolTip(contradicted ? QStringLiteral("รูปแบบการออกที่กำหนดไว้ขัดกับประวัติการรับ ควรตรวจสอบ")
                                                    : QString());
            const QChar series = t->pointer.isEmpty() ? QChar() : t->pointer.at(0).toUpper();
            if (series == QLatin1Char('J') || series == QLatin1Char('I'))
                ui->opt1->setChecked(true);
            else if (series == QLatin1Char('K') || series == QLatin1Char('L'))
                ui->opt2->setChecked(true);
            ui->Text2->setText(t->name);
            if (!t->parallelNull)
                ui->Text3->setText(t->parallelName);
            if (!t->formerNull)
                ui->Text4->setText(t->formerName);
            if (!t->shortNull)
                ui->Text5->setText(t->shortName);
            ui->Mask1->setText(data::formatDate(t->startDate));
            ui->Mask2->setText(shownIssn(t->issn));
            ui->Text7->setText(t->copiesPerYear);
            ui->Text11->setText(t->pricePerYear);
            ui->Mask5->setText(data::formatDate(t->orderDate));
            ui->Mask4->setText(data::formatDate(t->endDate));
            keepCode(publisherCode_, Text8, t->publisherCode);
            keepCode(distributorCode_, Text9, t->distributorCode);
            if (!t->locationNull)
                ui->Text6->setText(t->location);
            ui->Text10->setText(t->publisherName);
            ui->Text14->setText(t->distributorName);
            forms::showCode(ui->dcbtypemag, t->kindCode);
            forms::showCode(ui->dcblanguage, t->languageCode);
            forms::showCode(ui->dcbmagtype, t->frequencyCode);
            forms::showCode(ui->dcbdepart, t->departmentCode);
            forms::showCode(ui->dcbstatus, t->memberStatus);
            forms::showCode(ui->dcbrecei, t->receiveCode);
            forms::showCode(ui->dcbbindcolor, t->coverCode);
            ui->Textholdings->setText(records::HoldingsStore::summary(*db_, t->pointer));
            ui->Textholdings->setCursorPosition(0);
            applyMode();
            ui->Cmdedit->setFocus(); // past the locked fields, to what a person does next
        },
        db_.get());
}

void New_Journal::searchDealers(QLineEdit* field) {
    if (field->isReadOnly())
        return; // a publisher is only looked for while adding or editing
    dealerTarget_ = field;
    if (field == ui->Text14) {
        MonthView1->setSelectedDate(QDate::currentDate());
        MonthView2->setSelectedDate(QDate::currentDate());
    }
    forms::searchInto(
        this, db_.get(), dlbdealer, field, 10,
        [&] {
            return forms::pickRows(DealerStore::search(*db_, field->text()), [](const DealerMatch& m) {
                return forms::PickRow{m.code, m.name};
            });
        },
        [&] { // not registered yet: the publisher register takes over, already adding it
            dlbdealer->hide();
            if (auto* reg = qobject_cast<Adddealer*>(forms::openWindow(QStringLiteral("Adddealer"))))
                reg->startAddingWith(field->text());
        });
}

void New_Journal::keepCode(QString& code, QLineEdit* shown, const QString& value) {
    code = value;
    shown->setText(value);
}

void New_Journal::chooseDealer(const QString& code, const QString& name) {
    dlbdealer->hide();
    if (dealerTarget_ == ui->Text14) {
        ui->Text14->setText(name);
        keepCode(distributorCode_, Text9, code);
    } else if (dealerTarget_ == ui->Text10) {
        ui->Text10->setText(name);
        keepCode(publisherCode_, Text8, code);
    }
    if (dealerTarget_)
        dealerTarget_->setFocus();
}

void New_Journal::add() {
    cleardata();
    importedPattern_.reset();
    // A new title has no code until it is saved: the last one's code (and the foot naming who
    // changed it) must not stand over the new entry.
    ui->Text1->clear();
    shownCode_.clear();
    adding_ = true;
    editing_ = false;
    applyMode();
    ui->opt1->setFocus();
}

void New_Journal::edit() {
    adding_ = false;
    editing_ = true;
    applyMode();
    ui->Text2->setFocus();
}

void New_Journal::refuse(const QString& message, QWidget* focus, const QString& title) {
    forms::inform(this, message, title, forms::Icon::Critical);
    if (focus)
        focus->setFocus();
}

bool New_Journal::checkinput() {
    const auto empty = [](const QString& s) { return s.trimmed().isEmpty(); };
    struct Check {
        bool failed;
        QString message;
        QWidget* focus;
    };
    const Check checks[] = {
        {!ui->opt1->isChecked() && !ui->opt2->isChecked(), QStringLiteral("กรุณาเลือกประเภทสิ่งพิมพ์ "), ui->opt1},
        {empty(ui->dcbtypemag->currentText()), QStringLiteral("กรุณาเลือกชนิดสิ่งพิมพ์ "), ui->dcbtypemag},
        {empty(ui->Text2->text()), QStringLiteral("กรุณากรอกข้อมูลช่อง ชื่อวารสาร/หนังสือพิมพ์ "), ui->Text2},
        {empty(ui->dcblanguage->currentText()), QStringLiteral("กรุณาเลือกภาษา วารสาร/หนังสือพิมพ์ "), ui->dcblanguage},
        {empty(ui->dcbmagtype->currentText()), QStringLiteral("กรุณาเลือกกำหนดการออก วารสาร/หนังสือพิมพ์ "), ui->dcbmagtype},
        {empty(ui->Text10->text()), QStringLiteral("กรุณากรอกข้อมูลช่อง ผู้จัดพิมพ์ "), ui->Text10},
        // A typed name must be one chosen from the list: its code is what is saved.
        {empty(publisherCode_), QStringLiteral("กรุณาเลือกผู้จัดพิมพ์จากรายการ (ดับเบิลคลิกหรือกด Enter ที่ช่อง ผู้จัดพิมพ์ เพื่อค้นหา)"),
         ui->Text10},
        {empty(ui->dcbdepart->currentText()), QStringLiteral("กรุณาเลือก คณะ/หน่วยงานที่บอกรับ "), ui->dcbdepart},
        {empty(ui->dcbrecei->currentText()), QStringLiteral("กรุณาเลือก สถานภาพการบอกรับ "), ui->dcbrecei},
        {empty(ui->Text14->text()), QStringLiteral("กรุณาเลือก ผู้จัดจำหน่าย "), ui->Text14},
        {empty(distributorCode_),
         QStringLiteral("กรุณาเลือกผู้จัดจำหน่ายจากรายการ (ดับเบิลคลิกหรือกด Enter ที่ช่อง ผู้จัดจำหน่าย เพื่อค้นหา)"), ui->Text14},
        {empty(ui->dcbstatus->currentText()), QStringLiteral("กรุณาเลือก สถานภาพสมาชิก"), ui->dcbstatus},
        {forms::comboCode(ui->dcbbindcolor).isEmpty(), QStringLiteral("กรุณาเลือก สีปก"), ui->dcbbindcolor},
    };
    bool ok = true;
    for (const Check& c : checks) {
        if (c.failed) {
            refuse(c.message, c.focus, incompleteTitle);
            ok = false;
            break;
        }
    }
    for (QLineEdit* f : {ui->Text3, ui->Text4, ui->Text5})
        if (f->text().trimmed().isEmpty())
            f->setText(QStringLiteral("  "));
    return ok;
}

// Reads the fields into a title; refuses (with a message, focus in the field) a date that is
// not a real date or a count or price that is not a number.
bool New_Journal::readForm(records::Title* t) {
    std::optional<QDate> start, end, order;
    if (!forms::readDateField(this, ui->Mask1, QStringLiteral("วันที่เริ่มบอกรับ"), false, &start) ||
        !forms::readDateField(this, ui->Mask4, QStringLiteral("วันครบอายุ"), false, &end))
        return false;
    if (end && !forms::readDateField(this, ui->Mask5, QStringLiteral("วันที่สั่งซื้อ"), false, &order))
        return false;
    static const QRegularExpression wholeNumber(QStringLiteral("^\\d{1,9}$"));
    static const QRegularExpression amount(QStringLiteral("^\\d{1,10}(\\.\\d{1,2})?$"));
    const QString copies = ui->Text7->text().trimmed();
    if (!copies.isEmpty() && !wholeNumber.match(copies).hasMatch()) {
        refuse(QStringLiteral("จำนวน Copy/ปี ต้องเป็นตัวเลขจำนวนเต็ม"), ui->Text7, incompleteTitle);
        return false;
    }
    const QString price = ui->Text11->text().trimmed().remove(QLatin1Char(','));
    if (!price.isEmpty() && !amount.match(price).hasMatch()) {
        refuse(QStringLiteral("ค่าสมาชิก/ปี ต้องเป็นตัวเลข เช่น 1500 หรือ 1500.50"), ui->Text11, incompleteTitle);
        return false;
    }
    t->pointer = ui->Text1->text().trimmed();
    t->name = ui->Text2->text();
    t->parallelName = ui->Text3->text();
    t->formerName = ui->Text4->text();
    t->shortName = ui->Text5->text();
    t->issn = ui->Mask2->text();
    t->kindCode = forms::comboCode(ui->dcbtypemag);
    t->languageCode = forms::comboCode(ui->dcblanguage);
    t->frequencyCode = forms::comboCode(ui->dcbmagtype);
    t->publisherCode = publisherCode_;
    t->departmentCode = forms::comboCode(ui->dcbdepart);
    t->receiveCode = forms::comboCode(ui->dcbrecei);
    t->coverCode = forms::comboCode(ui->dcbbindcolor);
    t->copiesPerYear = copies;
    t->pricePerYear = price;
    t->startDate = start.value_or(QDate());
    if (end) {
        t->endDate = *end;
        t->orderDate = order.value_or(QDate());
    } else if (adding()) {
        // A new title without an expiry date: both dates become today.
        t->endDate = t->orderDate = QDate::currentDate();
    } else {
        // An edited title keeps an empty expiry empty: no date is invented for it.
        t->endDate = QDate();
        t->orderDate = order.value_or(QDate());
    }
    t->distributorCode = distributorCode_;
    t->memberStatus = forms::comboCode(ui->dcbstatus);
    t->location = ui->Text6->text();
    return true;
}

void New_Journal::save() {
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"), QStringLiteral("บันทึกข้อมูล"),
                            forms::Icon::Information))
        return;
    const QString failedTitle = QStringLiteral("การบันทึกข้อมูลล้มเหลว");
    bool duplicate = false;
    if (adding_ && !forms::guarded(
                       this, [&] { duplicate = records::TitleStore::nameExists(*db_, ui->Text2->text()); }, db_.get()))
        return;
    if (duplicate) {
        refuse(QStringLiteral("พบวารสารรายชื่อนี้ในฐานข้อมูล ไม่สามารถทำการเพิ่มรายชื่อใหม่ได้"), ui->Text2, failedTitle);
        return;
    }
    if (!checkinput())
        return;
    records::Title t;
    if (!readForm(&t))
        return;
    if (editing_ && t.pointer != shownCode_) {
        // Saving under another title's code would overwrite that title with this one.
        refuse(QStringLiteral("ไม่สามารถเปลี่ยนรหัสวารสารจาก %1 เป็น %2 ได้ ข้อมูลไม่ได้ถูกบันทึก").arg(shownCode_, t.pointer),
               ui->Text1, failedTitle);
        return;
    }
    // Two titles may share an ISSN (two subscriptions of one serial), but mostly it is a title
    // renamed after copy cataloguing, or a slip: asked, naming the other title, No by default.
    QStringList holders;
    if (!forms::guarded(
            this, [&] { holders = records::TitleStore::issnHolders(*db_, t.issn, editing_ ? shownCode_ : QString()); },
            db_.get()))
        return;
    if (!holders.isEmpty() &&
        !forms::askYesNo(this,
                         QStringLiteral("ISSN %1 เป็นของวารสาร %2 อยู่แล้ว\nต้องการบันทึกวารสารนี้ด้วย ISSN เดียวกันหรือไม่")
                             .arg(t.issn.trimmed(), holders.join(QStringLiteral(", "))),
                         failedTitle, forms::Icon::Warning, true)) {
        ui->Mask2->setFocus();
        return;
    }
    const int series = records::seriesNumber(ui->opt2->isChecked(), t.languageCode);
    t.original = shownOriginal_;
    QString result = QStringLiteral("การบันทึกข้อมูลวารสารรายชื่อใหม่เรียบร้อยแล้ว");
    data::EditOutcome outcome = data::EditOutcome::Saved;
    forms::GuardWords words;
    words.what = QStringLiteral("บันทึกข้อมูลไม่สำเร็จ ข้อมูลไม่ได้ถูกบันทึก");
    words.refusalTitle = failedTitle;
    words.refusedField = [this](int reason) -> QWidget* {
        return reason == records::TitleStore::Duplicate ? ui->Text2 : ui->Text1;
    };
    const bool ok = forms::guarded(
        this,
        [&] {
            if (adding_) {
                const auto [code, commit] = records::TitleStore::add(*db_, t, series);
                ui->Text1->setText(code);
                // The pattern its catalogue record gave, set by the person who saved it.
                if (importedPattern_)
                    receipt::setPattern(*db_, code, *importedPattern_);
                importedPattern_.reset();
                result += QStringLiteral("\nรหัสวารสาร %1").arg(code);
                if (commit == data::Commit::FoundAfterCut)
                    result += forms::verifiedAfterCut();
                return;
            }
            const auto saved = records::TitleStore::update(*db_, t);
            outcome = saved.value;
            if (outcome == data::EditOutcome::Missing)
                throw data::Refused(QStringLiteral("ไม่พบวารสารรหัส %1 ในฐานข้อมูล (รหัสถูกแก้ไข หรือถูกลบโดยเครื่องอื่น) "
                                                   "ข้อมูลไม่ได้ถูกบันทึก")
                                        .arg(t.pointer));
            if (saved.foundAfterCut())
                result += forms::verifiedAfterCut();
        },
        db_.get(), words);
    if (!ok)
        return;
    if (outcome == data::EditOutcome::ChangedElsewhere) {
        if (forms::askYesNo(this, forms::changedElsewhere(QStringLiteral("วารสารรหัส %1").arg(t.pointer)), failedTitle,
                            forms::Icon::Warning)) {
            editing_ = false;
            showTitle(t.pointer, t.name);
        }
        return;
    }
    adding_ = editing_ = false;
    shownCode_.clear();
    applyMode();
    forms::inform(this, result, QStringLiteral("ผลการบันทึกข้อมูล"), forms::Icon::Information);
    cleardata();
}

void New_Journal::remove() {
    records::TitleHoldings held;
    if (!forms::guarded(
            this, [&] { held = records::TitleStore::holdings(*db_, ui->Text1->text()); }, db_.get()))
        return;
    if (!forms::askOkCancel(this,
                            QStringLiteral("ต้องการลบข้อมูลหรือไม่\nวารสารนี้มีฉบับที่ลงทะเบียนไว้ %1 ฉบับ ดรรชนีบทความ %2 รายการ "
                                           "และวารสารรวมเล่ม %3 เล่ม ซึ่งจะยังคงอยู่ในฐานข้อมูลหลังจากลบรายชื่อวารสารนี้")
                                .arg(held.issues)
                                .arg(held.articles)
                                .arg(held.volumes),
                            QStringLiteral("ลบข้อมูล"), forms::Icon::Information))
        return;
    bool existed = false;
    const QString code = ui->Text1->text();
    if (!forms::guarded(
            this, [&] { existed = records::TitleStore::remove(*db_, code); }, db_.get()))
        return;
    if (existed)
        forms::inform(this, QStringLiteral("ลบข้อมูลเรียบร้อแล้ว"), QStringLiteral("แจ้งผลการลบข้อมูล"),
                      forms::Icon::Information);
    else
        forms::inform(this, QStringLiteral("ไม่พบวารสารรหัส %1 (อาจถูกลบจากเครื่องอื่นแล้ว) ไม่มีข้อมูลถูกลบ").arg(code),
                      QStringLiteral("แจ้งผลการลบข้อมูล"), forms::Icon::Critical);
    backToIdle();
}

void New_Journal::cancel() {
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการยกเลิกข้อมูลหรือไม่"), QStringLiteral("ยกเลิกข้อมูล"),
                            forms::Icon::Information))
        return;
    backToIdle();
}

void New_Journal::backToIdle() {
    adding_ = editing_ = false;
    shownCode_.clear();
    applyMode();
    cleardata();
    ui->Text1->clear();
    dlbnamemag->hide();
    dlbdealer->hide();
    ui->Text2->setFocus();
}

void New_Journal::copyFromCatalogue() {
    if (!adding_)
        return;
    const data::InstallationConfig& config = data::installation();
    auto* dialog = new CopyCatalogue(
        marc::CatalogueTarget{config.catalogueTarget, config.catalogueProtocol, config.catalogueTimeout}, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &CopyCatalogue::chosen, this, &New_Journal::fillFrom);
    dialog->show();
}

void New_Journal::fillFrom(const marc::Record& record) {
    if (!adding_)
        return; // the add was given up while the catalogue was searched
    const ImportedTitle in = importedTitle(record);
    importedPattern_ = in.pattern;
    const auto fill = [](QLineEdit* field, const QString& value) {
        if (!value.trimmed().isEmpty())
            field->setText(value.trimmed());
    };
    fill(ui->Text2, in.title.name);
    fill(ui->Text3, in.title.parallelName);
    fill(ui->Text4, in.title.formerName);
    fill(ui->Text5, in.title.shortName);
    fill(ui->Mask2, shownIssn(in.title.issn));
    (in.newspaper ? ui->opt2 : ui->opt1)->setChecked(true);
    QStringList said = in.unmapped;
    for (const auto& [combo, code, what] :
         {std::tuple{ui->dcblanguage, in.title.languageCode, QStringLiteral("ภาษา")},
          std::tuple{ui->dcbmagtype, in.title.frequencyCode, QStringLiteral("กำหนดออก")}}) {
        if (code.isEmpty())
            continue;
        forms::showCode(combo, code);
        if (combo->currentIndex() < 0)
            said << QStringLiteral("%1 รหัส \"%2\" ไม่มีในตารางรหัสของห้องสมุด").arg(what, code);
    }
    if (!in.publisherName.isEmpty()) {
        // The publisher is the library's own register's: the one of that name, if there is one.
        const QString wanted = in.publisherName.trimmed();
        QString code;
        forms::guarded(
            this,
            [&] {
                for (const DealerMatch& m : DealerStore::search(*db_, wanted))
                    if (m.name.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
                        code = m.code;
            },
            db_.get());
        ui->Text10->setText(wanted);
        keepCode(publisherCode_, Text8, code);
        if (code.isEmpty())
            said << QStringLiteral("ผู้จัดพิมพ์ \"%1\" ยังไม่มีในทะเบียนผู้จัดพิมพ์: กด Enter ที่ช่อง ผู้จัดพิมพ์ เพื่อค้นหรือเพิ่ม").arg(wanted);
    }
    if (!in.title.issn.trimmed().isEmpty())
        forms::guarded(
            this,
            [&] {
                if (const QStringList holders = records::TitleStore::issnHolders(*db_, in.title.issn);
                    !holders.isEmpty())
                    said << QStringLiteral("ISSN %1 ของระเบียนนี้มีในทะเบียนแล้ว: %2")
                                .arg(in.title.issn.trimmed(), holders.join(QStringLiteral(", ")));
            },
            db_.get());
    if (importedPattern_)
        said << QStringLiteral("รูปแบบการออกจากระเบียน (853): เดือนที่มีฉบับออก %1 จะบันทึกพร้อมวารสาร")
                    .arg(importedPattern_->monthsText());
    said.prepend(QStringLiteral("เติมข้อมูลจากระเบียน MARC แล้ว กรุณาตรวจสอบ เติมช่องที่ยังว่าง แล้วกดบันทึก"));
    forms::inform(this, said.join(QLatin1Char('\n')), QStringLiteral("ดึงข้อมูลจาก MARC"), forms::Icon::Information);
    ui->Text2->setFocus();
}

bool New_Journal::exportMarc(QString file, bool holdings) {
    if (adding_ || editing_)
        return false;
    const QString one = shownCode_;
    if (file.isEmpty()) {
        // The same records, or the holdings records of the same titles, in either form.
        const QString holdingsIso = QStringLiteral("MARC 21 holdings ISO 2709 (*.mrc)"),
                      holdingsXml = QStringLiteral("MARC 21 holdings MARCXML (*.xml)");
        QString chosen;
        file = QFileDialog::getSaveFileName(
            this, QStringLiteral("ส่งออกระเบียน MARC 21"),
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QLatin1Char('/') +
                (one.isEmpty() ? QStringLiteral("warasan") : one) + QStringLiteral(".mrc"),
            QStringList{QStringLiteral("MARC 21 ISO 2709 (*.mrc)"), QStringLiteral("MARCXML (*.xml)"), holdingsIso,
                        holdingsXml}
                .join(QStringLiteral(";;")),
            &chosen);
        holdings = chosen == holdingsIso || chosen == holdingsXml;
    }
    if (file.isEmpty())
        return false;
    bool written = false;
    forms::guarded(
        this,
        [&] {
            QProgressDialog* progress = nullptr;
            const QList<marc::Record> records =
                exportRecords(*db_, ExportChoice{{}, {}, one, holdings}, data::installation().marcOrganization,
                              reports::progressDialog(this, progress, QStringLiteral("กำลังสร้างระเบียน MARC...")));
            const bool stopped = progress && progress->wasCanceled();
            delete progress;
            if (stopped)
                return;
            const bool xml = file.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
            QSaveFile out(file);
            if (!out.open(QIODevice::WriteOnly) ||
                out.write(marc::write(records, xml ? marc::Format::MarcXml : marc::Format::Iso2709)) < 0 ||
                !out.commit()) {
                forms::inform(this, QStringLiteral("บันทึกไฟล์ %1 ไม่ได้: %2").arg(file, out.errorString()),
                              QStringLiteral("ส่งออก MARC"), forms::Icon::Critical);
                return;
            }
            written = true;
        },
        db_.get());
    return written;
}

forms::Declaration New_Journal::declaration() {
    return {QStringLiteral("New_Journal"), QStringLiteral("aaa"), forms::Opens::Child, forms::makeWindow<New_Journal>,
            {QStringLiteral("magazine"), QStringLiteral("Text1"), {}}, forms::actionsOf(&New_Journal::roleActions)};
}

QList<forms::RoleActions> New_Journal::roleActions() {
    return {{data::Role::Supervision, {ui->Cmdadd, ui->Cmdedit, ui->Cmddel, ui->Cmdsave, ui->Cmdmarcin}}};
}

} // namespace titles
