#pragma once

#include "index/ArticleForm.h"

namespace indexing {

// A new article index entry, saved under the next article number.
class index_journal : public ArticleForm {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller, and shows the next article number; throws
    // data::DbError when that read fails.
    explicit index_journal(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);

    void save();       // Command4
    void clearEntry(); // Command3

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace indexing
