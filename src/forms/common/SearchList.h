#pragma once

#include <QListView>
#include <QString>
#include <functional>

namespace data {
class Connection;
}

namespace forms {

// One row of a pick list: the text shown and the code it stands for.
struct PickRow {
    QString code;
    QString text;
};

// A search list: hidden until a search finds something, then shown under its field with the
// display texts; choosing a row (click, or Enter) hands back its code and text. Esc hides it
// and puts the focus back in the field. A view of the rows as found: thousands are shown in
// one reset, with no item made for each.
class PickList : public QListView {
    Q_OBJECT
public:
    explicit PickList(QWidget* parent = nullptr);

    // Replaces the rows and shows the list right under `field`, as wide as the field.
    void showRows(const QList<PickRow>& rows, QWidget* field, int visibleRows = 8);
    int count() const { return int(rows_.size()); }
    QString codeAt(int row) const { return rows_.value(row).code; }
    QString textAt(int row) const { return rows_.value(row).text; }

signals:
    void picked(const QString& code, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Model;
    QList<PickRow> rows_;
    Model* model_;
    QWidget* field_ = nullptr;
    void choose(const QModelIndex& index);
};

// The one search -> list -> pick sequence: `find` runs under the error guard (on `c`); the rows
// it gives are shown in `list` under `field`, `visibleRows` high; when it gives none, `none`
// runs (the list as it was).
void searchInto(QWidget* window, data::Connection* c, PickList* list, QWidget* field, int visibleRows,
                const std::function<QList<PickRow>()>& find, const std::function<void()>& none);
// The usual answer to nothing found: the list hidden, the shared box, the focus put in `focus`,
// emptied first when `empty`.
std::function<void()> sayNotFound(QWidget* window, PickList* list, QWidget* focus, bool empty);
// Rows of a list of found things, each made a row by `row`.
template <typename T, typename F> QList<PickRow> pickRows(const QList<T>& found, F row) {
    QList<PickRow> rows;
    rows.reserve(found.size());
    for (const T& t : found)
        rows.append(row(t));
    return rows;
}

// Makes a search field run `search` on a double-click and on Enter, the same handler for
// both. With its pick list showing, the Down key moves into the list and Esc hides it.
void onSearch(QWidget* field, const std::function<void()>& search, PickList* list = nullptr);

// "ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง", the shared not-found box.
void notFound(QWidget* parent);

} // namespace forms
