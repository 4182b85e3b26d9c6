#include "forms/common/ErrorGuard.h"

#include "data/Connection.h"
#include "data/Refused.h"
#include "forms/common/MessageBoxes.h"

#include <QWidget>

namespace forms {

bool guarded(QWidget* parent, const std::function<void()>& handler, data::Connection* connection,
             const GuardWords& words) {
    try {
        handler();
        return true;
    } catch (const data::Refused& r) {
        if (connection)
            connection->rollback();
        inform(parent, r.text + words.afterRefusal, words.refusalTitle, Icon::Critical);
        if (QWidget* field = words.refusedField ? words.refusedField(r.reason) : nullptr; field && field->isEnabled())
            field->setFocus();
    } catch (const data::DbError& e) {
        if (connection)
            connection->rollback();
        if (words.failed)
            words.failed(e);
        else
            showDbError(parent, e, words.what);
    } catch (const std::exception& e) {
        if (connection)
            connection->rollback();
        inform(parent,
               (words.what.isEmpty() ? QStringLiteral("เกิดข้อผิดพลาด") : words.what) + QLatin1Char('\n') +
                   QString::fromLocal8Bit(e.what()),
               QStringLiteral("ข้อผิดพลาด"), Icon::Critical);
    }
    return false;
}

bool guarded(QWidget* parent, const std::function<void()>& handler, data::Connection* connection, const QString& what) {
    GuardWords words;
    words.what = what;
    return guarded(parent, handler, connection, words);
}

} // namespace forms
