#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>

namespace app {

// What every command-line program of ours answers to --help and --version with: its name, the
// project's version and its description.
inline void describeProgram(QCommandLineParser& cli, const QString& name, const QString& description) {
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(QStringLiteral(WARASAN_VERSION));
    cli.setApplicationDescription(description);
    cli.addHelpOption();
    cli.addVersionOption();
}

} // namespace app
