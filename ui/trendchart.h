#pragma once

// The trend window's chart for one range, built from what measure/trendplot.h works out: the
// judgement bands at the stored height as coloured areas, the weights and their smoothed trend
// as lines, the goal as a level line with its label on it, the marker of the point read, and the
// axes, in the chart theme and line colours for a light or a dark window.

#include "measure/trendplot.h"

#include <QChart>
#include <QDate>
#include <QList>

#include <optional>

class QCategoryAxis;
class QLineSeries;
class QLocale;
class QPalette;
class QScatterSeries;

namespace morvane {

// A chart built, and the parts of it its window works with afterwards. The chart owns the parts;
// whoever takes the chart owns it.
struct TrendChartParts {
    QChart* chart = nullptr;
    QLineSeries* weights = nullptr;   // a place on the chart is read in this series' values
    QList<QLineSeries*> trends;       // the trend's runs, oldest first
    QLineSeries* goal = nullptr;      // null without a goal
    QScatterSeries* marker = nullptr; // the ring on the point read; empty until one is read
    // The dates, without ticks: their labels are placed once the plot's width is known.
    QCategoryAxis* time = nullptr;
};

// The chart of a slice: nothing but the theme for an empty slice. Without a height the bands are
// left out. With a goal, its line is drawn across the time span, in the legend, and its label
// rides on it at the plot's right end wherever the chart is resized.
TrendChartParts buildTrendChart(const TrendSeries& series, const TrendSlice& slice,
                                std::optional<float> height, std::optional<float> goal,
                                const QLocale& locale, const QPalette& palette);

// The theme of a chart in a window of this palette: the dark one on a dark window background (a
// dark desktop theme), else the light one. A chart in another theme is to be built anew.
QChart::ChartTheme trendChartTheme(const QPalette& palette);

// A date's place on the time axis: its Julian day number, as nearestEntry() takes it.
inline qreal chartDay(const QDate& date)
{
    return static_cast<qreal>(date.toJulianDay());
}

} // namespace morvane
