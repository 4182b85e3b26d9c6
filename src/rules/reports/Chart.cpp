#include "rules/reports/Chart.h"

#include "rules/reports/Flow.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace reports {

namespace {

constexpr int greys[] = {70, 160, 230}; // series shades, dark to light, each outlined
constexpr double keyTop = 14, small = 10;

// About how wide a text is: Thai vowel and tone marks above and below take no room.
double roughWidth(const QString& text, double size) {
    double n = 0;
    for (const QChar ch : text)
        n += ch.category() == QChar::Mark_NonSpacing ? 0 : 1;
    return n * size * 0.62;
}

QString shortened(const QString& text, double size, double room) {
    if (roughWidth(text, size) <= room)
        return text;
    QString out = text;
    while (!out.isEmpty() && roughWidth(out + u"…"_s, size) > room)
        out.chop(1);
    return out + u"…"_s;
}

// A scale's top and step: 1, 2 or 5 times a power of ten, about four steps.
std::pair<double, double> scaleOf(double most) {
    if (most <= 0)
        return {4, 1};
    const double rough = most / 4, power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= rough) {
            step = m * power;
            break;
        }
    step = std::max(step, 1.0);
    return {std::ceil(most / step) * step, step};
}

} // namespace

QString valueText(double v) {
    return v == std::floor(v) ? QString::number(qint64(v)) : QString::number(v, 'f', 1);
}

ChartDrawing draw(const Chart& chart, double width, double height) {
    ChartDrawing d;
    const qsizetype n = chart.categories.size(), s = chart.series.size();
    double most = 0;
    for (const QList<double>& row : chart.values)
        for (double v : row)
            most = std::max(most, v);
    const auto [top, step] = scaleOf(most);
    const auto valueOf = [&](qsizetype series, qsizetype category) {
        return series < chart.values.size() && category < chart.values.at(series).size()
                   ? chart.values.at(series).at(category)
                   : 0.0;
    };
    d.width = width; // the title goes above it, as a heading of the page it is on
    double x = 0; // the key
    for (qsizetype i = 0; i < s; ++i) {
        d.shapes.append({x, keyTop - 9, 10, 10, greys[i % 3], true});
        d.texts.append({x + 14, keyTop, chart.series.at(i), small});
        x += 14 + roughWidth(chart.series.at(i), small) + 18;
    }
    d.texts.append({width, keyTop, chart.unit, small, 1});
    const double plotTop = keyTop + 14;
    if (n == 0) { // nothing to draw: said where the bars would be
        d.height = plotTop + 40;
        d.texts.append({width / 2, plotTop + 20, u"ไม่มีข้อมูล"_s, small, 0});
        return d;
    }
    if (!chart.across) {
        d.height = height;
        const double left = 40, right = width - 4, bottom = height - 20, plot = bottom - plotTop;
        for (double v = 0; v <= top + step / 2; v += step) {
            const double y = bottom - v / top * plot;
            d.shapes.append({left, y, right - left, 0.5, v == 0 ? 0 : 200, false});
            d.texts.append({left - 4, y + 3, valueText(v), small, 1});
        }
        const double group = n ? (right - left) / double(n) : 0, bar = s ? group * 0.8 / double(s) : 0;
        for (qsizetype c = 0; c < n; ++c) {
            for (qsizetype i = 0; i < s; ++i) {
                const double h = valueOf(i, c) / top * plot;
                d.shapes.append({left + c * group + group * 0.1 + i * bar, bottom - h, bar, h, greys[i % 3], true,
                                 int(i), int(c)});
            }
            d.texts.append({left + c * group + group / 2, bottom + 12,
                            shortened(chart.categories.at(c), small, group), small, 0});
        }
        return d;
    }
    double names = 0;
    for (const QString& c : chart.categories)
        names = std::max(names, roughWidth(c, small));
    const double left = std::min(names, width * 0.35) + 8, right = width - 24, row = std::max(20.0, 11.0 * s + 6);
    const double bottom = plotTop + row * n, plot = right - left;
    d.height = bottom + 20;
    for (double v = 0; v <= top + step / 2; v += step) {
        const double xv = left + v / top * plot;
        d.shapes.append({xv, plotTop, 0.5, bottom - plotTop, v == 0 ? 0 : 200, false});
        d.texts.append({xv, bottom + 12, valueText(v), small, 0});
    }
    const double bar = s ? (row - 6) / double(s) : 0;
    for (qsizetype c = 0; c < n; ++c) {
        const double y = plotTop + c * row + 3;
        for (qsizetype i = 0; i < s; ++i) {
            const double w = valueOf(i, c) / top * plot;
            d.shapes.append({left, y + i * bar, w, bar, greys[i % 3], true, int(i), int(c)});
            d.texts.append({left + w + 3, y + (i + 1) * bar - 1.5, valueText(valueOf(i, c)), 9});
        }
        d.texts.append({left - 4, y + row / 2, shortened(chart.categories.at(c), small, left - 8), small, 1});
    }
    return d;
}

QByteArray svg(const Chart& chart) {
    const ChartDrawing d = draw(chart);
    QString out = u"<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" viewBox=\"0 0 %1 %2\" role=\"img\" "
                  "aria-label=\"%3\" font-family=\"Waree, Loma, Garuda, sans-serif\"><title>%3</title>\n"_s.arg(
                      valueText(d.width), valueText(std::ceil(d.height)), chart.title.toHtmlEscaped());
    const auto n = [](double v) { return QString::number(v, 'f', 2); };
    for (const ChartShape& s : d.shapes) {
        out += u"<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"rgb(%5,%5,%5)\""_s.arg(n(s.x), n(s.y),
                                                                                              n(s.width), n(s.height))
                   .arg(s.grey);
        if (s.outlined)
            out += u" stroke=\"#000\" stroke-width=\"0.6\""_s;
        if (s.series >= 0)
            out += u" data-series=\"%1\" data-category=\"%2\" data-value=\"%3\""_s.arg(s.series).arg(s.category).arg(
                valueText(chart.values.value(s.series).value(s.category)));
        out += u"/>\n"_s;
    }
    for (const ChartText& t : d.texts) {
        out += u"<text x=\"%1\" y=\"%2\" font-size=\"%3\""_s.arg(n(t.x), n(t.y), valueText(t.size));
        if (t.align >= 0)
            out += t.align == 0 ? u" text-anchor=\"middle\""_s : u" text-anchor=\"end\""_s;
        if (t.bold)
            out += u" font-weight=\"bold\""_s;
        out += u">%1</text>\n"_s.arg(t.text.toHtmlEscaped());
    }
    return (out + u"</svg>"_s).toUtf8();
}

QList<QStringList> tableRows(const Chart& chart) {
    QList<QStringList> out;
    for (qsizetype c = 0; c < chart.categories.size(); ++c) {
        QStringList row = {chart.categories.at(c)};
        for (qsizetype i = 0; i < chart.series.size(); ++i)
            row << valueText(chart.values.value(i).value(c));
        out.append(row);
    }
    return out;
}

QStringList longHeader() {
    return {u"แผนภูมิ"_s, u"รายการ"_s, u"ชุดข้อมูล"_s, u"จำนวน"_s};
}

QList<QStringList> longRows(const Chart& chart) {
    QList<QStringList> out;
    for (qsizetype c = 0; c < chart.categories.size(); ++c)
        for (qsizetype i = 0; i < chart.series.size(); ++i)
            out.append({chart.title, chart.categories.at(c), chart.series.at(i),
                        valueText(chart.values.value(i).value(c))});
    return out;
}

Document chartReport(const QString& heading, const QStringList& lines, const QList<Chart>& charts,
                     const QString& fileTitle) {
    Flow flow(heading, lines);
    Document doc;
    doc.title = fileTitle;
    doc.csvHeader = longHeader();
    constexpr double twips = 20, width = 520; // a point of the drawing is 20 twips; 10,400 twips across
    for (qsizetype k = 0; k < charts.size(); ++k) {
        const Chart& chart = charts.at(k);
        if (k > 0)
            flow.newPageUnlessTop();
        const ChartDrawing d = draw(chart, width, 250);
        flow.groupHeading({{0, chart.title}});
        flow.picture(d.height * twips + 200, [&](Page& page, double left, double top) {
            for (const ChartShape& s : d.shapes)
                page.boxes.append({left + s.x * twips, top + s.y * twips, std::max(s.width * twips, 8.0),
                                   std::max(s.height * twips, 8.0), s.grey, s.outlined});
            for (const ChartText& t : d.texts) {
                const QFontMetricsF m(reportFont(t.size, t.bold));
                const double w = t.align < 0 ? 0 : m.horizontalAdvance(t.text);
                page.items.append({left + t.x * twips - (t.align == 0 ? w / 2 : t.align > 0 ? w : 0),
                                   top + t.y * twips - m.ascent(), t.text, t.size, t.bold, false});
            }
        });
        // The numbers beneath: the category's column, then a column a series.
        QList<Flow::Cell> header = {{0, chart.categoryCaption}};
        const double first = chart.across ? 6000 : 2400,
                     each = std::min(2400.0, (10400 - first) / double(std::max<qsizetype>(1, chart.series.size())));
        for (qsizetype i = 0; i < chart.series.size(); ++i)
            header.append({first + i * each, chart.series.at(i)});
        flow.wrappedLine(header);
        for (const QStringList& row : tableRows(chart)) {
            QList<Flow::Cell> cells = {{0, row.first()}};
            for (qsizetype i = 1; i < row.size(); ++i)
                cells.append({first + (i - 1) * each, row.at(i)});
            flow.wrappedLine(cells);
        }
        doc.csvRows.append(longRows(chart));
    }
    doc.pages = flow.pages();
    return doc;
}

} // namespace reports
