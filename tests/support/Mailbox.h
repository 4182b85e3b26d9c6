#pragma once

#include "support/Names.h"

namespace testsupport {

// A mail server of aiosmtpd's on a free port (tests/support/smtp_server.py) keeping each
// message it takes; refuses recipients whose address holds "refuse"; dropDuringNext() makes it
// cut the connection in the middle of the next message.
class Mailbox {
public:
    Mailbox() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
        probe.close();
        server.start(u"/usr/bin/python3"_s, {QStringLiteral(WARASAN_SOURCE_DIR "/tests/support/smtp_server.py"),
                                             QString::number(port), folder.path()});
        server.waitForReadyRead(15000);
    }
    ~Mailbox() {
        server.kill();
        server.waitForFinished();
    }
    QString url() const { return u"smtp://127.0.0.1:%1"_s.arg(port); }
    void dropDuringNext() { QFile(folder.filePath(u"drop"_s)).open(QIODevice::WriteOnly); }

    // Each message as a reader's mail program shows it: its headers' names, the decoded
    // subject, sender, recipient, Message-ID, and the text and HTML parts.
    struct Message {
        QStringList headers;
        QString subject, from, to, id, text, html;
    };
    QList<Message> messages() const {
        QList<Message> out;
        for (int n = 1; QFile::exists(folder.filePath(u"%1.eml"_s.arg(n))); ++n) {
            QProcess p;
            p.start(u"/usr/bin/python3"_s,
                    {u"-c"_s,
                     u"import email,email.policy,json,sys\n"
                     "m=email.message_from_binary_file(open(sys.argv[1],'rb'),policy=email.policy.default)\n"
                     "print(json.dumps({'headers':list(m.keys()),'subject':m['subject'],'to':m['to'],"
                     "'from':m['from'],'id':m['message-id'],'text':m.get_body(('plain',)).get_content(),"
                     "'html':m.get_body(('html',)).get_content()}))"_s,
                     folder.filePath(u"%1.eml"_s.arg(n))});
            p.waitForFinished();
            const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
            QStringList headers;
            for (const QJsonValue& h : o.value(u"headers"_s).toArray())
                headers << h.toString();
            out.append({headers, o.value(u"subject"_s).toString(), o.value(u"from"_s).toString(), o.value(u"to"_s).toString(),
                        o.value(u"id"_s).toString(), o.value(u"text"_s).toString(), o.value(u"html"_s).toString()});
        }
        return out;
    }

private:
    QTemporaryDir folder;
    QProcess server;
    int port = 0;
};

} // namespace testsupport
