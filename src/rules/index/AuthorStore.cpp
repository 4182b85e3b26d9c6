#include "rules/index/AuthorStore.h"
#include "data/Like.h"
#include "data/LookUp.h"
#include "data/SaveGate.h"

#include "data/Counter.h"
#include "data/Numbering.h"

using namespace Qt::StringLiterals;

namespace indexing {

QString padded7(qint64 n) {
    return data::numbering(data::Numbered::Author).code(n);
}

QString nextCode7(const QString& code) {
    return padded7(data::leadingNumber(code) + 1);
}

namespace AuthorStore {

namespace {

Author fromRow(const data::Result& r, int i) {
    return {r.text(i, u"idno"_s), r.text(i, u"penname"_s), r.text(i, u"trueidno"_s).trimmed()};
}

void checkNames(const QString& name, bool penName, const QString& trueName) {
    if (name.trimmed().isEmpty())
        throw data::Refused(QStringLiteral("กรุณากรอกชื่อ - นามสกุลของผู้แต่ง"));
    if (penName && trueName.trimmed().isEmpty())
        throw data::Refused(QStringLiteral("กรุณากรอกชื่อ - นามสกุล(จริง) ของเจ้าของนามปากกา"));
}

// The counter's code under a row lock; refuses a counter that is missing or holds no code.
QString lockedCounter(data::Connection& c) {
    const data::Result r = c.query(QStringLiteral("SELECT idno_ctrl FROM authctrl LIMIT 1 FOR UPDATE"));
    if (r.isEmpty())
        throw data::Refused(QStringLiteral("ไม่พบแถวของตัวนับรหัสผู้แต่ง (authctrl) ข้อมูลไม่ได้ถูกบันทึก กรุณาติดต่อผู้ดูแลระบบ"));
    const QString code = r.text(0, 0).trimmed();
    if (const auto value = data::counterValue(code))
        return padded7(*value); // written by hand without its padding, it still gives a proper code
    throw data::Refused(QStringLiteral("ตัวนับรหัสผู้แต่ง (authctrl) มีค่า \"%1\" ซึ่งไม่ใช่ตัวเลข ข้อมูลไม่ได้ถูกบันทึก "
                                       "กรุณาติดต่อผู้ดูแลระบบ")
                            .arg(code));
}

void setCounter(data::Connection& c, const QString& code) {
    data::write(c, QStringLiteral("authctrl"), QStringLiteral("UPDATE authctrl SET idno_ctrl = ? LIMIT 1"), {code});
}

void insertAuthor(data::Connection& c, const QString& idno, const QString& name, const QString& trueIdno) {
    data::write(c, QStringLiteral("authname"),
                QStringLiteral("INSERT INTO authname (idno, penname, trueidno) VALUES (?, ?, ?)"),
                {idno, name.trimmed(), trueIdno});
}

std::optional<QString> codeOfName(data::Connection& c, const QString& name) {
    const data::Result r = data::lookUp(
        c, QStringLiteral("SELECT idno FROM authname WHERE penname = ? ORDER BY idno LIMIT 1"), {name.trimmed()});
    if (r.isEmpty())
        return std::nullopt;
    return r.text(0, 0).trimmed();
}

} // namespace

QList<Author> search(data::Connection& c, const QString& code, const QString& namePrefix) {
    QStringList where;
    data::Params params;
    if (!code.trimmed().isEmpty()) {
        where << QStringLiteral("idno = ?");
        params << code.trimmed();
    }
    if (!namePrefix.trimmed().isEmpty()) {
        where << QStringLiteral("penname LIKE ?");
        params << data::likePrefix(namePrefix.trimmed());
    }
    if (where.isEmpty())
        return {};
    const data::Result r = data::lookUp(c,
                                        QStringLiteral("SELECT idno, penname, trueidno FROM authname WHERE %1 "
                                                       "ORDER BY penname, idno")
                                            .arg(where.join(QStringLiteral(" AND "))),
                                        params);
    QList<Author> out;
    out.reserve(r.rowCount());
    for (int i = 0; i < r.rowCount(); ++i)
        out.append(fromRow(r, i));
    return out;
}

QList<Author> startingWith(data::Connection& c, const QString& text) {
    const data::Result r =
        data::lookUp(c,
                     QStringLiteral("SELECT idno, penname, trueidno FROM authname WHERE penname LIKE ? "
                                    "ORDER BY penname, idno"),
                     {data::likePrefix(text.trimmed())});
    QList<Author> out;
    out.reserve(r.rowCount());
    for (int i = 0; i < r.rowCount(); ++i)
        out.append(fromRow(r, i));
    return out;
}

std::optional<Author> find(data::Connection& c, const QString& idno) {
    const data::Result r =
        c.query(QStringLiteral("SELECT idno, penname, trueidno FROM authname WHERE idno = ?"), {idno.trimmed()});
    if (r.isEmpty())
        return std::nullopt;
    return fromRow(r, 0);
}

QString expectedCode(data::Connection& c) {
    const data::Result r = c.query(QStringLiteral("SELECT idno_ctrl FROM authctrl LIMIT 1"));
    const auto value = r.isEmpty() ? std::nullopt : data::counterValue(r.text(0, 0));
    return value ? padded7(*value) : r.isEmpty() ? QString() : r.text(0, 0).trimmed();
}

SavedAuthor add(data::Connection& c, const QString& name, bool penName, const QString& trueName) {
    checkNames(name, penName, trueName);
    SavedAuthor saved;
    const data::Commit commit = data::retryingTransaction(
        c,
        [&] {
            saved = {};
            const QString code = lockedCounter(c);
            saved.idno = code;
            QString next = nextCode7(code);
            if (penName) {
                if (const auto existing = codeOfName(c, trueName)) {
                    saved.trueIdno = *existing;
                } else {
                    // The true name is new: it takes the code after the pen name's.
                    saved.trueIdno = next;
                    saved.trueNameCreated = true;
                    insertAuthor(c, saved.trueIdno, trueName, QString());
                    next = nextCode7(saved.trueIdno);
                }
            }
            insertAuthor(c, code, name, saved.trueIdno);
            setCounter(c, next);
        },
        [&] {
            return !c.query(QStringLiteral("SELECT 1 FROM authname WHERE idno = ? AND BINARY penname = BINARY ?"),
                            {saved.idno, name.trimmed()})
                        .isEmpty();
        });
    saved.commit = commit;
    return saved;
}

AuthorEdit update(data::Connection& c, const Author& shown, const QString& name, bool penName,
                  const QString& trueName) {
    checkNames(name, penName, trueName);
    AuthorEdit edit;
    const QString idno = shown.idno.trimmed();
    data::retryingTransaction(c, [&] {
        edit = {};
        const data::Result now =
            c.query(QStringLiteral("SELECT penname, trueidno FROM authname WHERE idno = ? FOR UPDATE"), {idno});
        if (now.isEmpty())
            return;
        if (now.text(0, u"penname"_s) != shown.penname ||
            now.text(0, u"trueidno"_s).trimmed() != shown.trueIdno.trimmed()) {
            edit.outcome = data::EditOutcome::ChangedElsewhere;
            return;
        }
        SavedAuthor s;
        s.idno = idno;
        if (penName) {
            if (const auto existing = codeOfName(c, trueName)) {
                s.trueIdno = *existing;
            } else {
                s.trueIdno = lockedCounter(c);
                s.trueNameCreated = true;
                insertAuthor(c, s.trueIdno, trueName, QString());
                setCounter(c, nextCode7(s.trueIdno));
            }
            data::write(c, QStringLiteral("authname"),
                        QStringLiteral("UPDATE authname SET penname = ?, trueidno = ? WHERE idno = ?"),
                        {name.trimmed(), s.trueIdno, s.idno});
        } else {
            // No longer marked as a pen name: the stored link stays as it was.
            data::write(c, QStringLiteral("authname"), QStringLiteral("UPDATE authname SET penname = ? WHERE idno = ?"),
                        {name.trimmed(), s.idno});
        }
        edit = {data::EditOutcome::Saved, s};
    });
    return edit;
}

} // namespace AuthorStore

} // namespace indexing
