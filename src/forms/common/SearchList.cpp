#include "forms/common/SearchList.h"

#include "forms/common/Fonts.h"
#include "forms/common/MessageBoxes.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace forms {

PickList::PickList(QWidget* parent) : QListWidget(parent) {
    hide();
    setFont(thaiFont(9.75, true));
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemClicked, this, &PickList::choose);
    connect(this, &QListWidget::itemActivated, this, &PickList::choose);
}

void PickList::showRows(const QList<PickRow>& rows, QWidget* field, int visibleRows) {
    field_ = field;
    setUpdatesEnabled(false);
    clear();
    for (const PickRow& r : rows) {
        auto* item = new QListWidgetItem(r.text);
        item->setData(Qt::UserRole, r.code);
        addItem(item);
    }
    setUpdatesEnabled(true);
    if (field && parentWidget()) {
        const QPoint below = field->mapTo(parentWidget(), QPoint(0, field->height()));
        const int rowHeight = qMax(18, sizeHintForRow(0));
        const int height = rowHeight * qBound(1, int(rows.size()), visibleRows) + 2 * frameWidth() + 2;
        const int maxHeight = parentWidget()->height() - below.y();
        setGeometry(below.x(), below.y(), field->width(), qMax(rowHeight + 4, qMin(height, maxHeight)));
    }
    setCurrentRow(rows.isEmpty() ? -1 : 0);
    show();
    raise();
}

QString PickList::codeAt(int row) const {
    const QListWidgetItem* i = item(row);
    return i ? i->data(Qt::UserRole).toString() : QString();
}

void PickList::choose(QListWidgetItem* item) {
    if (!item)
        return;
    const QString code = item->data(Qt::UserRole).toString();
    const QString text = item->text();
    hide();
    emit picked(code, text);
}

void PickList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        if (field_)
            field_->setFocus();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        choose(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
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

void notFound(QWidget* parent) {
    inform(parent, QStringLiteral("ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง"), QStringLiteral("ผลการค้นหา"), Icon::Critical);
}

} // namespace forms
