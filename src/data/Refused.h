#pragma once

#include <QString>

#include <stdexcept>

namespace data {

// A save a store refuses before writing anything (an empty name, a duplicate, a counter that
// gives no number, records another station changed), in words for the staff. `reason` tells the
// window which of its fields to put right, in the store's own numbering (0: none in particular).
class Refused : public std::runtime_error {
public:
    explicit Refused(const QString& message, int why = 0)
        : std::runtime_error(message.toStdString()), text(message), reason(why) {}
    QString text;
    int reason;
};

} // namespace data
