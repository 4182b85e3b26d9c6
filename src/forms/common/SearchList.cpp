#include "forms/common/SearchList.h"

#include "forms/common/ErrorGuard.h"
#include "rules/reports/Fonts.h"
#include "forms/common/MessageBoxes.h"

#include <QAbstractListModel>
#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace forms {

// The list's rows as the view reads them: the texts, straight from the list it holds.
class PickList::Model : public QAbstractListModel {
public:
    Model(const QList<PickRow>& rows, QObject* parent) : QAbstractListModel(parent), rows_(rows) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    QVariant data(const QModelIndex& index, int role) const override {
        return role == Qt::DisplayRole && index.row() < rows_.size() ? QVariant(rows_.at(index.row()).text)
                                                                     : QVariant();
    }
    void reset(const std::function<void()>& change) {
        beginResetModel();
        change();
        endResetModel();
    }

private:
    const QList<PickRow>& rows_;
};

PickList::PickList(QWidget* parent) : QListView(parent), model_(new Model(rows_, this)) {
    hide();
    setFont(reports::thaiFont(9.75, true));
    setUniformItemSizes(true);
    setEditTriggers(NoEditTriggers);
    setModel(model_);
    connect(this, &QListView::clicked, this, &PickList::choose);
    connect(this, &QListView::activated, this, &PickList::choose);
}

void PickList::showRows(const QList<PickRow>& rows, QWidget* field, int visibleRows) {
    field_ = field;
    model_->reset([&] { rows_ = rows; });
    if (field && parentWidget()) {
        const QPoint below = field->mapTo(parentWidget(), QPoint(0, field->height()));
        const int rowHeight = qMax(18, sizeHintForRow(0));
        const int height = rowHeight * qBound(1, int(rows.size()), visibleRows) + 2 * frameWidth() + 2;
        const int maxHeight = parentWidget()->height() - below.y();
        setGeometry(below.x(), below.y(), field->width(), qMax(rowHeight + 4, qMin(height, maxHeight)));
    }
    setCurrentIndex(model_->index(0));
    show();
    raise();
}

void PickList::choose(const QModelIndex& index) {
    if (!index.isValid() || index.row() >= rows_.size())
        return;
    const PickRow row = rows_.at(index.row());
    hide();
    emit picked(row.code, row.text);
}

void PickList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        if (field_)
            field_->setFocus();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        choose(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}

namespace {

class SearchTrigger : public QObject {
public:
    SearchTrigger(QWidget* field, std::function<void()> search, PickList* list)
        : QObject(field), search_(std::move(search)), list_(list) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            search_();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                search_();
                return true;
            }
            if (key->key() == Qt::Key_Down && list_ && list_->isVisible() && list_->count() > 0) {
                list_->setFocus();
                return true;
            }
            if (key->key() == Qt::Key_Escape && list_ && list_->isVisible()) {
                list_->hide(); // the typing stays, and so does the focus
                return true;
            }
        }
        return false;
    }

private:
    std::function<void()> search_;
    PickList* list_;
};

} // namespace

void onSearch(QWidget* field, const std::function<void()>& search, PickList* list) {
    auto* trigger = new SearchTrigger(field, search, list);
    field->installEventFilter(trigger);
    // Double-clicks land on the viewport of a multi-line field.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(field))
        area->viewport()->installEventFilter(trigger);
}

void searchInto(QWidget* window, data::Connection* c, PickList* list, QWidget* field, int visibleRows,
                const std::function<QList<PickRow>()>& find, const std::function<void()>& none) {
    guarded(
        window,
        [&] {
            const QList<PickRow> rows = find();
            if (rows.isEmpty())
                none();
            else
                list->showRows(rows, field, visibleRows);
        },
        c);
}

std::function<void()> sayNotFound(QWidget* window, PickList* list, QWidget* focus, bool empty) {
    return [=] {
        list->hide();
        notFound(window);
        if (empty) {
            if (auto* line = qobject_cast<QLineEdit*>(focus))
                line->clear();
            else if (auto* area = qobject_cast<QPlainTextEdit*>(focus))
                area->clear();
        }
        focus->setFocus();
    };
}

void notFound(QWidget* parent) {
    inform(parent, QStringLiteral("ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง"), QStringLiteral("ผลการค้นหา"), Icon::Critical);
}

} // namespace forms
