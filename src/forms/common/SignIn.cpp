#include "forms/common/SignIn.h"

#include "data/Connection.h"
#include "data/Staff.h"
#include "rules/reports/Fonts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace forms {

namespace {

QLineEdit* field(QWidget* parent, const char* name, bool secret) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setFont(reports::thaiFont(9.75, true));
    e->setMinimumWidth(220);
    if (secret)
        e->setEchoMode(QLineEdit::Password);
    return e;
}

QString serverWords(const data::DbError& e) {
    return QStringLiteral("\n(รหัสข้อผิดพลาด %1: %2)").arg(e.nativeCode()).arg(e.message());
}

} // namespace

SignInDialog::SignInDialog(data::ConnectionSettings server, const QString& lastName, QWidget* parent)
    : QDialog(parent), settings_(std::move(server)) {
    setObjectName(QStringLiteral("SignIn"));
    setWindowTitle(QStringLiteral("เข้าสู่ระบบงานวารสาร"));
    setFont(reports::thaiFont(9.75));
    auto* form = new QFormLayout;
    name_ = field(this, "txtUser", false);
    name_->setText(lastName);
    password_ = field(this, "txtPassword", true);
    newPassword_ = field(this, "txtNewPassword", true);
    again_ = field(this, "txtNewAgain", true);
    newCaption_ = new QLabel(QStringLiteral("รหัสผ่านใหม่"), this);
    againCaption_ = new QLabel(QStringLiteral("ยืนยันรหัสผ่านใหม่"), this);
    form->addRow(QStringLiteral("ชื่อผู้ใช้"), name_);
    form->addRow(QStringLiteral("รหัสผ่าน"), password_);
    form->addRow(newCaption_, newPassword_);
    form->addRow(againCaption_, again_);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("lblMessage"));
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("color: #a00000"));
    message_->setMinimumWidth(360);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* signIn = buttons->addButton(QStringLiteral("เข้าสู่ระบบ"), QDialogButtonBox::AcceptRole);
    signIn->setObjectName(QStringLiteral("cmdSignIn"));
    signIn->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("ยกเลิก"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(signIn, &QPushButton::clicked, this, &SignInDialog::trySignIn);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* where = new QLabel(QStringLiteral("ฐานข้อมูล %1").arg(settings_.target()), this);
    where->setFont(reports::thaiFont(8.25));
    auto* all = new QVBoxLayout(this);
    all->addWidget(where);
    all->addLayout(form);
    all->addWidget(message_);
    all->addWidget(buttons);
    askNewPassword(false);
    (lastName.isEmpty() ? name_ : password_)->setFocus();
}

void SignInDialog::askNewPassword(bool shown) {
    for (QWidget* w : {static_cast<QWidget*>(newPassword_), static_cast<QWidget*>(again_),
                       static_cast<QWidget*>(newCaption_), static_cast<QWidget*>(againCaption_)})
        w->setVisible(shown);
    if (!shown) {
        newPassword_->clear();
        again_->clear();
    }
    adjustSize();
}

void SignInDialog::say(const QString& text, QWidget* focus) {
    message_->setText(text);
    adjustSize(); // the whole of a long message
    if (focus) {
        focus->setFocus();
        if (auto* e = qobject_cast<QLineEdit*>(focus))
            e->selectAll();
    }
}

void SignInDialog::trySignIn() {
    const QString name = name_->text().trimmed();
    if (name.isEmpty())
        return say(QStringLiteral("กรุณาพิมพ์ชื่อผู้ใช้"), name_);
    data::ConnectionSettings s = settings_;
    s.user = name;
    s.password = password_->text();
    s.hasPassword = !s.password.isEmpty();
    const bool replacing = !newPassword_->isHidden();
    if (replacing) {
        if (newPassword_->text().isEmpty())
            return say(QStringLiteral("กรุณาพิมพ์รหัสผ่านใหม่"), newPassword_);
        if (newPassword_->text() != again_->text())
            return say(QStringLiteral("รหัสผ่านใหม่ทั้งสองช่องไม่ตรงกัน กรุณาพิมพ์อีกครั้ง"), again_);
        if (newPassword_->text() == s.password)
            return say(QStringLiteral("รหัสผ่านใหม่ต้องไม่ซ้ำกับรหัสผ่านเดิม"), newPassword_);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        if (replacing) {
            data::changeExpiredPassword(s, newPassword_->text());
            s.password = newPassword_->text();
            s.hasPassword = true;
        }
        data::Connection c(s);
        c.open();
        who_ = data::signedIn(c);
        QApplication::restoreOverrideCursor();
        settings_ = s;
        password_->clear();
        askNewPassword(false);
        accept();
    } catch (const data::DbError& e) {
        QApplication::restoreOverrideCursor();
        switch (e.kind()) {
        case data::DbError::Kind::WrongPassword:
            password_->clear();
            return say(QStringLiteral("ชื่อผู้ใช้หรือรหัสผ่านไม่ถูกต้อง กรุณาลองอีกครั้ง") + serverWords(e), password_);
        case data::DbError::Kind::TooManyWrong:
            password_->clear();
            return say(QStringLiteral("บัญชีผู้ใช้ %1 ถูกล็อกเพราะใส่รหัสผ่านผิดเกิน %2 ครั้ง "
                                      "กรุณาให้หัวหน้างานหรือผู้ดูแลระบบปลดล็อก (warasan-dbcheck --staff-unlock %1)")
                               .arg(name)
                               .arg(data::signInAttempts) +
                           serverWords(e),
                       name_);
        case data::DbError::Kind::AccountLocked:
            return say(QStringLiteral("บัญชีผู้ใช้ %1 ถูกระงับการใช้งาน กรุณาติดต่อผู้ดูแลระบบ").arg(name) + serverWords(e), name_);
        case data::DbError::Kind::PasswordExpired:
            askNewPassword(true);
            return say(QStringLiteral("รหัสผ่านของ %1 หมดอายุแล้ว กรุณาตั้งรหัสผ่านใหม่ แล้วกด Enter").arg(name), newPassword_);
        default:
            return say((replacing ? QStringLiteral("ตั้งรหัสผ่านใหม่ไม่สำเร็จ") : QStringLiteral("เข้าสู่ระบบไม่ได้")) +
                           serverWords(e),
                       replacing ? newPassword_ : name_);
        }
    }
}

} // namespace forms
