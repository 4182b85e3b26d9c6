#pragma once

#include "data/Columns.h"
#include "data/Connection.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace titles {

// A reader who follows titles for new-issue alerts: name, mail address, faculty code (empty:
// none) and the codes of the titles followed.
struct Reader {
    qint64 id = 0;
    QString name;
    QString email;
    QString faculty;
    QStringList titles;
};

// A reader as the register shows one: the row as read (an edit must still find it), the titles
// followed with their names, the mail sent, and the issues still to be told of.
struct ReaderShown {
    Reader reader;
    data::ShownRow row;
    QList<QPair<QString, QString>> titles; // code, name (empty for a title no longer registered)
    QList<QStringList> mails;              // date, subject, state, attempts, the server's refusal
    int pending = 0;                       // issues waiting for the next mail
    bool toldToday = false;                // today's mail went already (one a reader a day)
};

// The reader register: readers, the titles they follow, and what was mailed to them.
namespace ReaderStore {

// Readers whose name or address contains `text` (matched literally): id and "name  <address>".
QList<QPair<QString, QString>> search(data::Connection& c, const QString& text);
std::optional<ReaderShown> find(data::Connection& c, qint64 id, const QDate& today);
// A new reader and the titles followed, in one transaction; gives the reader's id. Refused when
// the address is registered already (by another station meanwhile too).
data::Saved<qint64> add(data::Connection& c, const Reader& r);
// The reader's name, address and faculty, provided the row still holds `shown`, and the titles
// followed made exactly `r.titles`, in one transaction. Refused when the new address is
// another reader's.
data::EditOutcome update(data::Connection& c, const Reader& r, const data::ShownRow& shown);
// The reader, the titles followed and the issues not yet mailed, in one transaction.
void remove(data::Connection& c, qint64 id);

} // namespace ReaderStore

} // namespace titles
