// The report server on the generated set: each report page over one month and a search that
// returns 500 articles, timed at the server's door (request sent to last byte read); then 50
// clients at once for a minute (WARASAN_BENCH_WEB_SECONDS shortens it), once searching only and
// once over the seven report pages and the search in turn.
#include "data/Config.h"
#include "web/Listing.h"
#include "web/WebServer.h"

#include <httplib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

double percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    web::ServerOptions options;
    options.port = 0;
    options.threads = 16;
    options.db = data::installation().db;
    options.db.user = QStringLiteral("warasan_web");
    options.db.hasPassword = false;
    web::WebServer server(options);
    QString error;
    if (!server.bind(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::thread serving([&] { server.run(); });
    const int port = server.port();
    const auto fetch = [port](const QString& path, const web::Query& q, size_t* bytes = nullptr) {
        httplib::Client client("127.0.0.1", port);
        client.set_read_timeout(60);
        QElapsedTimer t;
        t.start();
        const auto r = client.Get(web::linkTo(path, q, {}).toStdString());
        const double ms = t.nsecsElapsed() / 1e6;
        if (bytes)
            *bytes = r ? r->body.size() : 0;
        return (r && r->status == 200) ? ms : -1.0;
    };

    const web::Query month = {{QStringLiteral("from"), QStringLiteral("1/11/2026")},
                              {QStringLiteral("to"), QStringLiteral("30/11/2026")}};
    // The generated articles were entered in December 2026 and January 2027.
    const web::Query indexMonth = {{QStringLiteral("from"), QStringLiteral("1/12/2026")},
                                   {QStringLiteral("to"), QStringLiteral("31/12/2026")}};
    // The binding page's month is one in which the generated set binds volumes.
    const web::Query bindingMonth = {{QStringLiteral("from"), QStringLiteral("1/6/2026")},
                                     {QStringLiteral("to"), QStringLiteral("30/6/2026")}};
    // Searches whose page holds 500 articles (672 and about 1,000 found on the large set).
    const auto search = [](const QString& text, const QString& how) {
        return web::Query{{QStringLiteral("q"), text},
                          {QStringLiteral("field"), QStringLiteral("title")},
                          {QStringLiteral("how"), how},
                          {QStringLiteral("per"), QStringLiteral("500")}};
    };
    const web::Query search500 = search(QStringLiteral("การพัฒนาการ"), QStringLiteral("begins"));
    const web::Query search500anywhere = search(QStringLiteral("ปัจจัยที่"), QStringLiteral("contains"));
    const QList<QPair<QString, web::Query>> pages = {
        {QStringLiteral("rpt_journal/rpt_journal_all.php"), {}},
        {QStringLiteral("rpt_journal/rpt_journal_department.php"), {}},
        {QStringLiteral("rpt_journal/rpt_regis_journal.php"), month},
        {QStringLiteral("rpt_journal/main_sum_journal.php"), bindingMonth},
        {QStringLiteral("rpt_journal/rpt_index_journal.php"), indexMonth},
        {QStringLiteral("main_search_journal.asp"), search500},
        {QStringLiteral("main_search_journal.asp"), search500anywhere},
        {QStringLiteral("rpt_journal/main_refer_journal.php"), search500},
        {QStringLiteral("rpt_journal/rpt_statistics.php"), {}},
        {QString(), {}}, // the index page, with its chart of arrivals
    };
    // The first request builds the page; the rest find it kept (the data does not change here).
    std::printf("| page | query | first (built) ms | median ms (10 runs) | bytes |\n|---|---|---|---|---|\n");
    for (const auto& [path, q] : pages) {
        std::vector<double> ms;
        size_t bytes = 0;
        for (int i = 0; i < 10; ++i)
            ms.push_back(fetch(path, q, &bytes));
        const bool failed = std::any_of(ms.begin(), ms.end(), [](double v) { return v < 0; });
        QStringList shown;
        for (auto it = q.begin(); it != q.end(); ++it)
            shown << it.key() + QLatin1Char('=') + it.value();
        std::printf("| %s | %s | %s | %s | %zu |\n", qPrintable(path), qPrintable(shown.join(QLatin1Char(' '))),
                    failed ? "FAILED" : qPrintable(QString::number(ms.front(), 'f', 1)),
                    failed ? "FAILED" : qPrintable(QString::number(percentile(ms, 0.5), 'f', 1)), bytes);
    }

    const int seconds = qEnvironmentVariableIsSet("WARASAN_BENCH_WEB_SECONDS")
                            ? qEnvironmentVariableIntValue("WARASAN_BENCH_WEB_SECONDS")
                            : 60;
    // The public's searches: titles beginning with a word or two (the page's default).
    const QStringList words = {QStringLiteral("การพัฒนา"), QStringLiteral("การศึกษา"), QStringLiteral("Factors"),
                               QStringLiteral("ปัจจัย"),    QStringLiteral("A study"), QStringLiteral("The")};
    QList<QPair<QString, web::Query>> searches;
    for (int page = 1; page <= 3; ++page)
        for (const QString& w : words)
            searches.append({QStringLiteral("main_search_journal.asp"),
                             {{QStringLiteral("q"), w},
                              {QStringLiteral("field"), QStringLiteral("title")},
                              {QStringLiteral("page"), QString::number(page)}}});
    // The seven pages as a librarian opens them, between the searches.
    QList<QPair<QString, web::Query>> mixed = {
        {QStringLiteral("rpt_journal/rpt_journal_all.php"), {}},
        {QStringLiteral("rpt_journal/rpt_journal_department.php"), {}},
        {QStringLiteral("rpt_journal/rpt_regis_journal.php"), month},
        {QStringLiteral("rpt_journal/main_sum_journal.php"), bindingMonth},
        {QStringLiteral("rpt_journal/rpt_index_journal.php"), indexMonth},
        {QStringLiteral("rpt_journal/rpt_title_issues.php"), {{QStringLiteral("title"), QStringLiteral("J000123")}}},
        {QStringLiteral("rpt_journal/rpt_publishers.php"), {}},
    };
    for (int i = 0; i < mixed.size(); i += 2)
        mixed.insert(i + 1, searches.at(i));
    int errorsSeen = 0;
    for (const auto& [what, requests] :
         {std::pair{"searching", searches}, std::pair{"over the pages and the search", mixed}}) {
        std::mutex lock;
        std::vector<double> all;
        std::atomic<int> errors{0};
        QElapsedTimer clock;
        clock.start();
        std::vector<std::thread> clients;
        for (int c = 0; c < 50; ++c)
            clients.emplace_back([&, c] {
                std::vector<double> mine;
                for (int i = 0; clock.elapsed() < seconds * 1000; ++i) {
                    const auto& [path, q] = requests.at((c + i) % requests.size());
                    const double ms = fetch(path, q);
                    if (ms < 0)
                        ++errors;
                    else
                        mine.push_back(ms);
                }
                std::lock_guard<std::mutex> g(lock);
                all.insert(all.end(), mine.begin(), mine.end());
            });
        for (auto& t : clients)
            t.join();
        std::printf("\n50 clients %s for %d s: %zu requests (%.0f a second), %d errors, median %.1f ms, 95th "
                    "percentile %.1f ms, max %.1f ms\n",
                    what, seconds, all.size(), all.size() / double(seconds), errors.load(), percentile(all, 0.5),
                    percentile(all, 0.95), percentile(all, 1.0));
        errorsSeen += errors.load();
    }
    server.stop();
    serving.join();
    return errorsSeen == 0 ? 0 : 1;
}
