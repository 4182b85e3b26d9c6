#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace data {
class Connection;
}

namespace forms {

// Runs one handler. A database error is shown with the server's number and text, a
// transaction the handler left open is rolled back, and the window stays usable: the
// handler simply ends there. Gives false when the handler failed.
bool guarded(QWidget* parent, const std::function<void()>& handler, data::Connection* connection = nullptr,
             const QString& what = {});

} // namespace forms
