#pragma once

// Bar charts drawn once and written two ways: as SVG for the report server's pages and as
// shapes and texts on a printed page. The few shapes a bar chart needs are laid out here, so a
// page and the browser show the same chart, its texts real text (found, copied, escaped) and
// its series told apart by shades of grey that print in black and white.
#include "rules/reports/Report.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace reports {

struct Chart {
    QString title;
    QString unit;           // what the values count ("ฉบับ"), said on the value axis
    QString categoryCaption; // the table's first column ("เดือน", "ผู้จัดจำหน่าย")
    QStringList categories; // along the axis: months, distributors
    QStringList series;     // the key
    QList<QList<double>> values; // values[series][category]
    bool across = false;    // bars run across from names down the left (long names), else up
};

// The chart laid out in a box of units (points): bars and the lines and keys around them, and
// the texts with their baseline and alignment.
struct ChartShape {
    double x = 0, y = 0, width = 0, height = 0;
    int grey = 0;
    bool outlined = false;
    int series = -1, category = -1; // a bar: its series and category
};
struct ChartText {
    double x = 0, y = 0; // y: the baseline
    QString text;
    double size = 8;
    int align = -1; // -1 from x on, 0 centred on x, 1 ending at x
    bool bold = false;
};
struct ChartDrawing {
    double width = 0, height = 0;
    QList<ChartShape> shapes;
    QList<ChartText> texts;
};
// Up charts take `height`; across charts as much as their rows need.
ChartDrawing draw(const Chart& chart, double width = 720, double height = 340);

// The chart as an SVG element for a page (no script, scaled to the page's width).
QByteArray svg(const Chart& chart);
// The numbers under a chart: a row a category, a column a series.
QList<QStringList> tableRows(const Chart& chart);
// The numbers for CSV, one row a value: the chart's title, the category, the series, the value.
QStringList longHeader();
QList<QStringList> longRows(const Chart& chart);
// A value as the tables write it: whole numbers without decimals.
QString valueText(double v);

// The chart over its table on printed pages, a page each chart, under `heading` and `lines`.
Document chartReport(const QString& heading, const QStringList& lines, const QList<Chart>& charts,
                     const QString& fileTitle);

} // namespace reports
