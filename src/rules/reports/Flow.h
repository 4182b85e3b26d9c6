#pragma once

#include "rules/reports/Report.h"

#include <initializer_list>
#include <span>

namespace reports {

// A list laid out line by line down A4 pages: the heading and its lines at the top of every
// page, the page number at the top right, a new page when a page is full.
class Flow {
public:
    struct Cell {
        double x; // twips from the left of the body
        QString text;
    };

    // `pageWord` precedes the page number ("หน้า", "Page"). Turned (`landscape`), a line takes
    // pageHeight across.
    Flow(const QString& heading, const QStringList& subheadings, double pointSize = 14,
         const QString& pageWord = QStringLiteral("หน้า"), bool landscape = false);

    void line(std::initializer_list<Cell> cells, bool bold = false);
    // As line(), but a text too long for its room goes on over further lines, broken between
    // words (a single word too long is narrowed); the row stays whole on one page.
    void wrappedLine(const QList<Cell>& cells);
    // A line (column captions, say) drawn under the heading of every page from this one on.
    void repeatOnEveryPage(const QList<Cell>& cells);
    // A group's heading (a title, a distributor): never left alone at the foot of a page, and
    // drawn again, marked as continued, at the top of each page the group runs on to. A
    // heading ends the groups of its level and deeper, and so does endGroups().
    void groupHeading(std::initializer_list<Cell> cells, int level = 0);
    void endGroups(int level = 0) { groups_.resize(qMin(groups_.size(), qsizetype(level))); }
    // A line at the foot of every page (the print date), kept clear of the last line.
    void footOfEveryPage(const QString& text);
    // What a continued heading says after its text (" (ต่อ)" unless set).
    void setContinuedMark(const QString& mark) { continued_ = mark; }
    // Starts a new page, every group ended, unless nothing is on the current one yet.
    void newPageUnlessTop();
    // Room `height` twips high for a drawing (a chart), on this page when it fits, else on the
    // next; `draw` is given the page and the room's top, its items placed from the body's left.
    void picture(double height, const std::function<void(Page& page, double left, double top)>& draw);
    // The pages laid out and not yet handed on.
    const QList<Page>& pages() const { return pages_; }
    // From now on each page is handed on when it is full, and not kept; the last one stays in
    // pages() until the list ends.
    void handFullPagesTo(std::function<void(const Page&)> take) { take_ = std::move(take); }

private:
    QString pageWord_;
    double size_, lineHeight_, top_ = 0, y_ = 0, bodyTop_ = 0;
    bool landscape_;
    double width_, bottom_;
    QList<Page> pages_;
    int pageCount_ = 0;
    std::function<void(const Page&)> take_;
    QList<Cell> repeated_;
    QList<QList<Cell>> groups_; // the open groups' headings, outermost first
    QString continued_ = QStringLiteral(" (ต่อ)");
    QString foot_;
    void startPage();
    QList<TextItem> headingItems_; // the heading's lines, as every page has them
    void place(std::span<const Cell> cells, bool bold, bool wrap = false);
};

} // namespace reports
