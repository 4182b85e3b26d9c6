#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace data {
class DbError;
}

namespace forms {

enum class Icon { Information, Question, Warning, Critical };

// Every box the program shows goes through here: production shows a QMessageBox, tests
// install an answerer that records each box and answers from a script.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // True when the user chose OK (resp. Yes).
    virtual bool askOkCancel(QWidget* parent, const QString& prompt, const QString& title, Icon icon) = 0;
    // `noByDefault`: Enter answers No (a question whose Yes drops what was typed).
    virtual bool askYesNo(QWidget* parent, const QString& prompt, const QString& title, Icon icon,
                          bool noByDefault) = 0;
    virtual void inform(QWidget* parent, const QString& prompt, const QString& title, Icon icon) = 0;

    static MessageBoxes& current();
    // Installs `boxes` (not owned); nullptr brings back the real message boxes.
    static void install(MessageBoxes* boxes);
};

bool askOkCancel(QWidget* parent, const QString& prompt, const QString& title, Icon icon = Icon::Question);
bool askYesNo(QWidget* parent, const QString& prompt, const QString& title, Icon icon = Icon::Question,
              bool noByDefault = false);
void inform(QWidget* parent, const QString& prompt, const QString& title, Icon icon = Icon::Information);

// A window asks before it closes while `unsaved` says an entry is under way (its Exit, its
// frame's close button, the program's end); No keeps it open with everything as it was.
void askBeforeClosing(QWidget* window, std::function<bool()> unsaved);

// The question after an edit found its row changed by another station: "<what> was changed
// ... nothing was saved. Show the current values?"
QString changedElsewhere(const QString& what);

// The line a result box adds when the link broke during the commit and the save was then
// found in the database (under `number`, when given).
QString verifiedAfterCut(const QString& number = {});

// The box for a failed database operation: what failed, the server's error number and text.
void showDbError(QWidget* parent, const data::DbError& error, const QString& what = {});

} // namespace forms
