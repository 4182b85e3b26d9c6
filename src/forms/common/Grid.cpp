#include "forms/common/Grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>

namespace forms {

void GridRows::setColumns(const QList<GridColumn>& columns) {
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

void GridRows::setRows(QList<QStringList> rows, int atLeast) {
    const int count = int(rows.size());
    setRows(
        count, [rows = std::move(rows)](int row, int column) { return rows.at(row).value(column); }, atLeast);
}

void GridRows::setRows(int count, CellText cell, int atLeast) {
    beginResetModel();
    count_ = count;
    cell_ = std::move(cell);
    blank_ = qMax(0, atLeast - count);
    endResetModel();
}

QString GridRows::text(int row, int column) const {
    return row >= 0 && row < count_ && column >= 0 && column < columns_.size() ? cell_(row, column) : QString();
}

int GridRows::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_ + blank_;
}

int GridRows::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant GridRows::data(const QModelIndex& index, int role) const {
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    // A cell too narrow for its text shows the whole of it under the pointer.
    if (role == Qt::ToolTipRole) {
        const QString t = text(index.row(), index.column());
        return t.size() > 20 ? QVariant(t) : QVariant();
    }
    if (role == Qt::TextAlignmentRole && index.column() < columns_.size())
        return QVariant::fromValue(columns_.at(index.column()).alignment);
    return {};
}

QVariant GridRows::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < columns_.size())
        return columns_.at(section).header;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Grid::Grid(QWidget* parent) : QTableView(parent), rows_(new GridRows(this)) {
    setModel(rows_);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& i) { emit cellClicked(i.row(), i.column()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit cellDoubleClicked(i.row(), i.column()); });
}

void setupGrid(Grid* grid, const QList<GridColumn>& columns) {
    grid->rows()->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).widthTwips <= 0)
            grid->setColumnHidden(i, true);
        else
            grid->setColumnWidth(i, columns.at(i).widthTwips / 15);
    }
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false); // Tab leaves the grid; the arrows move in it
}

void fillGrid(Grid* grid, const QList<QStringList>& rows, int atLeast) {
    grid->rows()->setRows(rows, atLeast);
}

void clearGrid(Grid* grid, int rows) {
    grid->rows()->setRows({}, rows);
}

namespace {

class EnterClicks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && (key == Qt::Key_Return || key == Qt::Key_Enter) && button->isEnabled()) {
            button->click();
            return true;
        }
        return false;
    }
};

class EscapeClicks : public QObject {
public:
    EscapeClicks(QWidget* window, QAbstractButton* button) : QObject(window), button_(button) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape ||
            static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier)
            return false;
        if (button_->isEnabled() && button_->isVisible())
            button_->click();
        return true;
    }

private:
    QAbstractButton* button_;
};

class EnterChooses : public QObject {
public:
    EnterChooses(Grid* grid, std::function<void(int)> choose, bool escHides)
        : QObject(grid), grid_(grid), choose_(std::move(choose)), escHides_(escHides) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && grid_->currentRow() >= 0) {
            choose_(grid_->currentRow());
            return true;
        }
        if (key == Qt::Key_Escape && escHides_) {
            grid_->hide();
            return true;
        }
        return false;
    }

private:
    Grid* grid_;
    std::function<void(int)> choose_;
    bool escHides_;
};

} // namespace

void onRowChosenByEnter(Grid* grid, std::function<void(int row)> choose, bool escHides) {
    grid->installEventFilter(new EnterChooses(grid, std::move(choose), escHides));
}

namespace {
// Where the program moves the focus itself (after New, after a calendar) the field or button
// is drawn as keyboard focus, outline and all, so a person at the keyboard sees where typing
// goes; the style draws the outline only once a window has seen a keyboard focus change.
class FocusShown : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::FocusIn && static_cast<QFocusEvent*>(e)->reason() == Qt::OtherFocusReason &&
            watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            w->window()->setAttribute(Qt::WA_KeyboardFocusChange);
            w->update();
        }
        return false;
    }
};
} // namespace

void keyboardReady(QWidget* window, QAbstractButton* onEscape) {
    static FocusShown* shown = nullptr;
    if (!shown && qApp) {
        shown = new FocusShown(qApp);
        qApp->installEventFilter(shown);
    }
    auto* filter = new EnterClicks(window);
    for (QPushButton* b : window->findChildren<QPushButton*>())
        b->installEventFilter(filter);
    if (onEscape)
        window->installEventFilter(new EscapeClicks(window, onEscape));
}

} // namespace forms
