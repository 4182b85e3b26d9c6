// The article index over the generated set (50,000 authors, about 200,000 subject rows):
// author and subject prefix searches from Enter to a filled pick list, and an article save.
#include "BenchUtil.h"
#include "rules/index/ArticleStore.h"
#include "index/index_journal.h"

#include "forms/common/SearchList.h"
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

using bench::median;

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        indexing::index_journal w(bench::openedConnection());
        w.show();
        auto* author = w.findChild<QLineEdit*>(QStringLiteral("Text3_0"));
        auto* subject = w.findChild<QLineEdit*>(QStringLiteral("Text6_0"));
        auto* authors = w.findChild<forms::PickList*>(QStringLiteral("List_authname"));
        auto* subjects = w.findChild<forms::PickList*>(QStringLiteral("list_subject"));
        const auto run = [&](const char* what, QLineEdit* field, forms::PickList* list, const QString& text) {
            const double ms = bench::enterToList(field, list, text);
            std::printf("%s %-16s %6d rows   median %6.2f ms\n", what, qPrintable(text), int(list->count()), ms);
        };
        for (const QString& t : {QStringLiteral("สมชาย ใจดี 1"), QStringLiteral("Smith, John 2"), QStringLiteral("วิภา")})
            run("author search ", author, authors, t);
        for (const QString& t : {QStringLiteral("การ"), QStringLiteral("Library"), QStringLiteral("สิ่งแวดล้อม")})
            run("subject search", subject, subjects, t);

        data::Connection c(data::installation().db);
        c.open();
        std::vector<double> ms;
        for (int i = 0; i < 200; ++i) {
            indexing::ArticleEntry e;
            e.title = QStringLiteral("บทความทดสอบความเร็ว %1").arg(i);
            e.authorNames[0] = e.authorNames[1] = QStringLiteral("ผู้แต่ง");
            e.authorIdnos[0] = QStringLiteral("0000001");
            e.authorIdnos[1] = QStringLiteral("0000002");
            e.subjects[0] = QStringLiteral("การศึกษา");
            e.subjects[1] = QStringLiteral("เทคโนโลยีสารสนเทศ");
            e.subjects[2] = QStringLiteral("Digital libraries");
            e.pointer = QStringLiteral("J000001");
            e.year = QStringLiteral("1");
            e.volume = QStringLiteral("1");
            e.pages = QStringLiteral("1-10");
            QElapsedTimer t;
            t.start();
            indexing::ArticleStore::save(c, e);
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("article save (2 authors, 3 subjects, counter)     median %6.2f ms   max %6.2f ms\n", median(ms),
                    *std::max_element(ms.begin(), ms.end()));
        return 0;
    });
}
