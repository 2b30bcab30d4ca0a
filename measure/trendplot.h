#pragma once

// What the trend chart plots, worked out without a window: the entries it can draw, the part of
// them a chosen range shows, the weight scale, the dates of the time axis's ticks, the summary
// line, the trend's figures and goal forecast as text, and the reading of one point. The chart
// (ui/trendchart.h) and its window (ui/trendwindow.h) only turn these into Qt Charts objects.

#include "measure/trend.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QLocale;

namespace morvane {

// The ranges the chart offers, each ending today: the last month, three months, year, or the
// whole history.
enum class TrendRange { Month, ThreeMonths, Year, All };

// The entries a chart can draw: the readable lines whose weight the program would accept
// (kWeightRange), oldest first. A line of 0 kg or of a billion kilograms (a slip, or an edited
// file) is skipped like an unreadable line: plotting it would squash every real weight into one
// flat line, and its scale would need millions of labels.
struct TrendSeries {
    QList<TrendEntry> entries;
    QList<double> weights; // entries[i].weight, for chartPoints()
    WeightTrend trend;     // the smoothed trend of the whole history, by day
    QList<double> trends;  // the trend on entries[i]'s day
    int skippedLines = 0;  // unreadable lines and weights outside the accepted range
};
TrendSeries trendSeries(Trend trend);

// The entries a range shows, [begin, end), and the dates the time axis spans. A fixed range spans
// from the same day a month (three months, a year) before today up to today, whether or not there
// are entries near its ends; All spans the first entry's date to the last one's. A span of one
// day is widened by a day either side, so that the axis has a width.
//
// The trend of an entry always counts the entries before it, also those before the range: the
// trend's first values in a range are then as smooth as the rest, instead of restarting from a
// single weight at the left edge.
struct TrendSlice {
    qsizetype begin = 0;
    qsizetype end = 0;
    QDate first;
    QDate last;

    bool isEmpty() const { return begin == end; }
};
TrendSlice trendSlice(const TrendSeries& series, TrendRange range, const QDate& today);

// A day of the trend's line on the chart: its Julian day number and the trend on it.
struct TrendPoint {
    qint64 day = 0;
    double trend = 0.0;
};
// The trend's line over the slice's dates, one list of points per run (a chart breaks the line
// between them). Every day is a point over a span of up to kDailyTrendPointsDays; a longer span
// takes the weighing days, as many as chartPoints() keeps of them: between two weighings the
// trend bends so gently that a chart of years draws no other line, at a fraction of the cost.
inline constexpr qint64 kDailyTrendPointsDays = 2 * 366;
QList<QList<TrendPoint>> trendLines(const TrendSeries& series, const TrendSlice& slice);

// The weight axis: every weight and trend of the slice with a margin (5 % of their spread, at
// least 1 kg, never below 0 kg), reaching to the goal if there is one, at whole kilograms. The
// ticks fall on multiples of a step of 1, 2 or 5 times a power of ten kilograms, the smallest that
// gives at most kMaxWeightSteps steps: a dozen labels at most, whatever the weights.
inline constexpr int kMaxWeightSteps = 10;
struct WeightScale {
    double low = 0.0;
    double high = 0.0;
    double step = 1.0;
};
WeightScale weightScale(const TrendSeries& series, const TrendSlice& slice,
                        std::optional<float> goal);

// The dates of the time axis's ticks from first to last (both included), at most maxTicks of
// them, on calendar dates that read well: on days for a span of up to two weeks, on the first
// day of a week (weekStart) for up to three months, on the first of a month for up to two years,
// and on New Year's Day beyond. Where a tick at every unit would be too many, every 2nd, 3rd ...
// unit is taken, counted from a fixed origin, so that the same dates keep their ticks whatever
// the span: even days, odd weeks, January/April/July/October, years divisible by 5 ...
QList<QDate> dateTicks(const QDate& first, const QDate& last, int maxTicks,
                       Qt::DayOfWeek weekStart);

// Where the time axis's date labels may stand, all in the unit the labels are measured in. The
// axis's labels share its width equally, one share more than there are labels, and a label needs
// `padding` on either side within its share.
struct DateAxisRoom {
    double plotLeft = 0.0;  // where the first date of the span stands
    double plotWidth = 0.0; // from the first date to the last
    double axisWidth = 0.0;
    double padding = 0.0;
    double right = 0.0; // no label reaches beyond this
    double gap = 0.0;   // the least room between two neighbouring labels
};

// A tick of the time axis: its date, its label and where the label's centre stands.
struct DateTick {
    QDate date;
    QString label;
    double x = 0.0;
};

// The time axis's ticks from first to last, on the dates dateTicks() chooses with the week
// starting on the locale's first day, labelled in the locale's short form: as many as fit the room
// with their labels whole, a gap between neighbours, and none sticking out left of the plot or
// beyond the right limit (a date near either end may go without its tick). labelWidth gives a
// text's advance; a label takes that rounded up and one unit more on either side. Where not even
// one label fits its share of the axis, at most one tick. None for an empty plot or span.
QList<DateTick> fittingDateTicks(const QDate& first, const QDate& last, const DateAxisRoom& room,
                                 const std::function<double(const QString&)>& labelWidth,
                                 const QLocale& locale);

// The line that sums the slice up, with the dates in the locale's short form and the weights with
// one decimal: "2026/09/07〜2026/12/07：70.3 kg → 68.5 kg（−1.8 kg）、最低 68.1 kg、最高 71.0 kg".
// The change is last − first with "+" or "−" (U+2212); one that rounds to 0.0 is "±0.0". Entries
// of a single date name it once; a single entry gives its date and weight alone. An empty slice
// says that the range holds no entries.
QString trendSummary(const TrendSeries& series, const TrendSlice& slice, const QLocale& locale);

// The trend's figures as a line, weights with one decimal and changes with two, signed like the
// summary's change ("±0.00" for one that rounds to zero):
//   傾向 68.3 kg、1週間で −0.42 kg（1日あたり約 −460 kcal）、7日間 −0.40 kg、28日間 −1.70 kg
// Changes without a value are left out; without a weekly rate a clause says there are too few
// recent entries. Figures from more than kStaleTrendDays before today end with the date they are
// from ("（2026/10/01 時点）").
inline constexpr int kStaleTrendDays = 14;
QString trendFiguresText(const TrendFigures& figures, const QDate& today, const QLocale& locale);

// The goal and its forecast: "目標 62.0 kg 到達予想 2027/03/14ごろ", or that it is reached, more
// than two years away, moving away, too slow to tell, or that there are too few entries.
QString goalForecastText(const GoalForecast& forecast, const QLocale& locale);

// A short line for the meter: the weekly rate, and with a goal its date, that it is reached, more
// than two years away or moving away: "傾向: 1週間で −0.42 kg、目標到達予想 2027/03/14ごろ".
// Empty when there is nothing of these to say.
QString trendBrief(const std::optional<TrendFigures>& figures,
                   const std::optional<GoalForecast>& forecast, const QLocale& locale);

// Where the slice's weight is heading, below its summary: the trend's figures on the newest
// weighing within it (trendFiguresText), and with a goal the forecast (goalForecastText), a line
// each. Empty for an empty slice.
QString trendOutlook(const TrendSeries& series, const TrendSlice& slice, const QDate& today,
                     std::optional<float> goal, const QLocale& locale);

// One point read out: "2026/12/07　68.5 kg　BMI 24.1　傾向 68.3 kg", the BMI at the given height
// (the stored one, not the line's own), left out without a height, and the trend on that day.
QString pointText(const TrendSeries& series, qsizetype entry, std::optional<float> height,
                  const QLocale& locale);

// The entry of the slice nearest to a place on the chart: of the entries of the date nearest to
// `day` (a Julian day number, fractions allowed), the one whose weight is nearest to `weight`.
// -1 for an empty slice.
qsizetype nearestEntry(const TrendSeries& series, const TrendSlice& slice, double day,
                       double weight);

} // namespace morvane
