#include "support/Saves.h"
#include "data/Like.h"

#include "rules/index/ArticleStore.h"
#include "rules/index/AuthorStore.h"
#include "rules/records/IssueStore.h"
#include "rules/records/TitleStore.h"
#include "rules/titles/DealerStore.h"

namespace testsupport {

namespace {
// The stored text as the server's own bytes (the statement gives them in hex), decoded here:
// text that went in as anything but its exact UTF-8 does not read back equal.
QString one(data::Connection& c, const char* sql, const QString& key) {
    const data::Result r = c.query(QString::fromLatin1(sql), {key});
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom); // a leading mark is text too
    return r.isEmpty() ? QString() : QString(utf8(QByteArray::fromHex(r.text(0, 0).toLatin1())));
}
int count(data::Connection& c, const char* sql, const QString& text) {
    return c.query(QString::fromLatin1(sql), {data::likePrefix(text)}).rowCount();
}
} // namespace

const QList<NumberedSave>& numberedSaves() {
    static const QList<NumberedSave> saves = {
        {"publisher",
         [](data::Connection& c, const QString& t) {
             return titles::DealerStore::add(c, titles::Dealer{.name = t});
         },
         [](data::Connection& c, const QString& n) {
             return one(c, "SELECT HEX(Publisher_Name) FROM dealer WHERE Publisher_Code = ?", n);
         },
         [](data::Connection& c, const QString& t) { return int(titles::DealerStore::search(c, t).size()); },
         "SELECT Publisher_Code, Publisher_Name FROM dealer", "SELECT 0"},
        {"title",
         [](data::Connection& c, const QString& t) {
             records::Title title;
             title.name = t;
             return records::TitleStore::add(c, title, 2);
         },
         [](data::Connection& c, const QString& n) {
             return one(c, "SELECT HEX(Magazine_Name) FROM magazine WHERE Pointer = ?", n);
         },
         [](data::Connection& c, const QString& t) { return int(records::TitleStore::search(c, t).size()); },
         "SELECT Pointer, Magazine_Name FROM magazine WHERE Pointer LIKE 'I%'",
         "SELECT COUNT(*) FROM magazine WHERE Pointer >= (SELECT pointer_ctrl2 FROM recsetup) AND Pointer LIKE 'I%'"},
        {"issue",
         [](data::Connection& c, const QString& t) {
             return records::IssueStore::add(c, u"X000001"_s,
                                             {{}, QDate(2026, 6, 1), u"1"_s, u"2"_s, t, QDate(2026, 6, 2), {}});
         },
         [](data::Connection& c, const QString& n) {
             return one(c, "SELECT HEX(DescriptionItem) FROM tranfile WHERE magno = ?", n);
         },
         [](data::Connection& c, const QString& t) {
             return count(c, "SELECT magno FROM tranfile WHERE DescriptionItem LIKE ?", t);
         },
         "SELECT magno, DescriptionItem FROM tranfile WHERE pointer = 'X000001'",
         "SELECT COUNT(*) FROM tranfile WHERE CAST(magno AS UNSIGNED) >= (SELECT CAST(magno_ctrl AS UNSIGNED) FROM "
         "jourctrl)"},
        {"author",
         [](data::Connection& c, const QString& t) {
             const auto a = indexing::AuthorStore::add(c, t, false, {});
             return data::Saved<QString>{a.idno, a.commit};
         },
         [](data::Connection& c, const QString& n) {
             return one(c, "SELECT HEX(penname) FROM authname WHERE idno = ?", n);
         },
         [](data::Connection& c, const QString& t) { return int(indexing::AuthorStore::startingWith(c, t).size()); },
         "SELECT idno, penname FROM authname",
         "SELECT COUNT(*) FROM authname WHERE idno >= (SELECT idno_ctrl FROM authctrl)"},
        {"article",
         [](data::Connection& c, const QString& t) {
             indexing::ArticleEntry e;
             e.title = t;
             e.subjects[0] = t;
             e.abstract = t;
             return indexing::ArticleStore::save(c, e);
         },
         [](data::Connection& c, const QString& n) {
             return one(c, "SELECT HEX(Article_Name) FROM article WHERE article_no = ?", n);
         },
         [](data::Connection& c, const QString& t) {
             return int(indexing::ArticleStore::subjectsMatching(c, t, false).size());
         },
         "SELECT article_no, Article_Name FROM article",
         "SELECT (SELECT COUNT(*) FROM article a WHERE NOT EXISTS (SELECT 1 FROM msubject s WHERE s.article_no = "
         "a.article_no)) + (SELECT COUNT(*) FROM msubject s WHERE NOT EXISTS (SELECT 1 FROM article a WHERE "
         "a.article_no = s.article_no)) + (SELECT COUNT(*) FROM article WHERE article_no >= (SELECT artno_ctrl FROM "
         "artctrl))"}};
    return saves;
}

QStringList hostileTexts() {
    const QStringList base = {u"O'Reilly"_s,
                              u"\"quoted\""_s,
                              u"C:\\temp\\"_s,
                              u"100%"_s,
                              u"a_b"_s,
                              QString::fromUtf8("nul\0inside", 10),
                              u"📚🇹🇭"_s,
                              u"ก\u0E48\u0E49\u0E4C"_s,
                              u"\u200Fعربي"_s,
                              u"\uFEFFวารสาร"_s,
                              u"'; DROP TABLE dealer; --"_s,
                              u"\\'%_"_s,
                              u"ไก่ ไข่"_s,
                              u"tab\there"_s,
                              u"line\nbreak"_s,
                              u"«Müller» – “Word”"_s,
                              u"๑๒๓/๒๕๖๙"_s};
    QStringList out;
    for (const QString& b : base)
        for (const QString& around : {QString(), u"ก"_s, u"x'%"_s, u"\\"_s, u"\u0E31\u0E49"_s})
            out << around + b << b + around;
    out.removeDuplicates();
    return out;
}

} // namespace testsupport
