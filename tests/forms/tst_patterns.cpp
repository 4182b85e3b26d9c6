// The shared window patterns: date fields, typed separators, code-table lists, locking and
// the pick list.
#include "forms/common/CodeCombo.h"
#include "forms/common/DateField.h"
#include "forms/common/SearchList.h"
#include "forms/common/Style.h"
#include "support/ScriptedMessages.h"
#include "support/WindowTest.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
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

    void dateSeparatorsTyped_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits only") << "15032024"
                                     << "15/03/2024";
        QTest::newRow("user types the slashes too") << "15/03/2024"
                                                    << "15/03/2024";
        QTest::newRow("letters refused") << "1a5x03b2024"
                                         << "15/03/2024";
        QTest::newRow("no more than a date") << "150320241234"
                                             << "15/03/2024";
        QTest::newRow("half typed") << "150"
                                    << "15/0";
    }
    void dateSeparatorsTyped() {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        forms::typeDateSeparators(field);
        QTest::keyClicks(field, keys);
        QCOMPARE(field->text(), shown);
        QCOMPARE(field->cursorPosition(), int(shown.size()));
    }

    void backspaceIsNotBlocked() {
        forms::typeDateSeparators(field);
        QTest::keyClicks(field, QStringLiteral("15"));
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(field->text(), QStringLiteral("1"));
        QTest::keyClicks(field, QStringLiteral("6"));
        QCOMPARE(field->text(), QStringLiteral("16"));
    }

    void issnSeparatorTyped_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::newRow("eight digits") << "12345678"
                                      << "1234-5678";
        QTest::newRow("check digit X") << "0317847X"
                                       << "0317-847X";
        QTest::newRow("typed hyphen") << "1234-5678"
                                      << "1234-5678";
    }
    void issnSeparatorTyped() {
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        forms::typeIssnSeparator(field);
        QTest::keyClicks(field, keys);
        QCOMPARE(field->text(), shown);
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

    void calendarPicksIntoField() {
        auto* button = new QPushButton(QStringLiteral("..."), window.get());
        auto* second = new QLineEdit(window.get());
        auto* secondButton = new QPushButton(QStringLiteral("D"), window.get());
        auto* calendar = new QCalendarWidget(window.get());
        forms::CalendarPicker date(calendar);
        date.attach(button, field);
        date.attach(secondButton, second);
        QVERIFY(!calendar->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate::currentDate());
        QSignalSpy picked(&date, &forms::CalendarPicker::picked);
        emit calendar->clicked(QDate(2024, 2, 29));
        QCOMPARE(field->text(), QStringLiteral("29/02/2024"));
        QVERIFY(!calendar->isVisible());
        QCOMPARE(picked.size(), 1);
        // The same calendar serves the second field through its own button.
        QTest::mouseClick(secondButton, Qt::LeftButton);
        emit calendar->clicked(QDate(2025, 1, 31));
        QCOMPARE(second->text(), QStringLiteral("31/01/2025"));
        QCOMPARE(field->text(), QStringLiteral("29/02/2024"));
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
        QTest::newRow("not a real date") << "31/02/2024" << false << false << QDate();
        QTest::newRow("short year") << "01/01/24" << false << false << QDate();
        QTest::newRow("half typed") << "15/03/" << false << false << QDate();
        QTest::newRow("empty and optional") << "" << false << true << QDate();
        QTest::newRow("empty and required") << "" << true << false << QDate();
    }
    void readDateField() {
        QFETCH(QString, typed);
        QFETCH(bool, required);
        QFETCH(bool, accepted);
        QFETCH(QDate, date);
        ScriptedMessages boxes;
        auto* other = new QLineEdit(window.get());
        other->setFocus();
        field->setText(typed);
        std::optional<QDate> out;
        QCOMPARE(forms::readDateField(window.get(), field, QStringLiteral("วันที่ออก"), required, &out), accepted);
        QCOMPARE(out.value_or(QDate()), date);
        if (accepted) {
            QVERIFY(boxes.boxes.isEmpty());
        } else {
            QCOMPARE(boxes.boxes.size(), 1);
            QCOMPARE(boxes.last().icon, forms::Icon::Critical);
            QVERIFY(boxes.last().prompt.contains(QStringLiteral("วันที่ออก")));
            QVERIFY(field->hasFocus());
        }
    }

    void codeCombo_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("code");
        QTest::newRow("known code") << "04"
                                    << "รายเดือน"
                                    << "04";
        QTest::newRow("blanks around the stored code") << " 02 "
                                                       << "รายสัปดาห์"
                                                       << "02";
        QTest::newRow("code without a row") << "99"
                                            << ""
                                            << "";
        QTest::newRow("empty code") << ""
                                    << ""
                                    << "";
    }
    void codeCombo() {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, code);
        auto* combo = new QComboBox(window.get());
        forms::fillCodeCombo(combo, {{"02 ", "รายสัปดาห์"}, {"04", "รายเดือน"}, {"09", "รายปี"}});
        QCOMPARE(combo->currentIndex(), -1);
        forms::showCode(combo, QStringLiteral("09"));
        forms::showCode(combo, stored); // a code without a row does not leave the last one shown
        QCOMPARE(combo->currentText(), shown);
        QCOMPARE(forms::comboCode(combo), code);
        forms::clearFields({combo});
        QCOMPARE(combo->currentText(), QString());
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
        QVERIFY(list->isVisible());
        QCOMPARE(list->geometry().topLeft(), field->mapTo(window.get(), QPoint(0, field->height())));
        QTest::keyClick(field, Qt::Key_Down);
        QVERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(!list->isVisible());
        QCOMPARE(picked.size(), 1);
        QCOMPARE(picked.at(0).at(0).toString(), QStringLiteral("12"));
        QCOMPARE(picked.at(0).at(1).toString(), QStringLiteral("Wiley"));
        // Esc leaves the list without choosing, back in the field.
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClick(field, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!list->isVisible());
        QVERIFY(field->hasFocus());
        QCOMPARE(picked.size(), 1);
    }

    void notFoundBox() {
        ScriptedMessages boxes;
        forms::notFound(window.get());
        QCOMPARE(boxes.last().prompt, QStringLiteral("ไม่พบข้อมูลที่ต้องการค้นหา กรุณาตรวจสอบอีกครั้ง"));
        QCOMPARE(boxes.last().title, QStringLiteral("ผลการค้นหา"));
        QCOMPARE(boxes.last().icon, forms::Icon::Critical);
    }
};

QTEST_MAIN(tst_patterns)
#include "tst_patterns.moc"
