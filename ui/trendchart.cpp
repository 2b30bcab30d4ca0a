#include "ui/trendchart.h"

#include "measure/bands.h"
#include "measure/bandweights.h"
#include "measure/goal.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QCoreApplication>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPalette>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

using namespace Qt::StringLiterals;

// The chart's texts are its window's, under the window's translation context.

namespace morvane {
namespace {

// Above this many points the markers would merge into a thick line and only slow the drawing.
constexpr qsizetype kMaxMarkedPoints = 200;

// Band colours behind the weights: light enough that the lines stay readable on every band.
constexpr int kBandAlpha = 70;

struct Span {
    double low = 0.0;
    double high = 0.0;
};

// A dark window background (a dark desktop theme) gets the dark chart theme and lines drawn in
// light colours; the bands keep their colours, see-through over either background.
bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

struct Colours {
    QColor weight;
    QColor trend;
    QColor goal;
    QColor marker;
};

Colours coloursFor(bool dark)
{
    if (dark)
        return {QColor(0x8c, 0xb8, 0xff), QColor(0xe0, 0xe0, 0xe0), QColor(0x5c, 0xd6, 0x8f),
                QColor(0xff, 0xa0, 0x40)};
    return {QColor(0x1d, 0x3f, 0x8a), QColor(0x20, 0x20, 0x20), QColor(0x00, 0x7a, 0x3d),
            QColor(0xd0, 0x50, 0x00)};
}

// The bands as areas over the whole time span, cut to the weights on show. The judgement bands
// themselves are open at both ends (the meter only stops at 15.4 and 31.6), so the outer bands
// reach to the chart's edges.
void addBands(QChart* chart, float height, const Span& time, const WeightScale& weight)
{
    for (const Band& band : bands()) {
        WeightRange range = bandWeightRange(band.number, height);
        if (band.number == 1)
            range.lower = -std::numeric_limits<double>::infinity();
        if (band.number == 6)
            range.upper = std::numeric_limits<double>::infinity();
        const double low = std::max(range.lower, weight.low);
        const double high = std::min(range.upper, weight.high);
        if (!(high > low))
            continue;

        auto* upper = new QLineSeries;
        upper->append(time.low, high);
        upper->append(time.high, high);
        auto* lower = new QLineSeries;
        lower->append(time.low, low);
        lower->append(time.high, low);
        auto* area = new QAreaSeries(upper, lower);
        // The area draws its edges but does not own them.
        upper->setParent(area);
        lower->setParent(area);
        area->setName(band.caption);
        QColor colour = QColor::fromRgba(band.background);
        colour.setAlpha(kBandAlpha);
        area->setColor(colour);
        area->setBorderColor(Qt::transparent);
        area->setPen(Qt::NoPen);
        chart->addSeries(area);
    }
}

QLineSeries* lineSeries(const QString& name, const QList<QPointF>& points)
{
    auto* series = new QLineSeries;
    series->setName(name);
    series->replace(points); // one call: appending point by point redraws each time
    return series;
}

// The goal as a level line across the whole time span, with its label riding on it at the right
// end of the plot, wherever the chart is resized. The chart's axes must be in place.
QLineSeries* addGoal(QChart* chart, float kilograms, const Span& time, const QColor& colour,
                     const QLocale& locale)
{
    const double goal = kilograms;
    const QString label = goalText(kilograms, std::nullopt, locale);
    QLineSeries* series = lineSeries(label, {{time.low, goal}, {time.high, goal}});
    QPen pen(colour);
    pen.setWidthF(2.0);
    pen.setStyle(Qt::DashDotLine);
    series->setPen(pen);
    chart->addSeries(series);
    for (QAbstractAxis* axis : chart->axes())
        series->attachAxis(axis);

    auto* text = new QGraphicsSimpleTextItem(label, chart);
    text->setBrush(pen.color());
    auto place = [chart, text, goal, series] {
        const QRectF plot = chart->plotArea();
        const QPointF at = chart->mapToPosition(QPointF(0, goal), series);
        const QRectF box = text->boundingRect();
        text->setPos(plot.right() - box.width() - 4, at.y() - box.height() - 1);
    };
    QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
    place();
    return series;
}

// The weights and their smoothed trend as lines, and the marker of the point read over them. The
// trend is a line per run: it starts again after a long pause, and only its first run names it
// in the legend.
void addLines(QChart* chart, const TrendSeries& series, const TrendSlice& slice,
              const Colours& colours, TrendChartParts& parts)
{
    // A long history is drawn from a few thousand of its points, chosen so that no peak, dip or
    // band crossing is lost: Qt Charts would otherwise lay out and paint millions of them.
    auto points = [&](const QList<double>& values) {
        const std::span<const double> shown(values.constData() + slice.begin,
                                            std::size_t(slice.end - slice.begin));
        const QList<qsizetype> kept = chartPoints(shown);
        QList<QPointF> result;
        result.reserve(kept.size());
        for (const qsizetype i : kept)
            result.append({chartDay(series.entries[slice.begin + i].date), shown[std::size_t(i)]});
        return result;
    };
    const QList<QPointF> weights = points(series.weights);
    parts.weights =
        lineSeries(QCoreApplication::translate("morvane::TrendWindow", "体重"), weights);
    parts.weights->setPointsVisible(weights.size() <= kMaxMarkedPoints);
    parts.weights->setColor(colours.weight);
    chart->addSeries(parts.weights);
    // Solid and broad: a dashed line of this many points takes Qt several times as long to draw.
    QPen broad(colours.trend);
    broad.setWidthF(2.5);
    const QString trendName = QCoreApplication::translate("morvane::TrendWindow", "傾向");
    for (const QList<TrendPoint>& run : trendLines(series, slice)) {
        QList<QPointF> line;
        line.reserve(run.size());
        for (const TrendPoint& p : run)
            line.append({qreal(p.day), p.trend});
        QLineSeries* trend = lineSeries(trendName, line);
        trend->setPen(broad);
        chart->addSeries(trend);
        parts.trends.append(trend);
    }
    // The point read, drawn over the lines.
    parts.marker = new QScatterSeries;
    parts.marker->setMarkerSize(11.0);
    parts.marker->setColor(Qt::transparent);
    parts.marker->setBorderColor(colours.marker);
    parts.marker->setPen(QPen(colours.marker, 2.5));
    chart->addSeries(parts.marker);
}

// The axes, attached to every series. The dates' ticks are placed when the plot's width is
// known, by the window.
void addAxes(QChart* chart, const Span& time, const WeightScale& weight, TrendChartParts& parts)
{
    parts.time = new QCategoryAxis;
    parts.time->setTitleText(QCoreApplication::translate("morvane::TrendWindow", "日付"));
    parts.time->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    parts.time->setRange(time.low, time.high);
    parts.time->setStartValue(time.low);
    auto* weightAxis = new QValueAxis;
    weightAxis->setTitleText(QCoreApplication::translate("morvane::TrendWindow", "体重 (kg)"));
    weightAxis->setRange(weight.low, weight.high);
    weightAxis->setTickType(QValueAxis::TicksDynamic);
    weightAxis->setTickAnchor(std::ceil(weight.low / weight.step) * weight.step);
    weightAxis->setTickInterval(weight.step);
    weightAxis->setLabelFormat(u"%.0f"_s);
    chart->addAxis(parts.time, Qt::AlignBottom);
    chart->addAxis(weightAxis, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(parts.time);
        s->attachAxis(weightAxis);
    }
}

} // namespace

TrendChartParts buildTrendChart(const TrendSeries& series, const TrendSlice& slice,
                                std::optional<float> height, std::optional<float> goal,
                                const QLocale& locale, const QPalette& palette)
{
    TrendChartParts parts;
    auto* chart = new QChart;
    parts.chart = chart;
    // The theme first: it sets the colours of everything added before it.
    chart->setTheme(trendChartTheme(palette));
    if (slice.isEmpty())
        return parts;
    const Span time{chartDay(slice.first), chartDay(slice.last)};
    const WeightScale weight = weightScale(series, slice, goal);
    const Colours colours = coloursFor(isDark(palette));

    chart->setLocale(locale);
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (height)
        addBands(chart, *height, time, weight);
    addLines(chart, series, slice, colours, parts);
    addAxes(chart, time, weight, parts);
    for (QLegendMarker* m : chart->legend()->markers(parts.marker))
        m->setVisible(false);
    for (qsizetype i = 1; i < parts.trends.size(); ++i) {
        for (QLegendMarker* m : chart->legend()->markers(parts.trends[i]))
            m->setVisible(false);
    }
    if (goal)
        parts.goal = addGoal(chart, *goal, time, colours.goal, locale);
    return parts;
}

QChart::ChartTheme trendChartTheme(const QPalette& palette)
{
    return isDark(palette) ? QChart::ChartThemeDark : QChart::ChartThemeLight;
}

} // namespace morvane
