#include "forms/common/ProgramState.h"

#include <QLabel>

namespace forms {

QLabel* statusPanel(QWidget* from, int number, int widthTwips) {
    QWidget* top = from->window();
    if (top == from && from->parentWidget())
        top = from->parentWidget()->window();
    auto* panel = top->findChild<QLabel*>(QStringLiteral("Panel%1").arg(number));
    if (panel && widthTwips > 0)
        panel->setMinimumWidth(widthTwips / 15);
    return panel;
}

} // namespace forms

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
