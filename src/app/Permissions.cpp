#include "app/Permissions.h"

#include "app/Windows.h"
#include "forms/common/Restricted.h"

#include <QAbstractButton>
#include <QWidget>

namespace app {

QString roleTip(data::Role role) {
    return QStringLiteral("ต้องมีบทบาท \"%1\" (%2)").arg(data::roleCaption(role), data::roleSqlName(role));
}

void restrictWindow(const QString& kind, QWidget* window, const data::SignedIn& who) {
    const forms::Declaration* d = declarationOf(kind);
    if (!d || !d->actions)
        return;
    for (const forms::RoleActions& a : d->actions(window))
        if (!who.has(a.role) && !(a.alsoBy && who.has(*a.alsoBy)))
            for (QAbstractButton* b : a.buttons)
                forms::keepOff(b, roleTip(a.role));
}

} // namespace app
