#pragma once

#include <QFont>

namespace reports {

// Makes "MS Sans Serif", the face every window is designed in, resolve to a Thai-capable
// font of this machine (Loma from the TLWG set first) and sets the program's default font.
void installThaiFonts();
// The first half alone, for the report server (its PDFs use the faces, not the default font).
void substituteThaiFaces();

// The program's face at a point size, e.g. 9.75 bold for data fields, 8.25 for labels.
QFont thaiFont(double pointSize, bool bold = false);

} // namespace reports
