#include "alerts/Alerts.h"

#include "data/DbError.h"
#include "data/SaveGate.h"
#include "data/ServerLock.h"

#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <curl/curl.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace alerts {

namespace {

QString link(const MailSettings& m, const QString& token) {
    QString root = m.linkRoot;
    if (!root.endsWith(QLatin1Char('/')))
        root += QLatin1Char('/');
    return root + confirmPath + QStringLiteral("?token=") + token;
}

QString html(const QString& text) {
    return text.toHtmlEscaped();
}

QString messageId(const MailSettings& m) {
    const QString domain = m.from.section(QLatin1Char('@'), 1).trimmed();
    return QStringLiteral("<%1@%2>").arg(newToken(), domain.isEmpty() ? QStringLiteral("warasan.invalid") : domain);
}

// Writes one mail to the outbox.
void queueMail(data::Connection& c, const QVariant& reader, const QDate& day, const QVariant& token, const QString& to,
               const MailSettings& m, const QString& subject, const QString& text, const QString& body) {
    data::write(c, QStringLiteral("alert_mail"),
                QStringLiteral("INSERT INTO alert_mail (reader_id, day, token, recipient, message_id, subject, "
                               "body_text, body_html) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                {reader, day, token, to, messageId(m), subject, text, body});
}

// A request confirmed by its link put into effect: the reader kept by address, the title
// followed or no longer.
int applyConfirmed(data::Connection& c) {
    const data::Result open =
        c.query(QStringLiteral("SELECT token, email, pointer, action, reader_name FROM alert_request "
                               "WHERE confirmed IS NOT NULL AND done IS NULL ORDER BY confirmed"));
    for (int i = 0; i < open.rowCount(); ++i) {
        data::Transaction t(c);
        const QString email = open.text(i, u"email"_s).trimmed(), pointer = open.text(i, u"pointer"_s).trimmed();
        if (open.text(i, u"action"_s) == QLatin1String("F")) {
            // The name given on the request form; a reader kept without one takes it.
            const QString name = open.text(i, u"reader_name"_s).simplified();
            data::write(c, QStringLiteral("reader"),
                        QStringLiteral("INSERT IGNORE INTO reader (email, reader_name) VALUES (?, ?)"), {email, name});
            data::write(c, QStringLiteral("reader"),
                        QStringLiteral("UPDATE reader SET reader_name = ? WHERE email = ? AND TRIM(reader_name) = ''"),
                        {name, email});
            data::write(c, QStringLiteral("reader_title"),
                        QStringLiteral("INSERT IGNORE INTO reader_title (reader_id, pointer) SELECT reader_id, ? FROM "
                                       "reader WHERE email = ?"),
                        {pointer, email});
        } else {
            data::write(c, QStringLiteral("reader_title"),
                        QStringLiteral("DELETE FROM reader_title WHERE pointer = ? AND reader_id IN (SELECT reader_id "
                                       "FROM reader WHERE email = ?)"),
                        {pointer, email});
        }
        data::write(c, QStringLiteral("alert_request"),
                    QStringLiteral("UPDATE alert_request SET done = NOW() WHERE token = ?"), {open.text(i, u"token"_s)});
        t.commit();
    }
    return open.rowCount();
}

// A confirmation for each request made on the report server and not yet mailed.
int queueConfirmations(data::Connection& c, const MailSettings& m, const QDate& today) {
    const data::Result open = c.query(
        QStringLiteral("SELECT r.token, r.email, r.action, r.pointer, m.Magazine_Name FROM alert_request r LEFT JOIN "
                       "magazine m ON m.Pointer = r.pointer WHERE r.mailed IS NULL AND r.done IS NULL "
                       "AND r.confirmed IS NULL"));
    int queued = 0;
    for (int i = 0; i < open.rowCount(); ++i) {
        const QString email = open.text(i, u"email"_s).trimmed(), title = open.text(i, u"Magazine_Name"_s);
        data::Transaction t(c);
        if (data::write(c, QStringLiteral("alert_request"),
                        QStringLiteral("UPDATE alert_request SET mailed = NOW() WHERE token = ? AND mailed IS NULL"),
                        {open.text(i, u"token"_s)}) == 1 &&
            isMailAddress(email)) {
            const bool follow = open.text(i, u"action"_s) == QLatin1String("F");
            const QString what = follow ? QStringLiteral("รับแจ้งเมื่อวารสาร \"%1\" ฉบับใหม่มาถึง").arg(title)
                                        : QStringLiteral("เลิกรับแจ้งวารสาร \"%1\"").arg(title);
            const QString url = link(m, open.text(i, u"token"_s));
            queueMail(c, {}, today, open.text(i, u"token"_s), email, m, QStringLiteral("ยืนยันการ") + what,
                      QStringLiteral("มีผู้ขอให้ที่อยู่อีเมลนี้%1\nหากท่านเป็นผู้ขอ กรุณายืนยันที่\n%2\n"
                                     "หากไม่ได้ขอ ไม่ต้องทำอะไร คำขอจะไม่มีผล\n")
                          .arg(what, url),
                      QStringLiteral("<p>มีผู้ขอให้ที่อยู่อีเมลนี้%1</p><p>หากท่านเป็นผู้ขอ กรุณา<a href=\"%2\">ยืนยันที่นี่</a>"
                                     "</p><p>หากไม่ได้ขอ ไม่ต้องทำอะไร คำขอจะไม่มีผล</p>")
                          .arg(html(what), html(url)));
            ++queued;
        }
        t.commit();
    }
    return queued;
}

// The alert of one reader: every issue still to be told, with its articles indexed so far.
bool composeAlert(data::Connection& c, const MailSettings& m, const QDate& today, qint64 reader) {
    data::Transaction t(c);
    const data::Result who =
        c.query(QStringLiteral("SELECT email, reader_name FROM reader WHERE reader_id = ?"), {reader});
    if (who.isEmpty())
        return false;
    // The reader's pending issues, held until this mail is written (a check-in or an article
    // meanwhile waits, and queues its issue again for the next mail).
    const data::Result issues = c.query(
        QStringLiteral("SELECT a.magno, t.pointer, m.Magazine_Name, t.yearno, t.itemsno, t.DescriptionItem FROM "
                       "alert_issue a JOIN tranfile t ON t.magno = a.magno JOIN magazine m ON m.Pointer = t.pointer "
                       "WHERE a.reader_id = ? AND a.pending = 1 ORDER BY m.Magazine_Name, t.pointer, t.daily, t.magno "
                       "FOR UPDATE"),
        {reader});
    if (issues.isEmpty())
        return false;
    if (!c.query(QStringLiteral("SELECT 1 FROM alert_mail WHERE reader_id = ? AND day = ?"), {reader, today}).isEmpty())
        return false; // told today already: the rest waits for tomorrow
    const QString email = who.text(0, u"email"_s).trimmed();
    QString text = QStringLiteral("เรียน %1\n\nวารสารที่ท่านติดตามมีฉบับใหม่เข้าห้องสมุดแล้ว\n").arg(who.text(0, u"reader_name"_s).simplified());
    QString body = QStringLiteral("<p>เรียน %1</p><p>วารสารที่ท่านติดตามมีฉบับใหม่เข้าห้องสมุดแล้ว</p>\n")
                       .arg(html(who.text(0, u"reader_name"_s).simplified()));
    QStringList titles;
    QString lastTitle;
    for (int i = 0; i < issues.rowCount(); ++i) {
        const QString pointer = issues.text(i, u"pointer"_s).trimmed(), name = issues.text(i, u"Magazine_Name"_s);
        if (pointer != lastTitle) {
            if (!lastTitle.isEmpty())
                body += QStringLiteral("</ul>\n");
            // Each title's stop link: a request of its own, mailed with this alert.
            const QString token = newToken();
            data::write(c, QStringLiteral("alert_request"),
                        QStringLiteral("INSERT INTO alert_request (token, email, pointer, action, mailed) VALUES "
                                       "(?, ?, ?, 'S', NOW())"),
                        {token, email, pointer});
            text += QStringLiteral("\n%1\n(เลิกรับแจ้งวารสารนี้: %2)\n").arg(name, link(m, token));
            body += QStringLiteral("<h3>%1</h3><p><a href=\"%2\">เลิกรับแจ้งวารสารนี้</a></p><ul>\n")
                        .arg(html(name), html(link(m, token)));
            titles << name;
            lastTitle = pointer;
        }
        const QString issue =
            QStringLiteral("ปีที่ %1 ฉบับที่ %2 %3")
                .arg(issues.text(i, u"yearno"_s).trimmed(), issues.text(i, u"itemsno"_s).trimmed(), issues.text(i, u"DescriptionItem"_s).trimmed())
                .trimmed();
        text += QStringLiteral("  - %1\n").arg(issue);
        body += QStringLiteral("<li>%1").arg(html(issue));
        const data::Result articles =
            c.query(QStringLiteral(
                        "SELECT a.Article_Name, a.pages, (SELECT GROUP_CONCAT(n.penname ORDER BY f.seqno SEPARATOR "
                        "', ') FROM mauthfile f JOIN authname n ON n.idno = f.idno WHERE f.article_no = "
                        "a.article_no) AS authors FROM article a WHERE a.pointer = ? AND TRIM(a.year) = ? AND TRIM(a.volume) = ? "
                        "ORDER BY a.article_no"),
                    {pointer, issues.text(i, u"yearno"_s).trimmed(), issues.text(i, u"itemsno"_s).trimmed()});
        if (!articles.isEmpty())
            body += QStringLiteral("<ul>");
        for (int a = 0; a < articles.rowCount(); ++a) {
            QString line = articles.text(a, u"Article_Name"_s).simplified();
            if (!articles.text(a, u"authors"_s).isEmpty())
                line += QStringLiteral(" / ") + articles.text(a, u"authors"_s);
            if (!articles.text(a, u"pages"_s).trimmed().isEmpty())
                line += QStringLiteral(" หน้า ") + articles.text(a, u"pages"_s).trimmed();
            text += QStringLiteral("      * %1\n").arg(line);
            body += QStringLiteral("<li>%1</li>").arg(html(line));
        }
        body += articles.isEmpty() ? QStringLiteral("</li>\n") : QStringLiteral("</ul></li>\n");
    }
    body += QStringLiteral("</ul>\n");
    queueMail(c, reader, today, {}, email, m,
              QStringLiteral("วารสารฉบับใหม่: %1").arg(titles.join(QStringLiteral(", "))).left(400), text, body);
    const qint64 mail = c.query(QStringLiteral("SELECT LAST_INSERT_ID()")).value(0, 0).toLongLong();
    for (int i = 0; i < issues.rowCount(); ++i)
        data::write(c, QStringLiteral("alert_issue"),
                    QStringLiteral("UPDATE alert_issue SET pending = 0, mail_id = ? WHERE reader_id = ? AND magno = ?"),
                    {mail, reader, issues.text(i, u"magno"_s)});
    t.commit();
    return true;
}

// "Wed, 09 Dec 2026 09:40:00 +0700"
QByteArray dateHeader(const QDateTime& now) {
    const int offset = now.offsetFromUtc() / 60;
    return (QLocale::c().toString(now, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")) +
            QStringLiteral("%1%2%3")
                .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
                .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0')))
        .toLatin1();
}

Sent smtp(const MailSettings& m, const Mail& mail) {
    const QString &to = mail.to, &id = mail.messageId, &subject = mail.subject, &text = mail.text, &body = mail.html;
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    const QByteArray url = m.url.toUtf8(), from = QStringLiteral("<%1>").arg(m.from).toUtf8(),
                     rcpt = QStringLiteral("<%1>").arg(to).toUtf8(), user = m.user.toUtf8(),
                     password = m.password.toUtf8();
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.constData());
    curl_easy_setopt(curl.get(), CURLOPT_USE_SSL,
                     m.tls == QLatin1String("no")    ? long(CURLUSESSL_NONE)
                     : m.tls == QLatin1String("try") ? long(CURLUSESSL_TRY)
                                                     : long(CURLUSESSL_ALL));
    if (!m.user.isEmpty()) {
        curl_easy_setopt(curl.get(), CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl.get(), CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(curl.get(), CURLOPT_MAIL_FROM, from.constData());
    std::unique_ptr<curl_slist, void (*)(curl_slist*)> rcpts(curl_slist_append(nullptr, rcpt.constData()),
                                                             curl_slist_free_all);
    curl_easy_setopt(curl.get(), CURLOPT_MAIL_RCPT, rcpts.get());
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, long(m.timeoutSeconds));
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    const QByteArray headerLines[] = {"Date: " + dateHeader(QDateTime::currentDateTime()),
                                      "From: " + encodedWords(QStringLiteral("ฝ่ายวารสาร")) + " " + from,
                                      "To: " + rcpt,
                                      "Message-ID: " + id.toLatin1(),
                                      "Subject: " + encodedWords(subject),
                                      "Auto-Submitted: auto-generated"};
    curl_slist* headers = nullptr;
    for (const QByteArray& h : headerLines)
        headers = curl_slist_append(headers, h.constData());
    std::unique_ptr<curl_slist, void (*)(curl_slist*)> headerList(headers, curl_slist_free_all);
    curl_easy_setopt(curl.get(), CURLOPT_HTTPHEADER, headers);
    // multipart/mixed holding multipart/alternative: the text, then the HTML.
    std::unique_ptr<curl_mime, void (*)(curl_mime*)> mime(curl_mime_init(curl.get()), curl_mime_free);
    curl_mime* alternative = curl_mime_init(curl.get());
    const QByteArray textBytes = text.toUtf8(), htmlBytes = (QStringLiteral("<!DOCTYPE html><html><head><meta "
                                                                            "charset=\"utf-8\"></head><body>") +
                                                             body + QStringLiteral("</body></html>"))
                                                                .toUtf8();
    for (const auto& [bytes, type] :
         {std::pair{&textBytes, "text/plain; charset=utf-8"}, std::pair{&htmlBytes, "text/html; charset=utf-8"}}) {
        curl_mimepart* part = curl_mime_addpart(alternative);
        curl_mime_data(part, bytes->constData(), size_t(bytes->size()));
        curl_mime_type(part, type);
        curl_mime_encoder(part, "base64");
    }
    curl_mimepart* holder = curl_mime_addpart(mime.get());
    curl_mime_subparts(holder, alternative); // now the holder's
    curl_mime_type(holder, "multipart/alternative");
    curl_easy_setopt(curl.get(), CURLOPT_MIMEPOST, mime.get());
    char detail[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, detail);
    // The server's own words of its first refusal ("550 5.1.1 <x@y>: recipient unknown"), for the desk.
    QByteArray lastReply;
    curl_easy_setopt(
        curl.get(), CURLOPT_DEBUGFUNCTION, +[](CURL*, curl_infotype type, char* data, size_t size, void* keep) {
            auto* kept = static_cast<QByteArray*>(keep);
            if (type == CURLINFO_HEADER_IN && kept->isEmpty() && size > 0 && (data[0] == '4' || data[0] == '5'))
                *kept = QByteArray(data, qsizetype(size)).trimmed();
            return 0;
        });
    curl_easy_setopt(curl.get(), CURLOPT_DEBUGDATA, &lastReply);
    curl_easy_setopt(curl.get(), CURLOPT_VERBOSE, 1L);
    const CURLcode r = curl_easy_perform(curl.get());
    long code = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &code);
    Sent s;
    s.accepted = r == CURLE_OK;
    s.refused = !s.accepted && code >= 500 && code < 600;
    // A refusal keeps the server's own words; where no server answered, the desk reads why in
    // Thai first, the technical words after.
    const QString technical =
        QStringLiteral("%1: %2").arg(QString::fromUtf8(curl_easy_strerror(r)), QString::fromUtf8(detail));
    if (!s.accepted)
        s.error =
            (code >= 400 && !lastReply.isEmpty()
                 ? QStringLiteral("%1 (%2)").arg(QString::fromUtf8(lastReply), QString::fromUtf8(curl_easy_strerror(r)))
             : code == 0 ? QStringLiteral("ติดต่อเซิร์ฟเวอร์อีเมลไม่ได้ จะส่งอีกครั้งในรอบถัดไป (%1)").arg(technical)
                         : QStringLiteral("เซิร์ฟเวอร์อีเมลตอบรหัส %1 จะส่งอีกครั้งในรอบถัดไป (%2)").arg(code).arg(technical))
                .left(1000);
    return s;
}

class SmtpTransport : public Transport {
public:
    explicit SmtpTransport(MailSettings m) : m_(std::move(m)) {}
    Sent send(const Mail& mail) override { return smtp(m_, mail); }

private:
    MailSettings m_;
};

} // namespace

std::unique_ptr<Transport> smtpTransport(const MailSettings& settings) {
    return std::make_unique<SmtpTransport>(settings);
}

bool moveMail(data::Connection& c, const QVariant& mail, MailState to, const QString& why, bool byMessageId) {
    // Each state, the states it may be reached from and what else changes with it.
    struct Move {
        MailState to;
        const char* state;
        const char* from;
        const char* also;
    };
    static const Move moves[] = {
        {MailState::Sending, "sending", "'queued', 'sending'", ", attempts = attempts + 1"},
        {MailState::Sent, "sent", "'sending'", ", sent_at = NOW(), last_error = NULL"},
        {MailState::Queued, "queued", "'sending'", ", last_error = ?"},
        {MailState::Refused, "refused", "'queued', 'sending'", ", last_error = ?"},
        {MailState::Bounced, "bounced", "'sent'", ", last_error = ?"},
    };
    for (const Move& m : moves) {
        if (m.to != to)
            continue;
        const bool withWhy = QByteArray(m.also).contains('?');
        data::Params params;
        if (withWhy)
            params << why.left(1000);
        params << mail;
        return data::write(c, QStringLiteral("alert_mail"),
                           QStringLiteral("UPDATE alert_mail SET state = '%1'%2 WHERE %3 = ? AND state IN (%4)")
                               .arg(QLatin1String(m.state), QLatin1String(m.also),
                                    byMessageId ? QStringLiteral("message_id") : QStringLiteral("mail_id"),
                                    QLatin1String(m.from)),
                           params) > 0;
    }
    return false;
}

QString newToken() {
    QString t;
    for (int i = 0; i < 4; ++i)
        t += QStringLiteral("%1").arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    return t;
}

bool isMailAddress(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^[A-Za-z0-9.!#$%&'*+/=?^_`{|}~-]+@[A-Za-z0-9](?:[A-Za-z0-9-]{0,62}[A-Za-z0-9])?"
                       "(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]{0,62}[A-Za-z0-9])?)+$"));
    return text.size() <= 254 && form.match(text).hasMatch();
}

QByteArray encodedWords(const QString& text) {
    // Each word at most 75 characters: 45 bytes of UTF-8 a word, never splitting a character.
    const QString flat = text.simplified();
    QList<QByteArray> words;
    QByteArray chunk;
    for (int i = 0; i < flat.size(); ++i) {
        const int n = flat.at(i).isHighSurrogate() && i + 1 < flat.size() ? 2 : 1;
        const QByteArray ch = flat.mid(i, n).toUtf8();
        i += n - 1;
        if (chunk.size() + ch.size() > 45) {
            words << chunk;
            chunk.clear();
        }
        chunk += ch;
    }
    if (!chunk.isEmpty() || words.isEmpty())
        words << chunk;
    QByteArray out;
    for (const QByteArray& w : words)
        out += (out.isEmpty() ? "" : "\r\n ") + QByteArray("=?UTF-8?B?") + w.toBase64() + "?=";
    return out;
}

void recordRequest(data::Connection& requests, const QString& token, const QString& email, const QString& pointer,
                   const QString& action, const QString& readerName) {
    try {
        requests.exec(QStringLiteral("INSERT INTO alert_request (token, email, pointer, action, reader_name) VALUES "
                                     "(?, ?, ?, ?, ?)"),
                      {token, email, pointer, action, readerName});
    } catch (const data::DbError& e) {
        // A request account granted before readers gave their names may not write it: the
        // request is kept without the name rather than lost.
        if (e.nativeCode() != 1143)
            throw;
        requests.exec(QStringLiteral("INSERT INTO alert_request (token, email, pointer, action) VALUES (?, ?, ?, ?)"),
                      {token, email, pointer, action});
    }
}

bool confirmRequest(data::Connection& requests, const QString& token) {
    return requests.exec(QStringLiteral("UPDATE alert_request SET confirmed = NOW() WHERE token = ? AND confirmed IS "
                                        "NULL AND requested > NOW() - INTERVAL 14 DAY"),
                         {token}) == 1;
}

int recordBounce(data::Connection& c, const QByteArray& notification) {
    const QString text = QString::fromUtf8(notification);
    static const QRegularExpression diagnostic(QStringLiteral("^(?:Diagnostic-Code|Status):[ \\t]*(.+)$"),
                                               QRegularExpression::MultilineOption |
                                                   QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression id(QStringLiteral("<[^<>@\\s]+@[^<>\\s]+>"));
    QStringList said;
    for (auto it = diagnostic.globalMatch(text); it.hasNext();)
        said << it.next().captured(1).trimmed();
    const QString why = said.isEmpty() ? QStringLiteral("ตีกลับ (ไม่มีรายละเอียด)") : said.join(QStringLiteral("; "));
    int marked = 0;
    for (auto it = id.globalMatch(text); it.hasNext();)
        marked += moveMail(c, it.next().captured(0), MailState::Bounced, why, true) ? 1 : 0;
    return marked;
}

RunReport run(data::Connection& c, const MailSettings& m, const QDate& today) {
    return run(c, m, today, *smtpTransport(m));
}

RunReport run(data::Connection& c, const MailSettings& m, const QDate& today, Transport& transport) {
    RunReport report;
    const data::ServerLock lock(c, QStringLiteral(".alerts"));
    if (!lock.held()) {
        report.problems << QStringLiteral("another run is sending alerts; this one did nothing");
        return report;
    }
    report.applied = applyConfirmed(c);
    report.composed = queueConfirmations(c, m, today);
    const data::Result readers =
        c.query(QStringLiteral("SELECT DISTINCT reader_id FROM alert_issue WHERE pending = 1 ORDER BY reader_id"));
    for (int i = 0; i < readers.rowCount(); ++i)
        report.composed += composeAlert(c, m, today, readers.value(i, u"reader_id"_s).toLongLong()) ? 1 : 0;
    // A mail left "sending" by a run that stopped is sent again under the same Message-ID.
    const data::Result outbox = c.query(
        QStringLiteral("SELECT mail_id, recipient, message_id, subject, body_text, body_html FROM alert_mail WHERE "
                       "state IN ('queued', 'sending') ORDER BY mail_id"));
    for (int i = 0; i < outbox.rowCount(); ++i) {
        const QVariant id = outbox.value(i, u"mail_id"_s);
        const Mail mail{outbox.text(i, u"recipient"_s).trimmed(), outbox.text(i, u"message_id"_s),
                        outbox.text(i, u"subject"_s), outbox.text(i, u"body_text"_s), outbox.text(i, u"body_html"_s)};
        if (!isMailAddress(mail.to)) {
            moveMail(c, id, MailState::Refused, QStringLiteral("ที่อยู่อีเมลไม่ถูกต้อง"));
            ++report.refused;
            report.problems << QStringLiteral("%1: not a mail address").arg(mail.to);
            continue;
        }
        moveMail(c, id, MailState::Sending);
        const Sent s = transport.send(mail);
        if (s.accepted) {
            moveMail(c, id, MailState::Sent);
            ++report.sent;
            continue;
        }
        moveMail(c, id, s.refused ? MailState::Refused : MailState::Queued, s.error);
        ++(s.refused ? report.refused : report.failed);
        report.problems << QStringLiteral("%1: %2").arg(mail.to, s.error);
    }
    return report;
}

} // namespace alerts
