#include "rules/titles/ReaderStore.h"

#include "data/Counter.h"
#include "data/DbError.h"
#include "data/Like.h"
#include "data/Refused.h"
#include "data/SaveGate.h"

using namespace Qt::StringLiterals;

namespace titles::ReaderStore {

namespace {

const QStringList readerColumns = {u"reader_name"_s, u"email"_s, u"department_code"_s};

data::Params readerValues(const Reader& r) {
    return {r.name.trimmed(), r.email.trimmed(), r.faculty.isEmpty() ? QVariant() : QVariant(r.faculty)};
}

// The titles `id` follows made exactly `codes`: those left out go, the others are added once.
void followExactly(data::Connection& c, qint64 id, const QStringList& codes) {
    const data::Result had = c.query(u"SELECT pointer FROM reader_title WHERE reader_id = ?"_s, {id});
    for (int i = 0; i < had.rowCount(); ++i)
        if (!codes.contains(had.text(i, u"pointer"_s).trimmed()))
            data::write(c, u"reader_title"_s, u"DELETE FROM reader_title WHERE reader_id = ? AND pointer = ?"_s,
                        {id, had.text(i, u"pointer"_s)});
    for (const QString& code : codes)
        data::write(c, u"reader_title"_s, u"INSERT IGNORE INTO reader_title (reader_id, pointer) VALUES (?, ?)"_s,
                    {id, code});
}

// A duplicate address, found by the server's unique key whoever wrote the other row, as a
// refusal in words.
template <class F> auto refusingDuplicate(const QString& email, F&& unit) {
    try {
        return unit();
    } catch (const data::DbError& e) {
        if (e.kind() != data::DbError::Kind::Duplicate)
            throw;
        throw data::Refused(u"อีเมล %1 มีในทะเบียนผู้อ่านแล้ว"_s.arg(email.trimmed()));
    }
}

} // namespace

QList<QPair<QString, QString>> search(data::Connection& c, const QString& text) {
    const QString like = data::likeContains(text.trimmed());
    const data::Result r =
        c.query(u"SELECT reader_id, CONCAT(reader_name, '  <', email, '>') AS shown FROM reader WHERE reader_name "
                "LIKE ? OR email LIKE ? ORDER BY reader_name, email LIMIT 200"_s,
                {like, like});
    QList<QPair<QString, QString>> out;
    for (int i = 0; i < r.rowCount(); ++i)
        out.append({r.text(i, u"reader_id"_s), r.text(i, u"shown"_s)});
    return out;
}

std::optional<ReaderShown> find(data::Connection& c, qint64 id, const QDate& today) {
    const data::Result r =
        c.query(u"SELECT reader_name, email, department_code FROM reader WHERE reader_id = ?"_s, {id});
    if (r.isEmpty())
        return std::nullopt;
    ReaderShown s;
    s.reader = {id, r.text(0, u"reader_name"_s), r.text(0, u"email"_s), r.text(0, u"department_code"_s), {}};
    s.row = {readerColumns, {r.value(0, 0), r.value(0, 1), r.value(0, 2)}};
    const data::Result t =
        c.query(u"SELECT t.pointer, COALESCE(m.Magazine_Name, '') AS name FROM reader_title t LEFT JOIN magazine m "
                "ON m.Pointer = t.pointer WHERE t.reader_id = ? ORDER BY m.Magazine_Name, t.pointer"_s,
                {id});
    for (int i = 0; i < t.rowCount(); ++i) {
        s.titles.append({t.text(i, u"pointer"_s).trimmed(), t.text(i, u"name"_s)});
        s.reader.titles << s.titles.last().first;
    }
    const data::Result mails =
        c.query(u"SELECT DATE_FORMAT(day, '%d/%m/%Y') AS day, subject, state, attempts, COALESCE(last_error, '') AS "
                "refusal FROM alert_mail WHERE reader_id = ? OR (reader_id IS NULL AND recipient = ?) "
                "ORDER BY mail_id DESC LIMIT 100"_s,
                {id, s.reader.email});
    for (int i = 0; i < mails.rowCount(); ++i)
        s.mails << QStringList{mails.text(i, u"day"_s), mails.text(i, u"subject"_s), mails.text(i, u"state"_s),
                               mails.text(i, u"attempts"_s), mails.text(i, u"refusal"_s)};
    const data::Result waiting =
        c.query(u"SELECT (SELECT COUNT(*) FROM alert_issue WHERE reader_id = ? AND pending = 1) AS pending, "
                "EXISTS (SELECT 1 FROM alert_mail WHERE reader_id = ? AND day = ?) AS told"_s,
                {id, id, today});
    s.pending = waiting.value(0, 0).toInt();
    s.toldToday = waiting.value(0, 1).toInt() != 0;
    return s;
}

data::Saved<qint64> add(data::Connection& c, const Reader& r) {
    qint64 id = 0;
    const data::Commit commit = refusingDuplicate(r.email, [&] {
        return data::retryingTransaction(
            c,
            [&] {
                if (!c.query(u"SELECT 1 FROM reader WHERE email = ?"_s, {r.email.trimmed()}).isEmpty())
                    throw data::Refused(u"อีเมล %1 มีในทะเบียนผู้อ่านแล้ว"_s.arg(r.email.trimmed()));
                data::write(c, u"reader"_s,
                            u"INSERT INTO reader (reader_name, email, department_code) VALUES (?, ?, ?)"_s,
                            readerValues(r));
                id = c.query(u"SELECT LAST_INSERT_ID()"_s).value(0, 0).toLongLong();
                followExactly(c, id, r.titles);
            },
            [&] { return !c.query(u"SELECT 1 FROM reader WHERE email = ?"_s, {r.email.trimmed()}).isEmpty(); });
    });
    return {id, commit};
}

data::EditOutcome update(data::Connection& c, const Reader& r, const data::ShownRow& shown) {
    data::EditOutcome outcome = data::EditOutcome::Saved;
    refusingDuplicate(r.email, [&] {
        return data::retryingTransaction(c, [&] {
            outcome = data::updateIfUnchanged(c, u"reader"_s, u"reader_id"_s, r.id, readerColumns, readerValues(r),
                                              shown);
            if (outcome == data::EditOutcome::Saved)
                followExactly(c, r.id, r.titles);
        });
    });
    return outcome;
}

void remove(data::Connection& c, qint64 id) {
    data::retryingTransaction(c, [&] {
        data::write(c, u"reader_title"_s, u"DELETE FROM reader_title WHERE reader_id = ?"_s, {id});
        data::write(c, u"alert_issue"_s, u"DELETE FROM alert_issue WHERE reader_id = ? AND pending = 1"_s, {id});
        data::write(c, u"reader"_s, u"DELETE FROM reader WHERE reader_id = ?"_s, {id});
    });
}

} // namespace titles::ReaderStore
