#include "forms/common/CodeCombo.h"

#include <QComboBox>

namespace forms {

void fillCodeCombo(QComboBox* combo, const QList<data::CodeRow>& rows) {
    combo->clear();
    for (const data::CodeRow& r : rows)
        combo->addItem(r.description, r.code);
    combo->setCurrentIndex(-1);
}

void showCode(QComboBox* combo, const QString& code) {
    const QString wanted = code.trimmed();
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemData(i).toString().trimmed() == wanted && !wanted.isEmpty()) {
            combo->setCurrentIndex(i);
            return;
        }
    }
    combo->setCurrentIndex(-1);
}

QString comboCode(const QComboBox* combo) {
    return combo->currentIndex() < 0 ? QString() : combo->currentData().toString().trimmed();
}

} // namespace forms
