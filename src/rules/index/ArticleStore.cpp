#include "rules/index/ArticleStore.h"
#include "data/Like.h"
#include "data/LookUp.h"
#include "data/SaveGate.h"

#include "data/Counter.h"
#include "data/NameSearch.h"
#include "data/Numbering.h"
#include "rules/index/AuthorStore.h"

#include <QDateTime>

using namespace Qt::StringLiterals;

namespace indexing::ArticleStore {

QString expectedNumber(data::Connection& c) {
    return counterText(c).trimmed();
}

namespace {

// The pieces of the subjects an article is given, for the subject search (see keepPieces).
void keepSubjectPieces(data::Connection& c, const QString (&subjects)[5]) {
    for (const QString& subject : subjects)
        if (!subject.trimmed().isEmpty())
            data::keepPieces(c, data::subjectTexts, subject.trimmed(), subject.trimmed(), false);
}

} // namespace

QStringList subjectsMatching(data::Connection& c, const QString& text, bool anywhere) {
    const QString typed = text.trimmed();
    const QString pattern = anywhere ? data::likeContains(typed) : data::likePrefix(typed);
    data::Result r;
    // A heading that starts with the text holds it too: the pieces give the candidates either way.
    if (const auto candidates = data::candidates(c, data::subjectTexts, typed)) {
        // Each candidate heading looked up once (not every article's row of it), spelt as the
        // first of its matching rows in the heading index: what grouping those rows gives.
        r = data::lookUp(
            c,
            QStringLiteral("SELECT (SELECT s.subject FROM msubject s WHERE s.subject = g.subject AND s.subject "
                           "LIKE ? LIMIT 1) AS heading FROM (%1) g HAVING heading IS NOT NULL ORDER BY heading")
                .arg(candidates->sql),
            data::Params{pattern} + candidates->values);
    } else {
        r = data::lookUp(
            c,
            QStringLiteral(
                "SELECT subject AS heading FROM msubject WHERE subject LIKE ? GROUP BY subject ORDER BY subject"),
            {pattern});
    }
    QStringList out;
    out.reserve(r.rowCount());
    for (int i = 0; i < r.rowCount(); ++i)
        out << r.text(i, u"heading"_s);
    return out;
}

data::Saved<QString> save(data::Connection& c, const ArticleEntry& e) {
    QString number;
    // Whole seconds, as the column keeps them: the same value finds the row again.
    QDateTime keyed = QDateTime::currentDateTime();
    keyed.setTime(QTime(keyed.time().hour(), keyed.time().minute(), keyed.time().second()));
    const data::Commit commit = data::retryingTransaction(
        c,
        [&] {
            const data::Result counter = c.query(QStringLiteral("SELECT artno_ctrl FROM artctrl LIMIT 1 FOR UPDATE"));
            if (counter.isEmpty())
                throw data::Refused(QStringLiteral("ไม่พบแถวของตัวนับเลขที่บทความ (artctrl) กรุณาติดต่อผู้ดูแลระบบ"));
            const auto value = data::counterValue(counter.text(0, 0));
            if (!value)
                throw data::Refused(QStringLiteral("ตัวนับเลขที่บทความ (artctrl) มีค่า \"%1\" ซึ่งไม่ใช่ตัวเลข "
                                                   "กรุณาติดต่อผู้ดูแลระบบ")
                                        .arg(counter.text(0, 0)));
            number = articleNumber(*value);
            if (!c.query(QStringLiteral("SELECT 1 FROM article WHERE article_no = ?"), {number}).isEmpty())
                data::numberTaken(c,
                                  QStringLiteral("เลขที่บทความ %1 มีบทความอื่นใช้อยู่แล้ว (ตัวนับ artctrl อาจถูกตั้งย้อนหลัง) "
                                                 "กรุณาตรวจสอบเลขทะเบียนดรรชนีวารสาร")
                                      .arg(number),
                                  [](const QString& text) { throw data::Refused(text); });
            data::write(
                c, QStringLiteral("article"),
                QStringLiteral(
                    "INSERT INTO article (article_no, Article_Name, spare, pointer, year, volume, month, pages, "
                    "remark, abstract, keydate) VALUES (?, ?, ' ', ?, ?, ?, ?, ?, ?, ?, ?)"),
                {number, e.title, e.pointer, e.year, e.volume, e.month, e.pages, e.remark, e.abstract, keyed});
            data::keepPieces(c, data::articleTitles, number, e.title, false);
            int seq = 0;
            for (int i = 0; i < 3; ++i)
                if (!e.authorNames[i].trimmed().isEmpty())
                    data::write(
                        c, QStringLiteral("mauthfile"),
                        QStringLiteral(
                            "INSERT INTO mauthfile (article_no, seqno, idno, article_name) VALUES (?, ?, ?, ?)"),
                        {number, ++seq, e.authorIdnos[i].trimmed(), e.title});
            seq = 0;
            for (const QString& subject : e.subjects)
                if (!subject.trimmed().isEmpty())
                    data::write(
                        c, QStringLiteral("msubject"),
                        QStringLiteral(
                            "INSERT INTO msubject (article_no, seqno, subject, article_name) VALUES (?, ?, ?, ?)"),
                        {number, ++seq, subject.trimmed(), e.title});
            keepSubjectPieces(c, e.subjects);
            data::write(c, QStringLiteral("artctrl"), QStringLiteral("UPDATE artctrl SET artno_ctrl = ? LIMIT 1"),
                        {articleNumber(*value + 1)});
        },
        [&] {
            return !c.query(QStringLiteral("SELECT 1 FROM article WHERE article_no = ? "
                                           "AND keydate = ? AND BINARY Article_Name = BINARY ?"),
                            {number, keyed, e.title})
                        .isEmpty();
        });
    return {number, commit};
}

namespace {

const QString nullMark = QStringLiteral("\x01NULL");

void addStamp(QStringList& stamp, const data::Result& r) {
    for (const QVariant& v : r.rows.first())
        stamp << (v.isNull() ? nullMark : v.toString());
}

std::optional<StoredArticle> loadArticle(data::Connection& c, const QString& number, bool lock) {
    const data::Result a = data::lookUp(
        c,
        QStringLiteral("SELECT Article_Name, spare, pointer, year, volume, month, pages, remark, abstract, keydate "
                       "FROM article WHERE article_no = ?") +
            (lock ? QStringLiteral(" FOR UPDATE") : QString()),
        {number});
    if (a.isEmpty())
        return std::nullopt;
    StoredArticle s;
    ArticleEntry& e = s.entry;
    e.title = a.text(0, u"Article_Name"_s);
    e.pointer = a.text(0, u"pointer"_s);
    e.year = a.text(0, u"year"_s);
    e.volume = a.text(0, u"volume"_s);
    e.month = a.text(0, u"month"_s);
    e.pages = a.text(0, u"pages"_s);
    e.remark = a.text(0, u"remark"_s);
    e.abstract = a.text(0, u"abstract"_s);
    addStamp(s.stamp, a);
    const data::Result authors = c.query(
        QStringLiteral("SELECT m.seqno, m.idno, a.penname FROM mauthfile m LEFT JOIN authname a ON a.idno = m.idno "
                       "WHERE m.article_no = ? ORDER BY m.seqno"),
        {number});
    // Every row takes a slot, so a code whose author is gone leaves its slot empty.
    for (int i = 0; i < qMin(3, authors.rowCount()); ++i) {
        if (authors.value(i, u"penname"_s).isNull())
            continue;
        e.authorIdnos[i] = authors.text(i, u"idno"_s);
        e.authorNames[i] = authors.text(i, u"penname"_s);
    }
    const data::Result subjects =
        c.query(QStringLiteral("SELECT seqno, subject FROM msubject WHERE article_no = ? ORDER BY seqno"), {number});
    for (int j = 0; j < qMin(5, subjects.rowCount()); ++j)
        e.subjects[j] = subjects.text(j, u"subject"_s);
    for (const data::Result* r : {&authors, &subjects}) { // their own rows; an author's name is the register's
        for (int i = 0; i < r->rowCount(); ++i)
            s.stamp << r->text(i, u"seqno"_s) << r->text(i, r == &authors ? u"idno"_s : u"subject"_s);
        s.stamp << QStringLiteral("\x01END");
    }
    if (!e.pointer.isEmpty()) {
        const data::Result m =
            c.query(QStringLiteral("SELECT Magazine_Name FROM magazine WHERE Pointer = ?"), {e.pointer.trimmed()});
        if (!m.isEmpty())
            s.journalName = m.text(0, u"Magazine_Name"_s);
    }
    return s;
}

// Replaces the first `count` rows of one of the article's lists by the filled values,
// renumbered from 1; rows after them are left as they are.
void rewriteRows(data::Connection& c, const QString& table, const QString& column, const QString& number,
                 const QString* values, int count, const QString& title) {
    const data::Result rows = c.query(
        QStringLiteral("SELECT seqno FROM %1 WHERE article_no = ? ORDER BY seqno LIMIT %2").arg(table).arg(count),
        {number});
    for (int i = 0; i < rows.rowCount(); ++i)
        data::write(c, table, QStringLiteral("DELETE FROM %1 WHERE article_no = ? AND seqno = ?").arg(table),
                    {number, rows.value(i, u"seqno"_s)});
    int seq = 0;
    for (int i = 0; i < count; ++i)
        if (!values[i].trimmed().isEmpty())
            data::write(c, table,
                        QStringLiteral("INSERT INTO %1 (article_no, seqno, %2, article_name) VALUES (?, ?, ?, ?)")
                            .arg(table, column),
                        {number, ++seq, values[i].trimmed(), title});
}

} // namespace

QString articleNumber(qint64 n) {
    return data::numbering(data::Numbered::Article).code(n);
}

QString numberText(const QString& typed) {
    return articleNumber(data::leadingNumber(typed));
}

std::optional<StoredArticle> load(data::Connection& c, const QString& number) {
    return loadArticle(c, number, false);
}

QList<QPair<QString, QString>> titlesStartingWith(data::Connection& c, const QString& text) {
    const data::Result r = data::lookUp(
        c, QStringLiteral("SELECT article_no, Article_Name FROM article WHERE Article_Name LIKE ? ORDER BY article_no"),
        {data::likePrefix(text.trimmed())});
    QList<QPair<QString, QString>> out;
    out.reserve(r.rowCount());
    for (int i = 0; i < r.rowCount(); ++i)
        out.append({r.text(i, u"article_no"_s), r.text(i, u"Article_Name"_s)});
    return out;
}

std::optional<QString> neighbour(data::Connection& c, const QString& number, bool forward, qint64* limit) {
    const qint64 n = data::leadingNumber(number);
    *limit = qMin<qint64>(9999999, data::leadingNumber(expectedNumber(c)) - 1);
    if (forward ? n >= *limit : n <= 1)
        return std::nullopt;
    // Numbers are stored as seven digits, so their text order is their number order.
    const data::Result r =
        c.query(forward ? QStringLiteral("SELECT article_no FROM article WHERE article_no > ? AND article_no <= ? "
                                         "AND CHAR_LENGTH(article_no) = 7 ORDER BY article_no LIMIT 1")
                        : QStringLiteral("SELECT article_no FROM article WHERE article_no < ? AND article_no >= ? "
                                         "AND CHAR_LENGTH(article_no) = 7 ORDER BY article_no DESC LIMIT 1"),
                {articleNumber(n), articleNumber(forward ? *limit : 1)});
    if (r.isEmpty())
        return std::nullopt;
    return r.text(0, 0);
}

data::Saved<data::EditOutcome> update(data::Connection& c, const QString& number, const ArticleEntry& e,
                                      const StoredArticle& shown) {
    data::EditOutcome outcome = data::EditOutcome::Saved;
    QStringList written;
    const data::Commit commit = data::retryingTransaction(
        c,
        [&] {
            const auto now = loadArticle(c, number, true);
            if (!now) {
                outcome = data::EditOutcome::Missing;
                return;
            }
            if (now->stamp != shown.stamp) {
                outcome = data::EditOutcome::ChangedElsewhere;
                return;
            }
            outcome = data::EditOutcome::Saved;
            data::write(
                c, QStringLiteral("article"),
                QStringLiteral("UPDATE article SET Article_Name = ?, spare = ' ', pointer = ?, year = ?, volume = ?, "
                               "month = ?, pages = ?, remark = ?, abstract = ? WHERE article_no = ?"),
                {e.title, e.pointer, e.year, e.volume, e.month, e.pages, e.remark, e.abstract, number});
            data::keepPieces(c, data::articleTitles, number, e.title, true);
            QString idnos[3];
            for (int i = 0; i < 3; ++i)
                idnos[i] = e.authorNames[i].trimmed().isEmpty() ? QString() : e.authorIdnos[i];
            rewriteRows(c, QStringLiteral("mauthfile"), QStringLiteral("idno"), number, idnos, 3, e.title);
            rewriteRows(c, QStringLiteral("msubject"), QStringLiteral("subject"), number, e.subjects, 5, e.title);
            keepSubjectPieces(c, e.subjects);
            written = loadArticle(c, number, false)->stamp;
        },
        [&] {
            const auto now = loadArticle(c, number, false);
            return now && now->stamp == written;
        });
    return {outcome, commit};
}

bool remove(data::Connection& c, const QString& number) {
    bool existed = false;
    data::retryingTransaction(
        c,
        [&] {
            existed = data::write(c, QStringLiteral("article"),
                                  QStringLiteral("DELETE FROM article WHERE article_no = ?"), {number}) > 0;
            if (!existed)
                return;
            data::write(c, QStringLiteral("mauthfile"), QStringLiteral("DELETE FROM mauthfile WHERE article_no = ?"),
                        {number});
            data::write(c, QStringLiteral("msubject"), QStringLiteral("DELETE FROM msubject WHERE article_no = ?"),
                        {number});
            data::dropPieces(c, data::articleTitles, number);
        },
        [&] { return c.query(QStringLiteral("SELECT 1 FROM article WHERE article_no = ?"), {number}).isEmpty(); });
    return existed;
}

QString counterText(data::Connection& c) {
    const data::Result r = c.query(QStringLiteral("SELECT artno_ctrl FROM artctrl LIMIT 1"));
    return r.isEmpty() ? QString() : r.text(0, 0);
}

qint64 highestNumber(data::Connection& c) {
    const data::Result r =
        c.query(QStringLiteral("SELECT COALESCE(MAX(CAST(article_no AS UNSIGNED)), 0) FROM article"));
    return r.isEmpty() ? 0 : r.value(0, 0).toLongLong();
}

void setCounter(data::Connection& c, const QString& text) {
    const QString t = text.trimmed();
    const auto value = data::counterValue(t);
    if (!value || *value < 1 || *value > 9999999)
        throw data::Refused(QStringLiteral("เลขทะเบียนต้องเป็นตัวเลข 1 ถึง 9999999"));
    data::retryingTransaction(
        c,
        [&] {
            const bool hasRow = !c.query(QStringLiteral("SELECT 1 FROM artctrl LIMIT 1 FOR UPDATE")).isEmpty();
            if (!c.query(QStringLiteral("SELECT 1 FROM article WHERE article_no = ?"), {articleNumber(*value)})
                     .isEmpty())
                throw data::Refused(
                    QStringLiteral("เลขที่บทความ %1 มีบทความใช้อยู่แล้ว กรุณากำหนดเลขที่ยังไม่ถูกใช้").arg(articleNumber(*value)));
            data::write(c, QStringLiteral("artctrl"),
                        hasRow ? QStringLiteral("UPDATE artctrl SET artno_ctrl = ? LIMIT 1")
                               : QStringLiteral("INSERT INTO artctrl (artno_ctrl) VALUES (?)"),
                        {t});
        },
        [&] { return counterText(c) == t; });
}

} // namespace indexing::ArticleStore
