#include "reports/Flow.h"

#include <QFontMetricsF>

namespace reports {

namespace {
constexpr double left = 400;     // the body's left edge
constexpr double bottom = 15600; // the last line starts above this (A4 with narrow margins)
// A heading line, indented as the lists have it when it fits, moved left as far as the
// body's edge when it does not, and narrowed only when even that is not enough.
TextItem headed(double y, const QString& text, double size, bool bold) {
    const double width = QFontMetricsF(reportFont(size, bold)).horizontalAdvance(text);
    const double x = qBound(left, pageWidth - width, 2500.0);
    return {x, y, text, size, bold, bold, pageWidth - x};
}

} // namespace

Flow::Flow(const QString& heading, const QStringList& subheadings, double pointSize, const QString& pageWord)
    : heading_(heading), pageWord_(pageWord), subheadings_(subheadings), size_(pointSize),
      lineHeight_(textHeight(pointSize, false) + 30) {
    startPage();
}

void Flow::startPage() {
    if (take_) {
        for (const Page& full : std::as_const(pages_))
            take_(full);
        pages_.clear();
    }
    Page page;
    // The page number on a line of its own above the heading, which may reach across.
    const double headingTop = qMax(400.0, 100 + textHeight(12, false) + 40);
    page.items.append(headed(headingTop, heading_, 16, true));
    double y = headingTop + textHeight(16, true) + 60;
    for (const QString& s : subheadings_) {
        page.items.append(headed(y, s, size_, false));
        y += lineHeight_;
    }
    page.items.append({9600, 100, QStringLiteral("%1 %2").arg(pageWord_).arg(++pageCount_), 12, false, false});
    pages_.append(page);
    top_ = y_ = y + lineHeight_ / 2;
}

void Flow::line(const QList<Cell>& cells, bool bold) {
    if (y_ + lineHeight_ > bottom)
        startPage();
    for (int i = 0; i < cells.size(); ++i) {
        const double end = i + 1 < cells.size() ? left + cells.at(i + 1).x - 60 : pageWidth;
        pages_.last().items.append(
            {left + cells.at(i).x, y_, cells.at(i).text, size_, bold, false, end - left - cells.at(i).x});
    }
    y_ += lineHeight_;
}

void Flow::newPageUnlessTop() {
    if (y_ > top_)
        startPage();
}

} // namespace reports
