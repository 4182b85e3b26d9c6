#include "app/HistoryStrip.h"

#include "data/Dates.h"
#include "data/History.h"
#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "rules/reports/HistoryReport.h"
#include "forms/common/ReportViewer.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

namespace app {

namespace {

QString when(const QDateTime& at) {
    return data::formatDate(at.date()) + at.toString(QStringLiteral(" HH:mm"));
}

} // namespace

HistoryStrip* HistoryStrip::attach(const HistoryPlace& place, QWidget* window) {
    QLayout* layout = window->layout();
    if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
        auto* strip = new HistoryStrip(place, window);
        box->addWidget(strip);
        return strip;
    }
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        auto* strip = new HistoryStrip(place, window);
        grid->addWidget(strip, grid->rowCount(), 0, 1, grid->columnCount());
        return strip;
    }
    return nullptr;
}

HistoryStrip::HistoryStrip(HistoryPlace place, QWidget* window)
    : QWidget(window), place_(std::move(place)), label_(new QLabel(this)), list_(new QToolButton(this)),
      timer_(new QTimer(this)) {
    list_->setText(QStringLiteral("ประวัติการแก้ไข..."));
    list_->setAutoRaise(true); // as tall as the line it stands on
    setObjectName(QStringLiteral("HistoryStrip"));
    label_->setObjectName(QStringLiteral("lblLastChange"));
    label_->setFont(reports::thaiFont(8.25));
    list_->setObjectName(QStringLiteral("cmdHistory"));
    list_->setFont(reports::thaiFont(8.25));
    list_->setFocusPolicy(Qt::ClickFocus); // not a stop of the window's own Tab order
    list_->setEnabled(false);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 0);
    row->addWidget(label_, 1);
    row->addWidget(list_);
    timer_->setSingleShot(true);
    timer_->setInterval(150);
    connect(timer_, &QTimer::timeout, this, &HistoryStrip::refresh);
    connect(list_, &QToolButton::clicked, this, &HistoryStrip::showList);
    list_->setToolTip(QStringLiteral("Ctrl+H"));
    // From the keyboard anywhere in the window, and where the foot found no room.
    auto* key =
        new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), window, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(key, &QShortcut::activated, this, [this] {
        if (list_->isEnabled())
            showList();
    });
    hide();
    if (!place_.keyField.isEmpty()) {
        field_ = window->findChild<QLineEdit*>(place_.keyField);
        if (field_)
            connect(field_, &QLineEdit::textChanged, timer_, qOverload<>(&QTimer::start));
    }
    // A save, a deletion or a record brought up changes what the foot shows.
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (b != list_)
            connect(b, &QAbstractButton::clicked, timer_, qOverload<>(&QTimer::start));
    timer_->start();
}

HistoryStrip::~HistoryStrip() = default;

data::Connection& HistoryStrip::db() {
    if (!db_)
        db_ = std::make_unique<data::Connection>(data::installation().db);
    if (!db_->isOpen())
        db_->open();
    return *db_;
}

QString HistoryStrip::currentKey() {
    if (place_.keyField.isEmpty())
        return {};
    const QString text = field_ ? field_->text().trimmed() : QString();
    if (text.isEmpty() || place_.keyLookUp.isEmpty())
        return text;
    const data::Result r = db().query(place_.keyLookUp, {text});
    return r.isEmpty() ? QString() : r.text(0, 0);
}

void HistoryStrip::refresh() {
    std::optional<data::Change> last;
    try {
        key_ = currentKey();
        if (!place_.keyField.isEmpty() && key_.isEmpty())
            last.reset();
        else if (place_.keyField.isEmpty())
            last = data::lastChangeOfTable(db(), place_.table);
        else
            last = data::lastChange(db(), place_.table, key_);
    } catch (const data::DbError&) {
        last.reset(); // the foot says nothing rather than stand in the way
    }
    label_->setText(last ? QStringLiteral("แก้ไขล่าสุดโดย %1 เมื่อ %2").arg(last->person(), when(last->at)) : QString());
    label_->setToolTip(last ? last->by : QString());
    list_->setEnabled(bool(last));
    setVisible(bool(last)); // a new record, or one never changed since the history began: no foot
    QTimer::singleShot(0, this, &HistoryStrip::makeRoom);
}

QWidget* HistoryStrip::frame() const {
    for (QWidget* p = parentWidget(); p; p = p->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p))
            return sub;
    return window();
}

// A window laid out before its foot was shown has no room for it: its frame grows by the foot's
// height where the working area (or the screen) allows, moving up first when it must. Where it
// cannot, the last change goes in the frame's title instead.
void HistoryStrip::makeRoom() {
    QWidget* f = frame();
    if (title_.isNull())
        title_ = f->windowTitle();
    f->setWindowTitle(title_);
    const int need = sizeHint().height() - height();
    if (!isVisible() || need <= 0)
        return;
    const QRect bounds =
        f->isWindow() ? f->screen()->availableGeometry() : QRect(QPoint(0, 0), f->parentWidget()->size());
    QRect r = f->isWindow() ? f->frameGeometry() : f->geometry();
    const int extra = f->isWindow() ? r.height() - f->height() : 0;
    r.setHeight(qMin(r.height() + need, bounds.height()));
    if (r.bottom() > bounds.bottom())
        r.moveBottom(bounds.bottom());
    f->move(r.topLeft());
    f->resize(f->width(), r.height() - extra);
    QTimer::singleShot(0, this, [this, f] {
        if (isVisible() && height() < sizeHint().height()) {
            hide();
            f->setWindowTitle(title_ + QStringLiteral(" — ") + label_->text());
        }
    });
}

void HistoryStrip::showList() {
    QList<data::Change> changes;
    if (!forms::guarded(
            this,
            [&] {
                changes = place_.keyField.isEmpty() ? data::tableHistory(db(), place_.table)
                                                    : data::rowHistory(db(), place_.table, key_);
            },
            nullptr, QStringLiteral("อ่านประวัติการแก้ไขไม่สำเร็จ")) ||
        changes.isEmpty())
        return;
    QDialog dialog(window());
    dialog.setObjectName(QStringLiteral("HistoryList"));
    dialog.setWindowTitle(QStringLiteral("ประวัติการแก้ไข %1 %2").arg(place_.table, key_));
    auto* table = new QTableWidget(int(changes.size()), 4, &dialog);
    table->setObjectName(QStringLiteral("gridHistory"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("เมื่อ"), QStringLiteral("โดย"), QStringLiteral("การกระทำ"), QStringLiteral("สิ่งที่เปลี่ยน")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int i = 0; i < changes.size(); ++i) {
        const data::Change& c = changes.at(i);
        const QStringList cells{when(c.at), c.by, c.actionCaption(), c.summary()};
        for (int col = 0; col < cells.size(); ++col) {
            auto* item = new QTableWidgetItem(cells.at(col));
            item->setToolTip(cells.at(col)); // a long list of changes read whole
            table->setItem(i, col, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* print = buttons->addButton(QStringLiteral("พิมพ์..."), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("cmdPrint"));
    QPushButton* close = buttons->addButton(QStringLiteral("ปิด"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
    connect(print, &QPushButton::clicked, &dialog, [&] {
        reports::showReport(reports::historyReport(changes, changes.last().at.date(), changes.first().at.date()),
                            window());
    });
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog.resize(760, 360);
    table->setFocus();
    dialog.exec();
}

} // namespace app
