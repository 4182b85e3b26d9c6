// The shared window patterns: date and ISSN typing, calendars, length limits, code-table
// lists, locking and the pick list.
#include "data/Dates.h"
#include "forms/common/DateField.h"
#include "forms/common/Style.h"
#include "support/ScriptedMessages.h"
#include "support/WindowTest.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>

using testsupport::ScriptedMessages;

class tst_patterns : public QObject {
    Q_OBJECT
    std::unique_ptr<QWidget> window;
    QLineEdit* field = nullptr;

private slots:
    void init() {
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        field = new QLineEdit(window.get());
        layout->addWidget(field);
        window->resize(400, 300);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        field->setFocus();
    }
    void cleanup() {
        window.reset();
        QCOMPARE(testsupport::closeAllWindows(), 0);
    }

    void typing_data() {
        testsupport::textTable({"issn", "keys", "shown"},
                               {"digits~~15032024~15/03/2024", "slashes typed~~15/03/2024~15/03/2024",
                                "short parts padded~~1/2/2024~01/02/2024", "Buddhist era~~1/12/2569~01/12/2569",
                                "letters refused~~1a5x03b2024~15/03/2024",
                                "no more than a date~~150320241234~15/03/2024", "half typed~~150~15/0",
                                "stray slashes~~//1//~01/", "ISSN~1~12345678~1234-5678",
                                "check digit X~1~0317847X~0317-847X", "typed hyphen~1~1234-5678~1234-5678"});
    }
    void typing() {
        const auto [issn, keys, shown] = testsupport::fetch<3>();
        issn.isEmpty() ? forms::typeDateSeparators(field) : forms::typeIssnSeparator(field);
        QTest::keyClicks(field, keys);
        QCOMPARE(field->text(), shown);
        if (issn.isEmpty()) {
            QTest::keyClick(field, Qt::Key_Backspace); // editing keys are never blocked
            QCOMPARE(field->text(), shown.chopped(1));
        }
    }

    // One calendar serves two fields; a pick writes the date (in the era shown) and moves the
    // focus on to the next control that takes typing, past locked fields and calendar buttons.
    void calendarPicksAndMovesOn() {
        auto* button = new QPushButton(QStringLiteral("..."), window.get());
        auto* locked = new QLineEdit(window.get());
        auto* second = new QLineEdit(window.get());
        auto* secondButton = new QPushButton(QStringLiteral("D"), window.get());
        auto* save = new QPushButton(QStringLiteral("บันทึก"), window.get());
        for (QWidget* w : {static_cast<QWidget*>(button), static_cast<QWidget*>(locked), static_cast<QWidget*>(second),
                           static_cast<QWidget*>(secondButton), static_cast<QWidget*>(save)})
            window->layout()->addWidget(w);
        locked->setReadOnly(true);
        QCoreApplication::processEvents(); // the new controls are shown
        auto* calendar = new QCalendarWidget(window.get());
        forms::CalendarPicker date(calendar);
        date.attach(button, field);
        date.attach(secondButton, second);
        QCOMPARE(calendar->locale().language(), QLocale::Thai);
        qRegisterMetaType<QLineEdit*>();
        QSignalSpy picked(&date, &forms::CalendarPicker::picked);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        QVERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate::currentDate());
        emit calendar->activated(QDate(2024, 2, 29));
        QCOMPARE(field->text(), QStringLiteral("29/02/2024"));
        QVERIFY(!calendar->isVisible());
        QCOMPARE(picked.size(), 1);
        QCOMPARE(QApplication::focusWidget(), second);

        data::setDisplayEra(data::Era::Buddhist);
        QTest::mouseClick(secondButton, Qt::LeftButton);
        calendar->setCurrentPage(2025, 1);
        QCOMPARE(calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"))->text(),
                 QStringLiteral("2568"));
        emit calendar->clicked(QDate(2025, 1, 31));
        data::setDisplayEra(data::Era::Common);
        QCOMPARE(second->text(), QStringLiteral("31/01/2568"));
        QCOMPARE(field->text(), QStringLiteral("29/02/2024"));
        QCOMPARE(QApplication::focusWidget(), save);
        // Esc closes the calendar without touching the field.
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(calendar, Qt::Key_Escape);
        QVERIFY(!calendar->isVisible());
        QCOMPARE(field->text(), QStringLiteral("29/02/2024"));
    }

    // A text field takes no more characters than its column holds, pasted or typed.
    void lengthLimits() {
        auto* text = new QPlainTextEdit(window.get());
        forms::limitLength(text, 60000);
        text->insertPlainText(QStringLiteral("ก").repeated(59990));
        text->moveCursor(QTextCursor::Start);
        text->insertPlainText(QStringLiteral("ข").repeated(20));
        QCOMPARE(text->toPlainText().size(), 60000);
        QVERIFY(text->toPlainText().startsWith(QStringLiteral("ข").repeated(10) + QStringLiteral("ก")));
        QVERIFY(text->toPlainText().endsWith(QStringLiteral("ก")));
        QCOMPARE(text->textCursor().position(), 10);
    }
};

QTEST_MAIN(tst_patterns)
#include "tst_patterns.moc"
