// The publication pattern's window against the real server: a title's learnt pattern shown,
// changed with the preview following, saved under the account with its history, refused when
// wrong, learnt again; and check-in and the receipt check stepping by what was set.
#include "receipt/PatternEditor.h"
#include "rules/receipt/ReceiptCheck.h"
#include "receipt/reg_journal.h"
#include "support/Suite.h"
#include "titles/New_Journal.h"

#include <QCheckBox>
#include <QComboBox>

using receipt::PatternEditor;

class tst_pattern_editor : public DatabaseTest, WindowFixture<PatternEditor> {
    Q_OBJECT

    QString label(const char* n) { return control<QLabel>(w, n)->text(); }
    QCheckBox* month(int m) { return control<QCheckBox>(w, qPrintable(u"chkmonth%1"_s.arg(m))); }
    QString mode() {
        return QString::fromLatin1(QMetaEnum::fromType<PatternEditor::Mode>().valueToKey(int(w->mode())));
    }
    // What check-in expects next for the title and what the receipt check lists missing to August.
    QString expected(QString* said = nullptr) {
        receipt::reg_journal r(db->connect());
        r.show();
        auto* name = control<QLineEdit>(&r, "Text1");
        name->setText(u"Academic Monthly"_s);
        QTest::keyClick(name, Qt::Key_Return);
        QTest::keyClick(control<forms::Grid>(&r, "show_journal"), Qt::Key_Return);
        if (said)
            *said = control<QLabel>(&r, "Label_next")->text();
        auto c = db->connect();
        QStringList missing;
        for (const auto& m : receipt::ReceiptCheck::run(*c, QDate(2025, 1, 1), QDate(2025, 8, 31)))
            missing << m.expected.toString(Qt::ISODate);
        return control<QLabel>(&r, "Label_next")->text().section(u':', 1).trimmed().left(10) + u'|' +
               missing.join(u' ');
    }
    // The dates of the next twelve, day and month.
    QString nextDates() {
        QStringList out;
        for (int r = 0; r < grid("grdnext")->rowCount() && !cell("grdnext", r, 0).isEmpty(); ++r)
            out << cell("grdnext", r, 0).left(5);
        return out.join(u' ');
    }

private slots:
    void init() {
        fresh();
        exec(u"INSERT INTO magazine (Pointer, Magazine_Name, MagType_code, Receive_Code) VALUES "
             "('J000001', 'Academic Monthly', '04', '1'), ('J000002', 'Academic Weekly', '02', '1')"_s);
        // An academic monthly, to June 2025: no issue in July or August, numbers from 1 each year.
        int magno = 1;
        for (int y = 2024; y <= 2025; ++y) {
            int number = 1;
            for (int m : {1, 2, 3, 4, 5, 6, 9, 10, 11, 12})
                if (y == 2024 || m <= 6)
                    exec(u"INSERT INTO tranfile (magno, pointer, daily, yearno, itemsno, DescriptionItem) "
                         "VALUES (?, 'J000001', ?, ?, ?, ?)"_s,
                         {QString::number(magno++), QDate(y, m, 1), QString::number(y), QString::number(number),
                          u"No. %1 (%2/%3)"_s.arg(number++).arg(m).arg(y)});
        }
        w = showWindow<PatternEditor>();
    }

    // Found by name with Enter: the learnt pattern, its source and the next twelve as check-in
    // will expect them; a change is previewed at once and saved under the account, with its
    // change history; check-in and the receipt check then step by it; learnt again, it is gone.
    void learntChangedSavedLearntAgain() {
        QCOMPARE(mode(), u"Idle"_s);
        text("Text1")->setText(u"Academic"_s);
        QTest::keyClick(text("Text1"), Qt::Key_Return);
        auto* list = control<forms::PickList>(w, "lsttitles");
        QVERIFY(list->isVisible());
        QTest::keyClick(list, Qt::Key_Return); // the first found: Academic Monthly
        QCOMPARE(text("Text2")->text(), u"J000001"_s);
        QCOMPARE(label("Labelsource"), u"เรียนรู้จาก 16 ฉบับ"_s);
        QVERIFY(!month(7)->isChecked() && !month(8)->isChecked() && month(9)->isChecked());
        QCOMPARE(nextDates(), u"01/09 01/10 01/11 01/12 01/01 01/02 01/03 01/04 01/05 01/06 01/09 01/10"_s);
        QCOMPARE(cell("grdnext", 4, 1) + u'/' + cell("grdnext", 4, 2), u"2026/1"_s);
        QCOMPARE(expected(), u"01/09/2025|"_s);
        QCOMPARE(label("Labelwarn"), QString());
        QVERIFY(month(1)->hasFocus());
        QCOMPARE(mode(), u"Shown"_s);
        QVERIFY(!button("Cmdsave")->isEnabled());

        // July too: previewed before it is saved; the history replayed now disagrees.
        month(7)->setChecked(true);
        QCOMPARE(mode(), u"Editing"_s);
        QCOMPARE(nextDates(), u"01/07 01/09 01/10 01/11 01/12 01/01 01/02 01/03 01/04 01/05 01/06 01/07"_s);
        QCOMPARE(sql(u"SELECT COUNT(*) FROM pub_pattern WHERE set_by IS NOT NULL"_s), u"0"_s);
        click("Cmdsave");
        QCOMPARE(mode(), u"Shown"_s);
        QCOMPARE(sql(u"SELECT months, set_by IS NOT NULL, set_on IS NOT NULL, wording IS NULL FROM pub_pattern"_s),
                 u"1,2,3,4,5,6,7,9,10,11,12|1|1|1"_s); // the description as learnt: it follows the history
        QVERIFY2(label("Labelsource").startsWith(u"กำหนดโดย "_s), qPrintable(label("Labelsource")));
        QCOMPARE(sql(u"SELECT COUNT(*) FROM change_history WHERE table_name = 'pub_pattern' AND row_key = 'J000001'"_s),
                 u"1"_s);

        // Check-in expects July now, and the receipt check lists July missing, not August.
        QCOMPARE(expected(), u"01/07/2025|2025-07-01"_s);

        // Learnt again: the person's months go, the learnt ones come back.
        QVERIFY(button("Cmdlearn")->isEnabled());
        click("Cmdlearn");
        QCOMPARE(sql(u"SELECT months, set_by IS NULL FROM pub_pattern"_s), u"1,2,3,4,5,6,9,10,11,12|1"_s);
        QCOMPARE(label("Labelsource"), u"เรียนรู้จาก 16 ฉบับ"_s);
        QVERIFY(!month(7)->isChecked());
        QCOMPARE(expected(), u"01/09/2025|"_s);
    }

    // The description corrected by hand: the learnt one shown with its moving parts named, the
    // preview follows each key, saved it is what check-in expects, and it is there when the
    // window is opened again; learnt again, the learnt one is back.
    void wordingCorrected() {
        w->showTitle(u"J000001"_s);
        QCOMPARE(text("Textwording")->text(), u"No. [ฉบับที่] ([เดือนเลข]/[ค.ศ.])"_s);
        QCOMPARE(cell("grdnext", 0, 3), u"No. 7 (9/2025)"_s);
        text("Textwording")->selectAll();
        typeText(text("Textwording"), u"ฉบับที่ [ฉบับที่] [เดือน] [พ.ศ.]"_s);
        QCOMPARE(mode(), u"Editing"_s);
        QCOMPARE(cell("grdnext", 0, 3) + u'|' + cell("grdnext", 4, 3), u"ฉบับที่ 7 กันยายน 2568|ฉบับที่ 1 มกราคม 2569"_s);
        // Dated the 15th, numbers of two digits: the dates, the numbers and the description follow.
        for (const auto& [field, value] : {std::pair{"Textday", u"15"_s}, std::pair{"Textdigits", u"2"_s}}) {
            text(field)->selectAll();
            typeText(text(field), value);
        }
        QCOMPARE(cell("grdnext", 0, 0) + u'|' + cell("grdnext", 0, 2) + u'|' + cell("grdnext", 0, 3),
                 u"15/09/2025|07|ฉบับที่ 07 กันยายน 2568"_s);
        click("Cmdsave");
        QCOMPARE(sql(u"SELECT wording, months, issue_day, number_digits FROM pub_pattern WHERE set_by IS NOT NULL"_s),
                 u"ฉบับที่ [ฉบับที่] [เดือน] [พ.ศ.]|1,2,3,4,5,6,9,10,11,12|15|2"_s);
        QString said;
        QCOMPARE(expected(&said).left(10), u"15/09/2025"_s);
        QVERIFY2(said.contains(u"ฉบับที่ 07  ฉบับที่ 07 กันยายน 2568"_s), qPrintable(said));
        click("Command6");
        w = showWindow<PatternEditor>();
        w->showTitle(u"J000001"_s);
        QCOMPARE(text("Textwording")->text() + u'|' + text("Textday")->text() + u'|' + text("Textdigits")->text(),
                 u"ฉบับที่ [ฉบับที่] [เดือน] [พ.ศ.]|15|2"_s);
        click("Cmdlearn");
        QCOMPARE(text("Textwording")->text() + u'|' + text("Textday")->text() + u'|' + text("Textdigits")->text(),
                 u"No. [ฉบับที่] ([เดือนเลข]/[ค.ศ.])|0|0"_s);
        QCOMPARE(sql(u"SELECT wording IS NULL, issue_day, number_digits FROM pub_pattern"_s), u"1|0|0"_s);
    }

    // A set pattern the issues contradict: warned of while it is changed, listed among the titles
    // to look at once saved, flagged in the title register.
    void contradicted() {
        w->showTitle(u"J000001"_s);
        for (int m = 2; m <= 12; ++m)
            month(m)->setChecked(false); // January alone
        QVERIFY2(label("Labelwarn").startsWith(u"รูปแบบนี้ขัดกับประวัติการรับ: 11 ใน 12 ฉบับล่าสุด"_s),
                 qPrintable(label("Labelwarn")));
        click("Cmdsave");
        w->showTitle(u"J000002"_s);
        QCOMPARE(label("Labelwarn"), QString());
        click("Cmdcheck");
        auto* list = control<forms::PickList>(w, "lsttitles");
        QVERIFY(list->isVisible());
        QCOMPARE(list->count(), 1);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(text("Text2")->text(), u"J000001"_s);
        titles::New_Journal titles(db->connect());
        titles.showTitle(u"J000001"_s, u"Academic Monthly"_s);
        QCOMPARE(control<QPushButton>(&titles, "Cmdpattern")->text(), u"รูปแบบการออก (!)..."_s);
        titles.showTitle(u"J000002"_s, u"Academic Weekly"_s);
        QCOMPARE(control<QPushButton>(&titles, "Cmdpattern")->text(), u"รูปแบบการออก..."_s);
    }

    // A weekly title with no issue in the 52nd week of the year: the week learnt and shown, the
    // preview stepping over it; another week set, the preview, the stored row and the receipt
    // check follow. A monthly title has no weeks to set.
    void weeklyWeeksOff() {
        int magno = 100;
        for (int y = 2023; y <= 2025; ++y) {
            int number = 1;
            for (QDate d(y, 1, 1); d <= QDate(qMin(y, 2025), 12, y == 2025 ? 13 : 31); d = d.addDays(1))
                if (d.dayOfWeek() == Qt::Saturday && d.weekNumber() != 52)
                    exec(u"INSERT INTO tranfile (magno, pointer, daily, yearno, itemsno) VALUES (?, 'J000002', ?, ?, ?)"_s,
                         {QString::number(magno++), d, QString::number(y), QString::number(number++)});
        }
        const auto missing = [&] {
            auto c = db->connect();
            QStringList out;
            for (const auto& m : receipt::ReceiptCheck::run(*c, QDate(2025, 12, 14), QDate(2026, 1, 12)))
                if (m.pointer.trimmed() == u"J000002"_s)
                    out << m.expected.toString(Qt::ISODate);
            return out.join(u' ');
        };
        QCOMPARE(missing(), u"2025-12-20 2026-01-03 2026-01-10"_s);
        w->showTitle(u"J000001"_s);
        QVERIFY(text("Textweeks")->isReadOnly());
        w->showTitle(u"J000002"_s);
        QCOMPARE(text("Textweeks")->text(), u"52"_s);
        QVERIFY(!text("Textweeks")->isReadOnly());
        QVERIFY2(label("Labellearnt").contains(u"ไม่มีฉบับสัปดาห์ที่ 52"_s), qPrintable(label("Labellearnt")));
        QCOMPARE(nextDates(), u"20/12 03/01 10/01 17/01 24/01 31/01 07/02 14/02 21/02 28/02 07/03 14/03"_s);
        text("Textweeks")->setFocus();
        QTest::keyClick(text("Textweeks"), Qt::Key_End);
        typeText(text("Textweeks"), u", 1"_s);
        QCOMPARE(nextDates(), u"20/12 10/01 17/01 24/01 31/01 07/02 14/02 21/02 28/02 07/03 14/03 21/03"_s);
        click("Cmdsave");
        QCOMPARE(sql(u"SELECT weeks_off, set_by IS NOT NULL FROM pub_pattern WHERE pointer = 'J000002'"_s), u"1,52|1"_s);
        QCOMPARE(missing(), u"2025-12-20 2026-01-10"_s);
        click("Cmdlearn"); // the learnt week kept for other programs to read
        QCOMPARE(sql(u"SELECT weeks_off, set_by IS NULL FROM pub_pattern WHERE pointer = 'J000002'"_s), u"52|1"_s);
    }

    // Wrong fields are refused at the field, nothing saved; leaving with changes asks first.
    void refused_data() {
        textTable({"change", "message", "focus"},
                  {"no month~months~กรุณาเลือกเดือนที่มีฉบับออกอย่างน้อยหนึ่งเดือน~chkmonth1",
                   "issues a volume not a number~x~จำนวนฉบับต่อปีที่ (เล่ม) ต้องเป็นตัวเลข 0 ถึง 999~Textvolissues",
                   "too many issues a volume~1000~จำนวนฉบับต่อปีที่ (เล่ม) ต้องเป็นตัวเลข 0 ถึง 999~Textvolissues",
                   "both ways of turning~both~ปีที่ (เล่ม) ใหม่เริ่มได้ทางเดียว: ตามเดือน หรือตามจำนวนฉบับ~Textvolissues",
                   "a day past the month's end~day 32~วันที่ของฉบับต้องเป็นตัวเลข 0 ถึง 31~Textday",
                   "digits not a number~digits x~จำนวนหลักของเลขฉบับต้องเป็นตัวเลข 0 ถึง 9~Textdigits",
                   "a week past the year's last~weeks 52,54~สัปดาห์ที่ไม่มีฉบับต้องเป็นเลขสัปดาห์ของปี 1 ถึง 53 คั่นด้วย , "
                   "เช่น 52~Textweeks",
                   "a description with no date part~wording~คำบรรยายของวารสารนี้เปลี่ยนไปทุกฉบับ "
                   "แบบคำบรรยายต้องมีส่วนที่ตามวันที่ของฉบับ เช่น [เดือน] หรือ [พ.ศ.]~Textwording"});
    }
    void refused() {
        const auto [change, message, focus] = fetch<3>();
        w->showTitle(change.startsWith(u"weeks "_s) ? u"J000002"_s : u"J000001"_s);
        if (change == u"months"_s) {
            for (int m = 1; m <= 12; ++m)
                month(m)->setChecked(false);
        } else if (change.contains(u' ')) {
            QLineEdit* field = text(change.startsWith(u"day"_s)      ? "Textday"
                                    : change.startsWith(u"weeks"_s) ? "Textweeks"
                                                                    : "Textdigits");
            field->selectAll();
            typeText(field, change.section(u' ', 1));
        } else if (change == u"wording"_s) {
            text("Textwording")->selectAll();
            typeText(text("Textwording"), u"ฉบับพิเศษ"_s);
        } else if (change == u"both"_s) {
            control<QComboBox>(w, "cbovolmonth")->setCurrentIndex(9);
            typeText(text("Textvolissues"), u"10"_s);
        } else {
            text("Textvolissues")->clear();
            typeText(text("Textvolissues"), change);
        }
        QCOMPARE(mode(), u"Editing"_s);
        click("Cmdsave");
        QCOMPARE(boxes->last().prompt, message);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(sql(u"SELECT COUNT(*) FROM pub_pattern"_s), u"0"_s);
        boxes->answer({false, false}); // asked before closing, by Exit and by Esc: stays open
        click("Command6");
        QVERIFY(w->isVisible());
        const qsizetype asked = boxes->boxes.size();
        QTest::keyClick(text("Textvolissues"), Qt::Key_Escape);
        QCOMPARE(boxes->boxes.size(), asked + 1);
        QVERIFY(w->isVisible());
    }
};

WARASAN_TEST_MAIN(tst_pattern_editor)
#include "tst_pattern_editor.moc"
