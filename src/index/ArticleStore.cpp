#include "index/ArticleStore.h"

#include "data/Counter.h"
#include "index/AuthorStore.h"

#include <QDateTime>

namespace indexing::ArticleStore {

QString expectedNumber(data::Connection& c) {
    const data::Result r = c.query(QStringLiteral("SELECT artno_ctrl FROM artctrl LIMIT 1"));
    return r.isEmpty() ? QString() : r.text(0, 0).trimmed();
}

QStringList subjectsStartingWith(data::Connection& c, const QString& prefix) {
    const data::Result r =
        c.query(QStringLiteral("SELECT subject FROM msubject WHERE subject LIKE ? GROUP BY subject ORDER BY subject"),
                {data::likePrefix(prefix.trimmed())});
    QStringList out;
    out.reserve(r.rowCount());
    for (const auto& row : r.rows)
        out << row.at(0).toString();
    return out;
}

QString save(data::Connection& c, const ArticleEntry& e) {
    QString number;
    // Whole seconds, as the column keeps them: the same value finds the row again.
    QDateTime keyed = QDateTime::currentDateTime();
    keyed.setTime(QTime(keyed.time().hour(), keyed.time().minute(), keyed.time().second()));
    data::retryingTransaction(
        c,
        [&] {
            const data::Result counter = c.query(QStringLiteral("SELECT artno_ctrl FROM artctrl LIMIT 1 FOR UPDATE"));
            if (counter.isEmpty())
                throw ArticleRefused(QStringLiteral("ไม่พบแถวของตัวนับเลขที่บทความ (artctrl) กรุณาติดต่อผู้ดูแลระบบ"));
            const auto value = data::counterValue(counter.text(0, 0));
            if (!value)
                throw ArticleRefused(QStringLiteral("ตัวนับเลขที่บทความ (artctrl) มีค่า \"%1\" ซึ่งไม่ใช่ตัวเลข "
                                                    "กรุณาติดต่อผู้ดูแลระบบ")
                                         .arg(counter.text(0, 0)));
            number = padded7(*value);
            if (!c.query(QStringLiteral("SELECT 1 FROM article WHERE article_no = ?"), {number}).isEmpty())
                throw ArticleRefused(QStringLiteral("เลขที่บทความ %1 มีบทความอื่นใช้อยู่แล้ว (ตัวนับ artctrl อาจถูกตั้งย้อนหลัง) "
                                                    "กรุณาตรวจสอบเลขทะเบียนดรรชนีวารสาร")
                                         .arg(number));
            c.exec(QStringLiteral(
                       "INSERT INTO article (article_no, Article_Name, spare, pointer, year, volume, month, pages, "
                       "remark, abstract, keydate) VALUES (?, ?, ' ', ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {number, e.title, e.pointer, e.year, e.volume, e.month, e.pages, e.remark, e.abstract, keyed});
            int seq = 0;
            for (int i = 0; i < 3; ++i)
                if (!e.authorNames[i].trimmed().isEmpty())
                    c.exec(QStringLiteral(
                               "INSERT INTO mauthfile (article_no, seqno, idno, article_name) VALUES (?, ?, ?, ?)"),
                           {number, ++seq, e.authorIdnos[i].trimmed(), e.title});
            seq = 0;
            for (const QString& subject : e.subjects)
                if (!subject.trimmed().isEmpty())
                    c.exec(QStringLiteral(
                               "INSERT INTO msubject (article_no, seqno, subject, article_name) VALUES (?, ?, ?, ?)"),
                           {number, ++seq, subject.trimmed(), e.title});
            c.exec(QStringLiteral("UPDATE artctrl SET artno_ctrl = ? LIMIT 1"), {padded7(*value + 1)});
        },
        [&] {
            return !c.query(QStringLiteral("SELECT 1 FROM article WHERE article_no = ? "
                                           "AND keydate = ? AND BINARY Article_Name = BINARY ?"),
                            {number, keyed, e.title})
                        .isEmpty();
        });
    return number;
}

} // namespace indexing::ArticleStore
