#pragma once

#include <QListView>
#include <QString>
#include <functional>

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

// Makes a search field run `search` on a double-click and on Enter, the same handler for
// both. With its pick list showing, the Down key moves into the list.
void onSearch(QWidget* field, const std::function<void()>& search, PickList* list = nullptr);

// "ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง", the shared not-found box.
void notFound(QWidget* parent);

} // namespace forms
