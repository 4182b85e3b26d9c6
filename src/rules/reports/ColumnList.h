#pragma once

#include "rules/reports/Flow.h"

#include <optional>

namespace reports {

// A list of rows under column captions on A4 pages: the heading, its lines and the captions at
// the top of every page. Each column is as wide as its caption and the texts of the first rows
// ask. A list much too wide for the page upright is turned; when it does not fit, the widest
// columns share what is left, and a longer text goes on over further lines. A group's name
// stands on a line of its own where it changes, and the count of rows ends the list.
class ColumnList {
public:
    ColumnList(const QString& heading, const QStringList& subheadings, const QStringList& captions);

    // Full pages go to `take` as they fill, and are not kept.
    void handFullPagesTo(std::function<void(const Page&)> take) { take_ = std::move(take); }
    // Rows in order; `groups` (empty, or one per row) the group each row is in.
    void add(const QList<QStringList>& rows, const QStringList& groups = {});
    // The pages not yet handed on, with the count at the end.
    QList<Page> finish();

private:
    QString heading_;
    QStringList subheadings_, captions_;
    std::function<void(const Page&)> take_;
    std::optional<Flow> flow_; // laid out once the first rows show how wide the columns are
    QList<double> x_;          // each column's place, set by the first rows
    std::optional<QString> group_;
    qint64 count_ = 0;
    void placeColumns(const QList<QStringList>& sample);
};

// Column widths for `wanted`, each kept whole when all fit in `room`; otherwise every column
// wider than a common limit is cut to it, the limit chosen so that they fill the room exactly.
QList<double> shareWidths(const QList<double>& wanted, double room);

} // namespace reports
