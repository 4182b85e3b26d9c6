#pragma once

#include "rules/reports/Report.h"
#include "support/Names.h"

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

// What is wrong with a report's pages: a text outside the printable area, narrowed below two
// thirds, or nearer another than 2 mm (narrowed: at its room); a bold group heading ending a
// page, or a page whose list does not begin with one (or with the column captions).
inline QStringList layoutProblems(const reports::Document& doc) {
    QStringList out;
    double top = 1e9; // where the list begins below the page's own heading
    for (const reports::TextItem& t : doc.pages.value(0).items)
        if (t.bold && t.pointSize == 14)
            top = qMin(top, t.y);
    for (int p = 0; p < doc.pages.size(); ++p) {
        const reports::TextItem *first = nullptr, *last = nullptr;
        for (const reports::TextItem& t : doc.pages.at(p).items)
            if (t.y >= top) {
                first = !first || t.y < first->y ? &t : first;
                last = !last || t.y > last->y ? &t : last;
            }
        if (p > 0 && first && !first->bold)
            out << u"page %1 begins with \"%2\", under no heading"_s.arg(p + 1).arg(first->text);
        if (p + 1 < doc.pages.size() && last && last->bold)
            out << u"page %1 ends with the heading \"%2\""_s.arg(p + 1).arg(last->text);
        QList<QRectF> boxes;
        for (const reports::TextItem& t : doc.pages.at(p).items) {
            const QFontMetricsF m(reports::reportFont(t.pointSize, t.bold, t.underline));
            const double advance = m.horizontalAdvance(t.text);
            const QRectF box(t.x - 55, t.y, (t.width > 0 ? qMin(advance, t.width) : advance) + 110, m.height());
            const QString where = u"page %1 \"%2\""_s.arg(p + 1).arg(t.text.left(30));
            if (!QRectF(-55, 0, reports::pageWidth + 110, reports::pageHeight).contains(box))
                out << where + u" outside the page"_s;
            if (t.width > 0 && advance > t.width * 1.5)
                out << where + u" narrowed to %1 %"_s.arg(qRound(100 * t.width / advance));
            for (const QRectF& other : boxes)
                if (const QRectF both = box.intersected(other); both.width() > 0 && both.height() > box.height() / 4)
                    out << where + u" over or against another text"_s;
            boxes << box;
        }
    }
    return out;
}

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testsupport
