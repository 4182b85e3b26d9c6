#include "index/ArticleForm.h"

#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "rules/index/AuthorStore.h"
#include "forms/common/IssueGrid.h"
#include "rules/records/IssueStore.h"
#include "rules/records/TitleStore.h"
#include "ui_article_form.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace indexing {

namespace {

const QColor lightYellow(0xFF, 0xFF, 0xC0);
const QColor lightCyan(0xC0, 0xFF, 0xFF);
const QColor lightOrange(0xFF, 0xE0, 0xC0);

void paint(QWidget* field, const QColor& back, const QColor& text) {
    forms::styleDataField(field, text);
    forms::setFieldColour(field, back);
}

enum IssueColumn { ColMagno, ColDaily, ColYear, ColNumber, ColDescription, ColIndate };

} // namespace

ArticleForm::ArticleForm(const QString& name, const QString& caption, SubjectSearch subjects,
                         std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::article_form>()), subjectSearch_(subjects) {
    ui->setupUi(this);
    setObjectName(name);
    setWindowTitle(caption);
    Text3[0] = ui->Text3_0;
    Text3[1] = ui->Text3_1;
    Text3[2] = ui->Text3_2;
    Text6[0] = ui->Text6_0;
    Text6[1] = ui->Text6_1;
    Text6[2] = ui->Text6_2;
    Text6[3] = ui->Text6_3;
    Text6[4] = ui->Text6_4;
    for (int i = 0; i < 3; ++i) {
        Text4[i] = new QLineEdit(this);
        Text4[i]->setObjectName(QStringLiteral("Text4_%1").arg(i));
        Text4[i]->hide();
    }
    Text13 = new QLineEdit(this);
    Text13->setObjectName(QStringLiteral("Text13"));
    Text13->hide();

    List_authname = new forms::PickList(this);
    List_authname->setObjectName(QStringLiteral("List_authname"));
    list_subject = new forms::PickList(this);
    list_subject->setObjectName(QStringLiteral("list_subject"));
    dlbnamemag = new forms::PickList(this);
    dlbnamemag->setObjectName(QStringLiteral("dlbnamemag"));

    show_item = new forms::Grid(this);
    show_item->setObjectName(QStringLiteral("show_item"));
    forms::setupIssueGrid(show_item, true);
    show_item->hide();
    connect(show_item, &forms::Grid::cellClicked, this, [this](int row, int) { pickIssue(row); });
    forms::onRowChosenByEnter(
        show_item, [this](int row) { pickIssue(row); }, true);

    // The abstract panel floats over the entry while it is open.
    Frame4 = new QGroupBox(this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    Frame4->setAutoFillBackground(true);
    auto* abstractLayout = new QVBoxLayout(Frame4);
    Text5 = new QPlainTextEdit(Frame4);
    Text5->setObjectName(QStringLiteral("Text5"));
    Text5->setTabChangesFocus(true);
    Text5->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    closeAbstract = new QPushButton(QStringLiteral("Close"), Frame4);
    abstractLayout->addWidget(Text5);
    abstractLayout->addWidget(closeAbstract, 0, Qt::AlignRight);
    Frame4->hide();
    abstractButton = ui->Command5;

    paint(ui->Text1, lightYellow, QColor(0x80, 0x40, 0x00));
    paint(ui->Text2, lightYellow, QColor(0x00, 0x00, 0xC0));
    for (QLineEdit* f : Text3)
        paint(f, lightCyan, QColor(0x00, 0x00, 0xC0));
    for (QLineEdit* f : Text6)
        paint(f, lightOrange, QColor(0x00, 0x00, 0x80));
    for (QWidget* f :
         {static_cast<QWidget*>(ui->Text7), static_cast<QWidget*>(ui->Text8), static_cast<QWidget*>(ui->Text9),
          static_cast<QWidget*>(ui->Text10), static_cast<QWidget*>(ui->Text11), static_cast<QWidget*>(ui->Text12),
          static_cast<QWidget*>(Text5)})
        forms::styleDataField(f);
    for (QLabel* l : findChildren<QLabel*>())
        l->setFont(reports::thaiFont(9.75, true));

    db_ = std::move(connection);
    forms::limitToColumns(*db_, QStringLiteral("article"),
                          {{ui->Text2, "Article_Name"},
                           {ui->Text8, "year"},
                           {ui->Text9, "volume"},
                           {ui->Text10, "month"},
                           {ui->Text11, "pages"},
                           {ui->Text12, "remark"},
                           {Text5, "abstract"}});
    forms::limitToColumns(*db_, QStringLiteral("msubject"),
                          {{Text6[0], "subject"},
                           {Text6[1], "subject"},
                           {Text6[2], "subject"},
                           {Text6[3], "subject"},
                           {Text6[4], "subject"}});

    forms::onSearch(
        ui->Text7, [this] { searchJournal(); }, dlbnamemag);
    connect(dlbnamemag, &forms::PickList::picked, this, &ArticleForm::pickJournal);
    // A journal name typed over a picked one no longer stands for that title and issue.
    connect(ui->Text7, &QPlainTextEdit::textChanged, this, [this] {
        if (!fillingJournal_)
            forgetJournal();
    });
    for (int i = 0; i < 3; ++i) {
        forms::onSearch(
            Text3[i], [this, i] { searchAuthor(i); }, List_authname);
        connect(Text3[i], &QLineEdit::textEdited, this, [this, i] { pickAuthorCode(i, {}); });
    }
    connect(List_authname, &forms::PickList::picked, this, &ArticleForm::pickAuthor);
    for (int j = 0; j < 5; ++j)
        forms::onSearch(
            Text6[j], [this, j] { searchSubject(j); }, list_subject);
    connect(list_subject, &forms::PickList::picked, this,
            [this](const QString&, const QString& text) { pickSubject(text); });

    connect(ui->Command1, &QPushButton::clicked, this, &ArticleForm::showIssues);
    connect(abstractButton, &QPushButton::clicked, this, [this] {
        Frame4->setGeometry(width() / 8, height() / 6, width() * 3 / 4, height() / 2);
        Frame4->show();
        Frame4->raise();
        Text5->setFocus();
    });
    connect(closeAbstract, &QPushButton::clicked, this, [this] {
        Frame4->hide();
        abstractButton->setFocus(); // where the abstract was opened, not back at the article number
    });
    connect(ui->Command2, &QPushButton::clicked, this, &QWidget::close);
    // Tab goes down the form as it reads: the issue's year, number and month after its button,
    // the abstract last; each window puts its own buttons after it.
    QWidget* previous = ui->Text1;
    for (QWidget* next : std::initializer_list<QWidget*>{
             ui->Text2, Text3[0], Text3[1], Text3[2], Text6[0], Text6[1], Text6[2], Text6[3], Text6[4], ui->Text7,
             ui->Command1, ui->Text8, ui->Text9, ui->Text10, ui->Text11, ui->Text12, abstractButton}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

ArticleForm::~ArticleForm() = default;

QPushButton* ArticleForm::addButton(const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setMinimumSize(100, 32);
    ui->buttonsLayout->insertWidget(ui->buttonsLayout->indexOf(ui->Command2), b);
    return b;
}

void ArticleForm::pickAuthorCode(int slot, const QString& idno) {
    picked_.authorIdnos[slot] = idno;
    Text4[slot]->setText(idno);
}

void ArticleForm::pickPointer(const QString& pointer) {
    picked_.pointer = pointer;
    Text13->setText(pointer);
}

void ArticleForm::forgetJournal() {
    pickPointer({});
    ui->Text8->clear();
    ui->Text9->clear();
    ui->Text10->clear();
}

void ArticleForm::searchJournal() {
    if (!fieldsEditable())
        return;
    forms::searchInto(
        this, db_.get(), dlbnamemag, ui->Text7, 10,
        [&] {
            return forms::pickRows(records::TitleStore::search(*db_, ui->Text7->toPlainText()),
                                   [](const records::TitleMatch& m) {
                                       return forms::PickRow{m.pointer, m.name};
                                   });
        },
        forms::sayNotFound(this, dlbnamemag, ui->Text7, true));
}

void ArticleForm::closeLists() {
    for (QWidget* list : {static_cast<QWidget*>(List_authname), static_cast<QWidget*>(list_subject),
                          static_cast<QWidget*>(dlbnamemag), static_cast<QWidget*>(show_item)})
        list->hide();
}

void ArticleForm::pickJournal(const QString& pointer, const QString& name) {
    if (!fieldsEditable()) { // offered in edit mode, which has ended since
        dlbnamemag->hide();
        return;
    }
    fillingJournal_ = true;
    forgetJournal();
    pickPointer(pointer);
    ui->Text7->setPlainText(name);
    fillingJournal_ = false;
    dlbnamemag->hide();
    ui->Command1->setFocus();
}

void ArticleForm::showIssues() {
    if (ui->Text7->toPlainText().trimmed().isEmpty()) {
        forms::inform(this, QStringLiteral("กรุณากรอกข้อมูลรายชื่อวารสารก่อน"), QStringLiteral("ข้อผิดพลาด"),
                      forms::Icon::Critical);
        return;
    }
    forms::guarded(
        this,
        [&] {
            // By the picked title's key: a name typed and never picked finds nothing.
            const QList<records::Issue> issues = picked_.pointer.isEmpty()
                                                     ? QList<records::Issue>{}
                                                     : records::IssueStore::issues(*db_, picked_.pointer);
            if (issues.isEmpty()) {
                show_item->hide();
                forms::inform(this, QStringLiteral("รายชื่อวารสารนี้ไม่พบข้อมูลการลงทะเบียน"),
                              QStringLiteral("ไม่พบวารสารที่ลงทะเบียน"), forms::Icon::Critical);
                return;
            }
            issues_ = issues;
            forms::fillIssueGrid(show_item, issues);
            const QPoint at = ui->Text7->mapTo(this, QPoint(0, ui->Text7->height()));
            show_item->setGeometry(qMax(0, at.x() - 60), at.y(), qMin(width() - 8, 9850 / 15 + 40),
                                   qMin(260, height() - at.y() - 4));
            show_item->show();
            show_item->raise();
            show_item->setCurrentCell(0, ColMagno);
            show_item->setFocus();
        },
        db_.get());
}

void ArticleForm::pickIssue(int row) {
    if (row < 0 || row >= issues_.size() || issues_.at(row).magno.isEmpty())
        return;
    show_item->hide();
    if (!fieldsEditable()) // only looked at: a shown entry is changed in edit mode alone
        return;
    const records::Issue& i = issues_.at(row);
    ui->Text8->setText(i.yearno);
    ui->Text9->setText(i.itemsno);
    ui->Text10->setText(i.description);
    ui->Text11->setFocus();
}

void ArticleForm::searchAuthor(int slot) {
    if (!fieldsEditable())
        return;
    forms::searchInto(
        this, db_.get(), List_authname, Text3[slot], 10,
        [&] {
            const auto rows =
                forms::pickRows(AuthorStore::startingWith(*db_, Text3[slot]->text()), [](const Author& a) {
                    return forms::PickRow{a.idno, a.penname};
                });
            if (!rows.isEmpty()) // the list shown is this slot's from now on
                cur_author_slot = slot;
            return rows;
        },
        // Nothing found puts the caret in the subject field of the same slot, not back in the
        // author's: the desk has always had it so (an unknown author is added from the author
        // register later, and the entry goes on with the subject meanwhile).
        forms::sayNotFound(this, List_authname, Text6[slot], false));
}

void ArticleForm::pickAuthor(const QString& idno, const QString& name) {
    List_authname->hide();
    if (!fieldsEditable())
        return;
    Text3[cur_author_slot]->setText(name);
    pickAuthorCode(cur_author_slot, idno);
    Text3[cur_author_slot]->setFocus();
}

void ArticleForm::searchSubject(int slot) {
    if (!fieldsEditable())
        return;
    forms::searchInto(
        this, db_.get(), list_subject, Text6[slot], 10,
        [&] {
            const auto rows = forms::pickRows(
                ArticleStore::subjectsMatching(*db_, Text6[slot]->text(), subjectSearch_ == SubjectSearch::Anywhere),
                [](const QString& s) {
                    return forms::PickRow{s, s};
                });
            if (!rows.isEmpty())
                cur_subject_slot = slot;
            return rows;
        },
        forms::sayNotFound(this, list_subject, Text6[slot], false));
}

void ArticleForm::pickSubject(const QString& subject) {
    list_subject->hide();
    if (!fieldsEditable())
        return;
    Text6[cur_subject_slot]->setText(subject);
    Text6[cur_subject_slot]->setFocus();
}

void ArticleForm::incomplete(const QString& message, QWidget* focus) {
    forms::inform(this, message, QStringLiteral("ข้อมูลไม่ครบ"), forms::Icon::Critical);
    focus->setFocus();
}

bool ArticleForm::checkEntry() {
    const auto empty = [](const QString& s) { return s.trimmed().isEmpty(); };
    if (empty(ui->Text2->toPlainText())) {
        incomplete(QStringLiteral("กรุณากรอกข้อมูล ชื่อบทความ "), ui->Text2);
        return false;
    }
    if (empty(Text3[0]->text())) {
        incomplete(QStringLiteral("กรุณากรอกข้อมูล ชื่อผู้แต่ง "), Text3[0]);
        return false;
    }
    // An author counts by the code picked for the slot, never by a typed name.
    for (int i = 0; i < 3; ++i) {
        if (!empty(Text3[i]->text()) && empty(picked_.authorIdnos[i])) {
            incomplete(QStringLiteral("กรุณาเลือกผู้แต่งลำดับที่ %1 จากรายการ (กด Enter ที่ช่องชื่อผู้แต่งเพื่อค้นหา)").arg(i + 1),
                       Text3[i]);
            return false;
        }
    }
    if (empty(Text6[0]->text())) {
        incomplete(QStringLiteral("กรุณากรอกข้อมูล หัวเรื่อง "), Text6[0]);
        return false;
    }
    if (empty(ui->Text7->toPlainText())) {
        incomplete(QStringLiteral("กรุณากรอกข้อมูล ชื่อวารสาร"), ui->Text7);
        return false;
    }
    if (empty(picked_.pointer)) {
        incomplete(QStringLiteral("กรุณาเลือกชื่อวารสารจากรายการ (กด Enter ที่ช่องชื่อวารสารเพื่อค้นหา)"), ui->Text7);
        return false;
    }
    if (empty(ui->Text8->text())) {
        incomplete(QStringLiteral("กรุณากรอกข้อมูล ปีที่ "), ui->Command1);
        return false;
    }
    if (empty(ui->Text11->text())) {
        incomplete(QStringLiteral("กรุณากรอกข้อมูล เลขหน้า "), ui->Text11);
        return false;
    }
    return true;
}

ArticleEntry ArticleForm::entry() const {
    ArticleEntry e;
    e.title = ui->Text2->toPlainText();
    for (int i = 0; i < 3; ++i) {
        e.authorNames[i] = Text3[i]->text();
        e.authorIdnos[i] = picked_.authorIdnos[i];
    }
    for (int j = 0; j < 5; ++j)
        e.subjects[j] = Text6[j]->text();
    e.pointer = picked_.pointer;
    e.year = ui->Text8->text();
    e.volume = ui->Text9->text();
    e.month = ui->Text10->text();
    e.pages = ui->Text11->text();
    e.remark = ui->Text12->toPlainText();
    e.abstract = Text5->toPlainText();
    return e;
}

void ArticleForm::showEntry(const ArticleEntry& e, const QString& journalName) {
    clearFields();
    ui->Text2->setPlainText(e.title);
    for (int i = 0; i < 3; ++i) {
        Text3[i]->setText(e.authorNames[i]);
        pickAuthorCode(i, e.authorIdnos[i]);
    }
    for (int j = 0; j < 5; ++j)
        Text6[j]->setText(e.subjects[j]);
    fillingJournal_ = true;
    ui->Text7->setPlainText(journalName);
    fillingJournal_ = false;
    pickPointer(e.pointer);
    ui->Text8->setText(e.year);
    ui->Text9->setText(e.volume);
    ui->Text10->setText(e.month);
    ui->Text11->setText(e.pages);
    ui->Text12->setPlainText(e.remark);
    Text5->setPlainText(e.abstract);
}

void ArticleForm::clearFields() {
    ui->Text2->clear();
    for (int i = 0; i < 3; ++i) {
        Text3[i]->clear();
        pickAuthorCode(i, {});
    }
    for (QLineEdit* f : Text6)
        f->clear();
    Text5->clear();
    fillingJournal_ = true;
    ui->Text7->clear();
    fillingJournal_ = false;
    forgetJournal();
    ui->Text11->clear();
    ui->Text12->clear();
}

forms::GuardWords ArticleForm::saving() {
    forms::GuardWords words;
    words.refusalTitle = QStringLiteral("Save Data Error");
    words.afterRefusal = QStringLiteral("\nข้อมูลไม่ได้ถูกบันทึก");
    words.failed = [this](const data::DbError& e) { saveFailed(e); };
    return words;
}

void ArticleForm::saveFailed(const data::DbError& err) {
    // Nothing was committed (or, when the link broke during the commit, the message says what
    // is known). The connection is replaced; the fields keep what was typed.
    forms::inform(this,
                  err.outcomeUnknown() ? err.message()
                                       : QStringLiteral("ขออภัย การติดต่อฐานข้อมูลขัดข้อง กรุณาทำการบันทึกข้อมูลอีกครั้ง\n[%1] %2")
                                             .arg(err.nativeCode())
                                             .arg(err.message()),
                  QStringLiteral("Save Data Error"), forms::Icon::Critical);
    db_->close();
    try {
        db_->open();
    } catch (const data::DbError&) {
        // still unreachable: the next save or search opens it again
    }
}

} // namespace indexing
