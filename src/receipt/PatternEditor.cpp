#include "receipt/PatternEditor.h"

#include "data/Dates.h"
#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "rules/receipt/IssueNumbers.h"
#include "rules/receipt/PatternStore.h"
#include "rules/receipt/Wording.h"
#include "rules/records/IssueStore.h"
#include "rules/records/TitleStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <tuple>

namespace receipt {

namespace {

const char* const monthNames[] = {"มกราคม",  "กุมภาพันธ์", "มีนาคม",  "เมษายน", "พฤษภาคม",  "มิถุนายน",
                                  "กรกฎาคม", "สิงหาคม",  "กันยายน", "ตุลาคม",  "พฤศจิกายน", "ธันวาคม"};

using forms::named;

using forms::button;

// An issue as the grids show it: date, year, number.
QStringList cells(const QDate& d, const QString& year, const QString& number) {
    return {data::formatDate(d), year.trimmed(), number.trimmed()};
}

} // namespace

PatternEditor::PatternEditor(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), db_(std::move(connection)) {
    setObjectName(QStringLiteral("PatternEditor"));
    setWindowTitle(QStringLiteral("รูปแบบการออก"));
    setFont(reports::thaiFont(10));
    Text1 = named(this, "Text1", new QLineEdit);
    Text1->setPlaceholderText(QStringLiteral("ชื่อวารสารหรือ ISSN แล้วกด Enter"));
    Text2 = named(this, "Text2", new QLineEdit);
    Text2->setReadOnly(true);
    Text2->setMaximumWidth(110);
    Labeltitle = named(this, "Labeltitle", new QLabel);
    Labelsource = named(this, "Labelsource", new QLabel);
    Labelwarn = named(this, "Labelwarn", new QLabel);
    Labelwarn->setStyleSheet(QStringLiteral("color: #b00020"));
    Labelwarn->setWordWrap(true);
    Labelwarn->hide();
    Labellearnt = named(this, "Labellearnt", new QLabel);
    Labellearnt->setWordWrap(true);
    Labellearnt->hide();
    auto* months = new QGroupBox(QStringLiteral("เดือนที่มีฉบับออก"), this);
    auto* monthGrid = new QGridLayout(months);
    for (int m = 0; m < 12; ++m) {
        chkmonth[m] = new QCheckBox(QString::fromUtf8(monthNames[m]), this);
        chkmonth[m]->setObjectName(QStringLiteral("chkmonth%1").arg(m + 1));
        monthGrid->addWidget(chkmonth[m], m / 6, m % 6);
        connect(chkmonth[m], &QCheckBox::toggled, this, &PatternEditor::edited);
    }
    cbovolmonth = named(this, "cbovolmonth", new QComboBox);
    cbovolmonth->addItem(QStringLiteral("ตามประวัติการรับ"));
    for (const char* name : monthNames)
        cbovolmonth->addItem(QStringLiteral("ฉบับแรกของเดือน%1").arg(QString::fromUtf8(name)));
    Textvolissues = named(this, "Textvolissues", new QLineEdit);
    Textvolissues->setMaxLength(4);
    Textvolissues->setPlaceholderText(QStringLiteral("0 = ตามประวัติการรับ"));
    cbonumbers = named(this, "cbonumbers", new QComboBox);
    cbonumbers->addItems({QStringLiteral("ตามประวัติการรับ"), QStringLiteral("เริ่มที่ 1 ใหม่ทุกปีที่ (เล่ม)"),
                          QStringLiteral("นับต่อเนื่องข้ามปีที่ (เล่ม)")});
    Textday = named(this, "Textday", new QLineEdit);
    Textday->setMaxLength(2);
    Textday->setPlaceholderText(QStringLiteral("0 = ตามประวัติการรับ"));
    Textdigits = named(this, "Textdigits", new QLineEdit);
    Textdigits->setMaxLength(1);
    Textdigits->setPlaceholderText(QStringLiteral("0 = ตามประวัติการรับ"));
    Textwording = named(this, "Textwording", new QLineEdit);
    Textwording->setMaxLength(255);
    Textwording->setToolTip(
        QStringLiteral("ส่วนที่เปลี่ยนตามฉบับ: [เดือน] [เดือนย่อ] [Month] [Mon] [เดือนเลข] [เดือนเลข2] (เลื่อนได้ เช่น [เดือนย่อ+2]), "
                       "[พ.ศ.] [ค.ศ.] [พ.ศ.2] [ค.ศ.2], [วัน] [ปักษ์], [ปีที่] [ฉบับที่], [นับ+1], [ตามเดือน]"));
    Textweeks = named(this, "Textweeks", new QLineEdit);
    Textweeks->setMaxLength(160);
    Textweeks->setPlaceholderText(QStringLiteral("เฉพาะรายสัปดาห์ เช่น 52 (สัปดาห์ของปี 1-53 คั่นด้วย ,)"));
    grdnext = named(this, "grdnext", new forms::Grid);
    forms::setupGrid(grdnext, {{QStringLiteral("วันที่"), 1100},
                               {QStringLiteral("ปีที่"), 600},
                               {QStringLiteral("ฉบับที่"), 700},
                               {QStringLiteral("รายละเอียด"), 2200}});
    grdnext->horizontalHeader()->setStretchLastSection(true); // the description, whole
    grdlast = named(this, "grdlast", new forms::Grid);
    forms::setupGrid(grdlast, {{QStringLiteral("ได้รับ"), 1100},
                               {QStringLiteral("ปีที่"), 600},
                               {QStringLiteral("ฉบับที่"), 700},
                               {QStringLiteral("คาดไว้"), 1100},
                               {QStringLiteral("ปีที่"), 600},
                               {QStringLiteral("ฉบับที่"), 700},
                               {QStringLiteral("ต่าง"), 500}});
    lsttitles = named(this, "lsttitles", new forms::PickList);
    Cmdsave = button(this, "Cmdsave", QStringLiteral("บันทึก"));
    Cmdlearn = button(this, "Cmdlearn", QStringLiteral("เรียนรู้ใหม่"));
    Cmdcheck = button(this, "Cmdcheck", QStringLiteral("วารสารที่รูปแบบขัดกับประวัติ..."));
    Cmdcheck->setMinimumWidth(Cmdcheck->fontMetrics().horizontalAdvance(Cmdcheck->text()) + 32);
    Command6 = button(this, "Command6", QStringLiteral("Exit"));

    auto* find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("วารสาร :")));
    find->addWidget(Text1, 1);
    find->addWidget(Text2);
    auto* form = new QFormLayout;
    // Two fields a row, the room left to the previews.
    const auto pair = [](QWidget* wide, const QString& caption, QWidget* narrow, int width) {
        auto* row = new QHBoxLayout;
        row->addWidget(wide, 1);
        row->addWidget(new QLabel(caption));
        narrow->setMaximumWidth(width);
        row->addWidget(narrow);
        return row;
    };
    form->addRow(QStringLiteral("ปีที่ (เล่ม) ใหม่เริ่มที่ :"),
                 pair(cbovolmonth, QStringLiteral("หรือปีที่ละ (ฉบับ) :"), Textvolissues, 190));
    auto* numbering = pair(cbonumbers, QStringLiteral("กี่หลัก :"), Textdigits, 190);
    numbering->addWidget(new QLabel(QStringLiteral("ฉบับลงวันที่ :")));
    Textday->setMaximumWidth(190);
    numbering->addWidget(Textday);
    form->addRow(QStringLiteral("เลขฉบับ :"), numbering);
    form->addRow(QStringLiteral("สัปดาห์ที่ไม่มีฉบับ :"), Textweeks);
    form->addRow(QStringLiteral("คำบรรยาย :"), Textwording);
    auto* next = new QGroupBox(QStringLiteral("12 ฉบับถัดไปที่คาดว่าจะได้รับ"), this);
    (new QVBoxLayout(next))->addWidget(grdnext);
    auto* last = new QGroupBox(QStringLiteral("12 ฉบับล่าสุดที่ได้รับ กับที่รูปแบบนี้คาดไว้"), this);
    (new QVBoxLayout(last))->addWidget(grdlast);
    auto* grids = new QHBoxLayout;
    grids->addWidget(next, 4);
    grids->addWidget(last, 5);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Cmdcheck);
    buttons->addStretch(1);
    for (QPushButton* b : {Cmdsave, Cmdlearn, Command6})
        buttons->addWidget(b);
    auto* page = new QVBoxLayout(this);
    page->addLayout(find);
    page->addWidget(Labeltitle);
    page->addWidget(Labelsource);
    page->addWidget(Labelwarn);
    page->addWidget(months);
    page->addLayout(form);
    page->addWidget(Labellearnt);
    page->addLayout(grids, 1);
    page->addLayout(buttons);
    resize(980, 640);
    for (QWidget* f :
         QList<QWidget*>{Text1, Text2, Textvolissues, cbovolmonth, cbonumbers, Textday, Textdigits, Textweeks, Textwording})
        forms::styleDataField(f);
    forms::setFieldLocked(Text1, false);

    forms::onSearch(
        Text1, [this] { searchTitles(); }, lsttitles);
    connect(lsttitles, &forms::PickList::picked, this,
            [this](const QString& pointer, const QString&) { showTitle(pointer); });
    connect(cbovolmonth, &QComboBox::currentIndexChanged, this, &PatternEditor::edited);
    connect(cbonumbers, &QComboBox::currentIndexChanged, this, &PatternEditor::edited);
    connect(Textvolissues, &QLineEdit::textEdited, this, &PatternEditor::edited);
    for (QLineEdit* e : {Textday, Textdigits, Textweeks, Textwording})
        connect(e, &QLineEdit::textEdited, this, &PatternEditor::edited);
    connect(Cmdsave, &QPushButton::clicked, this, &PatternEditor::save);
    connect(Cmdlearn, &QPushButton::clicked, this, &PatternEditor::learnAgain);
    connect(Cmdcheck, &QPushButton::clicked, this, &PatternEditor::listContradicted);
    connect(Command6, &QPushButton::clicked, this, &QWidget::close);
    QList<QWidget*> order = {Text1};
    for (QCheckBox* c : chkmonth)
        order << c;
    order << cbovolmonth << Textvolissues << cbonumbers << Textdigits << Textday << Textweeks << Textwording << grdnext << grdlast
          << Cmdcheck << Cmdsave << Cmdlearn << Command6;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    applyMode();
    forms::keyboardReady(this, Command6); // Esc leaves, asking first when there are changes
    forms::askBeforeClosing(this, [this] { return changed_; });
    Text1->setFocus();
}

PatternEditor::~PatternEditor() = default;

void PatternEditor::applyMode() {
    const Mode m = mode();
    lsttitles->hide();
    forms::setButtons({Cmdsave, Cmdlearn}, {m == Mode::Editing, m != Mode::Idle && stored_ && stored_->isSet()});
    QList<QWidget*> fields = {cbovolmonth, Textvolissues, cbonumbers, Textday, Textdigits, Textwording};
    for (QCheckBox* c : chkmonth)
        fields << c;
    forms::setFieldsLocked(fields, m == Mode::Idle);
    forms::setFieldLocked(Textweeks, m == Mode::Idle || !byWeeks(frequencyOf(code_))); // a weekly title's
}

void PatternEditor::searchTitles() {
    if (changed_ && !forms::askYesNo(this, QStringLiteral("รูปแบบที่แก้ไขยังไม่ได้บันทึก ต้องการทิ้งการแก้ไขหรือไม่"),
                                     QStringLiteral("รูปแบบการออก")))
        return;
    forms::searchInto(
        this, db_.get(), lsttitles, Text1, 10,
        [&] {
            return forms::pickRows(records::IssueStore::searchTitles(*db_, Text1->text()),
                                   [](const records::TitleRow& t) {
                                       return forms::PickRow{t.pointer, t.name};
                                   });
        },
        forms::sayNotFound(this, lsttitles, Text1, true));
}

void PatternEditor::listContradicted() {
    if (changed_ && !forms::askYesNo(this, QStringLiteral("รูปแบบที่แก้ไขยังไม่ได้บันทึก ต้องการทิ้งการแก้ไขหรือไม่"),
                                     QStringLiteral("รูปแบบการออก")))
        return;
    forms::searchInto(
        this, db_.get(), lsttitles, Text1, 10,
        [&] {
            QList<forms::PickRow> rows;
            for (const auto& [pointer, name] : contradictedTitles(*db_))
                rows.append({pointer, name});
            return rows;
        },
        [this] {
            lsttitles->hide();
            forms::inform(this, QStringLiteral("ไม่มีวารสารที่รูปแบบการออกซึ่งกำหนดไว้ขัดกับประวัติการรับ"),
                          QStringLiteral("รูปแบบการออก"));
            Text1->setFocus();
        });
}

void PatternEditor::showTitle(const QString& pointer) {
    lsttitles->hide();
    forms::guarded(
        this,
        [&] {
            const std::optional<records::Title> t = records::TitleStore::find(*db_, pointer.trimmed());
            pointer_.clear();
            changed_ = false;
            if (!t) {
                forms::notFound(this);
                return;
            }
            pointer_ = t->pointer.trimmed();
            name_ = t->name;
            code_ = t->frequencyCode.trimmed();
            issues_.clear();
            const QList<records::Issue> list = records::IssueStore::issues(*db_, pointer_);
            for (auto it = list.crbegin(); it != list.crend(); ++it)
                issues_.append({it->daily, it->yearno, it->itemsno, it->description});
            learnt_ = learnPattern(code_, issues_);
            learntWording_ = wordingTemplate(eachIssueOnce(frequencyOf(code_), issues_));
            stored_ = storedPattern(*db_, pointer_);
            Text2->setText(pointer_);
            Labeltitle->setText(
                QStringLiteral("%1  (ความถี่ %2)").arg(name_, code_.isEmpty() ? QStringLiteral("-") : code_));
            fill(inForce(learnt_, stored_ ? &*stored_ : nullptr));
        },
        db_.get());
    applyMode();
    if (mode() != Mode::Idle)
        chkmonth[0]->setFocus();
}

void PatternEditor::fill(const Pattern& p) {
    filling_ = true;
    for (int m = 0; m < 12; ++m)
        chkmonth[m]->setChecked(p.publishes(m + 1));
    cbovolmonth->setCurrentIndex(p.volumeMonth);
    Textvolissues->setText(QString::number(p.volumeIssues));
    cbonumbers->setCurrentIndex(int(p.numbers));
    Textday->setText(QString::number(p.day));
    Textdigits->setText(QString::number(p.digits));
    Textwording->setText(p.wording.isEmpty() ? learntWording_ : p.wording);
    Textweeks->setText(p.weeksOffText());
    filling_ = false;
    changed_ = false;
    if (p.isSet())
        Labelsource->setText(QStringLiteral("กำหนดโดย %1 เมื่อ %2").arg(p.setBy, data::formatDate(p.setOn.date())));
    else
        Labelsource->setText(QStringLiteral("เรียนรู้จาก %1 ฉบับ").arg(learnt_.learntFrom));
    QStringList seen;
    if (learnt_.seenVolumeMonth)
        seen << QStringLiteral("ปีที่ใหม่เริ่มเดือน%1").arg(QString::fromUtf8(monthNames[learnt_.seenVolumeMonth - 1]));
    for (const auto& [month, span] : learnt_.combined)
        seen << QStringLiteral("ฉบับรวม %1 ฉบับ เดือน%2").arg(span).arg(QString::fromUtf8(monthNames[month - 1]));
    if (learnt_.weeksOff)
        seen << QStringLiteral("ไม่มีฉบับสัปดาห์ที่ %1").arg(learnt_.weeksOffText());
    if (learnt_.numberWidth > 1)
        seen << QStringLiteral("เลขฉบับ %1 หลัก").arg(learnt_.numberWidth);
    Labellearnt->setText(seen.isEmpty() ? QString()
                                        : QStringLiteral("จากประวัติการรับ: ") + seen.join(QStringLiteral(", ")));
    Labellearnt->setVisible(!seen.isEmpty()); // an empty line gives its room to the previews
    preview();
}

Pattern PatternEditor::fromFields() const {
    Pattern p;
    p.months = 0;
    for (int m = 0; m < 12; ++m)
        if (chkmonth[m]->isChecked())
            p.months |= quint16(1u << m);
    p.volumeMonth = cbovolmonth->currentIndex();
    p.volumeIssues = Textvolissues->text().trimmed().toInt();
    p.numbers = Pattern::Numbers(cbonumbers->currentIndex());
    p.day = Textday->text().trimmed().toInt();
    p.digits = Textdigits->text().trimmed().toInt();
    p.weeksOff = Pattern::weeksOf(Textweeks->text().remove(QLatin1Char(' '))).value_or(0);
    // The description as learnt is kept as learnt: it follows the history.
    if (const QString wording = Textwording->text().trimmed(); wording != learntWording_.trimmed())
        p.wording = wording;
    p.setBy = QStringLiteral("?"); // a person's; the server names the account when it is saved
    return p;
}

void PatternEditor::edited() {
    if (filling_ || pointer_.isEmpty())
        return;
    changed_ = true;
    preview();
    applyMode();
}

void PatternEditor::preview() {
    const Pattern shown = changed_ ? fromFields() : inForce(learnt_, stored_ ? &*stored_ : nullptr);
    QWidget* field = nullptr;
    if (changed_ && !refusal(&field).isEmpty()) {
        forms::clearGrid(grdnext, 0);
        forms::clearGrid(grdlast, 0);
        return;
    }
    QList<QStringList> next;
    for (const ExpectedIssue& e : nextTwelve(code_, issues_, shown))
        next << cells(e.daily, e.year, e.number) + QStringList{e.description};
    forms::fillGrid(grdnext, next);
    int differs = 0;
    QList<QStringList> last;
    const QList<Replayed> replayed = replayLastTwelve(code_, issues_, shown, &differs);
    for (auto it = replayed.crbegin(); it != replayed.crend(); ++it) {
        QStringList row = cells(it->received.daily, it->received.year, it->received.number);
        row << (it->predicted ? cells(it->predicted->daily, it->predicted->year, it->predicted->number)
                              : QStringList{QStringLiteral("-"), QString(), QString()});
        row << (it->differs ? QStringLiteral("≠") : QString());
        last << row;
    }
    forms::fillGrid(grdlast, last);
    Labelwarn->setText(contradicted(differs) ? QStringLiteral("รูปแบบนี้ขัดกับประวัติการรับ: %1 ใน %2 ฉบับล่าสุดไม่ตรงกับที่คาดไว้ "
                                                              "ควรตรวจสอบและแก้ไข")
                                                   .arg(differs)
                                                   .arg(replayed.size())
                                             : QString());
    Labelwarn->setVisible(!Labelwarn->text().isEmpty());
}

QString PatternEditor::refusal(QWidget** field) const {
    bool ok = false;
    const int issues = Textvolissues->text().trimmed().toInt(&ok);
    if (!Textvolissues->text().trimmed().isEmpty() && (!ok || issues < 0 || issues > 999)) {
        *field = Textvolissues;
        return QStringLiteral("จำนวนฉบับต่อปีที่ (เล่ม) ต้องเป็นตัวเลข 0 ถึง 999");
    }
    for (const auto& [edit, most, why] :
         {std::tuple{Textday, 31, QStringLiteral("วันที่ของฉบับต้องเป็นตัวเลข 0 ถึง 31")},
          std::tuple{Textdigits, 9, QStringLiteral("จำนวนหลักของเลขฉบับต้องเป็นตัวเลข 0 ถึง 9")}}) {
        const int n = edit->text().trimmed().toInt(&ok);
        if (!edit->text().trimmed().isEmpty() && (!ok || n < 0 || n > most)) {
            *field = edit;
            return why;
        }
    }
    if (std::none_of(std::begin(chkmonth), std::end(chkmonth), [](QCheckBox* c) { return c->isChecked(); })) {
        *field = chkmonth[0];
        return QStringLiteral("กรุณาเลือกเดือนที่มีฉบับออกอย่างน้อยหนึ่งเดือน");
    }
    if (const auto weeks = Pattern::weeksOf(Textweeks->text().remove(QLatin1Char(' ')));
        !weeks || *weeks == (quint64(1) << 53) - 1) {
        *field = Textweeks;
        return weeks ? QStringLiteral("ต้องมีอย่างน้อยหนึ่งสัปดาห์ที่มีฉบับออก")
                     : QStringLiteral("สัปดาห์ที่ไม่มีฉบับต้องเป็นเลขสัปดาห์ของปี 1 ถึง 53 คั่นด้วย , เช่น 52");
    }
    if (cbovolmonth->currentIndex() > 0 && issues > 0) {
        *field = Textvolissues;
        return QStringLiteral("ปีที่ (เล่ม) ใหม่เริ่มได้ทางเดียว: ตามเดือน หรือตามจำนวนฉบับ");
    }
    if (const QString wording = fromFields().wording; !wording.isEmpty()) {
        *field = Textwording;
        return wordingRefusal(wording, eachIssueOnce(frequencyOf(code_), issues_));
    }
    return {};
}

void PatternEditor::save() {
    if (!changed_ || pointer_.isEmpty())
        return;
    QWidget* field = nullptr;
    if (const QString why = refusal(&field); !why.isEmpty()) {
        forms::inform(this, why, QStringLiteral("รูปแบบการออก"), forms::Icon::Warning);
        field->setFocus();
        return;
    }
    const Pattern p = fromFields();
    // The first issue it would expect must come after the latest received, not repeat one.
    const QList<ExpectedIssue> next = nextTwelve(code_, issues_, p);
    if (!next.isEmpty() && !issues_.isEmpty()) {
        const IssueSeen& latest = issues_.last();
        const ExpectedIssue& first = next.first();
        const bool again = std::any_of(issues_.cbegin(), issues_.cend(), [&](const IssueSeen& i) {
            return !first.number.isEmpty() && i.number.trimmed() == first.number && i.year.trimmed() == first.year &&
                   !first.year.isEmpty();
        });
        if (again || (first.daily.isValid() && latest.daily.isValid() && first.daily <= latest.daily)) {
            forms::inform(this,
                          QStringLiteral("รูปแบบนี้จะคาดฉบับที่ได้รับแล้ว (%1 ปีที่ %2 ฉบับที่ %3) ข้อมูลไม่ได้ถูกบันทึก")
                              .arg(data::formatDate(first.daily), first.year, first.number),
                          QStringLiteral("รูปแบบการออก"), forms::Icon::Warning);
            cbovolmonth->setFocus();
            return;
        }
    }
    forms::guarded(
        this,
        [&] {
            setPattern(*db_, pointer_, p);
            stored_ = storedPattern(*db_, pointer_);
            fill(inForce(learnt_, stored_ ? &*stored_ : nullptr));
        },
        db_.get(), QStringLiteral("บันทึกรูปแบบการออกไม่สำเร็จ ข้อมูลไม่ได้ถูกบันทึก"));
    applyMode();
}

void PatternEditor::learnAgain() {
    if (pointer_.isEmpty())
        return;
    forms::guarded(
        this,
        [&] {
            receipt::learnAgain(*db_, pointer_, learnt_);
            stored_ = storedPattern(*db_, pointer_);
            fill(learnt_);
        },
        db_.get());
    applyMode();
    chkmonth[0]->setFocus();
}

forms::Declaration PatternEditor::declaration() {
    return {QStringLiteral("PatternEditor"), QStringLiteral("pattern"), forms::Opens::Child, forms::makeWindow<PatternEditor>,
            {QStringLiteral("pub_pattern"), QStringLiteral("Text2"), {}}, forms::actionsOf(&PatternEditor::roleActions)};
}

QList<forms::RoleActions> PatternEditor::roleActions() {
    return {{data::Role::Supervision, {Cmdsave, Cmdlearn}}};
}

} // namespace receipt
