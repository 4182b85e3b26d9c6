// warasan-report: writes the program's printed lists as PDF and/or CSV for scheduled runs,
// from the same configuration and the same code as the windows, without a display.
#include "data/Config.h"
#include "data/Dates.h"
#include "data/DbError.h"
#include "forms/common/Fonts.h"
#include "receipt/ReceiptCheck.h"
#include "reports/Report.h"
#include "reports/Survey.h"
#include "titles/ExpiryList.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <functional>
#include <map>

namespace {

struct Failure {
    QString text;
};

QDate dateOption(const QCommandLineParser& cli, const QString& name) {
    const auto d = data::parseDate(cli.value(name));
    if (!d)
        throw Failure{QStringLiteral("--%1 \"%2\" is not a date (dd/mm/yyyy, Common or Buddhist era)")
                          .arg(name, cli.value(name))};
    return *d;
}

void period(const QCommandLineParser& cli, QDate* from, QDate* to) {
    *from = dateOption(cli, QStringLiteral("from"));
    *to = dateOption(cli, QStringLiteral("to"));
    if (*to < *from)
        throw Failure{QStringLiteral("--to %1 lies before --from %2").arg(cli.value("to"), cli.value("from"))};
}

QChar group(const QCommandLineParser& cli) {
    const QString g = cli.value(QStringLiteral("group")).trimmed().toUpper();
    if (g != QLatin1String("J") && g != QLatin1String("I"))
        throw Failure{QStringLiteral("--group must be J (foreign languages) or I (Thai), not \"%1\"")
                          .arg(cli.value(QStringLiteral("group")))};
    return g.at(0);
}

reports::Document expiry(data::Connection& c, const QCommandLineParser& cli) {
    QDate from, to;
    period(cli, &from, &to);
    const auto rows = titles::ExpiryStore::list(c, group(cli), from, to);
    return titles::expiryReport(rows, data::formatDate(from), data::formatDate(to));
}

reports::Document receiptCheck(data::Connection& c, const QCommandLineParser& cli) {
    QDate from, to;
    period(cli, &from, &to);
    const auto rows = receipt::ReceiptCheck::run(c, from, to);
    return cli.isSet(QStringLiteral("claims")) ? receipt::claimsReport(c, rows, from, to)
                                               : receipt::receiptReport(rows, from, to);
}

reports::Document survey(data::Connection& c, const QCommandLineParser& cli) {
    QDate from, to;
    period(cli, &from, &to);
    const QChar g = group(cli);
    return reports::surveyReport(reports::surveyRows(c, g, from, to), g, from, to);
}

using Builder = std::function<reports::Document(data::Connection&, const QCommandLineParser&)>;

const std::map<QString, Builder>& reportsByName() {
    static const std::map<QString, Builder> all = {{QStringLiteral("expiry"), expiry},
                                                   {QStringLiteral("receipt-check"), receiptCheck},
                                                   {QStringLiteral("survey"), survey}};
    return all;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("warasan"));
    forms::installThaiFonts();

    QCommandLineParser cli;
    cli.setApplicationDescription(
        QStringLiteral("Writes a Warasan report as PDF and/or CSV.\n"
                       "  expiry  --group J|I --from dd/mm/yyyy --to dd/mm/yyyy   titles whose subscription expires\n"
                       "  receipt-check --from dd/mm/yyyy --to dd/mm/yyyy [--claims]   issues not received\n"
                       "  survey  --group J|I --from dd/mm/yyyy --to dd/mm/yyyy   issues received, for the survey"));
    cli.addHelpOption();
    cli.addPositionalArgument(QStringLiteral("report"), QStringLiteral("expiry, receipt-check or survey"));
    cli.addOptions(
        {{QStringLiteral("group"), QStringLiteral("J (foreign languages) or I (Thai)."), QStringLiteral("J|I")},
         {QStringLiteral("from"), QStringLiteral("Start of the period."), QStringLiteral("dd/mm/yyyy")},
         {QStringLiteral("to"), QStringLiteral("End of the period."), QStringLiteral("dd/mm/yyyy")},
         {QStringLiteral("claims"), QStringLiteral("receipt-check: by distributor, as claims.")},
         {QStringLiteral("pdf"), QStringLiteral("Write the report as PDF to this file."), QStringLiteral("file")},
         {QStringLiteral("csv"), QStringLiteral("Write its rows as CSV to this file."), QStringLiteral("file")}});
    cli.process(app);

    const QStringList args = cli.positionalArguments();
    const auto report = args.size() == 1 ? reportsByName().find(args.first()) : reportsByName().end();
    if (report == reportsByName().end()) {
        std::fprintf(stderr, "warasan-report: name one report (expiry, receipt-check, survey); see --help\n");
        return 2;
    }
    if (!cli.isSet(QStringLiteral("pdf")) && !cli.isSet(QStringLiteral("csv"))) {
        std::fprintf(stderr, "warasan-report: say where to write it: --pdf FILE and/or --csv FILE\n");
        return 2;
    }
    try {
        bool fatal = false;
        for (const QString& p : data::configurationProblems(&fatal))
            std::fprintf(stderr, "warasan-report: %s\n", qPrintable(p));
        if (fatal)
            return 2;
        data::Connection c(data::installation().db);
        c.open();
        const reports::Document doc = report->second(c, cli);
        QString error;
        if (cli.isSet(QStringLiteral("pdf")) && !reports::writePdf(doc, cli.value(QStringLiteral("pdf")), &error))
            throw Failure{error};
        if (cli.isSet(QStringLiteral("csv")) && !reports::writeCsv(doc, cli.value(QStringLiteral("csv")), &error))
            throw Failure{error};
        std::printf("%s: %d rows, %d pages\n", qPrintable(args.first()), int(doc.csvRows.size()),
                    int(doc.pages.size()));
        return 0;
    } catch (const Failure& f) {
        std::fprintf(stderr, "warasan-report: %s\n", qPrintable(f.text));
    } catch (const data::DbError& e) {
        std::fprintf(stderr, "warasan-report: database error %d: %s\n", e.nativeCode(), qPrintable(e.message()));
    }
    return 1;
}
