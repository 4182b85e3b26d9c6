#pragma once

#include "data/Connection.h"

#include <QDate>
#include <QStringList>
#include <memory>

namespace alerts {

// How mail leaves: the SMTP server (smtp://host:port, or smtps:// for TLS from the start),
// STARTTLS ("required", "try" or "no"), the account, the sender, and the address the links in
// the mails begin with (the report server's).
struct MailSettings {
    QString url;
    QString tls = QStringLiteral("required");
    QString user, password;
    QString from;
    QString linkRoot;
    int timeoutSeconds = 60;
};

// A mail of the outbox as it is handed to a transport.
struct Mail {
    QString to;
    QString messageId;
    QString subject;
    QString text; // the plain-text part
    QString html; // the HTML part's body
};

// What a transport made of a mail: taken by the mail server, refused for good (5xx: not tried
// again), or neither (no answer, a temporary refusal: tried in the next run); `error` in words.
struct Sent {
    bool accepted = false, refused = false;
    QString error;
};

// How mail leaves: the outbox hands each mail to a transport and records what it said.
class Transport {
public:
    virtual ~Transport() = default;
    virtual Sent send(const Mail& mail) = 0;
};
// SMTP through libcurl, as `settings` say.
std::unique_ptr<Transport> smtpTransport(const MailSettings& settings);

// The outbox's states: queued → sending → sent, or back to queued (no answer, a temporary
// refusal) or refused (a permanent refusal); queued → refused (not a mail address); sent →
// bounced (a delivery report came back).
enum class MailState { Queued, Sending, Sent, Refused, Bounced };
// Moves one mail (by its id, or by its Message-ID when `byMessageId`) to `to` where the state
// machine allows it from the state it is in, with the reason kept (`why`); gives whether it moved.
bool moveMail(data::Connection& c, const QVariant& mail, MailState to, const QString& why = {},
              bool byMessageId = false);

// What one run did.
struct RunReport {
    int applied = 0;  // confirmed requests put into effect
    int composed = 0; // alerts and confirmations written to the outbox
    int sent = 0, refused = 0, failed = 0;
    QStringList problems; // each mail not sent, in words
};

// The report server's page a mailed link opens to confirm a request (its token after "?token=").
inline const QString confirmPath = QStringLiteral("alerts/confirm.php");

// A request's token: 128 random bits from the system's generator, as 32 hex digits.
QString newToken();

// Whether a text is a plain mail address (local@domain, no blanks, no angle brackets, no line
// breaks): what the desk and the report server accept.
bool isMailAddress(const QString& text);

// A header's text as RFC 2047 encoded words: any text, Thai or hostile, stays on one line.
QByteArray encodedWords(const QString& text);

// One run, as the timer starts it: confirmed requests put into effect; a confirmation mailed
// for each new request; each reader with issues still to be told gets one alert a day, with the
// issues' articles indexed so far (all written to the outbox in one transaction a mail); then
// every mail of the outbox not yet taken by the mail server is sent. A mail is marked sent only
// once the server took it; a refusal (5xx) is kept and not tried again; anything else leaves it
// for the next run. Only one run at a time: a second one does nothing.
RunReport run(data::Connection& c, const MailSettings& mail, const QDate& today);
// The same, the mail leaving through `transport`.
RunReport run(data::Connection& c, const MailSettings& mail, const QDate& today, Transport& transport);

// A reader's request made on the report server (follow "F" or stop "S" a title), kept under its
// token until the link mailed for it is opened; and that opening (false: no such request, used
// already or older than 14 days). Written through the report server's request account, which
// may write only these columns (so not through the stores' save check, which reads the schema).
void recordRequest(data::Connection& requests, const QString& token, const QString& email, const QString& pointer,
                   const QString& action, const QString& readerName);
bool confirmRequest(data::Connection& requests, const QString& token);

// A bounce (a delivery status notification) that came back for a mail of the outbox: the mail
// it names by its Message-ID is marked bounced, with the report's status and diagnostic. Gives
// how many mails it marked (0: none of ours is named in it).
int recordBounce(data::Connection& c, const QByteArray& notification);

} // namespace alerts
