// The printed lists over the generated set: the expiry search listing about 1,000 titles, the
// expiry list of 10,000 rows to PDF and CSV, staging 100,000 survey rows, and a survey report
// of 10,000 rows to PDF.
#include "BenchUtil.h"
#include "data/Config.h"
#include "data/Dates.h"
#include "rules/survey/Survey.h"
#include "rules/titles/ExpiryList.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using bench::median;
using bench::timed;

int main(int argc, char** argv) {
    return bench::runBenchmark(argc, argv, [&](bench::SilentBoxes&) {
        data::Connection c(data::installation().db);
        c.open();
        QTemporaryDir dir;
        const data::Result range = c.query(QStringLiteral(
            "SELECT MIN(End_Date), MAX(End_Date) FROM (SELECT End_Date FROM magazine WHERE Pointer LIKE 'J%' AND "
            "Receive_Code = '1' AND End_Date IS NOT NULL ORDER BY End_Date LIMIT 1000) first"));
        const QDate from = range.value(0, 0).toDate(), to = range.value(0, 1).toDate();
        std::vector<double> search;
        QList<titles::ExpiryRow> listed;
        for (int i = 0; i < 10; ++i)
            search.push_back(timed([&] { listed = titles::ExpiryStore::list(c, QLatin1Char('J'), from, to); }));
        std::printf("expiry search: %d titles with their latest issues   median %7.1f ms\n", int(listed.size()),
                    median(search));
        QList<titles::ExpiryRow> many;
        while (!listed.isEmpty() && many.size() < 10000)
            many += listed.mid(0, 10000 - many.size());
        QString error;
        reports::Document expiry;
        const double layout =
            timed([&] { expiry = titles::expiryReport(many, data::formatDate(from), data::formatDate(to)); });
        const double pdf = timed([&] { reports::writePdf(expiry, dir.filePath("expiry.pdf"), &error); });
        const double csv = timed([&] { reports::writeCsv(expiry, dir.filePath("expiry.csv"), &error); });
        std::printf("expiry list of %d rows (%d pages): layout %.0f ms, PDF %.0f ms, CSV %.0f ms\n", int(many.size()),
                    int(expiry.pages.size()), layout, pdf, csv);

        QList<survey::SurveyRow> rows;
        const double read =
            timed([&] { rows = survey::surveyRows(c, QLatin1Char('J'), QDate(1900, 1, 1), QDate(2100, 1, 1)); });
        std::printf("survey: read of every date, %d rows: %.0f ms\n", int(rows.size()), read);
        rows = rows.mid(0, 100000);
        const double stage = timed([&] { survey::stageSurvey(dir.path(), rows, &error); });
        std::printf("survey: staging %d rows %.0f ms %s\n", int(rows.size()), stage, qPrintable(error));
        reports::Document survey;
        const double surveyPdf = timed([&] {
            survey = survey::surveyReport(rows.mid(0, 10000), QLatin1Char('J'), QDate(1900, 1, 1), QDate(2100, 1, 1));
            reports::writePdf(survey, dir.filePath("survey.pdf"), &error);
        });
        std::printf("survey report of 10000 rows (%d pages) to PDF: %.0f ms\n", int(survey.pages.size()), surveyPdf);
        rows.clear();

        // The survey as the window runs it (read, staged, laid out) and as the scheduled job
        // writes it to CSV, for the latest year of receipts and that year's last month.
        const QDate latest = c.query(QStringLiteral("SELECT MAX(indate) FROM tranfile")).value(0, 0).toDate();
        for (const auto& [what, from] : {std::pair{"year", QDate(latest.year(), 1, 1)},
                                         std::pair{"month", QDate(latest.year(), latest.month(), 1)}}) {
            const QDate to = what == std::string("year") ? QDate(latest.year(), 12, 31) : from.addMonths(1).addDays(-1);
            const double readAlone = timed(
                [&] { survey::readSurvey(c, QLatin1Char('J'), from, to, [](const QList<survey::SurveyRow>&) {}); });
            const double oneStatement = timed([&] {
                survey::readSurvey(
                    c, QLatin1Char('J'), from, to, [](const QList<survey::SurveyRow>&) {}, 10000000);
            });
            qint64 n = 0;
            double firstPage = -1;
            QElapsedTimer clock;
            const double window = timed([&] {
                clock.start();
                survey::SurveyStaging staging(dir.path());
                survey::SurveyReport report(QLatin1Char('J'), from, to);
                report.handFullPagesTo([&](const reports::Page&) {
                    if (firstPage < 0)
                        firstPage = clock.nsecsElapsed() / 1e6;
                });
                survey::readSurvey(c, QLatin1Char('J'), from, to, [&](const QList<survey::SurveyRow>& block) {
                    staging.add(block);
                    report.add(block);
                    n += block.size();
                });
                staging.commit(&error);
                survey = report.finish();
            });
            std::printf("survey of one %s (%s to %s), %lld rows: read, staged and laid out %.0f ms "
                        "(first page after %.0f ms; the read alone %.0f ms, as one statement %.0f ms)\n",
                        what, qPrintable(data::formatDate(from)), qPrintable(data::formatDate(to)), n, window,
                        firstPage, readAlone, oneStatement);
        }
        return 0;
    });
}
