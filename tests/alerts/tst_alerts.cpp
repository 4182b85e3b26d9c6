// New-issue alerts: readers kept at the desk, issues queued by the database whoever checks them
// in, one mail a reader a day through a real mail server, and the outbox under its faults.
#include "alerts/Alerts.h"
#include "receipt/ClaimsWindow.h"
#include "forms/common/ReportViewer.h"
#include "rules/receipt/Claims.h"
#include "web/Pages.h"
#include "data/Dates.h"
#include "support/Mailbox.h"
#include "support/Suite.h"
#include "titles/ReaderRegister.h"

#include <thread>

using titles::ReaderRegister;

class tst_alerts : public DatabaseTest, WindowFixture<ReaderRegister> {
    Q_OBJECT
    std::unique_ptr<app::menumagizine> main;
    const QString hostileName = u"สมชาย <b>ใจดี</b>\r\nBcc: evil@example.com"_s;

    // warasan-report alerts as the timer runs it, sending through `box`.
    int runAlerts(const Mailbox& box) {
        qputenv("WARASAN_MAIL_URL", box.url().toUtf8());
        qputenv("WARASAN_MAIL_TLS", "no");
        qputenv("WARASAN_MAIL_FROM", "serials@library.example.ac.th");
        qputenv("WARASAN_REPORT_ROOT", "http://intranet.example/serial/");
        return runReport({u"alerts"_s});
    }
    // A reader following titles, as the desk adds one.
    void addReader(const QString& name, const QString& email, const QStringList& titles) {
        click("Cmdadd");
        QCOMPARE(focused(), u"Textname"_s);
        text("Textname")->setText(name);
        text("Textemail")->setText(email);
        for (const QString& t : titles) {
            enter("Texttitle", t);
            QVERIFY(pick("lstfound", t));
        }
        click("Cmdsave");
        QCOMPARE(w->mode(), ReaderRegister::Mode::Shown);
    }
    void checkIn(const QString& magno, const QString& pointer, const QString& number) {
        exec(u"INSERT INTO tranfile (magno, pointer, daily, yearno, itemsno, DescriptionItem, MagStatus) VALUES "
             "(?, ?, '2026-12-01', '5', ?, 'ธันวาคม 2569', 'O')"_s,
             {magno, pointer, number});
    }
    QString mailStates() {
        return sql(
            u"SELECT GROUP_CONCAT(CONCAT(recipient, '=', state, '/', attempts) ORDER BY mail_id) FROM alert_mail"_s);
    }

    // Three monthly titles from three distributors (a Thai one, an English one whose mail
    // server refuses, one without an address), their issues of 2024 and 2025 to June, some lost.
    void claimData() {
        exec(u"INSERT INTO dealer (Publisher_Code, Publisher_Name, Email) VALUES ('D1', 'ร้านหนังสือไทย', "
             "'orders@thai.example'), ('D2', 'Global Subscriptions', 'refuse@global.example'), ('D3', 'ร้านไม่มีอีเมล', NULL)"_s);
        int magno = 1;
        for (const auto& [pointer, name, dealer, lost] :
             {std::tuple{"J000011", "Academic Monthly", "D1", "2025-03 2025-04"}, {"J000012", "World Review", "D2", "2025-05"},
              {"J000013", "วารสารพิมพ์", "D3", "2025-02"}}) {
            exec(u"INSERT INTO magazine (Pointer, Magazine_Name, MagType_code, Receive_Code, Distributor_Code) "
                 "VALUES (?, ?, '04', '1', ?)"_s, {pointer, QString::fromUtf8(name), dealer});
            for (QDate d(2024, 1, 1); d <= QDate(2025, 6, 1); d = d.addMonths(1))
                if (!QString::fromLatin1(lost).contains(d.toString(u"yyyy-MM"_s)))
                    exec(u"INSERT INTO tranfile (magno, pointer, daily, yearno, itemsno) VALUES (?, ?, ?, ?, ?)"_s,
                         {QString::number(magno++), pointer, d, QString::number(d.year()), QString::number(d.month())});
        }
    }

private slots:
    void init() {
        fresh();
        exec(u"INSERT INTO magazine (Pointer, Magazine_Name) VALUES ('J000001', 'Nature'), "
             "('I000001', 'ข่าว <script>alert(1)</script>'), ('J000002', 'Science')"_s);
        exec(u"INSERT INTO authname (idno, penname) VALUES ('1', 'ศรีสุดา วงศ์ไทย')"_s);
        QVERIFY(w = openInMainWindow<ReaderRegister>(main, u"ReaderRegister"_s));
    }
    void cleanup() {
        boxes.reset();
        main.reset();
        QCOMPARE(closeAllWindows(), 0);
    }

    // Issues checked in by another program and an article indexed later reach the reader in
    // one mail of the day: Thai intact, hostile names kept out of the headers and escaped in
    // the HTML, each title's stop link; a second run sends nothing more; the desk sees it sent.
    void oneMailADayWithTheArticles() {
        Mailbox box;
        addReader(hostileName, u"reader@example.ac.th"_s, {u"Nature"_s, u"ข่าว <script>alert(1)</script>"_s});
        QCOMPARE(sql(u"SELECT GROUP_CONCAT(pointer ORDER BY pointer) FROM reader_title"_s), u"I000001,J000001"_s);
        checkIn(u"1"_s, u"J000001"_s, u"1"_s);
        checkIn(u"2"_s, u"J000001"_s, u"2"_s);
        checkIn(u"3"_s, u"I000001"_s, u"7"_s);
        checkIn(u"4"_s, u"J000002"_s, u"1"_s); // not followed
        exec(u"INSERT INTO article (article_no, Article_Name, pointer, year, volume, pages) VALUES "
             "('A1', 'การทดลอง & ผล', 'J000001', '5', '2', '11-20')"_s);
        exec(u"INSERT INTO mauthfile (article_no, seqno, idno) VALUES ('A1', 1, '1')"_s);
        QCOMPARE(runAlerts(box), 0);
        QCOMPARE(runAlerts(box), 0);
        const QList<Mailbox::Message> got = box.messages();
        QCOMPARE(got.size(), 1);
        const Mailbox::Message& m = got.first();
        QCOMPARE(m.to, u"reader@example.ac.th"_s);
        QCOMPARE(m.subject, u"วารสารฉบับใหม่: Nature, ข่าว <script>alert(1)</script>"_s);
        QVERIFY(!m.headers.contains(u"Bcc"_s) && m.from == u"ฝ่ายวารสาร <serials@library.example.ac.th>"_s);
        QVERIFY(m.text.startsWith(u"เรียน สมชาย <b>ใจดี</b> Bcc: evil@example.com\n"_s));
        for (const QString& part :
             {u"Nature\n"_s, u"  - ปีที่ 5 ฉบับที่ 1 ธันวาคม 2569\n"_s, u"      * การทดลอง & ผล / ศรีสุดา วงศ์ไทย หน้า 11-20\n"_s,
              u"ข่าว <script>alert(1)</script>\n"_s, u"ปีที่ 5 ฉบับที่ 7"_s,
              u"(เลิกรับแจ้งวารสารนี้: http://intranet.example/serial/alerts/confirm.php?token="_s})
            QVERIFY2(m.text.contains(part), qPrintable(m.text));
        QVERIFY(!m.text.contains(u"ฉบับที่ 1 ธันวาคม 2569\n      *"_s)); // the article is issue 2's
        QVERIFY(m.html.contains(u"ข่าว &lt;script&gt;alert(1)&lt;/script&gt;"_s) && !m.html.contains(u"<script>"_s));
        QVERIFY(m.html.contains(u"สมชาย &lt;b&gt;ใจดี&lt;/b&gt;"_s));
        QCOMPARE(sql(u"SELECT COUNT(*) FROM alert_request WHERE action = 'S' AND mailed IS NOT NULL"_s), u"2"_s);
        // An article indexed after the mail queues its issue again, for the next day's mail; a
        // second copy of issue 2 is not told of again, by its check-in or by its articles.
        checkIn(u"5"_s, u"J000001"_s, u"2"_s);
        exec(u"INSERT INTO article (article_no, Article_Name, pointer, year, volume) VALUES "
             "('A2', 'ภายหลัง', 'J000001', '5', '1'), ('A3', 'อีกบท', 'J000001', ' 5', '2 ')"_s);
        QCOMPARE(sql(u"SELECT GROUP_CONCAT(CONCAT(magno, ':', pending) ORDER BY magno) FROM alert_issue"_s),
                 u"1:1,2:1,3:0"_s);
        QCOMPARE(runAlerts(box), 0);
        QCOMPARE(box.messages().size(), 1);
        enter("Textsearch", u"reader@"_s);
        auto* found = control<forms::PickList>(w, "lstreaders");
        QCOMPARE(found->count(), 1);
        found->setCurrentIndex(found->model()->index(0, 0));
        QTest::keyClick(found, Qt::Key_Return);
        // What waits for tomorrow's round is said, with its date.
        QCOMPARE(row("grdmail", 0).section(u'|', 0, 2),
                 u"%1|ฉบับใหม่ 2 ฉบับ|จะส่งในรอบถัดไป"_s.arg(QDate::currentDate().addDays(1).toString(u"dd/MM/yyyy"_s)));
        QCOMPARE(cell("grdmail", 1, 2), u"ส่งแล้ว"_s);
        // A bounce that comes back later, naming the mail by its Message-ID among the original
        // headers: recorded with the report's words, shown at the desk.
        QTemporaryDir dir;
        QFile bounce(dir.filePath(u"dsn.eml"_s));
        QVERIFY(bounce.open(QIODevice::WriteOnly));
        bounce.write(u"Message-ID: <dsn1@mx.example>\nContent-Type: message/delivery-status\n\nStatus: 5.2.2\n"
                     "Diagnostic-Code: smtp; 552 mailbox full\n\nMessage-ID: %1\n"_s.arg(m.id)
                         .toUtf8());
        bounce.close();
        QCOMPARE(runReport({u"alerts"_s, u"--bounce"_s, bounce.fileName()}), 0);
        QCOMPARE(runReport({u"alerts"_s, u"--bounce"_s, bounce.fileName()}), 1); // marked already
        QCOMPARE(sql(u"SELECT CONCAT(state, ': ', last_error) FROM alert_mail"_s),
                 u"bounced: 5.2.2; smtp; 552 mailbox full"_s);
        click("Cmdedit");
        click("Cmdcancel");
        QCOMPARE(cell("grdmail", 1, 2), u"ตีกลับ"_s);
    }

    // A connection cut in the middle of a mail leaves it in the outbox, tried again and sent
    // once; a server that is down, the same; a recipient refused is kept with the server's
    // words and never tried again.
    void outboxUnderFaults() {
        Mailbox box;
        addReader(u"ก"_s, u"cut@example.ac.th"_s, {u"Nature"_s});
        addReader(u"ข"_s, u"refuse@example.ac.th"_s, {u"Science"_s});
        checkIn(u"1"_s, u"J000001"_s, u"1"_s);
        checkIn(u"2"_s, u"J000002"_s, u"1"_s);
        box.dropDuringNext();
        QCOMPARE(runAlerts(box), 1);
        QCOMPARE(mailStates(), u"cut@example.ac.th=queued/1,refuse@example.ac.th=refused/1"_s);
        const QString refusal = sql(u"SELECT last_error FROM alert_mail WHERE recipient LIKE 'refuse%'"_s);
        QVERIFY2(refusal.startsWith(u"550 5.1.1 <refuse@example.ac.th>: recipient unknown"_s), qPrintable(refusal));
        QCOMPARE(box.messages().size(), 0);
        QTcpServer nobody; // a mail server that is down: nothing answers on its port
        nobody.listen(QHostAddress::LocalHost);
        const quint16 closed = nobody.serverPort();
        nobody.close();
        qputenv("WARASAN_MAIL_URL", u"smtp://127.0.0.1:%1"_s.arg(closed).toUtf8());
        QCOMPARE(runReport({u"alerts"_s}), 1);
        QCOMPARE(mailStates(), u"cut@example.ac.th=queued/2,refuse@example.ac.th=refused/1"_s);
        // No server answered: said in Thai first, the technical words after.
        QVERIFY(sql(u"SELECT last_error FROM alert_mail WHERE recipient LIKE 'cut%'"_s)
                    .startsWith(u"ติดต่อเซิร์ฟเวอร์อีเมลไม่ได้ จะส่งอีกครั้งในรอบถัดไป (Couldn't connect"_s));
        QCOMPARE(runAlerts(box), 0);
        QCOMPARE(runAlerts(box), 0);
        QCOMPARE(mailStates(), u"cut@example.ac.th=sent/3,refuse@example.ac.th=refused/1"_s);
        QCOMPARE(box.messages().size(), 1);
        QCOMPARE(box.messages().first().to, u"cut@example.ac.th"_s);
    }

    // A run that failed half way (a table it reads gone) keeps no other run out while its
    // connection lives on: the next run, from another program, sends.
    void failedRunKeepsNobodyOut() {
        Mailbox box;
        addReader(u"ก"_s, u"a@example.ac.th"_s, {u"Nature"_s});
        checkIn(u"1"_s, u"J000001"_s, u"1"_s);
        exec(u"RENAME TABLE alert_request TO alert_request_gone"_s);
        alerts::MailSettings mail{box.url(), u"no"_s, {}, {}, u"serials@library.example.ac.th"_s, {}};
        QCOMPARE(failure([&] { alerts::run(db->admin(), mail, QDate::currentDate()); }).left(6), u"[1146]"_s);
        exec(u"RENAME TABLE alert_request_gone TO alert_request"_s);
        QCOMPARE(runAlerts(box), 0);
        QCOMPARE(mailStates(), u"a@example.ac.th=sent/1"_s);
    }

    // The outbox's one state machine, whoever moves a mail: "from~to~moved|state|attempts|reason"
    // (a mail the machine does not let go there stays as it was).
    void outboxStates_data() {
        textTable({"from", "to", "after"},
                  {"queued sent~queued~sending~1|sending|1|old", "left sending by a stopped run~sending~sending~1|sending|1|old",
                   "sent not again~sent~sending~0|sent|0|old", "taken~sending~sent~1|sent|0|",
                   "not taken unsent~queued~sent~0|queued|0|old", "no answer~sending~queued~1|queued|0|why",
                   "refused~sending~refused~1|refused|0|why", "not an address~queued~refused~1|refused|0|why",
                   "bounced~sent~bounced~1|bounced|0|why", "refusal kept~refused~bounced~0|refused|0|old",
                   "bounced stays~bounced~queued~0|bounced|0|old"});
    }
    void outboxStates() {
        const auto [from, to, after] = fetch<3>();
        static const QMap<QString, alerts::MailState> states = {
            {u"queued"_s, alerts::MailState::Queued}, {u"sending"_s, alerts::MailState::Sending},
            {u"sent"_s, alerts::MailState::Sent},     {u"refused"_s, alerts::MailState::Refused},
            {u"bounced"_s, alerts::MailState::Bounced}};
        exec(u"INSERT INTO alert_mail (day, recipient, message_id, body_text, body_html, state, last_error) VALUES "
             "(CURDATE(), 'a@example.ac.th', '<m@example>', 't', 'h', ?, 'old')"_s,
             {from});
        const QString id = sql(u"SELECT MAX(mail_id) FROM alert_mail"_s);
        const bool moved = alerts::moveMail(db->admin(), id, states.value(to), u"why"_s);
        QCOMPARE(QString::number(moved) + '|' +
                     sql(u"SELECT CONCAT(state, '|', attempts, '|', COALESCE(last_error, '')) FROM alert_mail"_s),
                 after);
    }

    // The desk's checks: a name and a valid address; an address already kept is refused; the
    // titles followed become exactly the list's.
    void readerEntryChecks() {
        click("Cmdadd");
        text("Textname")->setText(u"ค"_s);
        text("Textemail")->setText(u"not an address"_s);
        click("Cmdsave");
        QCOMPARE(boxes->last().prompt, u"กรุณากรอกอีเมลให้ถูกต้อง (เช่น name@example.ac.th)"_s);
        QCOMPARE(focused(), u"Textemail"_s);
        text("Textemail")->setText(u"a@example.ac.th"_s);
        enter("Texttitle", u"Nat"_s);
        QVERIFY(pick("lstfound", u"Nature"_s));
        click("Cmdsave");
        click("Cmdedit");
        control<QListWidget>(w, "lsttitles")->setCurrentRow(0);
        click("Cmdremovetitle");
        enter("Texttitle", u"Sci"_s);
        QVERIFY(pick("lstfound", u"Science"_s));
        click("Cmdsave");
        QCOMPARE(sql(u"SELECT GROUP_CONCAT(pointer) FROM reader_title"_s), u"J000002"_s);
        // Edited to another reader's address: refused in words at the field; changed by another
        // station since it was shown: said, and nothing written over it.
        exec(u"INSERT INTO reader (reader_name, email) VALUES ('จ', 'b@example.ac.th')"_s);
        click("Cmdedit");
        text("Textemail")->setText(u"b@example.ac.th"_s);
        click("Cmdsave");
        QCOMPARE(boxes->last().prompt + '|' + focused(), u"อีเมล b@example.ac.th มีในทะเบียนผู้อ่านแล้ว|Textemail"_s);
        exec(u"UPDATE reader SET reader_name = 'คค' WHERE email = 'a@example.ac.th'"_s);
        text("Textemail")->setText(u"a@example.ac.th"_s);
        text("Textname")->setText(u"ฅ"_s);
        control<QListWidget>(w, "lsttitles")->setCurrentRow(0);
        click("Cmdremovetitle");
        click("Cmdsave");
        QCOMPARE(boxes->last().prompt, forms::changedElsewhere(u"ผู้อ่าน"_s));
        QCOMPARE(sql(u"SELECT GROUP_CONCAT(reader_name ORDER BY email) FROM reader"_s) +
                     sql(u"SELECT GROUP_CONCAT(pointer) FROM reader_title"_s),
                 u"คค,จJ000002"_s);
        QCOMPARE(w->mode(), ReaderRegister::Mode::Editing);
        boxes->answer({true});
        click("Cmdcancel");
        click("Cmdadd");
        text("Textname")->setText(u"ง"_s);
        text("Textemail")->setText(u"a@example.ac.th"_s);
        click("Cmdsave");
        QCOMPARE(w->mode(), ReaderRegister::Mode::Adding); // nothing lost: the entry stays open
        QCOMPARE(boxes->last().prompt, u"อีเมล a@example.ac.th มีในทะเบียนผู้อ่านแล้ว"_s);
    }

    // Claims for the issues of the first half of 2025 not received, as the scheduled run makes
    // them: two runs at once claim each issue once and mail each distributor once (a Thai
    // letter whose table is the receipt check's rows; a refused recipient keeps the server's
    // words; the distributor without an address gets the printed letter). Claimed again only
    // after the distributor's wait; a letter cut off in the middle goes once on the next run;
    // the issue's arrival closes its claims; the figures per distributor.
    void claimsSentOnceAndFollowedUp() {
        claimData();
        Mailbox box;
        QTemporaryDir dir;
        const QStringList send = {u"claims"_s, u"--send"_s, u"--from"_s, u"01/01/2025"_s, u"--to"_s, u"30/06/2025"_s,
                                  u"--pdf"_s, dir.filePath(u"letters.pdf"_s)};
        const auto claims = [&] {
            return sql(u"SELECT GROUP_CONCAT(CONCAT(pointer, ':', expected, ':', claim_no) ORDER BY pointer, expected, "
                       "claim_no) FROM claim"_s);
        };
        runAlerts(box); // the mail settings in the environment
        int first = -1, second = -1;
        std::thread other([&] { second = runReport(send); });
        first = runReport(send);
        other.join();
        QCOMPARE(u"%1 %2"_s.arg(first).arg(second), u"0 0"_s);
        QCOMPARE(claims(), u"J000011:2025-03-01:1,J000011:2025-04-01:1,J000012:2025-05-01:1,J000013:2025-02-01:1"_s);
        QCOMPARE(mailStates(), u"orders@thai.example=sent/1,refuse@global.example=refused/1"_s);
        QVERIFY(sql(u"SELECT CONCAT(subject, '|', last_error) FROM alert_mail WHERE recipient LIKE 'refuse%'"_s)
                    .startsWith(u"Claim for issues not received - |"_s));
        QVERIFY(sql(u"SELECT last_error FROM alert_mail WHERE recipient LIKE 'refuse%'"_s).contains(u"55"_s));
        QCOMPARE(box.messages().size(), 1);
        // The Thai letter's table: the receipt check's rows for that distributor.
        QStringList checked;
        auto c = db->connect();
        for (const auto& m : receipt::ReceiptCheck::run(*c, QDate(2025, 1, 1), QDate(2025, 6, 30)))
            if (m.distributorCode == u"D1"_s)
                checked << u"%1. %2  ฉบับวันที่ %3  (ทวงถามครั้งที่ 1)"_s.arg(checked.size() + 1).arg(m.name,
                                                                                     receipt::thaiDateText(m.expected));
        QCOMPARE(checked.size(), 2);
        const Mailbox::Message letter = box.messages().first();
        QVERIFY2(letter.subject.startsWith(u"ทวงถามวารสารที่ยังไม่ได้รับ"_s) && letter.text.contains(checked.join(u'\n')),
                 qPrintable(letter.text));
        QVERIFY(pdfText(dir.filePath(u"letters.pdf"_s)).contains(u"เรยนรานไมมอเมล"_s + u"ยงไมไดรบวารสาร"_s) &&
                pdfText(dir.filePath(u"letters.pdf"_s)).contains(u"1.วารสารพมพฉบบวนท1กมภาพนธ2568(ทวงถามครงท1)"_s));

        // A month later, the distributor of the refused letter waiting 60 days: claimed again,
        // the letter cut off in the middle, then sent once.
        exec(u"UPDATE claim SET claimed_at = claimed_at - INTERVAL 31 DAY"_s);
        exec(u"UPDATE dealer SET claim_days = 60 WHERE Publisher_Code = 'D2'"_s);
        box.dropDuringNext();
        QCOMPARE(runReport(send), 1);
        QCOMPARE(runReport(send), 0);
        QCOMPARE(claims(), u"J000011:2025-03-01:1,J000011:2025-03-01:2,J000011:2025-04-01:1,J000011:2025-04-01:2,"
                           "J000012:2025-05-01:1,J000013:2025-02-01:1,J000013:2025-02-01:2"_s);
        QCOMPARE(box.messages().size(), 2);
        QVERIFY(box.messages().last().text.contains(u"(ทวงถามครั้งที่ 2)"_s));

        // March arrives: both its claims closed, the second named at check-in, received the day
        // it was registered.
        exec(u"INSERT INTO tranfile (magno, pointer, daily, yearno, itemsno, indate) VALUES ('99', 'J000011', "
             "'2025-03-04', '2025', '3', CURDATE())"_s);
        QCOMPARE(receipt::Claims::closedByArrival(*c, u"J000011"_s, QDate(2025, 3, 4)), 2);
        QCOMPARE(sql(u"SELECT GROUP_CONCAT(CONCAT(expected, '@', DATE(received_at) = CURDATE()) ORDER BY claim_id) "
                     "FROM claim WHERE received_at IS NOT NULL"_s),
                 u"2025-03-01@1,2025-03-01@1"_s);

        // Two months on, a third claim of each issue still missing: unanswered, it marks the
        // distributors; "not yet published" moves the date it is claimed again from (one step on
        // when none is given), and the late issue, under its own date, closes all its claims.
        exec(u"UPDATE claim SET claimed_at = claimed_at - INTERVAL 61 DAY"_s);
        QCOMPARE(runReport(send), 0);
        QCOMPARE(sql(u"SELECT GROUP_CONCAT(CONCAT(pointer, ':', claim_no) ORDER BY claim_id) FROM claim WHERE claim_no > "
                     "2 OR pointer = 'J000012'"_s),
                 u"J000012:1,J000011:3,J000012:2,J000013:3"_s);
        const auto due = [&] {
            QStringList out;
            for (const auto& r : receipt::Claims::rows(*c, receipt::ReceiptCheck::run(*c, QDate(2025, 1, 1), QDate(2025, 6, 30)),
                                                       QDateTime::currentDateTime()))
                out << u"%1:%2%3%4"_s.arg(r.issue.pointer).arg(r.due).arg(r.silent ? u"!"_s : QString(), r.lastState);
            return out.join(u',');
        };
        exec(u"UPDATE claim SET claimed_at = claimed_at - INTERVAL 61 DAY"_s);
        QVERIFY(receipt::Claims::answer(*c, u"J000012"_s, QDate(2025, 5, 1), u'N', u"due in August"_s));
        QCOMPARE(sql(u"SELECT GROUP_CONCAT(CONCAT(claim_no, answer, expected_again)) FROM claim WHERE pointer = "
                     "'J000012'"_s),
                 u"2N2025-05-31"_s);
        const QDate later = QDate::currentDate().addDays(10);
        QVERIFY(receipt::Claims::answer(*c, u"J000012"_s, QDate(2025, 5, 1), u'N', QString(), later));
        QVERIFY(!receipt::Claims::answer(*c, u"J000012"_s, QDate(2025, 7, 1), u'N', QString())); // never claimed
        QCOMPARE(due(), u"J000012:0ยังไม่ออก,J000011:1!ส่งแล้ว,J000013:1!พิมพ์"_s);
        QCOMPARE(receipt::Claims::closedByArrival(*c, u"J000012"_s, later), 0); // not its date
        exec(u"INSERT INTO tranfile (magno, pointer, daily, yearno, itemsno, indate) VALUES ('98', 'J000012', "
             "'2025-05-02', '2025', '5', CURDATE())"_s);
        QCOMPARE(receipt::Claims::closedByArrival(*c, u"J000012"_s, QDate(2025, 5, 2)), 2);
        QCOMPARE(sql(u"SELECT COUNT(*) FROM claim WHERE pointer = 'J000012' AND received_at IS NULL"_s), u"0"_s);

        // The figures per distributor, on paper and on the report server's page for each; an
        // issue another program checked in counts as received without the desk having looked.
        exec(u"INSERT INTO tranfile (magno, pointer, daily, yearno, itemsno, indate) VALUES ('97', 'J000013', "
             "'2025-02-02', '2025', '2', CURDATE())"_s);
        QCOMPARE(runReport({u"claims"_s, u"--from"_s, u"01/01/2020"_s, u"--to"_s, u"31/12/2035"_s, u"--csv"_s,
                            dir.filePath(u"claims.csv"_s)}),
                 0);
        QFile csv(dir.filePath(u"claims.csv"_s));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(csv.readAll()).remove(u'\r').remove(QChar(0xFEFF)).section(u'\n', 1).trimmed(),
                 u"Global Subscriptions,2,0,1,2,107.0,0,0\nร้านไม่มีอีเมล,3,3,0,3,112.0,0,0\n"
                 "ร้านหนังสือไทย,5,5,0,2,137.5,3,1"_s);
        const auto& pages = web::pages();
        const auto page = std::find_if(pages.begin(), pages.end(), [](const web::PageDef& p) {
            return p.path == u"rpt_journal/rpt_claims.php"_s;
        });
        QVERIFY(page != pages.end());
        const web::Query one = {{u"from"_s, u"1/1/2025"_s}, {u"to"_s, u"31/12/2025"_s}, {u"distributor"_s, u"D1"_s}};
        const web::Page built = page->build(*c, one);
        QVERIFY2(built.intro.contains(u"ร้านหนังสือไทย</a></td><td class=\"n\">5</td><td class=\"n\">5</td>"_s) &&
                     !built.intro.contains(u"Global"_s),
                 qPrintable(built.intro));
        QByteArray listed;
        web::prepare(*c, page->path, one, built, true)([&](const QByteArray& b) {
            listed += b;
            return true;
        });
        QCOMPARE(QString::fromUtf8(listed).count(u"Academic Monthly"_s), 5);
    }

    // The claims window from the menu, used by keyboard: the period with Enter, the due issues
    // marked, Space unmarks one, sending says first which distributor gets a printed letter,
    // then the claims are kept, the letter queued, the printed letters shown; Exit closes it.
    void claimsWindowByKeyboard() {
        claimData();
        auto* claims = qobject_cast<receipt::ClaimsWindow*>(main->windows().show(u"ClaimsWindow"_s));
        QVERIFY(claims);
        control<QLineEdit>(claims, "Text1")->setFocus();
        QTest::keyClicks(control<QLineEdit>(claims, "Text1"), u"01/01/2025"_s);
        QTest::keyClick(control<QLineEdit>(claims, "Text1"), Qt::Key_Tab);
        QTest::keyClicks(control<QLineEdit>(claims, "Text2"), u"30/06/2025"_s);
        QTest::keyClick(control<QLineEdit>(claims, "Text2"), Qt::Key_Return);
        auto* grid = control<forms::Grid>(claims, "grdclaims");
        QVERIFY(grid->hasFocus());
        QCOMPARE(control<QLabel>(claims, "Labelsum")->text(),
                 u"ยังไม่ได้รับ 4 ฉบับ เลือกทวงถาม 4 ฉบับ ถึง 3 ผู้จัดจำหน่าย (ไม่มีอีเมล พิมพ์เป็นจดหมาย: ร้านไม่มีอีเมล)"_s);
        for (const QList<bool>& marked : {QList<bool>{false, false, false, false}, QList<bool>{true, true, true, true}}) {
            QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier); // all marked: none; else every due one
            QCOMPARE(claims->marked(), marked);
        }
        QTest::keyClick(grid, Qt::Key_Space); // the first row: Global Subscriptions, left for now
        QCOMPARE(claims->marked(), (QList<bool>{false, true, true, true}));
        boxes->answer({true});
        QTest::keyClick(control<QPushButton>(claims, "Cmdsend"), Qt::Key_Return);
        QCOMPARE(boxes->boxes.at(boxes->boxes.size() - 2).prompt,
                 u"ส่งทวงถาม 3 ฉบับ ถึง 2 ผู้จัดจำหน่าย หรือไม่\nไม่มีอีเมล จะพิมพ์เป็นจดหมาย: ร้านไม่มีอีเมล"_s);
        QCOMPARE(sql(u"SELECT GROUP_CONCAT(CONCAT(pointer, ':', claim_no, ':', mail_id IS NULL) ORDER BY claim_id) "
                     "FROM claim"_s),
                 u"J000011:1:0,J000011:1:0,J000013:1:1"_s);
        QCOMPARE(mailStates(), u"orders@thai.example=queued/0"_s);
        const auto viewers = QApplication::topLevelWidgets();
        QVERIFY(std::any_of(viewers.begin(), viewers.end(), [](QWidget* v) {
            return v->isVisible() && qobject_cast<reports::ReportViewer*>(v) &&
                   v->windowTitle().contains(u"หนังสือทวงถามวารสาร"_s);
        }));
        QCOMPARE(claims->marked(), (QList<bool>{true, false, false, false}));
        QCOMPARE(grid->rows()->text(1, 4) + u'|' + grid->rows()->text(1, 6) + u'|' + grid->rows()->text(3, 6),
                 u"1|รอส่ง|พิมพ์"_s);
        // The distributor answers that the title has ceased: kept, said, neither it nor its later
        // issue claimed again; the subscription kept when the question is answered No.
        control<QComboBox>(claims, "cboanswer")->setCurrentIndex(2);
        QVERIFY(control<QLineEdit>(claims, "Textagain")->isReadOnly());
        typeText(control<QLineEdit>(claims, "Textnote"), u"ceased with vol. 12"_s);
        grid->setCurrentIndex(grid->model()->index(1, 0));
        boxes->answer({false});
        QTest::keyClick(control<QPushButton>(claims, "Cmdanswer"), Qt::Key_Return);
        QCOMPARE(sql(u"SELECT CONCAT(answer, '|', answer_note) FROM claim WHERE expected = '2025-03-01'"_s),
                 u"C|ceased with vol. 12"_s);
        QVERIFY(boxes->last().prompt.startsWith(u"Academic Monthly หยุดพิมพ์แล้ว"_s));
        QCOMPARE(grid->rows()->text(1, 6) + grid->rows()->text(2, 6), u"หยุดพิมพ์หยุดพิมพ์"_s);
        // The printed letter's distributor: not yet published, a date before the issue's refused
        // at the field, a later one kept and shown, and not claimed again before it.
        control<QComboBox>(claims, "cboanswer")->setCurrentIndex(0);
        grid->setCurrentIndex(grid->model()->index(3, 0));
        typeText(control<QLineEdit>(claims, "Textagain"), u"01/01/2025"_s);
        QTest::keyClick(control<QPushButton>(claims, "Cmdanswer"), Qt::Key_Return);
        QCOMPARE(boxes->last().prompt + u'|' + focused(),
                 u"วันที่คาดว่าจะออกต้องเป็นวันที่ (วว/ดด/ปปปป) หลังวันที่ 01/02/2025 ที่ควรได้รับ|Textagain"_s);
        const QDate later = QDate::currentDate().addDays(20);
        control<QLineEdit>(claims, "Textagain")->setText(data::formatDate(later));
        QTest::keyClick(control<QPushButton>(claims, "Cmdanswer"), Qt::Key_Return);
        QCOMPARE(sql(u"SELECT CONCAT(answer, expected_again) FROM claim WHERE pointer = 'J000013'"_s),
                 u"N"_s + later.toString(Qt::ISODate));
        QCOMPARE(grid->rows()->text(3, 6), u"ยังไม่ออก (คาด %1)"_s.arg(data::formatDate(later)));
        exec(u"UPDATE claim SET claimed_at = claimed_at - INTERVAL 31 DAY"_s);
        pressEnter(control<QLineEdit>(claims, "Text2"));
        QCOMPARE(claims->marked(), (QList<bool>{true, false, false, false})); // a month on: only the unclaimed one
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Space);
        QVERIFY(control<QLabel>(claims, "Labelsum")->text().endsWith(u"ผู้จัดจำหน่ายแจ้งว่าหยุดพิมพ์แล้ว จึงไม่ทวงถามอีก"_s));
        // Asked again and answered Yes: the subscription ends, and the title leaves the check.
        control<QComboBox>(claims, "cboanswer")->setCurrentIndex(2);
        boxes->answer({true});
        QTest::keyClick(control<QPushButton>(claims, "Cmdanswer"), Qt::Key_Return);
        QCOMPARE(sql(u"SELECT Receive_Code FROM magazine WHERE Pointer = 'J000011'"_s), u"4"_s);
        QCOMPARE(claims->shown().size(), 2);
        QTest::mouseClick(control<QPushButton>(claims, "Command6"), Qt::LeftButton);
        QVERIFY(!claims->isVisible());
    }
};

WARASAN_TEST_MAIN(tst_alerts)
#include "tst_alerts.moc"
