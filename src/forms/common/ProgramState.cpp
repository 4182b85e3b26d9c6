#include "forms/common/ProgramState.h"

namespace forms {

namespace {
WindowOpener& opener() {
    static WindowOpener o;
    return o;
}
} // namespace

void setWindowOpener(WindowOpener o) {
    opener() = std::move(o);
}

QWidget* openWindow(const QString& kind) {
    return opener() ? opener()(kind) : nullptr;
}

} // namespace forms
