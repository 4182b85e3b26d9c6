#include "app/WindowRegistry.h"

#include "forms/common/ErrorGuard.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>

namespace app {

WindowRegistry::WindowRegistry(QMdiArea* area, QWidget* owner) : QObject(owner), area_(area), owner_(owner) {}

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
            if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
                sub->showNormal();
                area_->setActiveSubWindow(sub);
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
    if (k.placement == Placement::Child) {
        QMdiSubWindow* sub = area_->addSubWindow(w);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        // As designed, but never larger than the main window's working area.
        sub->resize(sub->sizeHint().expandedTo(w->size()).boundedTo(area_->size()).expandedTo(sub->minimumSizeHint()));
        sub->show();
        area_->setActiveSubWindow(sub);
    } else {
        w->setParent(nullptr, Qt::Window);
        if (!w->testAttribute(Qt::WA_Resized))
            w->adjustSize();
        QRect frame = w->frameGeometry();
        const QRect around = (k.placement == Placement::CentredOnOwner && owner_)
                                 ? owner_->frameGeometry()
                                 : (owner_ && owner_->screen() ? owner_->screen() : QGuiApplication::primaryScreen())
                                       ->availableGeometry();
        frame.moveCenter(around.center());
        w->move(frame.topLeft());
        w->show();
        w->raise();
        w->activateWindow();
    }
    emit created(kind, w);
    return w;
}

} // namespace app
