#include "forms/common/Restricted.h"

#include <QAbstractButton>
#include <QEvent>

namespace forms {

namespace {

class KeptOff : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange)
            if (auto* b = qobject_cast<QAbstractButton*>(watched); b && b->isEnabled())
                b->setEnabled(false);
        return false;
    }
};

} // namespace

void keepOff(QAbstractButton* button, const QString& why) {
    button->setEnabled(false);
    button->setToolTip(why);
    if (!button->findChild<KeptOff*>(QString(), Qt::FindDirectChildrenOnly))
        button->installEventFilter(new KeptOff(button));
}

} // namespace forms
