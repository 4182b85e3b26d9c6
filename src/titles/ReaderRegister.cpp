#include "titles/ReaderRegister.h"

#include "data/Dates.h"

#include "alerts/Alerts.h"
#include "data/CodeTables.h"
#include "data/DbError.h"
#include "data/Like.h"
#include "forms/common/CodeCombo.h"
#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "rules/records/TitleStore.h"
#include "rules/titles/ReaderStore.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace titles {

namespace {

using forms::named;

using forms::button;

const QMap<QString, QString> stateWords = {{QStringLiteral("queued"), QStringLiteral("รอส่ง")},
                                           {QStringLiteral("sending"), QStringLiteral("กำลังส่ง")},
                                           {QStringLiteral("sent"), QStringLiteral("ส่งแล้ว")},
                                           {QStringLiteral("refused"), QStringLiteral("ถูกปฏิเสธ")},
                                           {QStringLiteral("bounced"), QStringLiteral("ตีกลับ")}};

} // namespace

ReaderRegister::ReaderRegister(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), db_(std::move(connection)) {
    setObjectName(QStringLiteral("ReaderRegister"));
    setWindowTitle(QStringLiteral("ผู้รับแจ้งวารสารฉบับใหม่"));
    setFont(reports::thaiFont(10));
    Textsearch = named(this, "Textsearch", new QLineEdit);
    Textname = named(this, "Textname", new QLineEdit);
    Textemail = named(this, "Textemail", new QLineEdit);
    Texttitle = named(this, "Texttitle", new QLineEdit);
    Texttitle->setPlaceholderText(QStringLiteral("ชื่อวารสารหรือ ISSN แล้วกด Enter"));
    dcbdepart = named(this, "dcbdepart", new QComboBox);
    lsttitles = named(this, "lsttitles", new QListWidget);
    grdmail = named(this, "grdmail", new forms::Grid);
    forms::setupGrid(grdmail, {{QStringLiteral("วันที่"), 1300},
                               {QStringLiteral("เรื่อง"), 3800},
                               {QStringLiteral("สถานะ"), 1100},
                               {QStringLiteral("ครั้ง"), 600},
                               {QStringLiteral("ข้อความจากเซิร์ฟเวอร์อีเมล"), 4500}});
    // Room for a week's mails at least, however small the window is made.
    grdmail->setMinimumHeight(grdmail->verticalHeader()->defaultSectionSize() * 6 +
                              grdmail->horizontalHeader()->sizeHint().height() + 4);
    lstreaders = named(this, "lstreaders", new forms::PickList);
    lstfound = named(this, "lstfound", new forms::PickList);
    Cmdadd = button(this, "Cmdadd", QStringLiteral("เพิ่มผู้อ่าน"));
    Cmdedit = button(this, "Cmdedit", QStringLiteral("แก้ไข"));
    Cmddel = button(this, "Cmddel", QStringLiteral("ลบผู้อ่าน"));
    Cmdsave = button(this, "Cmdsave", QStringLiteral("บันทึก"));
    Cmdcancel = button(this, "Cmdcancel", QStringLiteral("ยกเลิก"));
    Cmdremovetitle = button(this, "Cmdremovetitle", QStringLiteral("เลิกติดตามวารสารที่เลือก"));
    Command6 = button(this, "Command6", QStringLiteral("Exit"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("ค้นหาผู้อ่าน (ชื่อหรืออีเมล) :"), Textsearch);
    form->addRow(QStringLiteral("ชื่อ :"), Textname);
    form->addRow(QStringLiteral("อีเมล :"), Textemail);
    form->addRow(QStringLiteral("คณะ :"), dcbdepart);
    auto* titles = new QGroupBox(QStringLiteral("วารสารที่ติดตาม"), this);
    auto* titlesBox = new QVBoxLayout(titles);
    titlesBox->addWidget(Texttitle);
    titlesBox->addWidget(lsttitles);
    titlesBox->addWidget(Cmdremovetitle, 0, Qt::AlignRight);
    auto* mails = new QGroupBox(QStringLiteral("อีเมลที่ส่งถึงผู้อ่าน"), this);
    (new QVBoxLayout(mails))->addWidget(grdmail);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Cmdadd, Cmdedit, Cmddel, Cmdsave, Cmdcancel, Command6})
        buttons->addWidget(b);
    auto* page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addWidget(titles, 2);
    page->addWidget(mails, 1);
    page->addLayout(buttons);
    resize(760, 620);
    for (QWidget* f : QList<QWidget*>{Textsearch, Textname, Textemail, dcbdepart, Texttitle})
        forms::styleDataField(f);
    forms::setFieldLocked(Textsearch, false);
    forms::limitToColumns(*db_, QStringLiteral("reader"), {{Textname, "reader_name"}, {Textemail, "email"}});
    forms::fillCodeCombo(dcbdepart, data::loadCodeTable(*db_, data::codetables::department));

    forms::onSearch(
        Textsearch, [this] { searchReaders(); }, lstreaders);
    connect(lstreaders, &forms::PickList::picked, this, [this](const QString& id, const QString&) { showReader(id); });
    forms::onSearch(
        Texttitle, [this] { searchTitles(); }, lstfound);
    connect(lstfound, &forms::PickList::picked, this, &ReaderRegister::addTitle);
    connect(Cmdadd, &QPushButton::clicked, this, &ReaderRegister::add);
    connect(Cmdedit, &QPushButton::clicked, this, &ReaderRegister::edit);
    connect(Cmdsave, &QPushButton::clicked, this, &ReaderRegister::save);
    connect(Cmddel, &QPushButton::clicked, this, &ReaderRegister::remove);
    connect(Cmdcancel, &QPushButton::clicked, this, &ReaderRegister::cancel);
    connect(Cmdremovetitle, &QPushButton::clicked, this, &ReaderRegister::removeTitle);
    connect(Command6, &QPushButton::clicked, this, &QWidget::close);
    // Tab goes down the window as it reads.
    const QList<QWidget*> order = {Textsearch, Textname, Textemail, dcbdepart, Texttitle, lsttitles, Cmdremovetitle,
                                   grdmail,    Cmdadd,   Cmdedit,   Cmddel,    Cmdsave,   Cmdcancel, Command6};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    applyMode();
    forms::keyboardReady(this);
    forms::askBeforeClosing(this, [this] { return unsaved(); });
    Textsearch->setFocus();
}

ReaderRegister::~ReaderRegister() = default;

// The one place the buttons and fields follow the mode.
void ReaderRegister::applyMode() {
    const Mode m = mode();
    const bool entry = m == Mode::Adding || m == Mode::Editing;
    lstreaders->hide();
    lstfound->hide();
    forms::setButtons({Cmdadd, Cmdedit, Cmddel, Cmdsave, Cmdcancel, Cmdremovetitle},
                      {m == Mode::Idle || m == Mode::Shown, m == Mode::Shown, m == Mode::Shown, entry, entry, entry});
    forms::setFieldsLocked({Textname, Textemail, dcbdepart, Texttitle}, !entry);
    forms::setFieldLocked(Textsearch, entry);
}

void ReaderRegister::clear() {
    forms::clearFields({Textname, Textemail, dcbdepart, Texttitle});
    lsttitles->clear();
    forms::clearGrid(grdmail, 0);
}

void ReaderRegister::searchReaders() {
    if (entry_ != Mode::Idle)
        return;
    forms::searchInto(
        this, db_.get(), lstreaders, Textsearch, 10,
        [&] {
            return forms::pickRows(ReaderStore::search(*db_, Textsearch->text()), [](const QPair<QString, QString>& r) {
                return forms::PickRow{r.first, r.second};
            });
        },
        forms::sayNotFound(this, lstreaders, Textsearch, false));
}

void ReaderRegister::showReader(const QString& id) {
    lstreaders->hide();
    forms::guarded(
        this,
        [&] {
            const QDate today = QDate::currentDate();
            const auto shown = ReaderStore::find(*db_, id.toLongLong(), today);
            clear();
            shownId_ = 0;
            if (!shown) {
                forms::notFound(this);
                applyMode();
                return;
            }
            shownId_ = shown->reader.id;
            shownRow_ = shown->row;
            Textname->setText(shown->reader.name);
            Textemail->setText(shown->reader.email);
            forms::showCode(dcbdepart, shown->reader.faculty);
            for (const auto& [code, name] : shown->titles) {
                auto* item = new QListWidgetItem(QStringLiteral("%1  %2").arg(code, name), lsttitles);
                item->setData(Qt::UserRole, code);
            }
            QList<QStringList> rows;
            // Issues still to be told of: one mail a reader a day, so those that came after
            // today's mail go in the next round, and the desk says when.
            if (shown->pending > 0) {
                const QDate next = shown->toldToday ? today.addDays(1) : today;
                rows << QStringList{
                    data::formatDate(next), QStringLiteral("ฉบับใหม่ %1 ฉบับ").arg(shown->pending),
                    QStringLiteral("จะส่งในรอบถัดไป"), QString(),
                    shown->toldToday
                        ? QStringLiteral("วันนี้ส่งไปแล้ว (วันละหนึ่งฉบับ) จะส่งในรอบถัดไปวันที่ %1").arg(data::formatDate(next))
                        : QStringLiteral("จะส่งในรอบถัดไปวันที่ %1").arg(data::formatDate(next))};
            }
            for (QStringList mail : shown->mails) {
                mail[2] = stateWords.value(mail[2], mail[2]);
                rows << mail;
            }
            forms::fillGrid(grdmail, rows);
        },
        db_.get());
    applyMode();
    Cmdedit->setFocus();
}

void ReaderRegister::searchTitles() {
    if (entry_ == Mode::Idle)
        return;
    forms::searchInto(
        this, db_.get(), lstfound, Texttitle, 10,
        [&] {
            return forms::pickRows(records::TitleStore::search(*db_, Texttitle->text()),
                                   [](const records::TitleMatch& m) {
                                       return forms::PickRow{m.pointer, m.name};
                                   });
        },
        forms::sayNotFound(this, lstfound, Texttitle, false));
}

void ReaderRegister::addTitle(const QString& code, const QString& name) {
    lstfound->hide();
    for (int i = 0; i < lsttitles->count(); ++i)
        if (lsttitles->item(i)->data(Qt::UserRole).toString() == code.trimmed())
            return;
    auto* item = new QListWidgetItem(QStringLiteral("%1  %2").arg(code.trimmed(), name), lsttitles);
    item->setData(Qt::UserRole, code.trimmed());
    Texttitle->clear();
    Texttitle->setFocus();
}

void ReaderRegister::removeTitle() {
    delete lsttitles->currentItem();
}

void ReaderRegister::add() {
    shownId_ = 0;
    clear();
    entry_ = Mode::Adding;
    applyMode();
    Textname->setFocus();
}

void ReaderRegister::edit() {
    entry_ = Mode::Editing;
    applyMode();
    Textname->setFocus();
}

void ReaderRegister::save() {
    const QString name = Textname->text().trimmed(), email = Textemail->text().trimmed();
    if (name.isEmpty() || !alerts::isMailAddress(email)) {
        forms::inform(this,
                      name.isEmpty() ? QStringLiteral("กรุณากรอกชื่อผู้อ่าน")
                                     : QStringLiteral("กรุณากรอกอีเมลให้ถูกต้อง (เช่น name@example.ac.th)"),
                      QStringLiteral("ข้อมูลไม่สมบูรณ์"), forms::Icon::Critical);
        (name.isEmpty() ? Textname : Textemail)->setFocus();
        return;
    }
    Reader reader{shownId_, name, email, forms::comboCode(dcbdepart), {}};
    for (int i = 0; i < lsttitles->count(); ++i)
        reader.titles << lsttitles->item(i)->data(Qt::UserRole).toString();
    data::EditOutcome outcome = data::EditOutcome::Saved;
    const bool done = forms::guarded(
        this,
        [&] {
            if (entry_ == Mode::Adding)
                reader.id = ReaderStore::add(*db_, reader).value;
            else
                outcome = ReaderStore::update(*db_, reader, shownRow_);
        },
        db_.get(), forms::GuardWords{{}, QStringLiteral("บันทึกไม่ได้"), {}, [this](int) { return Textemail; }, {}});
    if (!done)
        return;
    if (outcome != data::EditOutcome::Saved) {
        forms::inform(this, forms::changedElsewhere(QStringLiteral("ผู้อ่าน")), QStringLiteral("บันทึกไม่ได้"),
                      forms::Icon::Critical);
        return;
    }
    shownId_ = reader.id;
    entry_ = Mode::Idle;
    showReader(QString::number(shownId_));
}

void ReaderRegister::remove() {
    if (!forms::askYesNo(this, QStringLiteral("ต้องการลบผู้อ่าน %1 และวารสารที่ติดตามทั้งหมดหรือไม่").arg(Textname->text()),
                         QStringLiteral("ลบผู้อ่าน")))
        return;
    forms::guarded(
        this,
        [&] {
            ReaderStore::remove(*db_, shownId_);
            shownId_ = 0;
            clear();
        },
        db_.get());
    applyMode();
    Textsearch->setFocus();
}

void ReaderRegister::cancel() {
    if (!forms::askOkCancel(this, QStringLiteral("ต้องการยกเลิกข้อมูลหรือไม่"), QStringLiteral("ยกเลิกข้อมูล"),
                            forms::Icon::Information))
        return;
    entry_ = Mode::Idle;
    if (shownId_)
        showReader(QString::number(shownId_));
    else {
        clear();
        applyMode();
        Textsearch->setFocus();
    }
}

forms::Declaration ReaderRegister::declaration() {
    return {QStringLiteral("ReaderRegister"), QStringLiteral("readers"), forms::Opens::Child, forms::makeWindow<ReaderRegister>,
            {QStringLiteral("reader"), QStringLiteral("Textemail"), QStringLiteral("SELECT reader_id FROM reader WHERE email = ? LIMIT 1")}, forms::actionsOf(&ReaderRegister::roleActions),
            forms::openOnOf(&ReaderRegister::openOn)};
}

void ReaderRegister::openOn(const QString& id) {
    if (!unsaved())
        showReader(id);
}

QList<forms::RoleActions> ReaderRegister::roleActions() {
    return {{data::Role::Supervision, {Cmdadd, Cmdedit, Cmddel, Cmdsave, Cmdremovetitle}}};
}

} // namespace titles
