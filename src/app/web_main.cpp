// warasan-web: the intranet report server. Answers the report and search pages the program's
// menu opens, reading the library's database with an account that may only read.
#include "data/CommandLine.h"
#include "data/Config.h"
#include "web/WebServer.h"

#include "rules/reports/Fonts.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

int main(int argc, char** argv) {
    // SIGINT and SIGTERM end the server cleanly: blocked here, so every thread started from
    // now on has them blocked too, and waited for by one thread of their own.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    // The lists' PDFs are drawn by the toolkit's painter, which needs a (screenless) display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser cli;
    app::describeProgram(
        cli, QStringLiteral("warasan-web"),
        QStringLiteral(
            "The Warasan intranet report server: the title lists, the registration, binding and index reports and "
            "the public article search, under the paths the program's menu opens.\nSettings come from the [web] "
            "and [database] sections of warasan.ini; it reads with the [web] user, which may only SELECT."));
    cli.addOptions(
        {{QStringLiteral("listen"),
          QStringLiteral("Address to listen on (default: [web] listen, "
                         "127.0.0.1)."),
          QStringLiteral("address")},
         {QStringLiteral("port"), QStringLiteral("Port (default: [web] port, 8080; 0 for any free one)."),
          QStringLiteral("port")},
         {QStringLiteral("threads"), QStringLiteral("Requests answered at once (default 16)."), QStringLiteral("n")}});
    cli.process(app);
    reports::substituteThaiFaces();

    const data::InstallationConfig& config = data::installation();
    web::ServerOptions options;
    options.listen = cli.isSet(QStringLiteral("listen")) ? cli.value(QStringLiteral("listen")) : config.webListen;
    options.port = cli.isSet(QStringLiteral("port")) ? cli.value(QStringLiteral("port")).toInt() : config.webPort;
    if (cli.isSet(QStringLiteral("threads")))
        options.threads = cli.value(QStringLiteral("threads")).toInt();
    options.db = config.webDb;
    options.requestDb = config.webRequestDb;

    web::WebServer server(options);
    QString error;
    if (!server.bind(&error)) {
        std::fprintf(stderr, "warasan-web: %s\n", qPrintable(error));
        return 1;
    }
    std::fprintf(stderr, "warasan-web: listening on http://%s:%d/ (database %s as %s)\n", qPrintable(options.listen),
                 server.port(), qPrintable(options.db.target()), qPrintable(options.db.user));
    std::thread waiter([&] {
        int sig = 0;
        sigwait(&stopSignals, &sig);
        server.stop();
    });
    server.run();
    // Stopped by a signal, or the listening socket failed: either way the waiter must end.
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    return 0;
}
