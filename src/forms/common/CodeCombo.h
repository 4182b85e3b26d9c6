#pragma once

#include "data/CodeTables.h"

class QComboBox;

namespace forms {

// A code-table list: shows the descriptions, keeps the codes. Starts with nothing chosen.
void fillCodeCombo(QComboBox* combo, const QList<data::CodeRow>& rows);
// Shows the description of a stored code; a code the table does not have leaves it empty.
void showCode(QComboBox* combo, const QString& code);
// The chosen code, trimmed; empty when nothing is chosen.
QString comboCode(const QComboBox* combo);

} // namespace forms
