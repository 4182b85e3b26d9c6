#pragma once

#include "reports/Report.h"
#include "support/Names.h"

#include <QFile>
#include <QFontMetricsF>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <algorithm>

namespace testsupport {

// Text compared without blanks and without Thai marks above and below the line: pdftotext
// places those by where they stand on the page, not in the order they were written, and gives
// some as the font's own shifted forms (private use, U+F700 on).
inline QString bare(QString s) {
    static const QRegularExpression marks(u"[\\s\\x{0E31}\\x{0E34}-\\x{0E3A}\\x{0E47}-\\x{0E4E}\\x{F700}-\\x{F71F}]"_s);
    return s.remove(marks);
}

// The text of a PDF (one page of it, or all), bare.
inline QString pdfText(const QString& file, int page = 0) {
    QStringList args;
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    QProcess p;
    p.start(u"pdftotext"_s, args << file << "-");
    p.waitForFinished(60000);
    return bare(QString::fromUtf8(p.readAllStandardOutput()));
}

// Each word of a PDF with its page and box (points), and whether the box lies on its page.
struct PdfWord {
    int page;
    QString text; // bare
    double x;     // left edge
    bool onPage;
};
inline QList<PdfWord> pdfWords(const QString& file) {
    QProcess p;
    p.start(u"pdftotext"_s, {u"-bbox"_s, file, u"-"_s});
    p.waitForFinished(60000);
    static const QRegularExpression tag(
        QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|<word xMin=\"([-\\d.]+)\" yMin=\"([-\\d.]+)\" "
                       "xMax=\"([-\\d.]+)\" yMax=\"([-\\d.]+)\">([^<]*)</word>"));
    QList<PdfWord> out;
    int page = 0;
    double width = 0, height = 0;
    for (const auto& m : tag.globalMatch(QString::fromUtf8(p.readAllStandardOutput()))) {
        if (!m.captured(1).isEmpty()) {
            ++page;
            width = m.captured(1).toDouble();
            height = m.captured(2).toDouble();
            continue;
        }
        out.append({page, bare(m.captured(7)), m.captured(3).toDouble(),
                    m.captured(3).toDouble() >= 0 && m.captured(4).toDouble() >= 0 &&
                        m.captured(5).toDouble() <= width && m.captured(6).toDouble() <= height});
    }
    return out;
}

// Two texts of one printed line closer than a visible gap (2 mm), a text narrowed to its room
// counted at that room: "page N: A | B"; empty when no line is crowded.
inline QString crowded(const reports::Document& doc) {
    for (qsizetype p = 0; p < doc.pages.size(); ++p) {
        QList<reports::TextItem> items = doc.pages.at(p).items;
        std::sort(items.begin(), items.end(),
                  [](const auto& a, const auto& b) { return std::pair(a.y, a.x) < std::pair(b.y, b.x); });
        for (qsizetype i = 0; i + 1 < items.size(); ++i) {
            const reports::TextItem &a = items.at(i), &b = items.at(i + 1);
            const double wide = QFontMetricsF(reports::reportFont(a.pointSize, a.bold)).horizontalAdvance(a.text);
            if (a.y == b.y && a.x + (a.width > 0 ? qMin(wide, a.width) : wide) + 110 > b.x)
                return u"page %1: %2 | %3"_s.arg(p + 1).arg(a.text, b.text);
        }
    }
    return {};
}

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testsupport
