#include "forms/common/ProgramState.h"

namespace forms {

QString& add_dealer_flag() {
    static QString flag;
    return flag;
}

} // namespace forms
