#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace data {
class Connection;
class DbError;
class Refused;
} // namespace data

namespace forms {

// How a window words what can go wrong in a handler, where it differs from the program's usual
// boxes.
struct GuardWords {
    QString what; // said before a database error's number and text
    // A store's refusal (nothing was written): the box's title, a line put after its text, and
    // the field to put right for its reason (none: the focus stays).
    QString refusalTitle = QStringLiteral("การบันทึกข้อมูลล้มเหลว");
    QString afterRefusal;
    std::function<QWidget*(int reason)> refusedField;
    // A window that tells of a failed save its own way takes the database error instead.
    std::function<void(const data::DbError&)> failed;
};

// Runs one handler. A store's refusal is shown with the field to put right focused; a database
// error with the server's number and text; a transaction the handler left open is rolled back,
// and the window stays usable: the handler simply ends there. Gives false when the handler failed.
bool guarded(QWidget* parent, const std::function<void()>& handler, data::Connection* connection,
             const GuardWords& words);
bool guarded(QWidget* parent, const std::function<void()>& handler, data::Connection* connection = nullptr,
             const QString& what = {});

} // namespace forms
