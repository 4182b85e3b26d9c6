#include "receipt/ClaimsWindow.h"

#include "data/Config.h"
#include "data/Dates.h"
#include "forms/common/ErrorGuard.h"
#include "forms/common/Grid.h"
#include "forms/common/MessageBoxes.h"
#include "forms/common/ReportViewer.h"
#include "forms/common/Style.h"
#include "rules/reports/Fonts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QVBoxLayout>

namespace receipt {

namespace {

template <typename W> W* named(QWidget* parent, const char* name, W* w) {
    w->setObjectName(QLatin1String(name));
    w->setParent(parent);
    return w;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = named(parent, name, new QPushButton(text));
    b->setAutoDefault(false);
    b->setMinimumSize(96, 32);
    return b;
}

const QString caption = QStringLiteral("ทวงถามวารสาร");

} // namespace

ClaimsWindow::ClaimsWindow(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), db_(std::move(connection)) {
    setObjectName(QStringLiteral("ClaimsWindow"));
    setWindowTitle(caption);
    setFont(reports::thaiFont(10));
    Text1 = named(this, "Text1", new QLineEdit);
    Text2 = named(this, "Text2", new QLineEdit);
    for (QLineEdit* f : {Text1, Text2}) {
        f->setMaxLength(10);
        f->setPlaceholderText(QStringLiteral("วว/ดด/ปปปป"));
        f->setMaximumWidth(140);
        forms::styleDataField(f);
        connect(f, &QLineEdit::returnPressed, this, &ClaimsWindow::find);
    }
    Labelsum = named(this, "Labelsum", new QLabel);
    Labelsum->setWordWrap(true);
    grdclaims = named(this, "grdclaims", new forms::Grid);
    forms::setupGrid(grdclaims, {{QStringLiteral("ส่ง"), 450},
                                 {QStringLiteral("ผู้จัดจำหน่าย"), 2400},
                                 {QStringLiteral("รายชื่อวารสาร"), 3000},
                                 {QStringLiteral("ฉบับวันที่"), 1200},
                                 {QStringLiteral("ทวงแล้ว"), 800},
                                 {QStringLiteral("ครั้งล่าสุด"), 1200},
                                 {QStringLiteral("สถานะ"), 1000}});
    grdclaims->horizontalHeader()->setStretchLastSection(true);
    Command3 = button(this, "Command3", QStringLiteral("ตรวจสอบ"));
    Cmdsend = button(this, "Cmdsend", QStringLiteral("ส่งทวงถาม"));
    cboanswer = named(this, "cboanswer", new QComboBox);
    cboanswer->addItems({QStringLiteral("ยังไม่ออก"), QStringLiteral("ส่งให้ใหม่แล้ว"), QStringLiteral("หยุดพิมพ์"),
                         QStringLiteral("อื่น ๆ")});
    Textnote = named(this, "Textnote", new QLineEdit);
    Textnote->setMaxLength(500);
    Textnote->setPlaceholderText(QStringLiteral("หมายเหตุ"));
    Cmdanswer = button(this, "Cmdanswer", QStringLiteral("บันทึกคำตอบ"));
    Cmdreport = button(this, "Cmdreport", QStringLiteral("รายงานการทวงถาม"));
    Cmdreport->setMinimumWidth(Cmdreport->fontMetrics().horizontalAdvance(Cmdreport->text()) + 32);
    Command6 = button(this, "Command6", QStringLiteral("Exit"));

    auto* period = new QHBoxLayout;
    period->addWidget(new QLabel(QStringLiteral("ตั้งแต่วันที่ :")));
    period->addWidget(Text1);
    period->addWidget(new QLabel(QStringLiteral("ถึงวันที่ :")));
    period->addWidget(Text2);
    period->addWidget(Command3);
    period->addStretch(1);
    // The distributor's answer to the current row's claim.
    auto* answers = new QHBoxLayout;
    answers->addWidget(new QLabel(QStringLiteral("คำตอบของผู้จัดจำหน่าย :")));
    answers->addWidget(cboanswer);
    answers->addWidget(Textnote, 1);
    answers->addWidget(Cmdanswer);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("เว้นวรรค: เลือก/ไม่เลือกรายการ")));
    buttons->addStretch(1);
    for (QPushButton* b : {Cmdsend, Cmdreport, Command6})
        buttons->addWidget(b);
    auto* page = new QVBoxLayout(this);
    page->addLayout(period);
    page->addWidget(Labelsum);
    page->addWidget(grdclaims, 1);
    page->addLayout(answers);
    page->addLayout(buttons);
    resize(960, 600);

    connect(Command3, &QPushButton::clicked, this, &ClaimsWindow::find);
    connect(Cmdsend, &QPushButton::clicked, this, &ClaimsWindow::send);
    connect(Cmdreport, &QPushButton::clicked, this, &ClaimsWindow::summary);
    connect(Cmdanswer, &QPushButton::clicked, this, &ClaimsWindow::answer);
    connect(Command6, &QPushButton::clicked, this, &QWidget::close);
    connect(grdclaims, &forms::Grid::cellClicked, this, [this](int row, int column) {
        if (column == 0)
            toggle(row);
    });
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), grdclaims);
    space->setContext(Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, [this] { toggle(grdclaims->currentIndex().row()); });
    forms::styleDataField(Textnote);
    const QList<QWidget*> order = {Text1, Text2, Command3, grdclaims, cboanswer, Textnote, Cmdanswer,
                                   Cmdsend, Cmdreport, Command6};
    for (qsizetype i = 0; i < order.size(); ++i) {
        order.at(i)->setFocusPolicy(Qt::StrongFocus);
        if (i > 0)
            setTabOrder(order.at(i - 1), order.at(i));
    }
    forms::setButtons({Cmdsend}, {false});
    forms::keyboardReady(this, Command6);
    Text1->setFocus();
}

ClaimsWindow::~ClaimsWindow() = default;

bool ClaimsWindow::period() {
    const auto from = data::parseDate(Text1->text()), to = data::parseDate(Text2->text());
    if (!from || !to || *to < *from) {
        forms::inform(this,
                      !from || !to ? QStringLiteral("กรุณากำหนดช่วงเวลาให้ครบทั้งวันที่เริ่มต้นและวันที่สิ้นสุด (วว/ดด/ปปปป)")
                                   : QStringLiteral("วันที่ไม่ถูกต้อง กรุณาแก้ไขวันที่ใหม่"),
                      caption, forms::Icon::Critical);
        (from ? Text2 : Text1)->setFocus();
        return false;
    }
    from_ = *from;
    to_ = *to;
    return true;
}

void ClaimsWindow::find() {
    if (!period())
        return;
    setCursor(Qt::WaitCursor);
    forms::guarded(
        this,
        [&] {
            rows_ = Claims::rows(*db_, ReceiptCheck::run(*db_, from_, to_), QDateTime::currentDateTime());
            marked_.clear();
            for (const Claims::Row& r : rows_)
                marked_.append(r.due);
        },
        db_.get());
    unsetCursor();
    showRows();
    if (!rows_.isEmpty()) {
        grdclaims->setFocus();
        grdclaims->setCurrentIndex(grdclaims->model()->index(0, 0));
    }
}

void ClaimsWindow::showRows() {
    QList<QStringList> cells;
    QSet<QString> distributors, toPrint;
    int marked = 0;
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        const Claims::Row& r = rows_.at(i);
        cells << QStringList{marked_.at(i) ? QStringLiteral("✓") : QString(),
                             r.distributorName.isEmpty() ? QStringLiteral("(ไม่ระบุผู้จัดจำหน่าย)") : r.distributorName,
                             r.issue.name,
                             data::formatDate(r.issue.expected),
                             r.claims ? QString::number(r.claims) : QString(),
                             r.last.isValid() ? data::formatDate(r.last.date()) : QString(),
                             r.lastState};
        if (marked_.at(i)) {
            ++marked;
            distributors << r.issue.distributorCode;
            if (r.address.isEmpty())
                toPrint << (r.distributorName.isEmpty() ? QStringLiteral("(ไม่ระบุผู้จัดจำหน่าย)") : r.distributorName);
        }
    }
    forms::fillGrid(grdclaims, cells);
    QStringList printed = toPrint.values();
    printed.sort();
    Labelsum->setText(
        rows_.isEmpty() && from_.isValid()
            ? QStringLiteral("ไม่มีวารสารที่ยังไม่ได้รับในช่วงเวลานี้")
            : QStringLiteral("ยังไม่ได้รับ %1 ฉบับ เลือกทวงถาม %2 ฉบับ ถึง %3 ผู้จัดจำหน่าย%4")
                  .arg(rows_.size())
                  .arg(marked)
                  .arg(distributors.size())
                  .arg(printed.isEmpty() ? QString()
                                         : QStringLiteral(" (ไม่มีอีเมล พิมพ์เป็นจดหมาย: %1)").arg(printed.join(QStringLiteral(", ")))));
    forms::setButtons({Cmdsend}, {marked > 0});
}

void ClaimsWindow::toggle(int row) {
    if (row < 0 || row >= rows_.size())
        return;
    if (!rows_.at(row).due) {
        Labelsum->setText(QStringLiteral("%1 ฉบับวันที่ %2 ทวงถามแล้วเมื่อ %3 ยังไม่ครบ %4 วัน จึงยังทวงซ้ำไม่ได้")
                              .arg(rows_.at(row).issue.name, data::formatDate(rows_.at(row).issue.expected),
                                   data::formatDate(rows_.at(row).last.date()))
                              .arg(rows_.at(row).waitDays));
        return;
    }
    marked_[row] = !marked_.at(row);
    const QModelIndex at = grdclaims->currentIndex();
    showRows();
    grdclaims->setCurrentIndex(at.isValid() ? at : grdclaims->model()->index(row, 0));
}

void ClaimsWindow::send() {
    QList<Claims::Row> chosen;
    QSet<QString> distributors, printed;
    for (qsizetype i = 0; i < rows_.size(); ++i)
        if (marked_.at(i)) {
            chosen.append(rows_.at(i));
            distributors << rows_.at(i).issue.distributorCode;
            if (rows_.at(i).address.isEmpty())
                printed << rows_.at(i).distributorName;
        }
    if (chosen.isEmpty())
        return;
    QString question = QStringLiteral("ส่งทวงถาม %1 ฉบับ ถึง %2 ผู้จัดจำหน่าย หรือไม่").arg(chosen.size()).arg(distributors.size());
    QStringList names = printed.values();
    names.sort();
    if (!names.isEmpty()) // said before sending: these get a printed letter only
        question += QStringLiteral("\nไม่มีอีเมล จะพิมพ์เป็นจดหมาย: %1").arg(names.join(QStringLiteral(", ")));
    if (!forms::askYesNo(this, question, caption))
        return;
    const data::InstallationConfig& config = data::installation();
    Claims::Sent sent;
    const bool ok = forms::guarded(
        this,
        [&] {
            sent = Claims::send(*db_, chosen,
                                {config.libraryName, config.libraryAddress, config.claimTemplateTh, config.claimTemplateEn},
                                config.mailFrom, QDate::currentDate());
        },
        db_.get(), QStringLiteral("บันทึกการทวงถามไม่สำเร็จ"));
    if (!ok)
        return;
    forms::inform(this,
                  QStringLiteral("บันทึกการทวงถามแล้ว %1 ฉบับ จดหมายทางอีเมล %2 ฉบับอยู่ในคิวส่ง (ส่งออกเมื่อระบบส่งจดหมายทำงานรอบถัดไป) "
                                 "จดหมายที่ต้องพิมพ์ %3 ฉบับ")
                      .arg(sent.claimed)
                      .arg(sent.mailed)
                      .arg(sent.toPrint.size()),
                  caption);
    if (!sent.toPrint.isEmpty())
        reports::showReport(Claims::printedLetters(sent.toPrint), this);
    find();
}

void ClaimsWindow::answer() {
    const int row = grdclaims->currentIndex().row();
    if (row < 0 || row >= rows_.size() || rows_.at(row).claims == 0) {
        forms::inform(this, QStringLiteral("กรุณาเลือกฉบับที่ทวงถามแล้ว"), caption);
        grdclaims->setFocus();
        return;
    }
    const Claims::Row r = rows_.at(row);
    const QString note = Textnote->text();
    const QChar code = QStringLiteral("NSCO").at(qBound(0, cboanswer->currentIndex(), 3));
    if (forms::guarded(this, [&] { Claims::answer(*db_, r.issue.pointer, r.issue.expected, code, note); }, db_.get()) &&
        code == QLatin1Char('C'))
        forms::inform(this,
                      QStringLiteral("%1 หยุดพิมพ์แล้ว ฉบับนี้จะไม่ถูกทวงถามอีก หากต้องการยุติการบอกรับ "
                                     "กรุณาแก้ไขสถานะการรับที่หน้าข้อมูลวารสาร")
                          .arg(r.issue.name),
                      caption);
    Textnote->clear();
    find();
    grdclaims->setCurrentIndex(grdclaims->model()->index(qMin(row, int(rows_.size()) - 1), 0));
}

void ClaimsWindow::summary() {
    if (!period())
        return;
    forms::guarded(this, [&] { reports::showReport(Claims::claimsSummary(*db_, from_, to_), this); }, db_.get());
}

forms::Declaration ClaimsWindow::declaration() {
    return {QStringLiteral("ClaimsWindow"), QStringLiteral("claims"), forms::Opens::Child, forms::makeWindow<ClaimsWindow>,
            {}, forms::actionsOf(&ClaimsWindow::roleActions)};
}

QList<forms::RoleActions> ClaimsWindow::roleActions() {
    return {{data::Role::CheckIn, {Cmdsend, Cmdanswer}}};
}

} // namespace receipt
