#include "forms/common/ErrorGuard.h"

#include "data/Connection.h"
#include "forms/common/MessageBoxes.h"

namespace forms {

bool guarded(QWidget* parent, const std::function<void()>& handler, data::Connection* connection, const QString& what) {
    try {
        handler();
        return true;
    } catch (const data::DbError& e) {
        if (connection)
            connection->rollback();
        showDbError(parent, e, what);
    } catch (const std::exception& e) {
        if (connection)
            connection->rollback();
        inform(parent,
               (what.isEmpty() ? QStringLiteral("เกิดข้อผิดพลาด") : what) + QLatin1Char('\n') +
                   QString::fromLocal8Bit(e.what()),
               QStringLiteral("ข้อผิดพลาด"), Icon::Critical);
    }
    return false;
}

} // namespace forms
