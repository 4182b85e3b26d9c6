#pragma once

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

namespace testsupport {

// Text compared without blanks and without Thai marks above and below the line: pdftotext
// places those by where they stand on the page, not in the order they were written.
inline QString bare(QString s) {
    static const QRegularExpression marks(QStringLiteral("[\\s\\x{0E31}\\x{0E34}-\\x{0E3A}\\x{0E47}-\\x{0E4E}]"));
    return s.remove(marks);
}

// The text of a PDF (one page of it, or all), bare.
inline QString pdfText(const QString& file, int page = 0) {
    QStringList args;
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args << file << "-");
    p.waitForFinished(60000);
    return bare(QString::fromUtf8(p.readAllStandardOutput()));
}

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testsupport
