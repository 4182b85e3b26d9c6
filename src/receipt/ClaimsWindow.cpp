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

using forms::named;

using forms::button;

const QString caption = QStringLiteral("ทวงถามวารสาร");

// Names in a line, sorted: the first `shown` of them, then how many more.
QString someOf(QStringList names, qsizetype shown) {
    names.sort();
    if (names.size() <= shown)
        return names.join(QStringLiteral(", "));
    return QStringLiteral("%1 และอีก %2 ราย").arg(names.first(shown).join(QStringLiteral(", "))).arg(names.size() - shown);
}

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
    Textagain = named(this, "Textagain", new QLineEdit);
    Textagain->setMaxLength(10);
    Textagain->setMaximumWidth(140);
    Textagain->setPlaceholderText(QStringLiteral("วว/ดด/ปปปป"));
    Textagain->setToolTip(QStringLiteral("ยังไม่ออก: วันที่คาดว่าจะออก (ว่างไว้: อีกหนึ่งรอบการออก)"));
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
    answers->addWidget(new QLabel(QStringLiteral("คาดว่าจะออก :")));
    answers->addWidget(Textagain);
    answers->addWidget(Textnote, 1);
    answers->addWidget(Cmdanswer);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("เว้นวรรค: เลือก/ไม่เลือกรายการ   Ctrl+A: ทุกรายการ/ไม่เลือกเลย")));
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
    // Every due row marked, or none when every one already is.
    auto* all = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_A), grdclaims);
    all->setContext(Qt::WidgetShortcut);
    connect(all, &QShortcut::activated, this, [this] {
        bool every = true;
        for (qsizetype i = 0; i < rows_.size(); ++i)
            every = every && (marked_.at(i) || !rows_.at(i).due);
        for (qsizetype i = 0; i < rows_.size(); ++i)
            marked_[i] = !every && rows_.at(i).due;
        const QModelIndex at = grdclaims->currentIndex();
        showRows();
        grdclaims->setCurrentIndex(at);
    });
    forms::styleDataField(Textnote);
    forms::styleDataField(Textagain);
    // The expected date goes with "not yet published" alone.
    connect(cboanswer, &QComboBox::currentIndexChanged, this, [this](int i) {
        forms::setFieldLocked(Textagain, i != 0);
        if (i != 0)
            Textagain->clear();
    });
    const QList<QWidget*> order = {Text1, Text2, Command3, grdclaims, cboanswer, Textagain, Textnote, Cmdanswer,
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
            if (!only_.isEmpty())
                rows_.removeIf([this](const Claims::Row& r) { return r.issue.distributorCode.trimmed() != only_; });
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
    QSet<QString> distributors, toPrint, silent;
    int marked = 0;
    for (qsizetype i = 0; i < rows_.size(); ++i) {
        const Claims::Row& r = rows_.at(i);
        cells << QStringList{marked_.at(i) ? QStringLiteral("✓") : QString(),
                             (r.distributorName.isEmpty() ? QStringLiteral("(ไม่ระบุผู้จัดจำหน่าย)") : r.distributorName) +
                                 (r.silent ? QStringLiteral(" (ไม่ตอบ 3 ครั้ง)") : QString()),
                             r.issue.name,
                             data::formatDate(r.issue.expected),
                             r.claims ? QString::number(r.claims) : QString(),
                             r.last.isValid() ? data::formatDate(r.last.date()) : QString(),
                             r.expectedAgain.isValid()
                                 ? QStringLiteral("%1 (คาด %2)").arg(r.lastState, data::formatDate(r.expectedAgain))
                                 : r.lastState};
        if (r.silent)
            silent << r.distributorName;
        if (marked_.at(i)) {
            ++marked;
            distributors << r.issue.distributorCode;
            if (r.address.isEmpty())
                toPrint << (r.distributorName.isEmpty() ? QStringLiteral("(ไม่ระบุผู้จัดจำหน่าย)") : r.distributorName);
        }
    }
    forms::fillGrid(grdclaims, cells);
    Labelsum->setText(
        rows_.isEmpty() && from_.isValid()
            ? QStringLiteral("ไม่มีวารสารที่ยังไม่ได้รับในช่วงเวลานี้")
            : QStringLiteral("ยังไม่ได้รับ %1 ฉบับ เลือกทวงถาม %2 ฉบับ ถึง %3 ผู้จัดจำหน่าย%4")
                  .arg(rows_.size())
                  .arg(marked)
                  .arg(distributors.size())
                  .arg(toPrint.isEmpty() ? QString()
                                         : QStringLiteral(" (ไม่มีอีเมล พิมพ์เป็นจดหมาย: %1)").arg(someOf(toPrint.values(), 3))) +
                  (silent.isEmpty() ? QString()
                                    : QStringLiteral("\nทวงถามครบ 3 ครั้งแล้วไม่ตอบ: %1").arg(someOf(silent.values(), 3))));
    forms::setButtons({Cmdsend}, {marked > 0});
}

void ClaimsWindow::toggle(int row) {
    if (row < 0 || row >= rows_.size())
        return;
    const Claims::Row& r = rows_.at(row);
    if (!r.due) {
        const QString issue = QStringLiteral("%1 ฉบับวันที่ %2").arg(r.issue.name, data::formatDate(r.issue.expected));
        Labelsum->setText(r.lastState == QStringLiteral("หยุดพิมพ์")
                              ? QStringLiteral("%1: ผู้จัดจำหน่ายแจ้งว่าหยุดพิมพ์แล้ว จึงไม่ทวงถามอีก").arg(issue)
                          : r.expectedAgain.isValid()
                              ? QStringLiteral("%1 ยังไม่ออก คาดว่าจะออก %2 ทวงซ้ำได้เมื่อพ้นวันนั้น %3 วัน")
                                    .arg(issue, data::formatDate(r.expectedAgain))
                                    .arg(r.waitDays)
                              : QStringLiteral("%1 ทวงถามแล้วเมื่อ %2 ยังไม่ครบ %3 วัน จึงยังทวงซ้ำไม่ได้")
                                    .arg(issue, data::formatDate(r.last.date()))
                                    .arg(r.waitDays));
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
    if (!printed.isEmpty()) // said before sending: these get a printed letter only
        question += QStringLiteral("\nไม่มีอีเมล จะพิมพ์เป็นจดหมาย: %1").arg(someOf(printed.values(), 10));
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
    const QChar code = QStringLiteral("NSCO").at(qBound(0, cboanswer->currentIndex(), 3));
    QDate again;
    if (code == QLatin1Char('N') && !Textagain->text().trimmed().isEmpty()) {
        const auto typed = data::parseDate(Textagain->text());
        if (!typed || *typed <= r.issue.expected) {
            forms::inform(this,
                          QStringLiteral("วันที่คาดว่าจะออกต้องเป็นวันที่ (วว/ดด/ปปปป) หลังวันที่ %1 ที่ควรได้รับ")
                              .arg(data::formatDate(r.issue.expected)),
                          caption, forms::Icon::Critical);
            Textagain->setFocus();
            return;
        }
        again = *typed;
    }
    if (!forms::guarded(
            this, [&] { Claims::answer(*db_, r.issue.pointer, r.issue.expected, code, Textnote->text(), again); },
            db_.get()))
        return; // the answer typed stays, to try again
    if (code == QLatin1Char('C') &&
        forms::askYesNo(this,
                        QStringLiteral("%1 หยุดพิมพ์แล้ว ฉบับนี้และฉบับต่อจากนี้จะไม่ถูกทวงถามอีก\n"
                                       "ต้องการยุติการบอกรับวารสารนี้ (ยกเลิกการเป็นสมาชิก) ด้วยหรือไม่")
                            .arg(r.issue.name.trimmed()),
                        caption))
        forms::guarded(this, [&] { Claims::endSubscription(*db_, r.issue.pointer); }, db_.get(),
                       QStringLiteral("ยุติการบอกรับไม่สำเร็จ"));
    Textnote->clear();
    Textagain->clear();
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
            {}, forms::actionsOf(&ClaimsWindow::roleActions), forms::openOnOf(&ClaimsWindow::openOn)};
}

void ClaimsWindow::openOn(const QString& distributor) {
    const QDate today = QDate::currentDate();
    QDate first;
    forms::guarded(this, [&] { first = Claims::oldestOpen(*db_, distributor); }, db_.get());
    Text1->setText(data::formatDate(first.isValid() && first < today ? first : today.addYears(-1)));
    Text2->setText(data::formatDate(today));
    only_ = distributor.trimmed();
    find();
    only_.clear();
}

QList<forms::RoleActions> ClaimsWindow::roleActions() {
    return {{data::Role::CheckIn, {Cmdsend, Cmdanswer}, data::Role::Supervision}};
}

} // namespace receipt
