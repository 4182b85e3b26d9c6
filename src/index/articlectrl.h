#pragma once

#include "forms/common/Declaration.h"
#include "data/Connection.h"

#include <QWidget>
#include <memory>

class QLineEdit;
class QPushButton;

namespace indexing {

// The running article number: the number the next new index entry receives, shown and set by hand.
class articlectrl : public QWidget {
    Q_OBJECT
public:
    // Works on `connection`, opened by the caller; throws data::DbError when its first reads
    // fail.
    explicit articlectrl(std::unique_ptr<data::Connection> connection, QWidget* parent = nullptr);
    // What the desk knows of this window, said once: its menu entry, how it opens, its record's
    // history and the buttons each role may press.
    static forms::Declaration declaration();

    // View: the number shown, locked; Edit: the number open for a new value.
    enum class Mode { View, Edit };
    Q_ENUM(Mode)
    Mode mode() const { return editing_ ? Mode::Edit : Mode::View; }

    void edit();   // Cmdedit
    void save();   // Cmdsave
    void cancel(); // Cmdcan

protected:
    void showEvent(QShowEvent* event) override;

private:
    QList<forms::RoleActions> roleActions();
    QLineEdit* Text_regctrl;
    QPushButton *Cmdedit, *Cmdsave, *Cmdcan, *Cmdexit;
    std::unique_ptr<data::Connection> db_;
    bool editing_ = false;

    void setEditing(bool editing);
};

} // namespace indexing
