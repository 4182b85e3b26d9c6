#pragma once

#include "forms/common/MessageBoxes.h"
#include "support/Names.h"


namespace testsupport {

// Stands in for the message boxes while a test runs: records every box and answers the
// questions from a script (OK / Yes when the script is empty).
class ScriptedMessages : public forms::MessageBoxes {
public:
    enum class Kind { OkCancel, YesNo, Inform };
    struct Box {
        Kind kind;
        QString prompt;
        QString title;
        forms::Icon icon;
        QString said() const { return title + u": "_s + prompt; } // "title: prompt"
    };

    ScriptedMessages() { install(this); }
    ~ScriptedMessages() override { install(nullptr); }

    // Queues the next answers: true for OK / Yes.
    void answer(std::initializer_list<bool> answers) { answers_ += answers; }
    // The next question is the program's own box, answered by `key` as a person would (Enter
    // gives its default button); it is not recorded.
    void pressOnRealBox(Qt::Key key) {
        install(nullptr);
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [this, poll, key] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                poll->deleteLater();
                install(this);
                QTest::keyClick(box, key);
            }
        });
        poll->start(10);
    }

    QList<Box> boxes;
    Box last() const { return boxes.isEmpty() ? Box{Kind::Inform, {}, {}, forms::Icon::Information} : boxes.last(); }
    void clear() { boxes.clear(); }

    bool askOkCancel(QWidget*, const QString& prompt, const QString& title, forms::Icon icon) override {
        return record(Kind::OkCancel, prompt, title, icon);
    }
    bool askYesNo(QWidget*, const QString& prompt, const QString& title, forms::Icon icon, bool) override {
        return record(Kind::YesNo, prompt, title, icon);
    }
    void inform(QWidget*, const QString& prompt, const QString& title, forms::Icon icon) override {
        boxes.append({Kind::Inform, prompt, title, icon});
    }

private:
    QList<bool> answers_;
    bool record(Kind kind, const QString& prompt, const QString& title, forms::Icon icon) {
        boxes.append({kind, prompt, title, icon});
        return answers_.isEmpty() ? true : answers_.takeFirst();
    }
};

} // namespace testsupport
