// The shared field patterns: date and ISSN typing, and a refused date's message.
#include "forms/common/DateField.h"
#include "rules/reports/Fonts.h"
#include "support/ScriptedMessages.h"
#include "support/WindowTest.h"


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
        reports::installThaiFonts();
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
};

WARASAN_TEST_MAIN(tst_patterns)
#include "tst_patterns.moc"
