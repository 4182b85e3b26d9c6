// The shared window patterns: date and ISSN typing, calendars, length limits, code-table
// lists, locking and the pick list.
#include "data/Dates.h"
#include "forms/common/DateField.h"
#include "forms/common/Fonts.h"
#include "forms/common/Style.h"
#include "support/ScriptedMessages.h"
#include "support/WindowTest.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>

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
        QCOMPARE(closeAllWindows(), 0);
    }

    void typing_data() {
        textTable({"issn", "keys", "shown"},
                  {"digits~~15032024~15/03/2024", "slashes typed~~15/03/2024~15/03/2024",
                   "short parts padded~~1/2/2024~01/02/2024", "Buddhist era~~1/12/2569~01/12/2569",
                   "letters refused~~1a5x03b2024~15/03/2024", "no more than a date~~150320241234~15/03/2024",
                   "half typed~~150~15/0", "stray slashes~~//1//~01/", "ISSN~1~12345678~1234-5678",
                   "check digit X~1~0317847X~0317-847X", "typed hyphen~1~1234-5678~1234-5678"});
    }
    void typing() {
        const auto [issn, keys, shown] = fetch<3>();
        issn.isEmpty() ? forms::typeDateSeparators(field) : forms::typeIssnSeparator(field);
        QTest::keyClicks(field, keys);
        QCOMPARE(field->text(), shown);
        if (issn.isEmpty()) {
            QTest::keyClick(field, Qt::Key_Backspace); // editing keys are never blocked
            QCOMPARE(field->text(), shown.chopped(1));
        }
    }

    // A refused date says why in lines the message box keeps whole on the desk's 1024-pixel
    // screen, where it breaks what is wider than 500 pixels with its icon (the example date
    // at a slash).
    void dateRefusalFitsItsBox() {
        forms::installThaiFonts();
        ScriptedMessages boxes;
        field->setText(u"31/02/2027"_s);
        std::optional<QDate> date;
        QVERIFY(!forms::readDateField(window.get(), field, u"วันที่ครบอายุ"_s, true, &date));
        QVERIFY(field->hasFocus() && field->selectedText() == field->text());
        QMessageBox shown(QMessageBox::Critical, boxes.last().title, boxes.last().prompt);
        shown.findChild<QLabel*>(u"qt_msgbox_label"_s)->setWordWrap(false);
        shown.layout()->activate();
        QVERIFY2(shown.layout()->totalMinimumSize().width() <= 500,
                 qPrintable(QString::number(shown.layout()->totalMinimumSize().width())));
    }

    // One calendar serves two fields; a pick writes the date (in the era shown) and moves the
    // focus on to the next control that takes typing, past locked fields and calendar buttons.
    void calendarPicksAndMovesOn() {
        auto* button = new QPushButton(u"..."_s, window.get());
        auto* locked = new QLineEdit(window.get());
        auto* second = new QLineEdit(window.get());
        auto* secondButton = new QPushButton(u"D"_s, window.get());
        auto* save = new QPushButton(u"บันทึก"_s, window.get());
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
        QCOMPARE(field->text(), u"29/02/2024"_s);
        QVERIFY(!calendar->isVisible());
        QCOMPARE(picked.size(), 1);
        QCOMPARE(QApplication::focusWidget(), second);

        data::setDisplayEra(data::Era::Buddhist);
        QTest::mouseClick(secondButton, Qt::LeftButton);
        calendar->setCurrentPage(2025, 1);
        QCOMPARE(calendar->findChild<QToolButton*>(u"qt_calendar_yearbutton"_s)->text(), u"2568"_s);
        emit calendar->clicked(QDate(2025, 1, 31));
        data::setDisplayEra(data::Era::Common);
        QCOMPARE(second->text(), u"31/01/2568"_s);
        QCOMPARE(field->text(), u"29/02/2024"_s);
        QCOMPARE(QApplication::focusWidget(), save);
        // Esc closes the calendar without touching the field.
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(calendar, Qt::Key_Escape);
        QVERIFY(!calendar->isVisible());
        QCOMPARE(field->text(), u"29/02/2024"_s);
    }

    // A text field takes no more than its column holds, counted as the column counts (TEXT
    // in bytes): what goes over comes off the end of what was just put in; a text set whole
    // keeps its beginning. Values: "ก×n" repeats a character.
    void lengthLimits_data() {
        textTable({"field", "chars", "bytes", "before", "at", "put", "after", "cursor"},
                  {"pasted at the start~plain~60000~0~ก×59990~0~ข×20~ข×10 ก×59990~10",
                   "set whole: a call number keeps its beginning~plain~10~0~~set~ว 050 ก123 ฉ.1-12~ว 050 ก123~",
                   "TEXT column by bytes, Thai 3 bytes each~plain~65535~65535~~0~ก×30000~ก×21845~21845",
                   "bytes, typed in the middle~plain~65535~65535~ก×21844~5~ABCD~ก×5 ABC ก×21839~8",
                   "one-line field by bytes~line~255~11~~0~กขคง~กขค~3"});
    }
    void lengthLimits() {
        const auto [field, chars, bytes, before, at, put, after, cursor] = fetch<8>();
        const auto expand = [](const QString& spec) {
            QString out;
            for (const QString& part : spec.split(u' ', Qt::SkipEmptyParts))
                out +=
                    part.contains(u"×"_s) ? part.section(u"×"_s, 0, 0).repeated(part.section(u"×"_s, 1).toInt()) : part;
            return spec.contains(u"×"_s) ? out : spec;
        };
        QWidget* f =
            field == u"line"_s ? static_cast<QWidget*>(new QLineEdit(window.get())) : new QPlainTextEdit(window.get());
        forms::limitLength(f, chars.toInt(), bytes.toInt());
        auto* plain = qobject_cast<QPlainTextEdit*>(f);
        auto* line = qobject_cast<QLineEdit*>(f);
        if (at == u"set"_s) {
            forms::setFieldText(f, expand(put));
        } else {
            forms::setFieldText(f, expand(before));
            if (plain) {
                QTextCursor c = plain->textCursor();
                c.setPosition(at.toInt());
                plain->setTextCursor(c);
                plain->insertPlainText(expand(put));
            } else {
                line->setCursorPosition(at.toInt());
                line->insert(expand(put));
            }
        }
        QCOMPARE(forms::fieldText(f), expand(after));
        if (!cursor.isEmpty())
            QCOMPARE(plain ? plain->textCursor().position() : line->cursorPosition(), cursor.toInt());
    }
};

QTEST_MAIN(tst_patterns)
#include "tst_patterns.moc"
