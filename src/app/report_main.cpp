// warasan-report: writes the program's printed lists as PDF and/or CSV for scheduled runs,
// from the same configuration and the same code as the windows, without a display.
#include "alerts/Alerts.h"
#include "data/CommandLine.h"
#include "data/Config.h"
#include "data/Dates.h"
#include "data/DbError.h"
#include "data/History.h"
#include "rules/desk/Statistics.h"
#include "rules/reports/Fonts.h"
#include "rules/receipt/Claims.h"
#include "rules/receipt/Quiet.h"
#include "rules/receipt/ReceiptCheck.h"
#include "rules/reports/HistoryReport.h"
#include "rules/reports/Report.h"
#include "rules/reports/WebPages.h"
#include "rules/survey/Survey.h"
#include "rules/titles/ExpiryList.h"
#include "rules/titles/TitleRecord.h"
#include "web/Pages.h"

#include <QGuiApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

namespace {

// A request the command line cannot take (exit 2), found before anything is connected.
struct Usage {
    QString text;
};
// A failure while the report is made or written (exit 1).
struct Failure {
    QString text;
};

QDate dateOption(const QCommandLineParser& cli, const QString& name) {
    if (!cli.isSet(name))
        throw Usage{QStringLiteral("--%1 dd/mm/yyyy is required").arg(name)};
    const auto d = data::parseDate(cli.value(name));
    if (!d)
        throw Usage{QStringLiteral("--%1 \"%2\" is not a date (dd/mm/yyyy, Common or Buddhist era)")
                        .arg(name, cli.value(name))};
    return *d;
}

// What one run asks for, checked whole before the database is reached.
struct Request {
    QDate from, to;
    QChar group;
    web::Query page; // what an intranet list's page is asked, besides the period and group
    bool claims = false;
};

// The files asked for, written while the report is made: each to a temporary file beside its
// target, and the targets replaced only when every one of them was written.
class Outputs {
public:
    explicit Outputs(const QCommandLineParser& cli)
        : pdf_(cli.value(QStringLiteral("pdf"))), csv_(cli.value(QStringLiteral("csv"))) {}
    ~Outputs() {
        pdfOut_.reset();
        csvOut_.reset();
        for (const QString& f : {pdf_, csv_})
            if (!f.isEmpty())
                QFile::remove(part(f));
    }
    void open(const QString& title, const QStringList& csvHeader) {
        if (!pdf_.isEmpty())
            pdfOut_ = std::make_unique<reports::PdfStream>(part(pdf_), title);
        if (!csv_.isEmpty())
            csvOut_ = std::make_unique<reports::CsvStream>(part(csv_), csvHeader);
    }
    void page(const reports::Page& p) {
        ++pages_;
        if (pdfOut_)
            pdfOut_->page(p);
    }
    void row(const QStringList& r) {
        ++rows_;
        if (csvOut_)
            csvOut_->row(r);
    }
    // The rest of a report made whole, or the whole of one.
    void add(const reports::Document& doc) {
        for (const reports::Page& p : doc.pages)
            page(p);
        for (const QStringList& r : doc.csvRows)
            row(r);
    }
    void commit() {
        QString error;
        if ((pdfOut_ && !pdfOut_->commit(&error)) || (csvOut_ && !csvOut_->commit(&error)))
            throw Failure{error};
        for (const QString& f : {pdf_, csv_})
            if (!f.isEmpty() &&
                std::rename(QFile::encodeName(part(f)).constData(), QFile::encodeName(f).constData()) != 0)
                throw Failure{
                    QStringLiteral("cannot write %1: %2").arg(f, QString::fromLocal8Bit(std::strerror(errno)))};
    }
    qint64 rows() const { return rows_; }
    qint64 pages() const { return pages_; }

private:
    static QString part(const QString& f) { return f + QStringLiteral(".part"); }
    QString pdf_, csv_;
    std::unique_ptr<reports::PdfStream> pdfOut_;
    std::unique_ptr<reports::CsvStream> csvOut_;
    qint64 rows_ = 0, pages_ = 0;
};

// Makes a report into the outputs: most are made whole and then written; the survey, which
// can run to a million rows, is written as it is read.
using Builder = std::function<void(data::Connection&, const Request&, Outputs&)>;

void whole(Outputs& out, const reports::Document& doc) {
    out.open(doc.title, doc.csvHeader);
    out.add(doc);
}

// An option handed to an intranet list's page under the page's own name for it.
struct PageOption {
    const char* option;
    const char* key;
    bool required = false;
};

struct ReportKind {
    QString groups;   // what --group takes; required when it is "JI", the desk's two groups
    bool period;      // --from and --to required
    bool takesClaims; // receipt-check
    Builder build;
    QList<PageOption> pageOptions = {};
};

// An intranet page's list through the same output: its page built from the options as the
// page's form would send them.
Builder pageList(reports::WebPage listed) {
    return [path = reports::webPage(listed).path](data::Connection& c, const Request& r, Outputs& out) {
        web::Query q = r.page;
        if (r.from.isValid()) {
            q.insert(QStringLiteral("from"), data::isoDate(r.from));
            q.insert(QStringLiteral("to"), data::isoDate(r.to));
        }
        if (!r.group.isNull())
            q.insert(QStringLiteral("group"), QString(r.group));
        const auto def = std::find_if(web::pages().begin(), web::pages().end(),
                                      [&](const web::PageDef& d) { return d.path == path; });
        const web::Page page = def->build(c, q);
        if (!web::onPaper(c, page, q,
                          {[&](const QString& title, const QStringList& header) { out.open(title, header); },
                           [&](const reports::Page& p) { out.page(p); },
                           [&](const QStringList& row) { out.row(row); }}))
            throw Failure{
                QStringLiteral("nothing to list: no single title has that code or ISSN, or begins with that name")};
    };
}

const std::map<QString, ReportKind>& reportsByName() {
    static const std::map<QString, ReportKind> all = {
        {QStringLiteral("expiry"),
         {QStringLiteral("JI"), true, false,
          [](data::Connection& c, const Request& r, Outputs& out) {
              whole(out, titles::expiryReport(titles::ExpiryStore::list(c, r.group, r.from, r.to),
                                              data::formatDate(r.from), data::formatDate(r.to)));
          }}},
        {QStringLiteral("claims"),
         {QString(), true, false,
          [](data::Connection& c, const Request& r, Outputs& out) {
              whole(out, receipt::Claims::claimsSummary(c, r.from, r.to));
          }}},
        {QStringLiteral("quiet"),
         {QString(), false, false,
          [](data::Connection& c, const Request&, Outputs& out) {
              const QDate today = QDate::currentDate();
              whole(out, receipt::Quiet::report(receipt::Quiet::titles(c, today), today));
          }}},
        {QStringLiteral("yearly"),
         {QString(),
          false,
          false,
          [](data::Connection& c, const Request& r, Outputs& out) {
              whole(out, desk::yearlyReport(c, r.page.value(QStringLiteral("year")).toInt(), QDate::currentDate()));
          },
          {{"year", "year", true}}}},
        {QStringLiteral("receipt-check"),
         {QString(), true, true,
          [](data::Connection& c, const Request& r, Outputs& out) {
              const auto rows = receipt::ReceiptCheck::run(c, r.from, r.to);
              whole(out, r.claims ? receipt::claimsReport(c, rows, r.from, r.to)
                                  : receipt::receiptReport(rows, r.from, r.to));
          }}},
        {reports::webPage(reports::WebPage::AllTitles).command,
         {QStringLiteral("JIKL"), false, false, pageList(reports::WebPage::AllTitles), {{"faculty", "dept"}}}},
        {reports::webPage(reports::WebPage::TitlesByFaculty).command,
         {QString(), false, false, pageList(reports::WebPage::TitlesByFaculty)}},
        {reports::webPage(reports::WebPage::Registrations).command,
         {QString(), true, false, pageList(reports::WebPage::Registrations)}},
        {reports::webPage(reports::WebPage::BoundVolumes).command,
         {QString(), true, false, pageList(reports::WebPage::BoundVolumes)}},
        {reports::webPage(reports::WebPage::IndexEntries).command,
         {QString(), true, false, pageList(reports::WebPage::IndexEntries)}},
        {reports::webPage(reports::WebPage::TitleIssues).command,
         {QString(), false, false, pageList(reports::WebPage::TitleIssues), {{"title", "title", true}}}},
        {reports::webPage(reports::WebPage::Publishers).command,
         {QString(), false, false, pageList(reports::WebPage::Publishers), {{"name", "q"}}}},
        {QStringLiteral("history"),
         {QString(),
          true,
          false,
          [](data::Connection& c, const Request& r, Outputs& out) {
              const QString person = r.page.value(QStringLiteral("person"));
              whole(out, reports::historyReport(data::changesBetween(c, r.from, r.to, person), r.from, r.to, person));
          },
          {{"person", "person"}}}},
        {QStringLiteral("survey"),
         {QStringLiteral("JI"), true, false, [](data::Connection& c, const Request& r, Outputs& out) {
              survey::SurveyReport report(r.group, r.from, r.to);
              out.open(report.title(), report.csvHeader());
              report.handFullPagesTo([&](const reports::Page& p) { out.page(p); });
              report.handRowsTo([&](const QStringList& row) { out.row(row); });
              survey::readSurvey(c, r.group, r.from, r.to,
                                 [&](const QList<survey::SurveyRow>& block) { report.add(block); });
              out.add(report.finish());
          }}}};
    return all;
}

QString reportNames() {
    QStringList names;
    for (const auto& [name, kind] : reportsByName())
        names << name;
    return names.join(QStringLiteral(", "));
}

Request request(const QCommandLineParser& cli, const QString& name, const ReportKind& kind) {
    Request r;
    const auto refuse = [&](const char* option, bool allowed) {
        if (!allowed && cli.isSet(QString::fromLatin1(option)))
            throw Usage{QStringLiteral("%1 takes no --%2").arg(name, QString::fromLatin1(option))};
    };
    refuse("from", kind.period);
    refuse("to", kind.period);
    if (kind.period) {
        r.from = dateOption(cli, QStringLiteral("from"));
        r.to = dateOption(cli, QStringLiteral("to"));
        if (r.to < r.from)
            throw Usage{QStringLiteral("--to %1 lies before --from %2").arg(cli.value("to"), cli.value("from"))};
    }
    refuse("group", !kind.groups.isEmpty());
    const QString g = cli.value(QStringLiteral("group")).trimmed().toUpper();
    if (kind.groups == QLatin1String("JI") && g != QLatin1String("J") && g != QLatin1String("I"))
        throw Usage{QStringLiteral("--group must be J (foreign languages) or I (Thai), not \"%1\"")
                        .arg(cli.value(QStringLiteral("group")))};
    if (!g.isEmpty() && (g.size() != 1 || !kind.groups.contains(g)))
        throw Usage{QStringLiteral("--group must be one of %1, not \"%2\"")
                        .arg(kind.groups.split(QString(), Qt::SkipEmptyParts).join(QLatin1Char(' ')), g)};
    if (!g.isEmpty())
        r.group = g.at(0);
    for (const char* option : {"faculty", "title", "name", "person", "year"}) {
        const auto taken = std::find_if(kind.pageOptions.begin(), kind.pageOptions.end(),
                                        [&](const PageOption& p) { return std::strcmp(p.option, option) == 0; });
        refuse(option, taken != kind.pageOptions.end());
        const QString value = cli.value(QString::fromLatin1(option)).trimmed();
        if (taken != kind.pageOptions.end() && taken->required && value.isEmpty())
            throw Usage{QStringLiteral("%1 needs --%2").arg(name, QString::fromLatin1(option))};
        if (!value.isEmpty())
            r.page.insert(QString::fromLatin1(taken->key), value);
    }
    if (r.page.contains(QStringLiteral("year"))) {
        bool number = false;
        const int year = r.page.value(QStringLiteral("year")).toInt(&number);
        if (!number || !((year >= 1900 && year <= 2200) || (year >= 2443 && year <= 2743)))
            throw Usage{QStringLiteral("--year takes a year such as 2026 or 2569, not \"%1\"")
                            .arg(r.page.value(QStringLiteral("year")))};
    }
    refuse("claims", kind.takesClaims);
    r.claims = cli.isSet(QStringLiteral("claims"));
    const QString pdf = cli.value(QStringLiteral("pdf")), csv = cli.value(QStringLiteral("csv"));
    if (pdf.isEmpty() && csv.isEmpty())
        throw Usage{QStringLiteral("say where to write it: --pdf FILE and/or --csv FILE")};
    if (!pdf.isEmpty() && QFileInfo(pdf).absoluteFilePath() == QFileInfo(csv).absoluteFilePath())
        throw Usage{QStringLiteral("--pdf and --csv name the same file")};
    return r;
}

// Says what is unsafe in the configuration (everything with --verbose, else only what stops
// the run); true when the run cannot go on.
bool configurationUnusable(const QCommandLineParser& cli) {
    bool fatal = false;
    for (const QString& p : data::configurationProblems(&fatal))
        if (fatal || cli.isSet(QStringLiteral("verbose")))
            std::fprintf(stderr, "warasan-report: %s\n", qPrintable(p));
    return fatal;
}

// The titles' MARC 21 records into one file, replaced only once all are written.
int marcRecords(const QCommandLineParser& cli) {
    const auto fail = [](int code, const QString& text) {
        std::fprintf(stderr, "warasan-report: %s\n", qPrintable(text));
        return code;
    };
    for (const char* other : {"pdf", "csv", "from", "to", "claims", "faculty", "name", "person", "year"})
        if (cli.isSet(QString::fromLatin1(other)))
            return fail(2, QStringLiteral("marc takes no --%1; see --help").arg(QString::fromLatin1(other)));
    const QString file = cli.value(QStringLiteral("out"));
    if (file.isEmpty())
        return fail(2, QStringLiteral("say where to write the records: --out FILE; see --help"));
    titles::ExportChoice choice;
    const QString g = cli.value(QStringLiteral("group")).trimmed().toUpper();
    if (!g.isEmpty() && (g.size() != 1 || !QStringLiteral("JIKL").contains(g)))
        return fail(2, QStringLiteral("--group must be one of J I K L, not \"%1\"; see --help").arg(g));
    if (!g.isEmpty())
        choice.series = g.at(0);
    try {
        if (cli.isSet(QStringLiteral("since")))
            choice.since = dateOption(cli, QStringLiteral("since"));
    } catch (const Usage& u) {
        return fail(2, u.text + QStringLiteral("; see --help"));
    }
    choice.pointer = cli.value(QStringLiteral("title")).trimmed();
    choice.holdings = cli.isSet(QStringLiteral("holdings"));
    try {
        if (configurationUnusable(cli))
            return 2;
        data::Connection c(data::installation().db);
        c.open();
        const QList<marc::Record> records = titles::exportRecords(c, choice, data::installation().marcOrganization);
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(marc::write(records, cli.isSet(QStringLiteral("xml")) ? marc::Format::MarcXml
                                                                            : marc::Format::Iso2709)) < 0 ||
            !out.commit())
            return fail(1, QStringLiteral("cannot write %1: %2").arg(file, out.errorString()));
        if (cli.isSet(QStringLiteral("verbose")))
            std::printf("marc: %lld records\n", qint64(records.size()));
        return 0;
    } catch (const data::DbError& e) {
        return fail(1, QStringLiteral("database error %1: %2").arg(e.nativeCode()).arg(e.message()));
    }
}

// Claims for the issues of a period not received: each due one claimed, the letters written
// to the outbox (and, for distributors without an address, to --pdf), then the outbox sent.
int sendAlerts(const QCommandLineParser& cli);
int sendClaims(const QCommandLineParser& cli) {
    const auto fail = [](int code, const QString& text) {
        std::fprintf(stderr, "warasan-report: %s\n", qPrintable(text));
        return code;
    };
    try {
        if (!cli.isSet(QStringLiteral("from")) || !cli.isSet(QStringLiteral("to")))
            throw Usage{QStringLiteral("claims --send needs --from and --to")};
        const QDate from = dateOption(cli, QStringLiteral("from")), to = dateOption(cli, QStringLiteral("to"));
        if (configurationUnusable(cli))
            return 2;
        const data::InstallationConfig& config = data::installation();
        data::Connection c(config.db);
        c.open();
        const QList<receipt::Claims::Row> rows =
            receipt::Claims::rows(c, receipt::ReceiptCheck::run(c, from, to), QDateTime::currentDateTime());
        const receipt::Claims::Sent sent = receipt::Claims::send(
            c, rows, {config.libraryName, config.libraryAddress, config.claimTemplateTh, config.claimTemplateEn},
            config.mailFrom, QDate::currentDate());
        if (!sent.toPrint.isEmpty()) {
            const QString pdf = cli.value(QStringLiteral("pdf"));
            if (pdf.isEmpty())
                std::fprintf(stderr, "warasan-report: %lld letters have no mail address to go to; --pdf FILE prints them\n",
                             qint64(sent.toPrint.size()));
            else {
                reports::installThaiFonts();
                Outputs out(cli);
                whole(out, receipt::Claims::printedLetters(sent.toPrint));
                out.commit();
            }
        }
        if (cli.isSet(QStringLiteral("verbose")))
            std::printf("claims: %d issues claimed, %d letters to the outbox, %lld to print\n", sent.claimed,
                        sent.mailed, qint64(sent.toPrint.size()));
    } catch (const Usage& u) {
        return fail(2, u.text + QStringLiteral("; see --help"));
    } catch (const data::DbError& e) {
        return fail(1, QStringLiteral("database error %1: %2").arg(e.nativeCode()).arg(e.message()));
    } catch (const std::exception& e) {
        return fail(1, QString::fromLocal8Bit(e.what()));
    }
    return sendAlerts(cli);
}

// One run of the new-issue alerts over the configured mail server.
int sendAlerts(const QCommandLineParser& cli) {
    const data::InstallationConfig& config = data::installation();
    if (config.mailUrl.isEmpty() || !alerts::isMailAddress(config.mailFrom)) {
        std::fprintf(stderr, "warasan-report: alerts need [mail] url and from in the configuration\n");
        return 2;
    }
    if (configurationUnusable(cli))
        return 2;
    if (cli.isSet(QStringLiteral("bounce"))) {
        // A bounce handed over by the mail system (a pipe to "warasan-report alerts --bounce -").
        QFile in;
        const QString file = cli.value(QStringLiteral("bounce"));
        if (!(file == QLatin1String("-") ? in.open(stdin, QIODevice::ReadOnly)
                                         : (in.setFileName(file), in.open(QIODevice::ReadOnly)))) {
            std::fprintf(stderr, "warasan-report: cannot read %s\n", qPrintable(file));
            return 2;
        }
        try {
            data::Connection c(config.db);
            c.open();
            const int marked = alerts::recordBounce(c, in.readAll());
            if (marked == 0)
                std::fprintf(stderr, "warasan-report: the bounce names no mail of the outbox\n");
            return marked > 0 ? 0 : 1;
        } catch (const data::DbError& e) {
            std::fprintf(stderr, "warasan-report: database error %d: %s\n", e.nativeCode(), qPrintable(e.message()));
            return 1;
        }
    }
    try {
        data::Connection c(config.db);
        c.open();
        const alerts::RunReport r = alerts::run(
            c,
            {config.mailUrl, config.mailTls, config.mailUser, config.mailPassword, config.mailFrom, config.reportRoot},
            QDate::currentDate());
        for (const QString& p : r.problems)
            std::fprintf(stderr, "warasan-report: %s\n", qPrintable(p));
        if (cli.isSet(QStringLiteral("verbose")))
            std::printf("alerts: %d requests put into effect, %d mails written, %d sent, %d refused, %d to try again\n",
                        r.applied, r.composed, r.sent, r.refused, r.failed);
        return r.failed > 0 ? 1 : 0;
    } catch (const data::DbError& e) {
        std::fprintf(stderr, "warasan-report: database error %d: %s\n", e.nativeCode(), qPrintable(e.message()));
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A scheduler mails whatever is printed: the toolkit's own notes (no runtime folder under
    // cron, say) are kept for --verbose.
    if (std::none_of(argv + 1, argv + argc, [](const char* a) { return std::strcmp(a, "--verbose") == 0; }))
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "warasan-report: %s\n", qPrintable(text));
        });
    QGuiApplication app(argc, argv);
    QCommandLineParser cli;
    app::describeProgram(
        cli, QStringLiteral("warasan"),
        QStringLiteral(
            "Writes a Warasan report as PDF and/or CSV. Prints nothing when it succeeds (unless\n"
            "--verbose); exits 0 on success, 1 when the report could not be made or written, 2\n"
            "when the command line is wrong. An empty report is written with its headings.\n"
            "  expiry  --group J|I --from dd/mm/yyyy --to dd/mm/yyyy   titles whose subscription expires\n"
            "  receipt-check --from dd/mm/yyyy --to dd/mm/yyyy [--claims]   issues not received\n"
            "  survey  --group J|I --from dd/mm/yyyy --to dd/mm/yyyy   issues received, for the survey\n"
            "  history --from dd/mm/yyyy --to dd/mm/yyyy [--person NAME]   changes to the records, by person\n"
            "  quiet   titles received with nothing new for longer than three of their issues, latest first\n"
            "  yearly --year yyyy   the year in charts: arrivals, overdue issues, claims, subscriptions ending\n"
            "The intranet's lists, each as its page has it:\n"
            "  titles  [--group J|I|K|L] [--faculty CODE]   titles received, with their latest issue\n"
            "  titles-by-faculty   the same titles under each faculty\n"
            "  registrations --from dd/mm/yyyy --to dd/mm/yyyy   issues registered, per title\n"
            "  bound-volumes --from dd/mm/yyyy --to dd/mm/yyyy   volumes sent for binding\n"
            "  index-entries --from dd/mm/yyyy --to dd/mm/yyyy   articles indexed, per title\n"
            "  title-issues --title CODE|ISSN   one title's issues as received, newest first\n"
            "  publishers [--name TEXT]   publishers and distributors with their addresses\n"
            "Records for the library catalogue:\n"
            "  marc --out FILE [--xml] [--holdings] [--group J|I|K|L] [--since dd/mm/yyyy] [--title CODE]\n"
            "      titles as MARC 21 records with their holdings: ISO 2709, or MARCXML with --xml;\n"
            "      all, a series, those changed since a date (an issue received, a subscription\n"
            "      dated), or one title\n"
            "New-issue alerts (run by the package's timer):\n"
            "  alerts   puts confirmed requests into effect, mails each new request's confirmation\n"
            "      and each reader's alert of the day, and sends the outbox; exits 1 when a mail\n"
            "      could not be sent now (it is tried again on the next run)\n"
            "Claims to distributors:\n"
            "  claims --from dd/mm/yyyy --to dd/mm/yyyy   claims of the issues expected then, per distributor\n"
            "  claims --send --from dd/mm/yyyy --to dd/mm/yyyy [--pdf FILE]   claims each issue of the\n"
            "      period not received and due (never claimed, or longer ago than the distributor's\n"
            "      wait), writes the letters to the outbox and sends it as alerts does; letters to\n"
            "      distributors without a mail address go to --pdf\n"
            "  alerts --bounce FILE|-   records a bounce that came back for an alert (exits 1 when\n"
            "      it names no mail of the outbox)"));
    cli.addPositionalArgument(QStringLiteral("report"), QStringLiteral("one of the reports named above"));
    cli.addOptions(
        {{QStringLiteral("group"), QStringLiteral("J (foreign languages) or I (Thai); titles: also K or L."),
          QStringLiteral("J|I")},
         {QStringLiteral("faculty"), QStringLiteral("titles: only this faculty's (its code)."), QStringLiteral("code")},
         {QStringLiteral("title"), QStringLiteral("title-issues: the title's code or ISSN."), QStringLiteral("code")},
         {QStringLiteral("name"), QStringLiteral("publishers: only names beginning so."), QStringLiteral("text")},
         {QStringLiteral("person"), QStringLiteral("history: only this person's changes (their account)."),
          QStringLiteral("name")},
         {QStringLiteral("year"), QStringLiteral("yearly: the year, in either era."), QStringLiteral("yyyy")},
         {QStringLiteral("from"), QStringLiteral("Start of the period."), QStringLiteral("dd/mm/yyyy")},
         {QStringLiteral("to"), QStringLiteral("End of the period."), QStringLiteral("dd/mm/yyyy")},
         {QStringLiteral("claims"), QStringLiteral("receipt-check: by distributor, as claims.")},
         {QStringLiteral("pdf"), QStringLiteral("Write the report as PDF to this file."), QStringLiteral("file")},
         {QStringLiteral("csv"), QStringLiteral("Write its rows as CSV to this file."), QStringLiteral("file")},
         {QStringLiteral("out"), QStringLiteral("marc: write the records to this file."), QStringLiteral("file")},
         {QStringLiteral("xml"), QStringLiteral("marc: MARCXML instead of ISO 2709.")},
         {QStringLiteral("holdings"),
          QStringLiteral("marc: MARC 21 holdings records (853 captions and pattern, 863 what is held) instead of "
                         "bibliographic ones.")},
         {QStringLiteral("since"), QStringLiteral("marc: titles changed on or after this date."),
          QStringLiteral("dd/mm/yyyy")},
         {QStringLiteral("bounce"), QStringLiteral("alerts: record this bounce (- reads it from standard input)."),
          QStringLiteral("file")},
         {QStringLiteral("send"), QStringLiteral("claims: claim the due issues and send the letters.")},
         {QStringLiteral("verbose"), QStringLiteral("Say what was written.")}});
    const auto fail = [](int code, const QString& text) {
        std::fprintf(stderr, "warasan-report: %s\n", qPrintable(text));
        return code;
    };
    if (!cli.parse(QGuiApplication::arguments()))
        return fail(2, cli.errorText() + QStringLiteral("; see --help"));
    if (cli.isSet(QStringLiteral("help")))
        cli.showHelp(0);
    if (cli.isSet(QStringLiteral("version"))) {
        std::printf("warasan-report %s\n", WARASAN_VERSION);
        return 0;
    }

    const QStringList args = cli.positionalArguments();
    if (args == QStringList{QStringLiteral("marc")})
        return marcRecords(cli);
    if (args == QStringList{QStringLiteral("alerts")})
        return sendAlerts(cli);
    if (args == QStringList{QStringLiteral("claims")} && cli.isSet(QStringLiteral("send")))
        return sendClaims(cli);
    const auto report = args.size() == 1 ? reportsByName().find(args.first()) : reportsByName().end();
    if (report == reportsByName().end())
        return fail(2, QStringLiteral("name one report (%1); see --help").arg(reportNames()));
    try {
        const Request r = request(cli, args.first(), report->second);
        if (configurationUnusable(cli))
            return 2;
        reports::installThaiFonts();
        data::Connection c(data::installation().db);
        c.open();
        Outputs out(cli);
        report->second.build(c, r, out);
        out.commit();
        if (cli.isSet(QStringLiteral("verbose")))
            std::printf("%s: %lld rows, %lld pages\n", qPrintable(args.first()), out.rows(), out.pages());
        return 0;
    } catch (const Usage& u) {
        return fail(2, u.text + QStringLiteral("; see --help"));
    } catch (const Failure& f) {
        return fail(1, f.text);
    } catch (const data::DbError& e) {
        return fail(1, QStringLiteral("database error %1: %2").arg(e.nativeCode()).arg(e.message()));
    } catch (const std::exception& e) {
        return fail(1, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return fail(1, QStringLiteral("stopped by an unexpected error"));
    }
}
