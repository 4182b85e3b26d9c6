#pragma once

#include "data/Config.h"
#include "data/Staff.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace forms {

// The sign-in at the start of the day: a member of staff's own account on the database server,
// checked by the server. The password stays in memory only (never a file, an argument, a
// variable or a log). A wrong password, a locked account and an expired password are each
// said in the dialog; an expired one is replaced there, as the server allows, and the person
// is then signed in with the new one.
class SignInDialog : public QDialog {
    Q_OBJECT
public:
    // `server`: where and which database; its account and password are not used.
    explicit SignInDialog(data::ConnectionSettings server, const QString& lastName = {}, QWidget* parent = nullptr);

    // After acceptance: the settings to connect with, and who signed in.
    const data::ConnectionSettings& settings() const { return settings_; }
    const data::SignedIn& who() const { return who_; }

private:
    data::ConnectionSettings settings_;
    data::SignedIn who_;
    QLineEdit *name_, *password_, *newPassword_, *again_;
    QLabel *message_, *newCaption_, *againCaption_;
    void trySignIn();
    void say(const QString& text, QWidget* focus);
    void askNewPassword(bool shown);
};

} // namespace forms
