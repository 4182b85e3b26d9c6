// Staff who sign in with accounts of their own: what each role may do at the server and in the
// windows, the change history every writer leaves (this program, the shared account, plain
// SQL), and what the sign-in says when it cannot let someone in.
#include "app/HistoryReportWindow.h"
#include "app/HistoryStrip.h"
#include "data/Dates.h"
#include "data/History.h"
#include "forms/common/SignIn.h"
#include "rules/titles/DealerStore.h"
#include "support/Suite.h"
#include "titles/Adddealer.h"
#include "titles/New_Journal.h"

#include <QStatusBar>
#include <QToolTip>

using data::Role;

class tst_staff : public DatabaseTest {
    Q_OBJECT
    std::unique_ptr<app::menumagizine> main;
    std::unique_ptr<StaffAccounts> staff;
    QString person(Role r) const { return staff->name(r); }
    static QString password(const QString& name) { return StaffAccounts::password(name); }
    data::ConnectionSettings as(const QString& name) const { return staff->as(name); }
    std::unique_ptr<data::Connection> connectAs(const QString& name) const { return staff->connect(name); }
    QString tagged(const QString& role) const { return person(*data::roleByName(role)); }
    // The sign-in dialog on this database, with a name and password typed and Enter pressed.
    static void typeAndEnter(forms::SignInDialog& d, const QString& name, const QString& pw) {
        control<QLineEdit>(&d, "txtUser")->setText(name);
        auto* field = control<QLineEdit>(&d, "txtPassword");
        field->clear();
        QTest::keyClicks(field, pw);
        pressEnter(field);
    }
    static QString said(forms::SignInDialog& d) { return control<QLabel>(&d, "lblMessage")->text(); }

private slots:
    void initTestCase() {
        DatabaseTest::initTestCase();
        staff = std::make_unique<StaffAccounts>(*db);
    }
    void cleanupTestCase() {
        staff.reset();
        DatabaseTest::cleanupTestCase();
    }
    void init() {
        fresh();
        windowsLeft = -1; // the main window goes in cleanup; the windows it held with it
    }
    void cleanup() {
        main.reset();
        staff->signOut();
        DatabaseTest::cleanup();
    }

    // Each role's rights, at the server whichever client asks: what it may do passes, what it
    // may not is refused with the role that may named; no role may write the history.
    void serverRefusesWhatTheRoleDoesNot_data() {
        textTable(
            {"role", "sql", "needed"},
            {"reports read~reports~SELECT COUNT(*) FROM change_history~",
             "reports stage the receipt check~reports~DELETE FROM chk_receive WHERE 0 = 1~",
             "reports check in~reports~INSERT INTO tranfile SELECT * FROM tranfile WHERE 0 = 1~ลงทะเบียนรับ",
             "check-in~checkin~INSERT INTO tranfile SELECT * FROM tranfile WHERE 0 = 1~",
             "check-in binds~checkin~UPDATE sum_journal SET callno = callno WHERE 0 = 1~",
             "check-in numbers volumes~checkin~UPDATE ctrlsumj SET regno_ctrl = regno_ctrl WHERE 0 = 1~",
             "check-in deletes an issue~checkin~DELETE FROM tranfile WHERE 0 = 1~ผู้ควบคุม",
             "check-in renews~checkin~UPDATE magazine SET End_Date = NULL WHERE 0 = 1~ผู้ควบคุม",
             "indexing~indexing~INSERT INTO article SELECT * FROM article WHERE 0 = 1~",
             "indexing rewrites an article's authors~indexing~DELETE FROM mauthfile WHERE 0 = 1~",
             "indexing deletes an article~indexing~DELETE FROM article WHERE 0 = 1~ผู้ควบคุม",
             "indexing checks in~indexing~UPDATE tranfile SET regno = regno WHERE 0 = 1~ลงทะเบียนรับ",
             "supervision adds a title~supervision~INSERT INTO magazine SELECT * FROM magazine WHERE 0 = 1~",
             "supervision resets a number~supervision~UPDATE artctrl SET artno_ctrl = artno_ctrl WHERE 0 = 1~",
             "supervision deletes an issue~supervision~DELETE FROM tranfile WHERE 0 = 1~",
             "supervision indexes~supervision~INSERT INTO article SELECT * FROM article WHERE 0 = 1~ทำดรรชนี",
             "reports forge history~reports~INSERT INTO change_history (changed_by, table_name, row_key, "
             "action) VALUES ('x', 'x', 'x', 'I')~ไม่มีบทบาทใด",
             "check-in rewrites history~checkin~UPDATE change_history SET changed_by = 'x' WHERE 0 = 1~ไม่มีบทบาทใด",
             "indexing erases history~indexing~DELETE FROM change_history WHERE 0 = 1~ไม่มีบทบาทใด",
             "supervision erases history~supervision~DELETE FROM change_history WHERE 0 = 1~ไม่มีบทบาทใด"});
    }
    void serverRefusesWhatTheRoleDoesNot() {
        const auto [role, sql, needed] = fetch<3>();
        const auto c = connectAs(tagged(role));
        try {
            c->exec(sql);
            QVERIFY2(needed.isEmpty(), "the server let it through");
        } catch (const data::DbError& e) {
            QVERIFY2(!needed.isEmpty(), qPrintable(e.describe()));
            QCOMPARE(e.nativeCode(), 1142);
            QVERIFY2(data::roleNeededFor(e).contains(needed), qPrintable(data::roleNeededFor(e)));
        }
    }

    // A record's history names whoever changed it: the program's store signed in as a member,
    // plain SQL from the shared account of the older clients, the administrator; an update
    // that changes nothing leaves no row. The report by person lists only that person's.
    void historyNamesEveryWriter() {
        const auto supervisor = connectAs(person(Role::Supervision));
        const QString code = titles::DealerStore::add(*supervisor, {{}, u"สำนักพิมพ์ก"_s, {}, {}, {}});
        supervisor->exec(u"UPDATE dealer SET Publisher_Name = 'สำนักพิมพ์ข' WHERE Publisher_Code = ?"_s, {code});
        supervisor->exec(u"UPDATE dealer SET Publisher_Name = 'สำนักพิมพ์ข' WHERE Publisher_Code = ?"_s, {code});
        db->connect()->exec(u"UPDATE dealer SET Address1 = 'ถนนพระราม 4' WHERE Publisher_Code = ?"_s, {code});
        exec(u"DELETE FROM dealer WHERE Publisher_Code = ?"_s, {code});
        for (const QString& rewrite :
             {u"UPDATE change_history SET changed_by = 'x'"_s, u"DELETE FROM change_history"_s})
            QVERIFY(failure([&] { db->connect()->exec(rewrite); }).contains(u"change_history is kept as written"_s));
        QStringList seen;
        for (const data::Change& c : data::rowHistory(*db->connect(), u"dealer"_s, code))
            seen << c.person() + u' ' + c.actionCaption() + u' ' + c.summary().section(u';', 0, 0);
        QCOMPARE(seen, (QStringList{u"root ลบ Address1: ถนนพระราม 4"_s, u"varnok แก้ไข Address1: (ว่าง) → ถนนพระราม 4"_s,
                                    person(Role::Supervision) + u" แก้ไข Publisher_Name: สำนักพิมพ์ก → สำนักพิมพ์ข"_s,
                                    person(Role::Supervision) + u" เพิ่ม Publisher_Code: "_s + code}));

        QTemporaryDir dir;
        const QString today = data::formatDate(QDate::currentDate());
        QCOMPARE(runReport({u"history"_s, u"--from"_s, today, u"--to"_s, today, u"--person"_s, u"varnok"_s, u"--csv"_s,
                            dir.filePath(u"h.csv"_s), u"--pdf"_s, dir.filePath(u"h.pdf"_s)}),
                 0);
        QFile csv(dir.filePath(u"h.csv"_s));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(1).contains(u"varnok@"_s) && lines.at(1).contains(u"ถนนพระราม 4"_s), qPrintable(lines.at(1)));
        const QString pdf = pdfText(dir.filePath(u"h.pdf"_s));
        QVERIFY2(pdf.contains(bare(u"ประวัติการแก้ไขข้อมูล"_s)) && pdf.contains(bare(u"ผู้แก้ไข varnok"_s)), qPrintable(pdf));
    }

    // Every record table's history names the account that wrote the row (the older clients'
    // shared account here), never the triggers' definer: a row added and taken away again in
    // each, with just the columns that need a value.
    void everyTableNamesItsWriter() {
        const auto c = db->connect();
        const data::Result traced =
            c->query(u"SELECT EVENT_OBJECT_TABLE FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = DATABASE() "
                     "AND TRIGGER_NAME LIKE '%\\_history\\_insert' ORDER BY 1"_s);
        QVERIFY2(traced.rowCount() >= 23, qPrintable(QString::number(traced.rowCount())));
        QStringList wrong;
        const QString before = sql(u"SELECT COALESCE(MAX(change_id), 0) FROM change_history"_s);
        for (int t = 0; t < traced.rowCount(); ++t) {
            const QString table = traced.text(t, 0);
            const data::Result needed = c->query(
                u"SELECT COLUMN_NAME, DATA_TYPE FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND "
                "TABLE_NAME = ? AND IS_NULLABLE = 'NO' AND COLUMN_DEFAULT IS NULL AND EXTRA NOT LIKE '%auto_increment%'"_s,
                {table});
            QStringList columns;
            data::Params values;
            for (int k = 0; k < needed.rowCount(); ++k) {
                columns << needed.text(k, 0);
                const QString type = needed.text(k, 1);
                values << (type.contains(u"date"_s)                          ? QVariant(QDate(2026, 1, 1))
                           : type.contains(u"int"_s) || type == u"decimal"_s ? QVariant(7)
                                                                             : QVariant(u"7"_s));
            }
            try {
                c->exec(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table, columns.join(u", "_s),
                                                                 QStringList(columns.size(), u"?"_s).join(u", "_s)),
                        values);
                c->exec(u"DELETE FROM %1 WHERE %2 = ?"_s.arg(table, columns.first()), {values.first()});
            } catch (const data::DbError& e) {
                QVERIFY2(e.nativeCode() == 1062, qPrintable(table + u": "_s + e.describe()));
                // A table of one row (a counter): its value changed and put back.
                const QString was = sql(u"SELECT %1 FROM %2 LIMIT 1"_s.arg(columns.first(), table));
                QString other = was.isEmpty() ? u"X"_s : was;
                other[other.size() - 1] = other.back() == u'1' ? u'2' : u'1';
                for (const QString& v : {other, was})
                    c->exec(u"UPDATE %1 SET %2 = ?"_s.arg(table, columns.first()), {v});
            }
            const QString who = sql(u"SELECT GROUP_CONCAT(DISTINCT SUBSTRING_INDEX(changed_by, '@', 1) ORDER BY 1) "
                                    "FROM change_history WHERE table_name = ? AND change_id > ?"_s,
                                    {table, before});
            if (who != u"varnok"_s)
                wrong << table + u": "_s + who;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; "_s)));
    }

    // Wrong password, locked account, no name: each said in the dialog with the server's number,
    // and nobody is let in.
    void signInSaysWhatWentWrong_data() {
        textTable({"lock", "name", "typed", "said", "focus"},
                  {"wrong password~~checkin~nope~ชื่อผู้ใช้หรือรหัสผ่านไม่ถูกต้อง กรุณาลองอีกครั้ง\n(รหัสข้อผิดพลาด 1045~txtPassword",
                   "locked account~yes~checkin~right~ถูกระงับการใช้งาน กรุณาติดต่อผู้ดูแลระบบ\n(รหัสข้อผิดพลาด 4151~txtUser",
                   "no name~~~right~กรุณาพิมพ์ชื่อผู้ใช้~txtUser"});
    }
    void signInSaysWhatWentWrong() {
        const auto [lock, name, typed, text, focus] = fetch<5>();
        const QString account = name.isEmpty() ? QString() : tagged(name);
        if (!lock.isEmpty())
            data::lockStaff(db->admin(), account, true);
        forms::SignInDialog d(db->settings());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        typeAndEnter(d, account, typed == u"right"_s ? password(account) : typed);
        if (!lock.isEmpty())
            data::lockStaff(db->admin(), account, false);
        QVERIFY2(said(d).contains(text), qPrintable(said(d)));
        QCOMPARE(WindowFixture<QWidget>::focused(), focus);
        QVERIFY(d.isVisible() && d.result() != QDialog::Accepted);
    }

    // Wrong passwords from another machine: after five the server blocks the account, the right
    // password too; the dialog says so and who unlocks it; a supervisor's unlock lets it in.
    void wrongPasswordsBlockTheAccount() {
        const QString outer = qEnvironmentVariable("WARASAN_TEST_OUTER_HOST");
        if (outer.isEmpty())
            QSKIP("no address of this machine but the loopback, whose wrong passwords the server does not count");
        const QString name = person(Role::Reports);
        data::ConnectionSettings away = as(name);
        away.server = outer;
        away.socket.clear();
        away.password = u"wrong"_s;
        for (int i = 0; i < data::signInAttempts; ++i)
            QCOMPARE(failure([&] { data::Connection(away).open(); }).left(6), u"[1045]"_s);
        away.password = password(name);
        QCOMPARE(failure([&] { data::Connection(away).open(); }).left(6), u"[4150]"_s);
        forms::SignInDialog d(db->settings());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        typeAndEnter(d, name, password(name));
        QVERIFY2(said(d).contains(u"ถูกล็อกเพราะใส่รหัสผ่านผิดเกิน 5 ครั้ง"_s) && said(d).contains(u"--staff-unlock "_s + name),
                 qPrintable(said(d)));
        QCOMPARE(WindowFixture<QWidget>::focused(), u"txtUser"_s);
        QVERIFY(d.isVisible() && d.result() != QDialog::Accepted);
        data::lockStaff(db->admin(), name, false);
        typeAndEnter(d, name, password(name));
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    // An expired password is replaced in the dialog: the new one asked twice, then the person
    // is in with their roles, and only the new password opens the account.
    void expiredPasswordIsReplacedAtSignIn() {
        const QString name = person(Role::Reports);
        data::expireStaffPassword(db->admin(), name);
        forms::SignInDialog d(db->settings(), name);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        typeAndEnter(d, name, password(name));
        QVERIFY2(said(d).contains(u"หมดอายุแล้ว"_s), qPrintable(said(d)));
        QCOMPARE(WindowFixture<QWidget>::focused(), u"txtNewPassword"_s);
        QTest::keyClicks(control<QLineEdit>(&d, "txtNewPassword"), u"New-9xK"_s);
        QTest::keyClicks(control<QLineEdit>(&d, "txtNewAgain"), u"New-9xL"_s);
        pressEnter(control<QLineEdit>(&d, "txtNewAgain"));
        QVERIFY2(said(d).contains(u"ไม่ตรงกัน"_s), qPrintable(said(d)));
        control<QLineEdit>(&d, "txtNewAgain")->setText(u"New-9xK"_s);
        pressEnter(control<QLineEdit>(&d, "txtNewAgain"));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(d.who().has(Role::Reports) && !d.who().has(Role::CheckIn) && !d.who().allRoles);
        data::ConnectionSettings old = as(name);
        QCOMPARE(failure([&] { data::Connection(old).open(); }).left(6), u"[1045]"_s);
        exec(u"SET PASSWORD FOR '%1'@'%' = PASSWORD('%2')"_s.arg(name, password(name)));
    }

    // Signing in from the menu: the status bar names the person and their roles; the password
    // is in no file, no process listing and no environment; signing out closes the windows and
    // leaves no window to open until someone signs in.
    void signInFromTheMenuLeavesThePasswordNowhere() {
        const QString name = person(Role::CheckIn);
        QVERIFY(openInMainWindow<QWidget>(main, u"Adddealer"_s));
        main->setSignInAsker([&](QWidget*, data::ConnectionSettings& s, data::SignedIn& who) {
            forms::SignInDialog d(s);
            d.show();
            typeAndEnter(d, name, password(name));
            s = d.settings();
            who = d.who();
            return d.result() == QDialog::Accepted;
        });
        QVERIFY(main->switchUser());
        QVERIFY(!main->windows().find(u"Adddealer"_s)); // closed on signing out
        const auto status = main->statusBar()->findChild<QLabel*>(u"lblSignedIn"_s);
        QCOMPARE(status->text(), u"ผู้ใช้: %1 (ลงทะเบียนรับ)"_s.arg(name));
        QCOMPARE(data::installation().db.user, name);
        const QByteArray secret = password(name).toUtf8();
        for (const QString& file : {u"/proc/self/cmdline"_s, u"/proc/self/environ"_s}) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly) && !f.readAll().contains(secret));
        }
        QProcess ps;
        ps.start(u"ps"_s, {u"-eo"_s, u"args"_s});
        QVERIFY(ps.waitForFinished());
        const QByteArray listing = ps.readAll();
        QVERIFY(listing.contains("tst_staff") && !listing.contains(secret));
        QDirIterator files(qEnvironmentVariable("XDG_CONFIG_HOME", QDir::homePath() + u"/.config"_s), QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile f(files.next());
            QVERIFY2(!f.open(QIODevice::ReadOnly) || !f.readAll().contains(secret), qPrintable(f.fileName()));
        }

        main->setSignInAsker([](QWidget*, data::ConnectionSettings&, data::SignedIn&) { return false; });
        QVERIFY(!main->switchUser());
        QCOMPARE(status->text(), u"ยังไม่ได้เข้าสู่ระบบ"_s);
        QVERIFY(!main->findChild<QAction*>(u"aaa"_s)->isEnabled());
        QVERIFY(data::installation().db.password.isEmpty());
    }

    // A member sees every window, but the buttons their roles do not allow are off for good,
    // with the role in the tooltip; where a write gets to the server anyway, the message names
    // the role.
    void windowsOfferOnlyWhatTheRoleAllows_data() {
        textTable({"role", "window", "button", "tip"},
                  {"check-in on titles~checkin~New_Journal~Cmdadd~ผู้ควบคุม",
                   "check-in deleting an issue~checkin~reg_journal~Command6~ผู้ควบคุม",
                   "indexing checking in~indexing~reg_journal~Command2~ลงทะเบียนรับ",
                   "supervision on titles~supervision~New_Journal~Cmdadd~",
                   "check-in on issues~checkin~reg_journal~Command2~",
                   "check-in learning a pattern again~checkin~PatternEditor~Cmdlearn~ผู้ควบคุม",
                   "check-in on publishers~checkin~Adddealer~Command1~ผู้ควบคุม",
                   "check-in on authors~checkin~add_auther~Cmdsaveedit~ทำดรรชนี",
                   "indexing deleting an article~indexing~edit_index_journal~Cmddel~ผู้ควบคุม",
                   "indexing a new article~indexing~index_journal~Command4~",
                   "reports binding~reports~sum_journal~Cmdsave~ลงทะเบียนรับ",
                   "check-in renewing~checkin~expdate~cmdsave~ผู้ควบคุม",
                   "check-in on readers~checkin~ReaderRegister~Cmdremovetitle~ผู้ควบคุม",
                   "indexing on article numbers~indexing~articlectrl~Cmdsave~ผู้ควบคุม",
                   "check-in copying a record~checkin~New_Journal~Cmdmarcin~ผู้ควบคุม",
                   "check-in sending claims~checkin~ClaimsWindow~Cmdsend~",
                   "supervision sending claims~supervision~ClaimsWindow~Cmdsend~",
                   "reports sending claims~reports~ClaimsWindow~Cmdsend~ลงทะเบียนรับ"});
    }
    void windowsOfferOnlyWhatTheRoleAllows() {
        const auto [role, window, button, tip] = fetch<4>();
        staff->signIn(*data::roleByName(role));
        QWidget* w = openInMainWindow<QWidget>(main, window);
        QVERIFY(w);
        QTRY_VERIFY(w->isAncestorOf(QApplication::focusWidget())); // the keyboard is in the window opened
        auto* b = control<QAbstractButton>(w, button.toLatin1().constData());
        b->setEnabled(true); // as the window's own change of mode would
        QCOMPARE(b->isEnabled(), tip.isEmpty());
        QCOMPARE(b->toolTip().contains(tip) && b->toolTip().contains(u"ต้องมีบทบาท"_s), !tip.isEmpty());
        if (tip.isEmpty())
            return;
        const QString refusal =
            failure([&] { connectAs(tagged(role))->exec(u"DELETE FROM tranfile WHERE magno = 'x'"_s); });
        QVERIFY2(refusal.startsWith(u"[1142]"_s), qPrintable(refusal));
        try {
            connectAs(tagged(role))->exec(u"DELETE FROM magazine WHERE 0 = 1"_s);
        } catch (const data::DbError& e) {
            forms::showDbError(w, e);
        }
        // The Thai words first, the server's under them.
        const QString said = boxes->last().prompt;
        const qsizetype at = said.indexOf(u"ต้องมีบทบาท \"ผู้ควบคุม\" (warasan_supervision)"_s);
        QVERIFY2(at > 0 && at < said.indexOf(u"รหัสข้อผิดพลาด 1142"_s), qPrintable(said));
    }

    // The foot of a record window: who changed the record shown last and when, whoever it was;
    // its list shows every change, newest first.
    void recordWindowShowsItsLastChange() {
        exec(u"INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES ('77', 'สำนักพิมพ์ท้ายหน้าต่าง'), "
             "('78', 'สำนักพิมพ์อื่น')"_s);
        connectAs(person(Role::Supervision))
            ->exec(u"UPDATE dealer SET Contact = 'คุณมาลี' WHERE Publisher_Code = '77'"_s);
        auto* w = openInMainWindow<titles::Adddealer>(main, u"Adddealer"_s);
        QVERIFY(w);
        auto* last = control<QLabel>(w, "lblLastChange");
        QVERIFY(!last->isVisible());
        control<QPlainTextEdit>(w, "Text2")->setPlainText(u"สำนักพิมพ์ท้าย"_s);
        pressEnter(control<QPlainTextEdit>(w, "Text2"));
        auto* list = control<forms::PickList>(w, "Listdealer");
        QTRY_VERIFY(list->isVisible() && list->count() == 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
        QTRY_VERIFY(last->isVisible());
        QVERIFY2(last->text().startsWith(u"แก้ไขล่าสุดโดย %1 เมื่อ %2 "_s.arg(person(Role::Supervision),
                                                                         data::formatDate(QDate::currentDate()))),
                 qPrintable(last->text()));
        QStringList rows;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            auto* grid = d ? d->findChild<QTableWidget*>(u"gridHistory"_s) : nullptr;
            for (int r = 0; grid && r < grid->rowCount(); ++r)
                rows << grid->item(r, 1)->text().section(u'@', 0, 0) + u' ' + grid->item(r, 2)->text();
            if (d)
                QTest::keyClick(d, Qt::Key_Escape);
        });
        QTest::mouseClick(control<QAbstractButton>(w, "cmdHistory"), Qt::LeftButton);
        QCOMPARE(rows, (QStringList{person(Role::Supervision) + u" แก้ไข"_s, u"root เพิ่ม"_s}));

        // Changed meanwhile from another station: the next button pressed brings the foot up to date.
        db->connect()->exec(u"UPDATE dealer SET Contact = 'คุณสมศรี' WHERE Publisher_Code = '77'"_s);
        QTest::mouseClick(control<QPushButton>(w, "Command4"), Qt::LeftButton);
        QTRY_VERIFY2(last->text().startsWith(u"แก้ไขล่าสุดโดย varnok "_s), qPrintable(last->text()));
    }

    // Who a session is: a member's roles from their own role; the shared account, given every
    // right on the database itself, may do everything; an account given only some rights
    // directly (to read and add, say) has no staff role at all.
    void whoIsSignedIn_data() {
        textTable({"account", "roles"}, {"member~checkin~checkin", "shared account~varnok~every", "reader~reader~"});
    }
    void whoIsSignedIn() {
        const auto [account, roles] = fetch<2>();
        exec(u"CREATE USER IF NOT EXISTS '%1reader'@'%' IDENTIFIED BY '%2'"_s.arg(
            staff->name(Role::Reports).section(u'_', 0, 0), password(u"reader"_s)));
        exec(u"GRANT SELECT, INSERT ON `%1`.* TO '%2reader'@'%'"_s.arg(db->name(),
                                                                       staff->name(Role::Reports).section(u'_', 0, 0)));
        data::ConnectionSettings s = account == u"varnok"_s ? db->settings() : as(tagged(account));
        if (account == u"reader"_s) {
            s.user = staff->name(Role::Reports).section(u'_', 0, 0) + u"reader"_s;
            s.password = password(u"reader"_s);
        }
        data::Connection c(s);
        c.open();
        const data::SignedIn who = data::signedIn(c);
        QStringList held;
        for (Role r : data::allRoles())
            if (who.roles.contains(r))
                held << data::roleWord(r);
        QCOMPARE(who.allRoles ? u"every"_s : held.join(u','), roles);
        exec(u"DROP USER IF EXISTS '%1reader'@'%'"_s.arg(staff->name(Role::Reports).section(u'_', 0, 0)));
        QCOMPARE(data::roleAllowing(u"change_history"_s, u"SELECT"_s), std::optional<Role>(Role::Reports));
    }

    // The history as a report from its window: the period and one person typed, Enter shows
    // that person's changes alone in the report viewer; Esc closes the window.
    void historyReportWindow() {
        // A row added is printed whole, its values going on over further lines.
        connectAs(person(Role::Supervision))
            ->exec(u"INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES ('9', ?)"_s,
                   {u"Long Publisher Name "_s.repeated(8) + u"ENDS HERE"_s});
        exec(u"UPDATE dealer SET Publisher_Name = 'ข' WHERE Publisher_Code = '9'"_s);
        auto* w = openInMainWindow<app::HistoryReportWindow>(main, u"HistoryReport"_s);
        QVERIFY(w);
        const QString today = data::formatDate(QDate::currentDate());
        control<QLineEdit>(w, "Text1")->setText(today);
        control<QLineEdit>(w, "Text2")->setText(today);
        auto* who = control<QComboBox>(w, "cboPerson");
        QVERIFY(who->findText(person(Role::Supervision)) > 0);
        who->setCurrentText(person(Role::Supervision));
        pressEnter(who->lineEdit());
        QVERIFY(w->shownReport());
        const reports::Document& doc = w->shownReport()->document();
        QCOMPARE(doc.csvRows.size(), 1);
        QCOMPARE(doc.csvRows.at(0).mid(2, 3), (QStringList{u"dealer"_s, u"9"_s, u"เพิ่ม"_s}));
        QStringList printed;
        for (const reports::TextItem& t : doc.pages.first().items)
            printed << t.text;
        QVERIFY2(printed.join(u' ').contains(u"ENDS HERE"_s), qPrintable(printed.join(u'|')));
        w->shownReport()->close();
        QTest::keyClick(who->lineEdit(), Qt::Key_Escape);
        QTRY_VERIFY(!main->windows().find(u"HistoryReport"_s));
    }

    // The check reports a trigger gone and a role given more than its task, and the migration
    // puts both right.
    void checkRestoresTriggersAndRoles() {
        exec(u"DROP TRIGGER dealer_history_update"_s);
        exec(u"GRANT INSERT ON change_history TO warasan_checkin"_s);
        exec(u"GRANT DELETE ON * TO warasan_reports"_s); // on every table of this database
        // An older version's alert trigger, which queued every copy of an issue.
        exec(u"CREATE OR REPLACE TRIGGER tranfile_alert AFTER INSERT ON tranfile FOR EACH ROW INSERT INTO "
             "alert_issue (reader_id, magno) SELECT reader_id, NEW.magno FROM reader_title WHERE pointer = NEW.pointer "
             "ON DUPLICATE KEY UPDATE pending = 1"_s);
        QByteArray report;
        QCOMPARE(dbcheck({u"--user"_s, u"root"_s}, &report), 1);
        for (const char* problem : {"trigger dealer_history_update on dealer is missing: its changes are not traced",
                                    "role warasan_checkin may INSERT on change_history, beyond its task; taken back",
                                    "role warasan_reports may DELETE on *, beyond its task; taken back",
                                    "trigger tranfile_alert on tranfile is out of date"})
            QVERIFY2(report.contains(problem), report.constData());
        QTemporaryDir dir;
        QVERIFY2(dbcheck({u"--migrate"_s, u"--user"_s, u"root"_s, u"--backup"_s, dir.filePath(u"b.sql"_s)}, &report) ==
                     0,
                 report.right(600).constData());
        // Every trigger now the schema's: nothing left to do.
        QCOMPARE(dbcheck({u"--user"_s, u"root"_s}, &report), 0);
        QVERIFY2(report.contains("nothing needs doing") &&
                     report.contains("sign-in limit: an account is blocked after 5 wrong passwords"),
                 report.constData());
        QCOMPARE(dbcheck({u"--user"_s, u"root"_s, u"--staff-lock"_s, person(Role::CheckIn)}, &report), 0);
        const QList<QByteArray> listed = report.trimmed().split('\n');
        QCOMPARE(listed.first(), "account\troles\tstate");
        QVERIFY2(
            listed.contains((person(Role::CheckIn) + u"\t"_s + data::roleWord(Role::CheckIn) + u"\tlocked"_s).toUtf8()),
            report.constData());
        QCOMPARE(dbcheck({u"--user"_s, u"root"_s, u"--staff-unlock"_s, person(Role::CheckIn)}, &report), 0);
        QCOMPARE(failure([&] {
                     connectAs(person(Role::CheckIn))
                         ->exec(u"INSERT INTO change_history (changed_by, table_name, row_key, action) VALUES "
                                "('x', 'x', 'x', 'I')"_s);
                 }).left(6) +
                     failure([&] { connectAs(person(Role::Reports))->exec(u"DELETE FROM dealer"_s); }).left(6),
                 u"[1142][1142]"_s);
        exec(u"INSERT INTO dealer (Publisher_Code, Publisher_Name) VALUES ('5', 'ก')"_s);
        exec(u"UPDATE dealer SET Publisher_Name = 'ข' WHERE Publisher_Code = '5'"_s);
        QCOMPARE(
            sql(u"SELECT GROUP_CONCAT(action ORDER BY change_id) FROM change_history WHERE table_name = 'dealer'"_s),
            u"I,U"_s);
    }
};

WARASAN_TEST_MAIN(tst_staff)
#include "tst_staff.moc"
