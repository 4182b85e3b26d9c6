#include "receipt/reg_journal.h"

#include "rules/receipt/Claims.h"
#include "rules/receipt/PatternStore.h"
#include "rules/records/TitleStore.h"
#include "data/DbError.h"

#include "rules/receipt/NextIssue.h"
#include "forms/common/IssueGrid.h"

#include "data/Counter.h"
#include "data/Dates.h"
#include "forms/common/DateField.h"
#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/Style.h"
#include "ui_reg_journal.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QShortcut>

namespace receipt {

namespace {
// The latest and the expected issue: never widening the window (which squeezed the title
// search); the expected issue goes on over a second line where it needs one, so its overdue
// count is never cut off. The whole text is also the tooltip.
void say(QLabel* label, const QString& text) {
    label->setText(text);
    label->setToolTip(text);
}
} // namespace

namespace {

const QColor fieldGreen(192, 255, 192);
constexpr int emptyRows = 13;

enum IssueColumn { ColMagno, ColDaily, ColYear, ColNumber, ColDescription, ColIndate };
enum TitleColumn { ColName, ColDepartment, ColPointer, ColDepartmentCode };

} // namespace

reg_journal::reg_journal(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::reg_journal>()) {
    ui->setupUi(this);
    forms::setupGrid(
        ui->show_journal,
        {{QStringLiteral("ชื่อวาสาร"), 3500}, {QStringLiteral("คณะที่บอกรับ"), 6000}, {QString(), 0}, {QString(), 0}});
    forms::setupIssueGrid(ui->show_item, false);
    db_ = std::move(connection);

    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView2 = new QCalendarWidget(this);
    MonthView2->setObjectName(QStringLiteral("MonthView2"));
    (new forms::CalendarPicker(MonthView1))->attach(ui->Command9, ui->Text3);
    (new forms::CalendarPicker(MonthView2))->attach(ui->Command10, ui->Text7);

    // The issue fields are light green whether they can be typed in or not.
    for (QLineEdit* f : issueFields()) {
        forms::styleDataField(f);
        QPalette p = f->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            p.setColor(group, QPalette::Base, fieldGreen);
            p.setColor(group, QPalette::Text, forms::fieldTextColour);
        }
        f->setPalette(p);
    }
    forms::styleDataField(ui->Text1);
    ui->Label1->setFont(reports::thaiFont(9.75, true));
    ui->Label_next->setFont(reports::thaiFont(9.75, false));
    ui->Label_next->setWordWrap(true);
    ui->Index_Label->setFont(reports::thaiFont(9.75, true));

    connect(ui->Command1, &QPushButton::clicked, this, &reg_journal::search);
    connect(ui->Text1, &QLineEdit::returnPressed, this, &reg_journal::search);
    connect(ui->show_journal, &forms::Grid::cellClicked, this, [this](int row, int) { chooseTitle(row); });
    connect(ui->show_journal, &forms::Grid::activated, this, [this](const QModelIndex& i) { chooseTitle(i.row()); });
    connect(ui->show_item, &forms::Grid::cellClicked, this, [this](int row, int) { chooseIssue(row); });
    connect(ui->show_item, &forms::Grid::activated, this, [this](const QModelIndex& i) { chooseIssue(i.row()); });
    // The form follows the highlight: an issue reached with the arrow keys is the one Edit and
    // Delete act on.
    connect(ui->show_item->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& now) {
                if (!listing_ && mode() == Mode::Browsing && now.isValid())
                    chooseIssue(now.row());
            });
    connect(ui->Command2, &QPushButton::clicked, this, &reg_journal::newIssue);
    connect(ui->Command11, &QPushButton::clicked, this, &reg_journal::receiveExpected);
    connect(ui->Command3, &QPushButton::clicked, this, &reg_journal::editIssue);
    connect(ui->Command6, &QPushButton::clicked, this, &reg_journal::remove);
    connect(ui->Command7, &QPushButton::clicked, this, &reg_journal::save);
    connect(ui->Command4, &QPushButton::clicked, this, &reg_journal::cancel);
    connect(ui->Command8, &QPushButton::clicked, this, &reg_journal::clear);
    connect(ui->Command5, &QPushButton::clicked, this, &QWidget::close);
    forms::keyboardReady(this, ui->Command4); // Esc cancels, once an open calendar has closed
    forms::askBeforeClosing(this, [this] { return mode() == Mode::Adding || mode() == Mode::Editing; });
    // Keys for the desk: Ctrl+N new issue, Ctrl+E the expected issue, Ctrl+S save.
    ui->Command11->setToolTip(QStringLiteral("ลงทะเบียนฉบับที่คาดว่าจะได้รับ (Ctrl+E)"));
    for (auto [keys, button] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_N), ui->Command2},
                                std::pair{QKeySequence(Qt::CTRL | Qt::Key_E), ui->Command11},
                                std::pair{QKeySequence(QKeySequence::Save), ui->Command7}}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QPushButton* target = button;
        connect(shortcut, &QShortcut::activated, target, [target] {
            if (target->isEnabled())
                target->click();
        });
    }

    forms::limitToColumns(*db_, QStringLiteral("tranfile"),
                          {{ui->Text4, "yearno"}, {ui->Text5, "itemsno"}, {ui->Text6, "DescriptionItem"}});
    cls_show_journal();
    cls_show_listitem();
    applyMode();
    ui->Text1->setFocus();
}

reg_journal::~reg_journal() = default;

QList<QLineEdit*> reg_journal::issueFields() const {
    return {ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Text6, ui->Text7};
}

void reg_journal::applyMode() {
    const Mode m = mode();
    const bool entry = m == Mode::Adding || m == Mode::Editing, browsing = m == Mode::Browsing;
    // Browsing: New (and the expected issue, when it can be told) for the chosen title, Edit and
    // Delete once an issue of it is on show. Adding, Editing: the issue's fields, its dates,
    // Save and Cancel; the lists wait.
    forms::setButtons(
        {ui->Command2, ui->Command11, ui->Command3, ui->Command6, ui->Command7, ui->Command4},
        {browsing, browsing && expected_.has_value(), browsing && issueShown_, browsing && issueShown_, entry, entry});
    datePickers(entry);
    ui->show_journal->setEnabled(!entry);
    ui->show_item->setEnabled(!entry);
    for (QLineEdit* f : issueFields()) // the number and the two dates are never typed
        f->setEnabled(entry && f != ui->Text2 && f != ui->Text3 && f != ui->Text7);
}

// An issue's dates are picked only while it is added or edited: a date picked while browsing
// would show on the issue as if it were stored, and an edit would carry it in.
void reg_journal::datePickers(bool on) {
    ui->Command9->setEnabled(on);
    ui->Command10->setEnabled(on);
    if (!on) {
        MonthView1->hide();
        MonthView2->hide();
    }
}

void reg_journal::reset_textbox() {
    const QList<QLineEdit*> fields = issueFields();
    const records::Issue* i = issueAt(ui->show_item->currentRow());
    const QStringList texts = i ? QStringList{i->magno,       data::formatDate(i->daily), i->yearno, i->itemsno,
                                              i->description, data::formatDate(i->indate)}
                                : QStringList();
    for (int c = 0; c < fields.size(); ++c) {
        fields.at(c)->setText(texts.value(c));
        fields.at(c)->setCursorPosition(0);
    }
}

void reg_journal::cls_show_journal() {
    titles_.clear();
    forms::clearGrid(ui->show_journal, emptyRows);
}

void reg_journal::cls_show_listitem() {
    listed_.clear();
    forms::clearGrid(ui->show_item, emptyRows);
}

void reg_journal::search() {
    if (ui->Text1->text().trimmed().isEmpty()) {
        forms::inform(this, QStringLiteral("กรุณาพิมพ์รายชื่อวารสารที่ต้องการลงทะเบียน"), QStringLiteral("ข้อผิดพลาด"),
                      forms::Icon::Critical);
        ui->Text1->setFocus();
        return;
    }
    forms::guarded(
        this,
        [&] {
            const QList<records::TitleRow> found = records::IssueStore::searchTitles(*db_, ui->Text1->text());
            if (found.isEmpty()) {
                forms::inform(this, QStringLiteral("ไม่พบรายชื่อวารสารนี้"), QStringLiteral("ไม่พบข้อมูล"),
                              forms::Icon::Critical);
                ui->Text1->clear();
                ui->Text1->setFocus();
                return;
            }
            // The titles listed are new: none of them is chosen yet, so nothing of the title chosen
            // before stays on show to be saved under.
            forgetTitle();
            QList<QStringList> rows;
            rows.reserve(found.size());
            titles_ = found;
            for (const records::TitleRow& t : found)
                rows.append({t.name, t.department, t.pointer, t.departmentCode});
            forms::fillGrid(ui->show_journal, rows);
            ui->show_journal->setFocus();
            ui->show_journal->setCurrentCell(0, ColName);
        },
        db_.get());
}

bool reg_journal::refreshIssues(const QString& pointer, const QString& selectMagno) {
    const QList<records::Issue> list = records::IssueStore::issues(*db_, pointer);
    listed_ = list;
    setPattern_ = storedPattern(*db_, pointer);
    if (setPattern_ && !setPattern_->isSet())
        setPattern_.reset();
    predict();
    if (list.isEmpty()) {
        // Nothing (left) to list: no stale rows stay on show.
        cls_show_listitem();
        say(ui->Label1, {});
        return false;
    }
    int select = 0;
    for (int r = 0; r < list.size(); ++r)
        if (!selectMagno.isEmpty() && list.at(r).magno.trimmed() == selectMagno.trimmed())
            select = r;
    listing_ = true;
    forms::fillIssueGrid(ui->show_item, list);
    ui->show_item->setCurrentCell(select, ColMagno);
    listing_ = false;
    say(ui->Label1, QStringLiteral("   Magno= ") + list.first().magno + QStringLiteral("   Daily=  ") +
                        data::formatDate(list.first().daily) + QStringLiteral("  :  ") + list.first().description);
    return true;
}

QString reg_journal::frequencyCode() const {
    for (const records::TitleRow& t : std::as_const(titles_))
        if (t.pointer.trimmed() == cur_pointer)
            return t.frequencyCode;
    return {};
}

QList<IssueSeen> reg_journal::issuesSeen() const {
    QList<IssueSeen> seen; // oldest first
    for (auto it = listed_.crbegin(); it != listed_.crend(); ++it)
        seen.append({it->daily, it->yearno, it->itemsno, it->description});
    return seen;
}

void reg_journal::predict() {
    const QString code = frequencyCode();
    const QList<IssueSeen> seen = issuesSeen();
    const Pattern* set = setPattern_ ? &*setPattern_ : nullptr;
    expected_ = predictNext(code, seen, set);
    if (!expected_) {
        say(ui->Label_next, {});
        return;
    }
    QString text = QStringLiteral("   ฉบับถัดไปที่คาดว่าจะได้รับ: ") + expectedText(*expected_);
    const Pattern pattern = inForce(learnPattern(code, seen), set);
    if (const int overdue = overdueCount(code, *expected_, QDate::currentDate(), &pattern); overdue > 0)
        text += QStringLiteral("  (เลยกำหนดแล้ว %1 ฉบับ)").arg(overdue);
    say(ui->Label_next, text);
}

void reg_journal::receiveExpected() {
    if (!expected_ || !ui->Command11->isEnabled())
        return;
    const ExpectedIssue expected = *expected_;
    newIssue();
    if (entry_ == Entry::None)
        return;
    ui->Text3->setText(data::formatDate(expected.daily));
    ui->Text4->setText(expected.year);
    ui->Text5->setText(expected.number);
    ui->Text6->setText(expected.description);
    for (QLineEdit* f : issueFields())
        f->setCursorPosition(0);
    ui->Command7->setFocus(); // Enter saves it
}

void reg_journal::checkIndex(int row) {
    const records::Issue* i = issueAt(row);
    const bool yes = i && records::IssueStore::indexed(*db_, cur_pointer, i->yearno, i->itemsno);
    ui->Index_Label->setText(yes ? QStringLiteral("YES") : QStringLiteral("NO"));
}

void reg_journal::chooseTitle(int row) {
    const records::TitleRow* t = titleAt(row);
    const QString pointer = t ? t->pointer : QString();
    if (pointer.isEmpty() || !ui->show_journal->isEnabled())
        return; // an empty row of the list
    cls_show_listitem();
    reset_textbox();
    cur_pointer = pointer.trimmed();
    listedPointer = pointer;
    nameChosenTitle(QStringLiteral("%1 (%2)").arg(t->name.trimmed(), cur_pointer));
    forms::guarded(
        this,
        [&] {
            if (!refreshIssues(cur_pointer)) {
                say(ui->Label1, {});
                ui->Index_Label->setText(QStringLiteral("NO"));
                forms::inform(this, QStringLiteral("รายชื่อวารสารนี้ไม่พบข้อมูลการลงทะเบียน"),
                              QStringLiteral("ไม่พบวารสารที่ลงทะเบียน"), forms::Icon::Critical);
            } else {
                checkIndex(0);
            }
            issueShown_ = false;
            applyMode();
            ui->Command2->setFocus();
        },
        db_.get());
}

void reg_journal::chooseIssue(int row) {
    if (!issueAt(row) || issueAt(row)->magno.isEmpty() || !ui->show_item->isEnabled())
        return;
    listing_ = true;
    ui->show_item->setCurrentCell(row, ColMagno);
    listing_ = false;
    reset_textbox();
    forms::guarded(
        this,
        [&] {
            checkIndex(row);
            issueShown_ = true;
            applyMode();
        },
        db_.get());
}

void reg_journal::newIssue() {
    for (QLineEdit* f : issueFields())
        f->clear();
    entry_ = Entry::Adding;
    ui->Index_Label->setText(QStringLiteral("NO")); // a new issue has no articles yet
    applyMode();
    ui->Text7->setText(data::formatDate(QDate::currentDate()));
    forms::guarded(
        this, [&] { ui->Text2->setText(records::IssueStore::expectedNumber(*db_)); }, db_.get());
    ui->Command9->setFocus();
}

void reg_journal::editIssue() {
    editedFrom_ = {};
    for (const records::Issue& i : std::as_const(listed_))
        if (i.magno.trimmed() == ui->Text2->text().trimmed())
            editedFrom_ = i;
    entry_ = Entry::Editing;
    applyMode();
    ui->Command9->setFocus();
}

void reg_journal::setBrowsing() {
    entry_ = Entry::None;
    reset_textbox();
    issueShown_ = true; // the issue saved, or the one whose edit was cancelled
    forms::guarded(
        this, [&] { checkIndex(ui->show_item->currentRow()); }, db_.get());
    applyMode();
}

void reg_journal::save() {
    if (entry_ == Entry::None || cur_pointer.isEmpty()) {
        // Nothing is being added or edited, or no title is chosen: nothing can be saved.
        forms::inform(this, QStringLiteral("กรุณาเลือกรายชื่อวารสาร แล้วกดปุ่ม ลงทะเบียนใหม่ หรือ แก้ไข ก่อนบันทึก"),
                      QStringLiteral("ข้อผิดพลาด"), forms::Icon::Critical);
        ui->Text1->setFocus();
        return;
    }
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการบันทึกข้อมูลวารสารเลขทะเบียนนี้หรือไม่"),
                            QStringLiteral(" ยืนยันการบันทึกข้อมูล"), forms::Icon::Question))
        return;
    // The lists, the binding and the receipt check all go by the issue date: it must be a
    // real date, and so must the date received (an edited issue received without a date
    // may stay without one: no date is invented for it).
    std::optional<QDate> daily, indate;
    const bool indateRequired = entry_ != Entry::Editing || editedFrom_.indate.isValid();
    if (!forms::readDateField(this, ui->Text3, QStringLiteral("วันที่ประจำเดือน (ปุ่ม ... )"), true, &daily)) {
        ui->Command9->setFocus();
        return;
    }
    if (!forms::readDateField(this, ui->Text7, QStringLiteral("วันที่รับ (ปุ่ม ... )"), indateRequired, &indate)) {
        ui->Command10->setFocus();
        return;
    }
    records::Issue issue{ui->Text2->text().trimmed(), *daily, ui->Text4->text(), ui->Text5->text(), ui->Text6->text(),
                         indate.value_or(QDate()),    {}};
    QString saved;
    bool kept = false; // a changed issue the user keeps editing
    bool foundAfterCut = false;
    const bool ok = forms::guarded(
        this,
        [&] {
            if (entry_ == Entry::Editing) {
                const data::EditOutcome outcome = records::IssueStore::update(*db_, issue, editedFrom_);
                if (outcome == data::EditOutcome::Saved)
                    forms::inform(this, QStringLiteral("บันทึกข้อมูลที่ทำการแก้ไขแล้ว"), QStringLiteral("ผลการบันทึก"),
                                  forms::Icon::Information);
                else if (outcome == data::EditOutcome::Missing)
                    forms::inform(
                        this,
                        QStringLiteral("ไม่พบวารสารเลขทะเบียน %1 (อาจถูกลบโดยเครื่องอื่น) ข้อมูลไม่ได้ถูกบันทึก").arg(issue.magno),
                        QStringLiteral("ผลการบันทึก"), forms::Icon::Critical);
                else if (!forms::askYesNo(
                             this, forms::changedElsewhere(QStringLiteral("วารสารเลขทะเบียน %1").arg(issue.magno)),
                             QStringLiteral("ผลการบันทึก"), forms::Icon::Warning))
                    kept = true; // stays in editing with what was typed
                saved = issue.magno;
            } else if (entry_ == Entry::Adding) {
                // A second copy of an issue is taken only when the desk says so: a title may come
                // in two copies, but a slip of the hand must not register one issue twice.
                if (const auto copy = records::IssueStore::registeredCopy(*db_, listedPointer, issue);
                    copy && !forms::askYesNo(this,
                                             QStringLiteral("ฉบับนี้ลงทะเบียนแล้วเมื่อ %1 (เลขทะเบียน %2) "
                                                            "ต้องการลงทะเบียนอีกฉบับหรือไม่")
                                                 .arg(copy->indate.isValid() ? data::formatDate(copy->indate)
                                                                             : QStringLiteral("(ไม่ระบุวันที่รับ)"),
                                                      copy->magno.trimmed()),
                                             QStringLiteral(" ยืนยันการบันทึกข้อมูล"), forms::Icon::Question, true)) {
                    kept = true; // still adding, with what was typed
                    return;
                }
                const auto added = records::IssueStore::add(*db_, listedPointer, issue);
                saved = added.value;
                foundAfterCut = added.foundAfterCut();
                QString text = QStringLiteral("บันทึกข้อมูลลงทะเบียนวารสารเรียบร้อยแล้ว");
                // Only when the number shown was given to another station's issue meanwhile.
                const auto shownNo = data::counterValue(issue.magno), savedNo = data::counterValue(saved);
                if (shownNo && savedNo && *savedNo > *shownNo)
                    text +=
                        QStringLiteral("\nเลข %1 ถูกเครื่องอื่นใช้ไปแล้ว วารสารฉบับนี้ได้รับเลขทะเบียน %2").arg(issue.magno, saved);
                else if (saved != issue.magno)
                    text += QStringLiteral("\nวารสารฉบับนี้ได้รับเลขทะเบียน %1").arg(saved);
                if (foundAfterCut)
                    text += forms::verifiedAfterCut(saved);
                // An issue that was claimed closes its claim (a database not migrated yet has none).
                try {
                    if (const int claim = Claims::closedByArrival(*db_, listedPointer, issue.daily))
                        text += QStringLiteral("\nได้รับหลังทวงถามครั้งที่ %1").arg(claim);
                } catch (const data::DbError&) {
                }
                forms::inform(this, text, QStringLiteral("ผลการบันทึก"), forms::Icon::Information);
            }
        },
        db_.get(), QStringLiteral("บันทึกข้อมูลไม่สำเร็จ ข้อมูลไม่ได้ถูกบันทึก"));
    if (!ok || kept)
        return; // still adding or editing, nothing lost
    forms::guarded(
        this,
        [&] {
            refreshIssues(cur_pointer, saved);
            // The title's pattern learnt again with this issue, until a person sets one. It is
            // kept for other programs to read; the issue is saved whether or not it could be
            // (a database not migrated yet has no pattern table), and every step learns afresh.
            if (!setPattern_)
                try {
                    keepLearnt(*db_, cur_pointer, learnPattern(frequencyCode(), issuesSeen()));
                } catch (const data::DbError&) {
                }
        },
        db_.get());
    setBrowsing();
    ui->show_item->setFocus();
}

void reg_journal::remove() {
    const QString magno = ui->Text2->text();
    forms::guarded(
        this,
        [&] {
            // A bound issue stays until its volume releases it; an indexed one takes its
            // articles with it, and the question says so.
            const records::IssueStore::IssueTies ties = records::IssueStore::ties(*db_, magno);
            if (!ties.volume.isEmpty()) {
                forms::inform(this, records::IssueStore::boundRefusal(ties), QStringLiteral("ไม่สามารถลบข้อมูลได้"),
                              forms::Icon::Critical);
                return;
            }
            QString prompt = QStringLiteral("ต้องการลบข้อมูลวารสารเลขทะเบียนนี้หรือไม่");
            if (ties.articles > 0)
                prompt = QStringLiteral("วารสารฉบับนี้มีดรรชนีบทความ %1 รายการ ซึ่งจะถูกลบไปพร้อมกัน "
                                        "(รวมทั้งผู้แต่งและหัวเรื่องของบทความ)\n")
                             .arg(ties.articles) +
                         prompt;
            if (!forms::askOkCancel(this, prompt, QStringLiteral(" ยืนยันการลบข้อมูล"), forms::Icon::Question))
                return;
            if (records::IssueStore::remove(*db_, magno)) {
                forms::inform(this, QStringLiteral("ทำการลบข้อมูลเรียบร้อยแล้ว"), QStringLiteral("ผลการลบข้อมูล"),
                              forms::Icon::Information);
                for (QLineEdit* f : issueFields())
                    f->clear();
            }
            refreshIssues(cur_pointer);
            checkIndex(0); // as when the title was chosen: the newest issue's
            // The expected issue goes with the issue deleted when fewer than two are left.
            issueShown_ = false;
            applyMode();
        },
        db_.get());
}

void reg_journal::cancel() {
    if (!ui->Command4->isEnabled())
        return;
    setBrowsing();
}

void reg_journal::nameChosenTitle(const QString& title) {
    // In the frame's own caption, cut to the frame's width: no line is added to a window that
    // already fills the screen's height.
    static const QString caption = ui->Frame5->title();
    const QString full = title.isEmpty() ? caption : caption + QStringLiteral(": ") + title;
    ui->Frame5->setTitle(
        ui->Frame5->fontMetrics().elidedText(full, Qt::ElideRight, qMax(200, ui->Frame5->width() - 40)));
    ui->Frame5->setToolTip(title.isEmpty() ? QString() : full);
}

void reg_journal::forgetTitle() {
    for (QLineEdit* f : issueFields())
        f->clear();
    say(ui->Label1, {});
    nameChosenTitle({});
    ui->Index_Label->setText(QStringLiteral("NO"));
    cls_show_listitem();
    cur_pointer.clear();
    listedPointer.clear();
    expected_.reset();
    say(ui->Label_next, {});
    // Clearing ends any adding or editing: nothing is left to save.
    entry_ = Entry::None;
    issueShown_ = false;
    applyMode();
}

void reg_journal::clear() {
    forgetTitle();
    cls_show_journal();
    ui->Text1->clear();
    ui->Text1->setFocus();
}

forms::Declaration reg_journal::declaration() {
    return {QStringLiteral("reg_journal"), QStringLiteral("ccc"), forms::Opens::Child, forms::makeWindow<reg_journal>,
            {QStringLiteral("tranfile"), QStringLiteral("Text2"), {}}, forms::actionsOf(&reg_journal::roleActions),
            forms::openOnOf(&reg_journal::openOn)};
}

void reg_journal::openOn(const QString& pointer) {
    if (entry_ != Entry::None)
        return;
    std::optional<records::Title> title;
    forms::guarded(this, [&] { title = records::TitleStore::find(*db_, pointer); }, db_.get());
    if (!title)
        return;
    ui->Text1->setText(title->name.trimmed());
    search();
    for (int row = 0; row < titles_.size(); ++row)
        if (titles_.at(row).pointer.trimmed() == pointer.trimmed()) {
            ui->show_journal->setCurrentCell(row, ColName);
            chooseTitle(row);
            return;
        }
}

QList<forms::RoleActions> reg_journal::roleActions() {
    return {{data::Role::CheckIn, {ui->Command2, ui->Command11, ui->Command3, ui->Command7}},
            {data::Role::Supervision, {ui->Command6}}};
}

} // namespace receipt
