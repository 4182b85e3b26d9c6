// The shared window patterns: date and ISSN typing, calendars, length limits, code-table
// lists, locking and the pick list.
#include "data/Dates.h"
#include "forms/common/CodeCombo.h"
#include "forms/common/DateField.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "support/ScriptedMessages.h"
#include "support/WindowTest.h"

#include <QCalendarWidget>
#include <QComboBox>
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
        QTest::addColumn<bool>("issn");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        const struct {
            bool issn;
            const char *keys, *shown;
        } rows[] = {
            {false, "15032024", "15/03/2024"},
            {false, "15/03/2024", "15/03/2024"},
            {false, "1/2/2024", "01/02/2024"},
            {false, "1/12/2569", "01/12/2569"},
            {false, "1a5x03b2024", "15/03/2024"},
            {false, "150320241234", "15/03/2024"},
            {false, "150", "15/0"},
            {false, "//1//", "01/"},
            {true, "12345678", "1234-5678"},
            {true, "0317847X", "0317-847X"},
            {true, "1234-5678", "1234-5678"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.keys) << r.issn << QString::fromLatin1(r.keys) << QString::fromLatin1(r.shown);
    }
    void typing() {
        QFETCH(bool, issn);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        issn ? forms::typeIssnSeparator(field) : forms::typeDateSeparators(field);
        QTest::keyClicks(field, keys);
        QCOMPARE(field->text(), shown);
        if (!issn) {
            QTest::keyClick(field, Qt::Key_Backspace); // editing keys are never blocked
            QCOMPARE(field->text(), shown.chopped(1));
        }
    }

    void lockedFieldTakesNoTyping() {
        forms::typeDateSeparators(field);
        forms::setFieldLocked(field, true);
        QTest::keyClicks(field, QStringLiteral("15"));
        QCOMPARE(field->text(), QString());
        QCOMPARE(field->palette().color(QPalette::Base), forms::lockedColour);
        forms::setFieldLocked(field, false);
        QCOMPARE(field->palette().color(QPalette::Base), forms::unlockedColour);
        QTest::keyClicks(field, QStringLiteral("15"));
        QCOMPARE(field->text(), QStringLiteral("15"));
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

    void readDateField_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("required");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QDate>("date");
        QTest::newRow("a real date") << "29/02/2024" << true << true << QDate(2024, 2, 29);
        QTest::newRow("a Buddhist-era date") << "29/02/2567" << true << true << QDate(2024, 2, 29);
        QTest::newRow("not a real date") << "31/02/2024" << false << false << QDate();
        QTest::newRow("empty and optional") << "" << false << true << QDate();
        QTest::newRow("empty and required") << "" << true << false << QDate();
    }
    void readDateField() {
        QFETCH(QString, typed);
        QFETCH(bool, required);
        QFETCH(bool, accepted);
        QFETCH(QDate, date);
        ScriptedMessages boxes;
        (new QLineEdit(window.get()))->setFocus();
        field->setText(typed);
        std::optional<QDate> out;
        QCOMPARE(forms::readDateField(window.get(), field, QStringLiteral("วันที่ออก"), required, &out), accepted);
        QCOMPARE(out.value_or(QDate()), date);
        QCOMPARE(boxes.boxes.size(), accepted ? 0 : 1);
        if (!accepted) {
            QCOMPARE(boxes.last().icon, forms::Icon::Critical);
            QVERIFY(boxes.last().prompt.contains(QStringLiteral("วันที่ออก")));
            QVERIFY(field->hasFocus());
        }
    }

    // A field takes no more characters than its column holds, typed or pasted, one line or many.
    void lengthLimits() {
        forms::limitLength(field, 5);
        QTest::keyClicks(field, QStringLiteral("abcdefg"));
        QCOMPARE(field->text(), QStringLiteral("abcde"));
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

    void codeCombo() {
        const char* rows[][3] = {{"04", "รายเดือน", "04"}, {" 02 ", "รายสัปดาห์", "02"}, {"99", "", ""}, {"", "", ""}};
        auto* combo = new QComboBox(window.get());
        forms::fillCodeCombo(combo, {{"02 ", "รายสัปดาห์"}, {"04", "รายเดือน"}, {"09", "รายปี"}});
        QCOMPARE(combo->currentIndex(), -1);
        for (const auto& [stored, shown, code] : rows) {
            forms::showCode(combo, QStringLiteral("09"));
            forms::showCode(combo, QString::fromUtf8(stored)); // a code without a row leaves nothing shown
            QCOMPARE(combo->currentText(), QString::fromUtf8(shown));
            QCOMPARE(forms::comboCode(combo), QString::fromUtf8(code));
        }
        forms::clearFields({combo});
        QCOMPARE(forms::comboCode(combo), QString());
    }

    void pickListReturnsBoundCode() {
        auto* list = new forms::PickList(window.get());
        QSignalSpy picked(list, &forms::PickList::picked);
        int searches = 0;
        forms::onSearch(
            field,
            [&] {
                ++searches;
                list->showRows({{"7", "Springer"}, {"12", "Wiley"}}, field);
            },
            list);
        QTest::keyClick(field, Qt::Key_Return);
        QTest::mouseDClick(field, Qt::LeftButton);
        QCOMPARE(searches, 2); // Enter and double-click run the same search
        QCOMPARE(list->geometry().topLeft(), field->mapTo(window.get(), QPoint(0, field->height())));
        QTest::keyClick(field, Qt::Key_Down);
        QVERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(picked.size(), 1);
        QCOMPARE(picked.at(0).at(0).toString(), QStringLiteral("12"));
        // Esc leaves the list without choosing, back in the field.
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClick(field, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QVERIFY(field->hasFocus());
        QCOMPARE(picked.size(), 1);
    }
};

QTEST_MAIN(tst_patterns)
#include "tst_patterns.moc"
