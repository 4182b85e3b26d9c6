#include "rules/reports/ColumnList.h"

#include <QFontMetricsF>
#include <QLocale>
#include <algorithm>

namespace reports {

namespace {
constexpr double listSize = 12; // points: seven columns of Thai text across A4
constexpr double gap = 150;     // twips between columns
constexpr double margin = 400;
} // namespace

QList<double> shareWidths(const QList<double>& wanted, double room) {
    double total = 0;
    for (double w : wanted)
        total += w;
    if (total <= room)
        return wanted;
    // Raise the limit column by column from the narrowest: the columns under it keep their
    // width, the rest share what is left equally.
    QList<double> sorted = wanted;
    std::sort(sorted.begin(), sorted.end());
    double below = 0, limit = 0;
    for (int i = 0; i < sorted.size(); ++i) {
        limit = (room - below) / double(sorted.size() - i);
        if (sorted.at(i) > limit)
            break;
        below += sorted.at(i);
    }
    QList<double> out;
    for (double w : wanted)
        out << std::min(w, limit);
    return out;
}

ColumnList::ColumnList(const QString& heading, const QStringList& subheadings, const QStringList& captions)
    : heading_(heading), subheadings_(subheadings), captions_(captions) {}

void ColumnList::placeColumns(const QList<QStringList>& sample) {
    const QFontMetricsF plain(reportFont(listSize)), bold(reportFont(listSize, true));
    QList<double> wanted;
    for (int c = 0; c < captions_.size(); ++c) {
        double w = bold.horizontalAdvance(captions_.at(c));
        for (const QStringList& row : sample)
            w = std::max(w, plain.horizontalAdvance(row.value(c)));
        wanted << w + gap;
    }
    double total = 0;
    for (double w : wanted)
        total += w;
    // Turned only when upright the widest columns would lose more than a fifth of the room: a
    // turned page holds fewer than half the rows.
    const bool landscape = total > (pageWidth - margin) * 1.25;
    flow_.emplace(heading_, subheadings_, listSize, QStringLiteral("หน้า"), landscape);
    if (take_)
        flow_->handFullPagesTo(take_);
    const QList<double> widths = shareWidths(wanted, (landscape ? pageHeight : pageWidth) - margin);
    double x = 0;
    QList<Flow::Cell> heads;
    for (int c = 0; c < captions_.size(); ++c) {
        x_ << x;
        heads.append({x, captions_.at(c)});
        x += widths.at(c);
    }
    flow_->repeatOnEveryPage(heads);
}

void ColumnList::add(const QList<QStringList>& rows, const QStringList& groups) {
    if (x_.isEmpty())
        placeColumns(rows);
    for (int r = 0; r < rows.size(); ++r) {
        if (r < groups.size() && group_ != groups.at(r)) {
            group_ = groups.at(r);
            flow_->groupHeading({{0, group_->isEmpty() ? QStringLiteral("(ไม่ระบุ)") : *group_}});
        }
        QList<Flow::Cell> cells;
        for (int c = 0; c < x_.size(); ++c)
            cells.append({x_.at(c), rows.at(r).value(c)});
        flow_->wrappedLine(cells);
        ++count_;
    }
}

QList<Page> ColumnList::finish() {
    if (x_.isEmpty())
        placeColumns({});
    flow_->endGroups();
    if (count_ == 0)
        flow_->line({{0, QStringLiteral("ไม่พบรายการ")}});
    flow_->line({});
    flow_->line({{0, QStringLiteral("รวมทั้งสิ้น %1 รายการ").arg(QLocale(QLocale::Thai).toString(count_))}}, true);
    return flow_->pages();
}

} // namespace reports
