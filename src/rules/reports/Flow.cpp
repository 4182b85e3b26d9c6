#include "rules/reports/Flow.h"

#include <QFontMetricsF>
#include <QTextLayout>

namespace reports {

namespace {
constexpr double left = 400;      // the body's left edge
constexpr double belowLast = 550; // the last line starts this far above the page's foot
// A heading line, indented as the lists have it when it fits, moved left as far as the
// body's edge when it does not, and narrowed only when even that is not enough.
TextItem headed(double y, const QString& text, double size, bool bold, double pageWide) {
    const double width = QFontMetricsF(reportFont(size, bold)).horizontalAdvance(text);
    const double x = qBound(left, pageWide - width, 2500.0);
    return {x, y, text, size, bold, bold, pageWide - x};
}

// A text broken between words into lines no wider than `room` where it can be.
QStringList wrapped(const QString& text, double room, const QFont& font) {
    if (QFontMetricsF(font).horizontalAdvance(text) <= room)
        return {text};
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

} // namespace

Flow::Flow(const QString& heading, const QStringList& subheadings, double pointSize, const QString& pageWord,
           bool landscape)
    : pageWord_(pageWord), size_(pointSize), lineHeight_(textHeight(pointSize, false) + 30), landscape_(landscape),
      width_(landscape ? pageHeight : pageWidth), bottom_((landscape ? pageWidth : pageHeight) - belowLast) {
    // Every page has the same heading lines: measured once, here. The page number stands on a
    // line of its own above the heading, which may reach across.
    const double headingTop = qMax(400.0, 100 + textHeight(12, false) + 40);
    headingItems_.append(headed(headingTop, heading, 16, true, width_));
    double y = headingTop + textHeight(16, true) + 60;
    for (const QString& s : subheadings) {
        headingItems_.append(headed(y, s, size_, false, width_));
        y += lineHeight_;
    }
    bodyTop_ = y + lineHeight_ / 2;
    startPage();
}

void Flow::startPage() {
    if (take_) {
        for (const Page& full : std::as_const(pages_))
            take_(full);
        pages_.clear();
    }
    Page page;
    page.landscape = landscape_;
    page.items = headingItems_;
    page.items.append({width_ - 1600, 100, QStringLiteral("%1 %2").arg(pageWord_).arg(++pageCount_), 12, false, false});
    pages_.append(page);
    if (!foot_.isEmpty())
        footOfEveryPage(foot_);
    y_ = bodyTop_;
    if (!repeated_.isEmpty())
        place({repeated_.constData(), size_t(repeated_.size())}, true);
    for (QList<Cell> heading : std::as_const(groups_)) {
        heading.last().text += continued_;
        place({heading.constData(), size_t(heading.size())}, true);
    }
    top_ = y_;
}

void Flow::footOfEveryPage(const QString& text) {
    constexpr double size = 11;
    if (foot_.isEmpty())
        bottom_ -= textHeight(size, false) + 60;
    foot_ = text;
    const double y = (landscape_ ? pageWidth : pageHeight) - textHeight(size, false);
    pages_.last().items.append({left, y, text, size, false, false});
}

void Flow::groupHeading(std::initializer_list<Cell> cells, int level) {
    endGroups(level);
    if (y_ + 2 * lineHeight_ > bottom_) // the heading goes with the first line of its group
        startPage();
    place({cells.begin(), cells.size()}, true);
    groups_.append(QList<Cell>(cells));
}

void Flow::line(std::initializer_list<Cell> cells, bool bold) {
    if (y_ + lineHeight_ > bottom_)
        startPage();
    place({cells.begin(), cells.size()}, bold);
}

void Flow::wrappedLine(const QList<Cell>& cells) {
    place({cells.constData(), size_t(cells.size())}, false, true);
}

void Flow::repeatOnEveryPage(const QList<Cell>& cells) {
    repeated_ = cells;
    if (y_ == top_) { // nothing on this page yet: they go here too
        place({cells.constData(), size_t(cells.size())}, true);
        top_ = y_;
    }
}

void Flow::place(std::span<const Cell> cells, bool bold, bool wrap) {
    // Each cell's room: up to the next cell, the last one's to the page's edge.
    const auto room = [&](qsizetype i) {
        return (i + 1 < qsizetype(cells.size()) ? cells[size_t(i + 1)].x - 60 : width_ - left) - cells[size_t(i)].x;
    };
    QList<TextItem>& items = pages_.last().items;
    if (!wrap) { // one line: nothing to break, measure or move to the next page
        for (size_t i = 0; i < cells.size(); ++i)
            items.append({left + cells[i].x, y_, cells[i].text, size_, bold, false, room(qsizetype(i))});
        y_ += lineHeight_;
        return;
    }
    QList<QStringList> lines;
    qsizetype most = 1;
    for (size_t i = 0; i < cells.size(); ++i) {
        lines << wrapped(cells[i].text, room(qsizetype(i)), reportFont(size_, bold));
        most = qMax(most, lines.last().size());
    }
    if (y_ + lineHeight_ * double(most) > bottom_ && y_ > top_)
        startPage();
    for (size_t i = 0; i < cells.size(); ++i)
        for (qsizetype k = 0; k < lines.at(qsizetype(i)).size(); ++k)
            pages_.last().items.append({left + cells[i].x, y_ + lineHeight_ * double(k), lines.at(qsizetype(i)).at(k),
                                        size_, bold, false, room(qsizetype(i))});
    y_ += lineHeight_ * double(most);
}

void Flow::picture(double height, const std::function<void(Page&, double, double)>& draw) {
    if (y_ + height > bottom_ && y_ > top_)
        startPage();
    draw(pages_.last(), left, y_);
    y_ += height;
}

void Flow::newPageUnlessTop() {
    groups_.clear();
    if (y_ > top_)
        startPage();
}

} // namespace reports
