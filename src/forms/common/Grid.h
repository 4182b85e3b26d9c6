#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <functional>

class QAbstractButton;
class QWidget;

namespace forms {

struct GridColumn {
    QString header;
    int widthTwips; // 0: hidden (a column the window keeps for itself)
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// The rows a grid shows: replaced in one reset, so a list of thousands of rows costs no more
// than handing them over.
class GridRows : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setColumns(const QList<GridColumn>& columns);
    // The rows as texts, then blank rows up to `atLeast` (the windows show an empty list as
    // blank rows).
    void setRows(QList<QStringList> rows, int atLeast = 0);
    // `count` rows of the window's own records, each cell's text made by `cell` only when the
    // cell is drawn or read (a list of thousands is shown without making its texts).
    using CellText = std::function<QString(int row, int column)>;
    void setRows(int count, CellText cell, int atLeast = 0);
    QString text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<GridColumn> columns_;
    int count_ = 0;
    CellText cell_;
    int blank_ = 0; // blank rows after the rows
};

// A read-only grid of whole rows, as the working windows use them: headers and widths, one
// row chosen at a time, nothing editable in place. A view of its own rows.
class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);
    GridRows* rows() const { return rows_; }
    int rowCount() const { return rows_->rowCount(); }
    int columnCount() const { return rows_->columnCount(); }
    int currentRow() const { return currentIndex().row(); }
    void setCurrentCell(int row, int column) { setCurrentIndex(model()->index(row, column)); }

signals:
    void cellClicked(int row, int column);
    void cellDoubleClicked(int row, int column);

private:
    GridRows* rows_;
};

void setupGrid(Grid* grid, const QList<GridColumn>& columns);
// Replaces the grid's rows (each a list of cell texts) in one go; then blank rows up to
// `atLeast`.
void fillGrid(Grid* grid, const QList<QStringList>& rows, int atLeast = 0);
// Empties the grid but keeps `rows` blank rows, as the windows show an empty list.
void clearGrid(Grid* grid, int rows);

// Enter on the grid chooses its current row, as a click does; Esc hides the grid when
// `escHides` (for grids that pop up over a window).
void onRowChosenByEnter(Grid* grid, std::function<void(int row)> choose, bool escHides = false);

// Keyboard use of a working window: Enter (and the keypad's Enter) clicks whichever push
// button has the focus, and the focus the window moves itself is drawn as keyboard focus.
// Esc that no control took first (an open calendar, pick list or pop-up grid closes on Esc)
// clicks `onEscape` when it can be used.
void keyboardReady(QWidget* window, QAbstractButton* onEscape = nullptr);

} // namespace forms
