// The title and subject searches by a part of the text, through the pieces, against the plain
// LIKE '%text%' they stand for: 1,000 random parts of generated names (Thai, Latin, one
// character, Thai combining marks alone, Latin in the other case, texts found nowhere) must give
// the same rows in the same order; then the time of each way.
#include "BenchUtil.h"
#include "data/Like.h"
#include "rules/index/ArticleStore.h"
#include "rules/records/TitleStore.h"

#include <QRandomGenerator>
#include <cstdio>

namespace {

bool combining(char32_t c) {
    return c == 0x0E31 || (c >= 0x0E34 && c <= 0x0E3A) || (c >= 0x0E47 && c <= 0x0E4E);
}

QString part(QRandomGenerator& rnd, const QString& name, int kind) {
    const QList<uint> cs = name.toUcs4();
    if (cs.isEmpty())
        return name;
    if (kind == 3) { // combining marks alone: one or two from the name, nothing else
        QList<uint> marks;
        for (uint c : cs)
            if (combining(c))
                marks << c;
        if (marks.isEmpty())
            return QString();
        const qsizetype at = rnd.bounded(marks.size());
        const qsizetype n = at + 1 < marks.size() && rnd.bounded(2) ? 2 : 1;
        return QString::fromUcs4(reinterpret_cast<const char32_t*>(marks.constData() + at), n);
    }
    const int length = kind == 1 ? 1 : 2 + rnd.bounded(10);
    const qsizetype from = rnd.bounded(qMax<qsizetype>(1, cs.size() - length + 1));
    QString s = QString::fromUcs4(reinterpret_cast<const char32_t*>(cs.constData() + from),
                                  qMin<qsizetype>(length, cs.size() - from));
    if (kind == 4)
        s = rnd.bounded(2) ? s.toUpper() : s.toLower();
    if (kind == 5)
        s += QStringLiteral("ฯq");
    return s.trimmed();
}

} // namespace

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        data::Connection c(data::installation().db);
        c.open();
        const data::Result names = c.query(QStringLiteral("SELECT Magazine_Name FROM magazine"));
        QRandomGenerator rnd(20261207);
        QStringList texts;
        QList<int> kinds;
        while (texts.size() < 1000) {
            const QString t = part(rnd, names.text(int(rnd.bounded(names.rowCount())), 0), texts.size() % 6);
            if (!t.isEmpty()) {
                texts << t;
                kinds << (texts.size() - 1) % 6;
            }
        }
        std::vector<double> pieces, plain, byKind[2][6];
        int differ = 0, found = 0;
        for (const QString& t : texts) {
            QList<records::TitleMatch> a;
            pieces.push_back(bench::timed([&] { a = records::TitleStore::search(c, t); }));
            data::Result b;
            plain.push_back(bench::timed([&] {
                b = c.query(QStringLiteral("SELECT Pointer, Magazine_Name FROM magazine WHERE Magazine_Name LIKE ? "
                                           "ORDER BY Magazine_Name, Pointer"),
                            {data::likeContains(t)});
            }));
            byKind[0][kinds.at(int(pieces.size()) - 1)].push_back(pieces.back());
            byKind[1][kinds.at(int(pieces.size()) - 1)].push_back(plain.back());
            bool same = a.size() == b.rowCount();
            for (int i = 0; same && i < a.size(); ++i)
                same = a.at(i).pointer == b.text(i, 0);
            found += a.isEmpty() ? 0 : 1;
            if (!same && ++differ <= 10)
                std::printf("DIFFERENT: \"%s\": %d rows through the pieces, %d by LIKE\n", qPrintable(t), int(a.size()),
                            b.rowCount());
        }
        auto p95 = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v.empty() ? 0 : v[v.size() * 95 / 100];
        };
        std::printf("title name search, %d texts (%d found something): %d differ from LIKE\n", int(texts.size()), found,
                    differ);
        std::printf("  through the name pieces   median %6.2f ms   95th %6.2f ms\n", bench::median(pieces),
                    p95(pieces));
        std::printf("  LIKE over every name      median %6.2f ms   95th %6.2f ms\n", bench::median(plain), p95(plain));
        const char* kindNames[] = {"Thai or Latin, 2-11 characters", "one character",           "2-11 characters",
                                   "combining marks alone",          "Latin in the other case", "found nowhere"};
        for (int k = 0; k < 6; ++k)
            std::printf("  %-32s pieces median %6.2f ms 95th %6.2f   LIKE median %6.2f ms 95th %6.2f\n", kindNames[k],
                        bench::median(byKind[0][k]), p95(byKind[0][k]), bench::median(byKind[1][k]), p95(byKind[1][k]));
        // The subject search the same way, on parts of the headings articles are given (every
        // other text as the start of a heading).
        const data::Result heads = c.query(QStringLiteral("SELECT subject FROM msubject GROUP BY subject"));
        std::vector<double> subjectPieces, subjectPlain;
        int subjectsDiffer = 0;
        for (int i = 0; i < 1000 && heads.rowCount() > 0; ++i) {
            const bool anywhere = i % 2 == 0; // the entry form's search, and its search by the start
            const QString head = heads.text(int(rnd.bounded(heads.rowCount())), 0);
            const QString t = anywhere ? part(rnd, head, i % 6) : head.left(1 + rnd.bounded(10));
            if (t.isEmpty())
                continue;
            QStringList a;
            subjectPieces.push_back(
                bench::timed([&] { a = indexing::ArticleStore::subjectsMatching(c, t, anywhere); }));
            data::Result b;
            subjectPlain.push_back(bench::timed([&] {
                b = c.query(QStringLiteral("SELECT subject FROM msubject WHERE subject LIKE ? GROUP BY subject "
                                           "ORDER BY subject"),
                            {anywhere ? data::likeContains(t) : data::likePrefix(t)});
            }));
            bool same = a.size() == b.rowCount();
            for (int k = 0; same && k < a.size(); ++k)
                same = a.at(k) == b.text(k, 0);
            if (!same && ++subjectsDiffer <= 10)
                std::printf("DIFFERENT subject: \"%s\"\n", qPrintable(t));
        }
        std::printf("subject search, %d texts: %d differ from LIKE\n", int(subjectPieces.size()), subjectsDiffer);
        std::printf("  through the pieces   median %6.2f ms   95th %6.2f ms\n", bench::median(subjectPieces),
                    p95(subjectPieces));
        std::printf("  LIKE over every row  median %6.2f ms   95th %6.2f ms\n", bench::median(subjectPlain),
                    p95(subjectPlain));
        return differ == 0 && subjectsDiffer == 0 ? 0 : 1;
    });
}
