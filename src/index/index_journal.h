#pragma once

#include "forms/common/Declaration.h"
#include "index/ArticleForm.h"

namespace indexing {

// A new article index entry, saved under the next article number.
class index_journal : public ArticleForm {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller, and shows the next article number; throws
    // data::DbError when that read fails.
    explicit index_journal(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();

    void save();       // Command4
    void clearEntry(); // Command3

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<forms::RoleActions> roleActions();
    QPushButton* save_ = nullptr;
};

} // namespace indexing
