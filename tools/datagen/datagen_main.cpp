// warasan-datagen: fills an empty Warasan database with generated data, for the demo and
// the benchmarks. Connects with the installation's configuration (WARASAN_SERVER, ...).
#include "DataGenerator.h"
#include "data/Config.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Fills an empty Warasan database with generated data."));
    cli.addHelpOption();
    const QCommandLineOption preset(QStringLiteral("preset"), QStringLiteral("demo, messy, large or huge"),
                                    QStringLiteral("name"), QStringLiteral("demo"));
    const QCommandLineOption titles(QStringLiteral("titles"), QStringLiteral("number of titles"), QStringLiteral("n"));
    const QCommandLineOption issues(QStringLiteral("issues"), QStringLiteral("number of issues in all"),
                                    QStringLiteral("n"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("print only the summary"));
    const QCommandLineOption messy(QStringLiteral("messy"),
                                   QStringLiteral("make the data as a real library's is (the messy preset's rows)"));
    cli.addOptions({preset, titles, issues, quiet, messy});
    cli.process(app);

    const QString name = cli.value(preset);
    const QHash<QString, datagen::DataSize (*)()> presets = {{QStringLiteral("demo"), &datagen::DataSize::demo},
                                                             {QStringLiteral("messy"), &datagen::DataSize::messySet},
                                                             {QStringLiteral("large"), &datagen::DataSize::large},
                                                             {QStringLiteral("huge"), &datagen::DataSize::huge}};
    if (!presets.contains(name)) {
        std::fprintf(stderr, "warasan-datagen: unknown preset %s (demo, messy, large or huge)\n", qPrintable(name));
        return 2;
    }
    datagen::DataSize size = presets.value(name)();
    size.messy |= cli.isSet(messy);
    if (cli.isSet(titles))
        size.titles = cli.value(titles).toInt();
    if (cli.isSet(issues)) {
        size.issues = cli.value(issues).toInt();
        size.yearsOfIssues = 0;
    }
    try {
        data::Connection c(data::installation().db);
        c.open();
        QElapsedTimer timer;
        timer.start();
        const datagen::DataCounts n = datagen::generate(c, size, [&](const QString& line) {
            if (!cli.isSet(quiet))
                std::fprintf(stderr, "  %s\n", qPrintable(line));
        });
        const double seconds = timer.elapsed() / 1000.0;
        std::printf("generated %lld rows (%lld titles, %lld issues, %lld articles, %lld subject rows, %lld authors, "
                    "%lld volumes) in %.1f s, %.0f rows/s\n",
                    n.total(), n.titles, n.issues, n.articles, n.subjects, n.authors, n.volumes, seconds,
                    n.total() / qMax(seconds, 0.001));
    } catch (const data::DbError& e) {
        std::fprintf(stderr, "warasan-datagen: %s\n", qPrintable(e.describe()));
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "warasan-datagen: %s\n", e.what());
        return 1;
    }
    return 0;
}
