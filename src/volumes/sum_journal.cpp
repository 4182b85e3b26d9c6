#include "volumes/sum_journal.h"

#include "data/Dates.h"
#include "forms/common/ErrorGuard.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "forms/common/IssueGrid.h"
#include "rules/records/TitleStore.h"
#include "ui_sum_journal.h"

#include <QKeyEvent>

namespace volumes {

namespace {

const QColor lightGreen(192, 255, 192);
const QColor lightCyan(192, 255, 255);
const QColor lightYellow(255, 255, 192);
const QColor grey(192, 192, 192);

enum GatheredColumn { ColSeq, ColMagno, ColDaily, ColYear, ColNumber, ColDescription, ColIndate };

} // namespace

sum_journal::sum_journal(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::sum_journal>()) {
    ui->setupUi(this);
    list_namesumj = new forms::PickList(this);
    list_namesumj->setObjectName(QStringLiteral("list_namesumj"));
    forms::setupGrid(
        ui->show_journal,
        {{QStringLiteral("ชื่อวาสาร"), 3500}, {QStringLiteral("คณะที่บอกรับ"), 6000}, {QString(), 0}, {QString(), 0}});
    forms::setupIssueGrid(ui->show_item, false);
    forms::setupGrid(ui->sum_item, {{QStringLiteral("ลำดับ"), 550},
                                    {QStringLiteral("เลขทะเบียน"), 950},
                                    {QStringLiteral("ประจำเดือน"), 1200},
                                    {QStringLiteral("ปีที่"), 600},
                                    {QStringLiteral("เล่มที่"), 700},
                                    {QStringLiteral("คำอธิบาย"), 5000},
                                    {QString(), 0}});
    forms::clearGrid(ui->show_journal, 13);
    forms::clearGrid(ui->show_item, 13);
    forms::clearGrid(ui->sum_item, 5);
    for (QWidget* f :
         {static_cast<QWidget*>(ui->Text1), static_cast<QWidget*>(ui->Text2), static_cast<QWidget*>(ui->Text3)})
        forms::styleDataField(f);
    forms::setFieldColour(ui->Text1, lightGreen);
    forms::setFieldColour(ui->show_journal, lightCyan);
    forms::setFieldColour(ui->show_item, lightYellow);
    forms::setFieldColour(ui->Text2, grey);
    forms::setFieldColour(ui->Text3, lightYellow);
    forms::limitLength(ui->Text2, 20);
    applyMode();

    db_ = std::move(connection);
    forms::limitToColumns(*db_, QStringLiteral("sum_journal"), {{ui->Text3, "callno"}});

    forms::onSearch(ui->Text1, [this] { searchTitles(); });
    forms::onSearch(ui->Text2, [this] { searchRegno(); });
    forms::onSearch(
        ui->Text3, [this] { searchCallNumber(); }, list_namesumj);
    connect(list_namesumj, &forms::PickList::picked, this, [this](const QString& regno, const QString&) {
        list_namesumj->hide();
        if (mode_ == Mode::New || mode_ == Mode::Edit) // offered before; the volume under way is not dropped silently
            return;
        run([&] { showVolume(regno); });
    });
    connect(ui->Cmdsearch, &QPushButton::clicked, this, &sum_journal::searchTitles);
    connect(ui->Cmdclear, &QPushButton::clicked, this, &sum_journal::clearTitles);
    connect(ui->show_journal, &forms::Grid::cellClicked, this, [this](int row, int) { pickTitle(row); });
    forms::onRowChosenByEnter(ui->show_journal, [this](int row) { pickTitle(row); });
    connect(ui->show_item, &forms::Grid::cellClicked, this, [this](int row, int) { pickIssue(row); });
    forms::onRowChosenByEnter(ui->show_item, [this](int row) { pickIssue(row); });
    connect(ui->sum_item, &forms::Grid::cellDoubleClicked, this, [this](int row, int) { removeIssue(row); });
    ui->sum_item->installEventFilter(this);
    connect(ui->Cmdadd, &QPushButton::clicked, this, &sum_journal::add);
    connect(ui->Cmdedit, &QPushButton::clicked, this, &sum_journal::edit);
    connect(ui->Cmdsave, &QPushButton::clicked, this, &sum_journal::save);
    connect(ui->Cmdcancel, &QPushButton::clicked, this, &sum_journal::cancel);
    connect(ui->Cmdnext, &QPushButton::clicked, this, [this] { step(true); });
    connect(ui->Cmdprevious, &QPushButton::clicked, this, [this] { step(false); });
    connect(ui->clear_sumj, &QPushButton::clicked, this, &sum_journal::clearVolume);
    connect(ui->search_sumj, &QPushButton::clicked, this, &sum_journal::searchRegno);
    connect(ui->Command5, &QPushButton::clicked, this, &QWidget::close);
    forms::keyboardReady(this);
    forms::askBeforeClosing(this, [this] { return mode_ == Mode::New || mode_ == Mode::Edit; });
    ui->Text1->setFocus();
}

sum_journal::~sum_journal() = default;

bool sum_journal::eventFilter(QObject* watched, QEvent* event) {
    // Delete on a gathered issue takes it out, as a double-click does.
    if (watched == ui->sum_item && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeIssue(ui->sum_item->currentRow());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void sum_journal::setMode(Mode mode) {
    mode_ = mode;
    list_namesumj->hide();
    applyMode();
}

void sum_journal::applyMode() {
    const bool idle = mode_ == Mode::Idle, shown = mode_ == Mode::Shown;
    const bool entry = mode_ == Mode::New || mode_ == Mode::Edit;
    // Idle: the title search, and the volume searches by number and call number, until titles
    // are listed; a title picked offers Add. Shown: the volume's own buttons and the volume
    // searches. New and Edit: gathering issues, the title search only for a volume without one.
    forms::setButtons({ui->Cmdsearch, ui->Cmdclear, ui->Cmdadd, ui->Cmdedit, ui->Cmdnext, ui->Cmdprevious, ui->Cmdsave,
                       ui->Cmdcancel, ui->search_sumj, ui->clear_sumj},
                      {idle || mayPickTitle(), idle || mayPickTitle(), idle && !offered_.isEmpty(), shown, shown, shown,
                       entry, entry, shown || (idle && !titlesListed_), shown || (idle && !titlesListed_)});
    ui->show_journal->setEnabled(titlesListed_ && (idle || mayPickTitle()));
    ui->show_item->setEnabled(entry);
    ui->sum_item->setEnabled(entry);
    ui->Text1->setReadOnly(!(idle || mayPickTitle()) || titlesListed_);
    ui->Text2->setReadOnly(!idle);
    forms::setFieldLocked(ui->Text3, !(idle || entry), grey, lightYellow);
}

bool sum_journal::run(const std::function<void()>& handler) {
    return forms::guarded(this, handler, db_.get());
}

void sum_journal::setLanguage(const QString& pointer) {
    if (const auto l = languageOfPointer(pointer))
        language_ = *l;
}

QStringList sum_journal::gatheredNumbers() const {
    QStringList out;
    for (const records::Issue& i : gathered_)
        out << i.magno;
    return out;
}

void sum_journal::listOffered(const QList<records::Issue>& issues) {
    offered_ = issues;
    if (issues.isEmpty())
        forms::clearGrid(ui->show_item, 13);
    else
        forms::fillIssueGrid(ui->show_item, issues);
}

void sum_journal::listGathered() {
    QList<QStringList> rows;
    for (int i = 0; i < gathered_.size(); ++i) {
        const records::Issue& g = gathered_.at(i);
        rows.append({QString::number(i + 1), g.magno, data::formatDate(g.daily), g.yearno, g.itemsno, g.description,
                     data::formatDate(g.indate)});
    }
    if (rows.isEmpty())
        forms::clearGrid(ui->sum_item, 5);
    else
        forms::fillGrid(ui->sum_item, rows);
}

void sum_journal::regenerateCallNumber() {
    QList<GatheredIssue> issues;
    for (const records::Issue& i : gathered_)
        issues.append({i.yearno, i.itemsno, i.description});
    if (const auto callno = gen_callno(issues, language_, titleName_))
        ui->Text3->setPlainText(*callno);
}

void sum_journal::searchTitles() {
    if (ui->Text1->isReadOnly() || (mode_ != Mode::Idle && !mayPickTitle()))
        return;
    if (ui->Text1->text().trimmed().isEmpty()) {
        forms::inform(this, QStringLiteral("กรุณาพิมพ์รายชื่อวารสารที่ต้องการลงทะเบียน"), QStringLiteral("ข้อผิดพลาด"),
                      forms::Icon::Critical);
        ui->Text1->setFocus();
        return;
    }
    run([&] {
        const QList<records::TitleRow> titles = records::IssueStore::searchTitles(*db_, ui->Text1->text());
        if (titles.isEmpty()) {
            forms::inform(this, QStringLiteral("ไม่พบรายชื่อวารสารนี้"), QStringLiteral("ไม่พบข้อมูล"), forms::Icon::Critical);
            ui->Text1->clear();
            ui->Text1->setFocus();
            return;
        }
        QList<QStringList> rows;
        for (const records::TitleRow& t : titles)
            rows.append({t.name, t.department, t.pointer, t.departmentCode});
        titles_ = titles;
        forms::fillGrid(ui->show_journal, rows);
        titlesListed_ = true;
        applyMode();
        ui->show_journal->setCurrentCell(0, 0);
        ui->show_journal->setFocus();
    });
}

void sum_journal::clearTitles() {
    forms::clearGrid(ui->show_item, 13);
    forms::clearGrid(ui->show_journal, 13);
    offered_.clear();
    titles_.clear();
    titlesListed_ = false;
    applyMode(); // the volume search comes back with the title search, but not into a volume being edited
    ui->Text1->clear();
    ui->Text1->setFocus();
}

void sum_journal::pickTitle(int row) {
    const QString pointer = row >= 0 && row < titles_.size() ? titles_.at(row).pointer : QString();
    if (pointer.isEmpty() || (mode_ != Mode::Idle && !mayPickTitle())) // the volume being gathered keeps its title
        return;
    setLanguage(pointer);
    run([&] {
        listOffered(VolumeStore::unboundIssues(*db_, pointer));
        if (offered_.isEmpty()) {
            ui->Label1->setText(QString());
            forms::inform(this, QStringLiteral("รายชื่อวารสารนี้ไม่พบข้อมูลการลงทะเบียน"),
                          QStringLiteral("ไม่พบวารสารที่ลงทะเบียน"), forms::Icon::Critical);
            return;
        }
        titleName_ = titles_.at(row).name;
        titlePointer_ = pointer;
        ui->Label1->setText(
            QStringLiteral("   Magno= %1   Daily=  %2  :  %3")
                .arg(offered_.first().magno, data::formatDate(offered_.first().daily), offered_.first().description));
        applyMode();
        if (mode_ == Mode::Edit) { // the untitled volume now has its title: its issues are picked next
            ui->show_item->setFocus();
            return;
        }
        ui->Cmdadd->setFocus();
    });
}

void sum_journal::add() {
    run([&] {
        ui->Text2->setText(VolumeStore::expectedRegno(*db_));
        gathered_.clear();
        listGathered();
        setMode(Mode::New);
        ui->show_item->setCurrentCell(0, 0);
        ui->show_item->setFocus();
    });
}

void sum_journal::pickIssue(int row) {
    if (!ui->show_item->isEnabled() || row < 0 || row >= offered_.size())
        return;
    const records::Issue& picked = offered_.at(row);
    if (gatheredNumbers().contains(picked.magno)) {
        forms::inform(this, QStringLiteral("คุณเลือกฉบับซ้ำ กรุณาเลือกฉบับอื่น"), QStringLiteral("ข้อผิดพลาด"),
                      forms::Icon::Critical);
    } else {
        gathered_.append(picked);
        listGathered();
        regenerateCallNumber();
    }
}

void sum_journal::removeIssue(int row) {
    if (!ui->sum_item->isEnabled() || row < 0 || row >= gathered_.size())
        return;
    if (mode_ == Mode::New) {
        gathered_.removeAt(row);
        listGathered();
        regenerateCallNumber();
        return;
    }
    if (mode_ != Mode::Edit ||
        !forms::askOkCancel(this, QStringLiteral("ต้องการลบข้อมูลวารสารเลขทะเบียนนี้ ออกจากรายการรวมเล่มหรือไม่"),
                            QStringLiteral("ยืนยันการลบข้อมูล"), forms::Icon::Question))
        return;
    const records::Issue removed = gathered_.takeAt(row);
    regenerateCallNumber();
    const bool stored = run([&] {
        VolumeStore::release(*db_, ui->Text2->text(), removed.magno, ui->Text3->toPlainText());
        listOffered(VolumeStore::unboundIssues(*db_, titlePointer_));
    });
    if (!stored)
        gathered_.insert(row, removed); // still in the volume
    listGathered();
}

void sum_journal::edit() {
    heldAtEdit_ = gatheredNumbers();
    setMode(Mode::Edit);
    setLanguage(titlePointer_);
    if (titlePointer_.isEmpty()) {
        // Its issues were all released: the title to bind comes from the title search.
        listOffered({});
        forms::inform(this,
                      QStringLiteral("วารสารรวมเล่มนี้ยังไม่มีฉบับใด กรุณาค้นหาและเลือกรายชื่อวารสารก่อน แล้วจึงเลือกฉบับที่จะรวมเล่ม"),
                      QStringLiteral("เลือกรายชื่อวารสาร"), forms::Icon::Information);
        (titlesListed_ ? static_cast<QWidget*>(ui->show_journal) : ui->Text1)->setFocus();
        return;
    }
    run([&] {
        listOffered(VolumeStore::unboundIssues(*db_, titlePointer_));
        if (const auto t = records::TitleStore::find(*db_, titlePointer_))
            titleName_ = t->name;
    });
    ui->Text3->setFocus();
}

void sum_journal::newVolumeEnded() {
    setMode(Mode::Idle);
    gathered_.clear();
    listGathered();
    ui->Text2->clear();
    ui->Text3->clear();
    ui->Cmdadd->setFocus();
}

void sum_journal::save() {
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการบันทึกข้อมูลวารสารเลขทะเบียนนี้หรือไม่"),
                            QStringLiteral(" ยืนยันการบันทึกข้อมูล"), forms::Icon::Question))
        return;
    const QString shown = ui->Text2->text();
    run([&] {
        if (mode_ == Mode::New) {
            const auto [regno, commit] = VolumeStore::add(*db_, gatheredNumbers(), ui->Text3->toPlainText());
            QString said = QStringLiteral("บันทึกข้อมูลเรียบร้อยแล้ว");
            if (regno != shown)
                said += QStringLiteral("\nเลขทะเบียน %1 ถูกใช้ไปแล้ว วารสารรวมเล่มนี้ได้รับเลขทะเบียน %2").arg(shown, regno);
            if (commit == data::Commit::FoundAfterCut)
                said += forms::verifiedAfterCut(regno);
            forms::inform(this, said, QStringLiteral("การบันทึกข้อมูล"), forms::Icon::Information);
            // The bound issues leave the list; the rest of it is as it was read.
            const QStringList bound = gatheredNumbers();
            offered_.removeIf([&](const records::Issue& i) { return bound.contains(i.magno); });
            if (offered_.isEmpty())
                forms::clearGrid(ui->show_item, 13);
            else
                forms::fillIssueGrid(ui->show_item, offered_);
            newVolumeEnded();
            return;
        }
        bool found = false;
        try {
            found = VolumeStore::update(*db_, shown, gatheredNumbers(), ui->Text3->toPlainText(), heldAtEdit_);
        } catch (const data::Refused& r) {
            if (r.reason != VolumeStore::ChangedElsewhere)
                throw;
            // What another station did is said issue by issue; the volume is shown as it now stands.
            forms::inform(this, r.text, QStringLiteral("ผลการบันทึก"), forms::Icon::Critical);
            setMode(Mode::Idle);
            showVolume(shown);
            return;
        }
        if (!found)
            throw data::Refused(
                QStringLiteral("ไม่พบวารสารรวมเล่มเลขทะเบียน %1 (อาจถูกลบจากเครื่องอื่นแล้ว) ข้อมูลไม่ได้ถูกบันทึก").arg(shown));
        forms::inform(this, QStringLiteral("บันทึกข้อมูลที่ทำการแก้ไขแล้ว"), QStringLiteral("ผลการบันทึก"),
                      forms::Icon::Information);
        setMode(Mode::Idle);
        showVolume(shown);
    });
}

void sum_journal::cancel() {
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการยกเลิกข้อมูลการรวมเล่มหรือไม่"), QStringLiteral("ยกเลิกข้อมูล"),
                            forms::Icon::Question))
        return;
    if (mode_ == Mode::New) {
        newVolumeEnded();
    } else if (mode_ == Mode::Edit) {
        setMode(Mode::Idle);
        run([&] {
            if (!showVolume(ui->Text2->text()))
                newVolumeEnded();
        });
    }
}

bool sum_journal::mayDropUnsaved() {
    if (mode_ != Mode::New && mode_ != Mode::Edit)
        return true;
    if (!forms::askYesNo(this, QStringLiteral("วารสารรวมเล่มที่กำลังบันทึกยังไม่ได้บันทึก ต้องการยกเลิกข้อมูลนี้หรือไม่"),
                         QStringLiteral("ยกเลิกข้อมูล"), forms::Icon::Question))
        return false;
    // The volume under way is dropped whole; the text searched for stays.
    const QString regno = ui->Text2->text(), callno = ui->Text3->toPlainText();
    newVolumeEnded();
    ui->Text2->setText(regno);
    ui->Text3->setPlainText(callno);
    return true;
}

bool sum_journal::showVolume(const QString& regno) {
    const auto v = VolumeStore::find(*db_, regno);
    if (!v)
        return false;
    ui->Text2->setText(v->regno);
    ui->Text3->setPlainText(v->callno);
    gathered_ = v->issues;
    listGathered();
    titlePointer_ = v->pointer; // empty for a volume whose issues were all released
    if (titlePointer_.isEmpty())
        titleName_.clear();
    volumeShown();
    return true;
}

void sum_journal::volumeShown() {
    forms::clearGrid(ui->show_item, 13);
    offered_.clear();
    setMode(Mode::Shown);
}

void sum_journal::searchRegno() {
    if (ui->Text2->isReadOnly() || !mayDropUnsaved())
        return;
    ui->Text2->setText(ui->Text2->text().toUpper());
    run([&] {
        if (!showVolume(ui->Text2->text())) {
            forms::inform(this, QStringLiteral("ไม่พบข้อมูลวารสารรวมเล่ม เลขทะเบียนนี้ "), QStringLiteral("ไม่พบข้อมูล"),
                          forms::Icon::Critical);
            ui->Text2->clear();
            ui->Text2->setFocus();
        }
    });
}

void sum_journal::step(bool forward) {
    run([&] {
        const auto next = VolumeStore::neighbour(*db_, regnoNumber(ui->Text2->text()), forward);
        if (!next || !showVolume(*next))
            forms::inform(this,
                          forward ? QStringLiteral("เลขทะเบียนรวมเล่มวารสาร สุดท้ายแล้ว")
                                  : QStringLiteral("เลขทะเบียนรวมเล่มวารสาร เลขทะเบียนแรกแล้ว"),
                          forward ? QStringLiteral("End of File") : QStringLiteral("Begin of File"),
                          forms::Icon::Critical);
    });
}

void sum_journal::searchCallNumber() {
    if (!mayDropUnsaved())
        return;
    forms::searchInto(
        this, db_.get(), list_namesumj, ui->Text3, 10,
        [&] {
            return forms::pickRows(VolumeStore::byCallNumber(*db_, ui->Text3->toPlainText()), [](const auto& v) {
                return forms::PickRow{v.first, v.second};
            });
        },
        forms::sayNotFound(this, list_namesumj, ui->Text3, true));
}

void sum_journal::clearVolume() {
    if (!mayDropUnsaved())
        return;
    setMode(Mode::Idle);
    gathered_.clear();
    listGathered();
    ui->Text2->clear();
    ui->Text3->clear();
    ui->Text3->setFocus();
}

forms::Declaration sum_journal::declaration() {
    return {QStringLiteral("sum_journal"), QStringLiteral("ddd"), forms::Opens::Child, forms::makeWindow<sum_journal>,
            {QStringLiteral("sum_journal"), QStringLiteral("Text2"), {}}, forms::actionsOf(&sum_journal::roleActions)};
}

QList<forms::RoleActions> sum_journal::roleActions() {
    return {{data::Role::CheckIn, {ui->Cmdadd, ui->Cmdedit, ui->Cmdsave}}};
}

} // namespace volumes
