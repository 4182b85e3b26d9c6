#include "index/add_auther.h"

#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/Style.h"
#include "rules/index/AuthorStore.h"
#include "ui_add_auther.h"

#include <QButtonGroup>
#include <QHeaderView>
#include <QKeyEvent>

namespace indexing {

namespace {

enum Column { ColCode, ColName, ColTrueCode };

} // namespace

add_auther::add_auther(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::add_auther>()) {
    ui->setupUi(this);
    db_ = std::move(connection);

    Text4 = new QLineEdit(this);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->hide();
    for (QLineEdit* f : {ui->Text1, ui->Text2, ui->Text3}) {
        forms::styleDataField(f);
        QPalette p = f->palette();
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, QPalette::Base, forms::unlockedColour);
        f->setPalette(p);
    }
    for (QLabel* l : findChildren<QLabel*>())
        l->setFont(reports::thaiFont(9.75, true));

    // The results are shown over the name field.
    showauth = new forms::Grid(this);
    showauth->setObjectName(QStringLiteral("showauth"));
    forms::setupGrid(showauth, {{QStringLiteral("รหัสผู้แต่ง"), 1000, Qt::AlignCenter},
                                {QStringLiteral("ชื่อ  - นามสกุล  "), 3500},
                                {QString(), 1000}});
    showauth->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    forms::clearGrid(showauth, 7);
    showauth->hide();
    connect(showauth, &forms::Grid::cellDoubleClicked, this, [this](int row, int) { pick(row); });
    forms::onRowChosenByEnter(showauth, [this](int row) { pick(row); });

    choices_ = new QButtonGroup(this);
    choices_->addButton(ui->Optpenname_0, 0);
    choices_->addButton(ui->Optpenname_1, 1);
    connect(ui->Optpenname_0, &QRadioButton::toggled, this, [this](bool on) {
        applyMode();
        if (on && ui->Text3->isEnabled())
            ui->Text3->setFocus();
    });
    connect(ui->Optpenname_1, &QRadioButton::toggled, this, [this](bool on) {
        if (!on)
            return;
        Text4->clear();
        ui->Text3->clear();
        applyMode();
    });

    connect(ui->Cmdsearch, &QPushButton::clicked, this, &add_auther::search);
    for (QLineEdit* f : {ui->Text1, ui->Text2})
        connect(f, &QLineEdit::returnPressed, this, [this] {
            if (ui->Cmdsearch->isEnabled())
                search();
        });
    connect(ui->Cmdadd, &QPushButton::clicked, this, &add_auther::add);
    connect(ui->cmdsaveadd, &QPushButton::clicked, this, &add_auther::saveNew);
    connect(ui->Cmdedit, &QPushButton::clicked, this, &add_auther::edit);
    connect(ui->Cmdsaveedit, &QPushButton::clicked, this, &add_auther::saveChange);
    connect(ui->Cmdcan, &QPushButton::clicked, this, &add_auther::toIdle);
    connect(ui->Command1, &QPushButton::clicked, this, &QWidget::close);
    forms::keyboardReady(this);
    forms::askBeforeClosing(this, [this] { return mode_ == Mode::Adding || mode_ == Mode::Editing; });

    forms::limitToColumns(*db_, QStringLiteral("authname"), {{ui->Text2, "penname"}, {ui->Text3, "penname"}});
    toIdle();
    ui->Text1->setFocus();
}

add_auther::~add_auther() = default;

void add_auther::clearChoices() {
    choices_->setExclusive(false);
    ui->Optpenname_0->setChecked(false);
    ui->Optpenname_1->setChecked(false);
    choices_->setExclusive(true);
}

void add_auther::applyMode() {
    const bool idle = mode_ == Mode::Idle, adding = mode_ == Mode::Adding, editing = mode_ == Mode::Editing;
    const bool picked = mode_ == Mode::Found || mode_ == Mode::Shown;
    // Idle: search or add; Found, Shown: an author to edit; Adding, Editing: the name, whether
    // it is a pen name, and the true name of one. Each save button stands in its mode's place.
    ui->Text1->setEnabled(idle || mode_ == Mode::Found || adding);
    ui->Text2->setEnabled(mode_ != Mode::Shown);
    ui->Text3->setEnabled((adding || editing) && ui->Optpenname_0->isChecked());
    ui->Optpenname_0->setEnabled(adding || editing);
    ui->Optpenname_1->setEnabled(adding || editing);
    ui->Cmdsearch->setEnabled(idle);
    ui->Cmdadd->setVisible(!adding);
    ui->Cmdadd->setEnabled(idle);
    ui->cmdsaveadd->setVisible(adding);
    ui->cmdsaveadd->setEnabled(adding);
    ui->Cmdedit->setVisible(!editing);
    ui->Cmdedit->setEnabled(picked);
    ui->Cmdsaveedit->setVisible(editing);
    ui->Cmdsaveedit->setEnabled(editing);
}

void add_auther::choose(bool penName) {
    // Checking an already checked button emits nothing; the choice's effect still applies.
    QRadioButton* b = penName ? ui->Optpenname_0 : ui->Optpenname_1;
    if (b->isChecked())
        emit b->toggled(true);
    else
        b->setChecked(true);
}

void add_auther::toIdle() {
    mode_ = Mode::Idle;
    showauth->hide();
    ui->Text1->clear();
    ui->Text2->clear();
    ui->Text3->clear();
    Text4->clear();
    clearChoices();
    applyMode();
}

void add_auther::search() {
    const QString code = ui->Text1->text().trimmed();
    const QString name = ui->Text2->text().trimmed();
    if (code.isEmpty() && name.isEmpty()) {
        forms::inform(this, QStringLiteral("กรุณาพิมพ์ข้อมูลที่ต้องการค้นหา"), QStringLiteral("ข้อผิดพลาด"),
                      forms::Icon::Critical);
        ui->Text2->setFocus(); // names are what the desk looks for; typing on the button went nowhere
        return;
    }
    forms::guarded(
        this,
        [&] {
            const QList<Author> found = AuthorStore::search(*db_, code, name);
            if (found.isEmpty()) {
                forms::inform(this, QStringLiteral("ไม่พบข้อมูลที่ต้องการค้นหา"), QStringLiteral("ผลการค้นหา"),
                              forms::Icon::Critical);
                ui->Text1->clear();
                ui->Text2->clear();
            } else {
                QList<QStringList> rows;
                rows.reserve(found.size());
                for (const Author& a : found)
                    rows.append({a.idno, a.penname, a.trueIdno});
                found_ = found;
                forms::fillGrid(showauth, rows);
                const QPoint at = ui->Text2->mapTo(this, QPoint(0, 0));
                showauth->setGeometry(at.x(), at.y(), qMin(width() - at.x() - 8, 5600 / 15 + 20),
                                      qMin(height() - at.y() - 8, 240));
                showauth->show();
                showauth->raise();
                showauth->setCurrentCell(0, ColCode);
                showauth->setFocus();
            }
            mode_ = Mode::Found;
            applyMode();
        },
        db_.get());
}

void add_auther::pick(int row) {
    shown_ = row >= 0 && row < found_.size() ? found_.at(row) : Author{};
    const QString code = shown_.idno;
    if (code.isEmpty())
        return;
    mode_ = Mode::Shown;
    applyMode();
    ui->Text1->setText(code);
    ui->Text2->setText(shown_.penname);
    const QString trueCode = shown_.trueIdno.trimmed();
    forms::guarded(
        this,
        [&] {
            if (!trueCode.isEmpty()) {
                Text4->setText(trueCode);
                choose(true);
                if (const auto a = AuthorStore::find(*db_, trueCode))
                    ui->Text3->setText(a->penname);
            } else {
                choose(false);
            }
        },
        db_.get());
    showauth->hide();
}

void add_auther::add() {
    mode_ = Mode::Adding;
    showauth->hide();
    applyMode();
    ui->Text2->clear();
    ui->Text3->clear();
    Text4->clear();
    choose(false);
    forms::guarded(
        this,
        [&] {
            const QString code = AuthorStore::expectedCode(*db_);
            if (!code.isEmpty())
                ui->Text1->setText(code);
        },
        db_.get());
    ui->Text2->setFocus();
}

void add_auther::edit() {
    mode_ = Mode::Editing;
    showauth->hide();
    applyMode();
    ui->Text2->setFocus();
}

bool add_auther::confirmSave() {
    return forms::askYesNo(this, QStringLiteral("ต้องการบันทึกข้อมูลหรือไม่"), QStringLiteral("บันทึกข้อมูลรายชื่อผู้แต่ง"),
                           forms::Icon::Question);
}

bool add_auther::runSave(const std::function<std::optional<SavedAuthor>()>& store, std::optional<SavedAuthor>* saved) {
    if (!confirmSave())
        return false;
    forms::GuardWords words;
    words.what = QStringLiteral("บันทึกข้อมูลไม่สำเร็จ ข้อมูลไม่ได้ถูกบันทึก");
    words.refusalTitle = QStringLiteral("ข้อมูลไม่ครบ");
    words.refusedField = [this](int) -> QWidget* {
        return ui->Text2->text().trimmed().isEmpty() ? ui->Text2 : ui->Text3;
    };
    // On failure the window stays as it was, nothing lost.
    return forms::guarded(
        this, [&] { *saved = store(); }, db_.get(), words);
}

void add_auther::saveNew() {
    const QString shown = ui->Text1->text().trimmed();
    const bool pen = ui->Optpenname_0->isChecked();
    std::optional<SavedAuthor> saved;
    if (!runSave([&] { return std::optional(AuthorStore::add(*db_, ui->Text2->text(), pen, ui->Text3->text())); },
                 &saved))
        return;
    if (saved->idno != shown)
        forms::inform(this, QStringLiteral("บันทึกข้อมูลเรียบร้อยแล้ว ผู้แต่งได้รับรหัส %1").arg(saved->idno),
                      QStringLiteral("บันทึกข้อมูลรายชื่อผู้แต่ง"), forms::Icon::Information);
    toIdle();
}

void add_auther::saveChange() {
    const bool pen = ui->Optpenname_0->isChecked();
    std::optional<SavedAuthor> saved;
    data::EditOutcome outcome = data::EditOutcome::Saved;
    if (!runSave(
            [&]() -> std::optional<SavedAuthor> {
                const AuthorStore::AuthorEdit e =
                    AuthorStore::update(*db_, shown_, ui->Text2->text(), pen, ui->Text3->text());
                outcome = e.outcome;
                return e.saved;
            },
            &saved))
        return;
    const QString title = QStringLiteral("บันทึกข้อมูลรายชื่อผู้แต่ง");
    if (outcome == data::EditOutcome::Missing)
        forms::inform(this, QStringLiteral("ไม่พบผู้แต่งรหัส %1 ข้อมูลไม่ได้ถูกบันทึก").arg(shown_.idno.trimmed()), title,
                      forms::Icon::Critical);
    if (outcome == data::EditOutcome::ChangedElsewhere) {
        const QString code = shown_.idno.trimmed();
        if (!forms::askYesNo(this, forms::changedElsewhere(QStringLiteral("ผู้แต่งรหัส %1").arg(code)), title,
                             forms::Icon::Warning))
            return; // still editing, with what was typed
        toIdle();
        ui->Text1->setText(code);
        search();
        return;
    }
    toIdle();
}

forms::Declaration add_auther::declaration() {
    return {QStringLiteral("add_auther"), QStringLiteral("m_auth"), forms::Opens::CentredOnScreen, forms::makeWindow<add_auther>,
            {QStringLiteral("authname"), QStringLiteral("Text1"), {}}, forms::actionsOf(&add_auther::roleActions)};
}

QList<forms::RoleActions> add_auther::roleActions() {
    return {{data::Role::Indexing, {ui->Cmdadd, ui->cmdsaveadd, ui->Cmdedit, ui->Cmdsaveedit}}};
}

} // namespace indexing
