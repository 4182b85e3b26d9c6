#include "app/WindowRegistry.h"

#include "data/Config.h"
#include "forms/common/ErrorGuard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QWidget>

namespace app {

namespace {

// The keyboard goes to the window just opened from the menu: to the field it gave the focus,
// or else to its first field in Tab order. Once the menu has closed and the main window has the
// focus back, which under a window manager is after this call returns (and a field focused
// while the window was still hidden has lost it by then).
void focusWithin(QWidget* w) {
    QTimer::singleShot(0, w, [w] {
        const auto takes = [w](QWidget* f) {
            return f && w->isAncestorOf(f) && f->isEnabled() && f->isVisible() && (f->focusPolicy() & Qt::TabFocus);
        };
        QWidget* field = w->focusWidget();
        for (QWidget* next = w->nextInFocusChain(); !takes(field) && next && next != w; next = next->nextInFocusChain())
            field = next;
        (takes(field) ? field : w)->setFocus(Qt::OtherFocusReason);
    });
}

} // namespace

namespace {

QMdiSubWindow* frameOf(QWidget* w) {
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p))
            return sub;
    return nullptr;
}

// Moves `r` (as far as it fits) inside `bounds`.
QRect keptInside(QRect r, const QRect& bounds) {
    r.setSize(r.size().boundedTo(bounds.size()));
    r.moveLeft(qBound(bounds.left(), r.left(), bounds.right() - r.width() + 1));
    r.moveTop(qBound(bounds.top(), r.top(), bounds.bottom() - r.height() + 1));
    return r;
}

} // namespace

WindowRegistry::WindowRegistry(QMdiArea* area, QWidget* owner) : QObject(owner), area_(area), owner_(owner) {}

std::unique_ptr<data::Connection> WindowRegistry::connection() const {
    auto c = std::make_unique<data::Connection>(data::installation().db);
    c->open();
    return c;
}

void WindowRegistry::add(const QString& kind, Placement placement, Factory factory) {
    kinds_.insert(kind, Kind{placement, std::move(factory), {}});
}

QWidget* WindowRegistry::find(const QString& kind) const {
    const auto it = kinds_.constFind(kind);
    return it == kinds_.cend() ? nullptr : it->window.data();
}

QWidget* WindowRegistry::show(const QString& kind) {
    auto it = kinds_.find(kind);
    if (it == kinds_.end())
        return nullptr;
    Kind& k = *it;
    if (QWidget* w = k.window.data()) {
        if (k.placement == Placement::Child) {
            if (QMdiSubWindow* sub = frameOf(w)) {
                sub->showNormal();
                area_->setActiveSubWindow(sub);
                focusWithin(w);
            }
        } else {
            w->showNormal();
            w->raise();
            w->activateWindow();
        }
        return w;
    }

    QWidget* w = nullptr;
    if (!forms::guarded(
            owner_, [&] { w = k.factory(); }, nullptr, QStringLiteral("เปิดหน้าต่างไม่สำเร็จ")) ||
        !w)
        return nullptr;
    w->setAttribute(Qt::WA_DeleteOnClose);
    k.window = w;
    if (prepare_)
        prepare_(kind, w);
    if (k.placement == Placement::Child) {
        // A window that cannot shrink to fit the working area scrolls inside its frame, so
        // every button stays reachable on a small screen; otherwise it fills its frame and its
        // grids grow and shrink with it.
        const QSize asDesigned = w->size();
        const QRect bounds(QPoint(0, 0), area_->viewport()->size());
        const QSize roughFrame(16, 40); // title bar and borders, before the frame exists
        QWidget* content = w;
        const QSize smallest = w->minimumSizeHint() + roughFrame;
        if (smallest.width() > bounds.width() || smallest.height() > bounds.height()) {
            auto* scroller = new QScrollArea;
            scroller->setFrameShape(QFrame::NoFrame);
            scroller->setWidgetResizable(true);
            scroller->setWidget(w);
            scroller->setWindowTitle(w->windowTitle());
            content = scroller;
        }
        QMdiSubWindow* sub = area_->addSubWindow(content);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowTitle(w->windowTitle());
        sub->setWindowIcon(w->windowIcon());
        // The window's own Exit closes its frame as well, and the next opening starts afresh.
        connect(w, &QObject::destroyed, sub, &QWidget::close, Qt::QueuedConnection);
        sub->show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        // Polished, with its fonts, the window may ask for more than it was drawn with.
        const QSize designed = asDesigned.expandedTo(w->sizeHint());
        const QSize titleAndBorders = sub->size() - content->size();
        sub->setGeometry(keptInside(QRect(sub->pos(), designed + titleAndBorders), bounds));
        area_->setActiveSubWindow(sub);
        focusWithin(w);
    } else {
        w->setParent(nullptr, Qt::Window);
        if (!w->testAttribute(Qt::WA_Resized))
            w->adjustSize();
        const QRect screen =
            (owner_ && owner_->screen() ? owner_->screen() : QGuiApplication::primaryScreen())->availableGeometry();
        QRect frame = w->frameGeometry();
        const QRect around = (k.placement == Placement::CentredOnOwner && owner_) ? owner_->frameGeometry() : screen;
        frame.moveCenter(around.center());
        frame = keptInside(frame, screen);
        w->resize(w->size().boundedTo(frame.size() - (w->frameGeometry().size() - w->size())));
        w->move(frame.topLeft());
        w->show();
        w->raise();
        w->activateWindow();
    }
    if (w->metaObject()->indexOfSignal("statusSaid(int,QString,int)") >= 0)
        connect(w, SIGNAL(statusSaid(int, QString, int)), this, SIGNAL(statusSaid(int, QString, int)));
    emit created(kind, w);
    return w;
}

bool WindowRegistry::closeAll() {
    for (Kind& k : kinds_)
        if (QWidget* w = k.window.data()) {
            if (QMdiSubWindow* sub = frameOf(w))
                sub->close();
            else
                w->close();
        }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const Kind& k : std::as_const(kinds_))
        if (QWidget* w = k.window.data(); w && w->isVisible())
            return false;
    return true;
}

} // namespace app
