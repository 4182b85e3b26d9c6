#include "forms/common/MessageBoxes.h"

#include "data/DbError.h"
#include "data/Staff.h"

#include <QEvent>
#include <QMessageBox>

namespace forms {

namespace {

QMessageBox::Icon toQt(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton run(QWidget* parent, const QString& prompt, const QString& title, Icon icon,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(toQt(icon), title, prompt, buttons, parent);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

class RealMessageBoxes final : public MessageBoxes {
public:
    bool askOkCancel(QWidget* parent, const QString& prompt, const QString& title, Icon icon) override {
        return run(parent, prompt, title, icon, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) ==
               QMessageBox::Ok;
    }
    bool askYesNo(QWidget* parent, const QString& prompt, const QString& title, Icon icon, bool noByDefault) override {
        return run(parent, prompt, title, icon, QMessageBox::Yes | QMessageBox::No,
                   noByDefault ? QMessageBox::No : QMessageBox::Yes) == QMessageBox::Yes;
    }
    void inform(QWidget* parent, const QString& prompt, const QString& title, Icon icon) override {
        run(parent, prompt, title, icon, QMessageBox::Ok, QMessageBox::Ok);
    }
};

class CloseGuard : public QObject {
public:
    CloseGuard(QWidget* window, std::function<bool()> unsaved)
        : QObject(window), window_(window), unsaved_(std::move(unsaved)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::Close || !unsaved_() ||
            askYesNo(window_, QStringLiteral("ข้อมูลที่กำลังเพิ่มหรือแก้ไขยังไม่ได้บันทึก ต้องการปิดหน้าจอนี้โดยไม่บันทึกหรือไม่"),
                     QStringLiteral("ปิดหน้าจอ"), Icon::Question, true))
            return false;
        event->ignore();
        return true;
    }

private:
    QWidget* window_;
    std::function<bool()> unsaved_;
};

RealMessageBoxes realBoxes;
MessageBoxes* installed = nullptr;

} // namespace

MessageBoxes& MessageBoxes::current() {
    return installed ? *installed : realBoxes;
}

void MessageBoxes::install(MessageBoxes* boxes) {
    installed = boxes;
}

bool askOkCancel(QWidget* parent, const QString& prompt, const QString& title, Icon icon) {
    return MessageBoxes::current().askOkCancel(parent, prompt, title, icon);
}

bool askYesNo(QWidget* parent, const QString& prompt, const QString& title, Icon icon, bool noByDefault) {
    return MessageBoxes::current().askYesNo(parent, prompt, title, icon, noByDefault);
}

void inform(QWidget* parent, const QString& prompt, const QString& title, Icon icon) {
    MessageBoxes::current().inform(parent, prompt, title, icon);
}

void askBeforeClosing(QWidget* window, std::function<bool()> unsaved) {
    window->installEventFilter(new CloseGuard(window, std::move(unsaved)));
}

void showDbError(QWidget* parent, const data::DbError& error, const QString& what) {
    // The library's own words first (what failed, the role it needs, a lost link), the
    // server's number and words under them.
    QString text = what.isEmpty() ? QStringLiteral("การทำงานกับฐานข้อมูลไม่สำเร็จ") : what;
    if (const QString role = data::roleNeededFor(error); !role.isEmpty())
        text += QLatin1Char('\n') + role;
    if (error.connectionLost())
        text += QStringLiteral("\nการเชื่อมต่อกับเครื่องแม่ข่ายขาดหาย โปรแกรมจะเชื่อมต่อใหม่เมื่อทำงานครั้งต่อไป");
    if (error.nativeCode() != 0)
        text += QStringLiteral("\nรหัสข้อผิดพลาด %1: %2").arg(error.nativeCode()).arg(error.message());
    else // raised by the program itself: its text says it all
        text += QLatin1Char('\n') + error.message();
    MessageBoxes::current().inform(parent, text, QStringLiteral("ข้อผิดพลาดของฐานข้อมูล"), Icon::Critical);
}

QString changedElsewhere(const QString& what) {
    return QStringLiteral("%1 ถูกเครื่องอื่นแก้ไขไปแล้วหลังจากที่แสดงบนหน้าจอนี้ ข้อมูลที่แก้ไขจึงไม่ได้ถูกบันทึก\n"
                          "ต้องการแสดงข้อมูลปัจจุบันหรือไม่")
        .arg(what);
}

QString verifiedAfterCut(const QString& number) {
    return number.isEmpty()
               ? QStringLiteral("\n(การเชื่อมต่อขาดขณะยืนยันการบันทึก ตรวจสอบแล้วว่าบันทึกไว้เรียบร้อย)")
               : QStringLiteral("\n(การเชื่อมต่อขาดขณะยืนยันการบันทึก ตรวจสอบแล้วว่าบันทึกไว้ภายใต้เลขทะเบียน %1)").arg(number);
}

} // namespace forms
