#include "forms/common/Grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>

namespace forms {

void setupGrid(QTableWidget* grid, const QList<GridColumn>& columns) {
    grid->setColumnCount(int(columns.size()));
    QStringList headers;
    for (const GridColumn& c : columns)
        headers << c.header;
    grid->setHorizontalHeaderLabels(headers);
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

void fillGrid(QTableWidget* grid, const QList<QStringList>& rows) {
    grid->setUpdatesEnabled(false);
    grid->clearContents();
    grid->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList& row = rows.at(r);
        for (int c = 0; c < row.size() && c < grid->columnCount(); ++c)
            grid->setItem(r, c, new QTableWidgetItem(row.at(c)));
    }
    grid->setUpdatesEnabled(true);
}

void clearGrid(QTableWidget* grid, int rows) {
    grid->clearContents();
    grid->setRowCount(rows);
}

QString cell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
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

class EnterChooses : public QObject {
public:
    EnterChooses(QTableWidget* grid, std::function<void(int)> choose, bool escHides)
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
    QTableWidget* grid_;
    std::function<void(int)> choose_;
    bool escHides_;
};

} // namespace

void onRowChosenByEnter(QTableWidget* grid, std::function<void(int row)> choose, bool escHides) {
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

void keyboardReady(QWidget* window) {
    static FocusShown* shown = nullptr;
    if (!shown && qApp) {
        shown = new FocusShown(qApp);
        qApp->installEventFilter(shown);
    }
    auto* filter = new EnterClicks(window);
    for (QPushButton* b : window->findChildren<QPushButton*>())
        b->installEventFilter(filter);
}

} // namespace forms
