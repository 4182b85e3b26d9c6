#pragma once

#include <QList>
#include <QString>
#include <functional>

class QTableWidget;
class QWidget;

namespace forms {

struct GridColumn {
    QString header;
    int widthTwips; // 0: hidden (a column the window keeps for itself)
};

// A read-only grid of whole rows, as the working windows use them: headers and widths, one
// row chosen at a time, nothing editable in place.
void setupGrid(QTableWidget* grid, const QList<GridColumn>& columns);
// Replaces the grid's rows (each a list of cell texts) in one go.
void fillGrid(QTableWidget* grid, const QList<QStringList>& rows);
// Empties the grid but keeps `rows` blank rows, as the windows show an empty list.
void clearGrid(QTableWidget* grid, int rows);
QString cell(const QTableWidget* grid, int row, int column);

// Enter on the grid chooses its current row, as a click does; Esc hides the grid when
// `escHides` (for grids that pop up over a window).
void onRowChosenByEnter(QTableWidget* grid, std::function<void(int row)> choose, bool escHides = false);

// Keyboard use of a working window: Enter (and the keypad's Enter) clicks whichever push
// button has the focus, and the focus the window moves itself is drawn as keyboard focus.
void keyboardReady(QWidget* window);

} // namespace forms
