#include "app/HomePanel.h"

#include "data/Dates.h"
#include "data/DbError.h"
#include "forms/common/ErrorGuard.h"
#include "forms/common/Grid.h"
#include "forms/common/ReportViewer.h"
#include "forms/common/Style.h"
#include "rules/receipt/Quiet.h"
#include "rules/receipt/ReceiptCheck.h"
#include "rules/reports/Fonts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace app {

namespace {

using forms::named;

QString escaped(const QString& s) {
    return s.toHtmlEscaped();
}

// One heading and its entries: each a link opening `kind` on the entry's key, with what
// `detail` says of it; past `shownEach`, how many more.
QString section(const QString& heading, const QList<desk::Item>& items, const QString& kind,
                const std::function<QString(const desk::Item&)>& detail, const QString& more = {}) {
    QString html = u"<h3>%1 <span class='n'>%2</span></h3>"_s.arg(escaped(heading)).arg(items.size());
    if (items.isEmpty())
        return html + u"<p class='none'>ไม่มี</p>"_s;
    html += u"<ul>"_s;
    for (qsizetype i = 0; i < items.size() && i < HomePanel::shownEach; ++i) {
        const desk::Item& it = items.at(i);
        html += u"<li><a href='open:%1/%2'>%3</a> %4</li>"_s.arg(kind, QString::fromLatin1(QUrl::toPercentEncoding(it.key)),
                                                                 escaped(it.name.trimmed().isEmpty() ? it.key : it.name),
                                                                 escaped(detail(it)));
    }
    html += u"</ul>"_s;
    if (items.size() > HomePanel::shownEach)
        html += u"<p>และอีก %1 รายการ%2</p>"_s.arg(items.size() - HomePanel::shownEach).arg(more);
    return html;
}

} // namespace

HomePanel::HomePanel(std::unique_ptr<data::Connection> connection, QWidget* parent)
    : QWidget(parent), db_(std::move(connection)) {
    setObjectName(u"HomePanel"_s);
    setWindowTitle(u"งานวันนี้"_s);
    setFont(reports::thaiFont(10));
    Labeltoday = named(this, "Labeltoday", new QLabel);
    Labeltoday->setFont(reports::thaiFont(12, true));
    txtglance = named(this, "txtglance", new QTextBrowser);
    txtglance->setOpenLinks(false);
    txtglance->setTextInteractionFlags(Qt::TextBrowserInteraction);
    txtglance->document()->setDefaultStyleSheet(
        u"h3 { margin-top: 10px; margin-bottom: 2px; } .n { color: #00008b; } .none { color: #555555; } "
        "ul { margin-top: 0px; } a { color: #00008b; }"_s);
    connect(txtglance, &QTextBrowser::anchorClicked, this, &HomePanel::follow);
    Cmdrefresh = forms::button(this, "Cmdrefresh", u"ปรับปรุง (F5)"_s);
    Command6 = forms::button(this, "Command6", u"ออก"_s);
    connect(Cmdrefresh, &QPushButton::clicked, this, &HomePanel::refresh);
    connect(Command6, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this, &HomePanel::refresh);

    auto* top = new QHBoxLayout;
    top->addWidget(Labeltoday, 1);
    top->addWidget(Cmdrefresh);
    top->addWidget(Command6);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(txtglance, 1);
    setTabOrder(txtglance, Cmdrefresh);
    setTabOrder(Cmdrefresh, Command6);
    forms::keyboardReady(this, Command6);
    resize(760, 600);

    timer_ = new QTimer(this);
    timer_->setInterval(minutesBetween * 60 * 1000);
    connect(timer_, &QTimer::timeout, this, &HomePanel::refresh);
    timer_->start();
    render();
}

HomePanel::~HomePanel() {
    *alive_ = false;
}

forms::Declaration HomePanel::declaration() {
    return {u"HomePanel"_s, u"home"_s, forms::Opens::Child, forms::makeWindow<HomePanel>, {}, {}};
}

void HomePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    txtglance->setFocus();
}

void HomePanel::refresh() {
    if (reading_)
        return;
    reading_ = true;
    Cmdrefresh->setEnabled(false);
    Labeltoday->setText(u"กำลังอ่านข้อมูล..."_s);
    struct Read {
        desk::Glance glance;
        QString problem;
    };
    auto read = std::make_shared<Read>();
    const QDate today = QDate::currentDate();
    // A connection of the thread's own: the panel's stays free, and the window may close meanwhile.
    QThread* worker = QThread::create([read, settings = db_->settings(), today] {
        try {
            data::Connection c(settings);
            c.open();
            read->glance = desk::glance(c, today);
        } catch (const data::DbError& e) {
            read->problem = e.describe();
        } catch (const std::exception& e) {
            read->problem = QString::fromUtf8(e.what());
        }
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this, [this, read, alive = alive_] {
        if (!*alive)
            return;
        reading_ = false;
        Cmdrefresh->setEnabled(true);
        if (read->problem.isEmpty()) {
            glance_ = read->glance;
            read_ = true;
        }
        render(read->problem);
        emit refreshed();
    });
    worker->start();
}

void HomePanel::render(const QString& problem) {
    if (!read_ && problem.isEmpty()) {
        Labeltoday->setText(u"กำลังอ่านข้อมูล..."_s);
        return;
    }
    const desk::Glance& g = glance_;
    Labeltoday->setText(read_ ? u"งานวันนี้ %1"_s.arg(receipt::thaiDateText(g.today)) : u"งานวันนี้"_s);
    QString html;
    if (!problem.isEmpty())
        html += u"<p style='color:#b00000'>อ่านข้อมูลไม่ได้: %1</p>"_s.arg(escaped(problem));
    if (read_) {
        const auto expected = [](const desk::Item& i) { return u"(ควรได้รับ %1)"_s.arg(data::formatDate(i.date)); };
        const auto late = [](const desk::Item& i) {
            return u"ควรได้รับ %1 ช้า %2 วัน"_s.arg(data::formatDate(i.date)).arg(i.count);
        };
        html += section(u"ควรได้รับวันนี้"_s, g.today_, u"reg_journal"_s, [](const desk::Item&) { return QString(); });
        html += section(u"ควรได้รับภายใน 7 วัน"_s, g.week, u"reg_journal"_s, expected);
        html += section(u"เลยกำหนดรับ"_s, g.overdue, u"reg_journal"_s, late);
        html += section(u"ไม่ได้รับฉบับใหม่นานเกินสามฉบับ"_s, g.quiet, u"reg_journal"_s, late,
                        u" <a href='print:quiet'>พิมพ์รายการทั้งหมด</a>"_s);
        html += section(u"ทวงถามแล้วรอคำตอบ"_s, g.claims, u"ClaimsWindow"_s, [](const desk::Item& i) {
            return u"%1 ฉบับ ทวงครั้งแรก %2"_s.arg(i.count).arg(data::formatDate(i.date));
        });
        html += section(u"สมาชิกจะหมดอายุภายใน 2 เดือน"_s, g.ending, u"expdate"_s, [](const desk::Item& i) {
            return u"หมดอายุ %1"_s.arg(data::formatDate(i.date));
        });
        html += section(u"อีเมลแจ้งวารสารใหม่ที่ส่งไม่ถึง"_s, g.refusedAlerts, u"ReaderRegister"_s, [](const desk::Item& i) {
            return u"ส่งไม่ได้ %1 ครั้ง ล่าสุด %2"_s.arg(i.count).arg(data::formatDate(i.date));
        });
        html += section(u"หนังสือทวงถามที่ส่งไม่ถึง"_s, g.refusedClaims, u"ClaimsWindow"_s, [](const desk::Item& i) {
            return u"%1 ฉบับ ตั้งแต่ %2"_s.arg(i.count).arg(data::formatDate(i.date));
        });
    }
    const int at = txtglance->verticalScrollBar()->value(); // a refresh keeps the place being read
    txtglance->setHtml(html);
    txtglance->verticalScrollBar()->setValue(at);
}

void HomePanel::follow(const QUrl& link) {
    if (link.scheme() == u"print"_s && link.path() == u"quiet"_s) {
        const QDate today = QDate::currentDate();
        forms::guarded(
            this, [&] { reports::showReport(receipt::Quiet::report(receipt::Quiet::titles(*db_, today), today), this); },
            db_.get());
        return;
    }
    if (link.scheme() != u"open"_s || !open_)
        return;
    const QString path = link.path();
    const qsizetype slash = path.indexOf(u'/');
    if (slash > 0)
        open_(path.left(slash), QUrl::fromPercentEncoding(path.mid(slash + 1).toUtf8()));
}

} // namespace app
