#pragma once

// The weight history as dated values, for the trend chart and the CSV export (store/history.h
// reads them from the history and works out each line's year), what a chart draws of them, and
// the smoothed daily trend with its weekly rate and goal forecast.

#include <QDate>
#include <QList>

#include <optional>
#include <span>

namespace morvane {

// One entry of the history with the date it was recorded on.
struct TrendEntry {
    QDate date;
    double weight = 0.0;
    double bmi = 0.0;
    double percent = 0.0;
};

struct Trend {
    QList<TrendEntry> entries; // in file order, which is oldest first
    int skippedLines = 0;      // lines that do not read as a history line, or whose date is not
                               // a day of the year assigned to it (02/29 outside leap years)
};

// The most points a chart line draws: more than a maximised window has pixel columns, few
// enough that a chart of millions of entries opens and redraws at once.
inline constexpr qsizetype kMaxChartPoints = 4000;

// Which of the values a chart line draws, as ascending indices: all of them up to maxPoints,
// else the first, the last, and the lowest and highest of each of (maxPoints - 2) / 2 runs of
// neighbouring values. Unlike picking one value per run, this keeps every peak and dip, so the
// line still crosses each band edge wherever the full line does (to within one run).
QList<qsizetype> chartPoints(std::span<const double> values, qsizetype maxPoints = kMaxChartPoints);

// The smoothed trend of the weights, one value a day: each day's weight is the mean of its
// entries, a day without a weighing takes the weight on the straight line between the weighings
// around it, and trend(day) = trend(day - 1) + kTrendSmoothing * (weight(day) - trend(day - 1)),
// starting at the first day's weight. It follows a change within a few weeks while a day's swing
// of water and meals moves it a tenth as much.
inline constexpr double kTrendSmoothing = 0.1;

// A longer pause between two weighing days (a holiday, an illness, years without the program)
// says nothing about the days in it: the trend starts again at the first weighing after it. The
// trend is then a list of runs, and a chart breaks its line between them.
inline constexpr int kTrendMaxGapDays = 30;

// The days of one run, first and last both weighing days.
struct TrendRun {
    QDate first;
    QDate last;
};

// A day of the trend that had a weighing.
struct TrendDay {
    QDate date;
    double weight = 0.0; // the mean of the day's entries
    double trend = 0.0;
};

// The trend of a history, answering for any day in O(log n): the weighing days are kept with
// their mean weight and trend, and a day between two of them is worked out from the one before
// (at most kTrendMaxGapDays - 1 steps). Nothing is kept per day without a weighing, so a history
// of a few entries spread over thousands of years costs no more than its entries.
class WeightTrend {
public:
    WeightTrend() = default;
    // Entries oldest first, dates never decreasing; an entry dated before the one ahead of it, or
    // with an invalid date, is left out.
    explicit WeightTrend(std::span<const TrendEntry> entries);

    // The trend on a day, none outside the runs (before the first weighing, after the last, or
    // within a gap of more than kTrendMaxGapDays).
    std::optional<double> trendOn(const QDate& date) const;
    bool isWeighingDay(const QDate& date) const;
    QList<TrendRun> runs() const;
    // In date order. A walk through the whole history (the CSV export's trend column) takes them
    // in step with the entries rather than searching for each.
    const QList<TrendDay>& weighingDays() const { return m_days; }
    bool isEmpty() const { return m_days.isEmpty(); }

private:
    // The index of the last weighing day on or before `date`, -1 if none.
    qsizetype lastOnOrBefore(const QDate& date) const;
    bool startsRun(qsizetype i) const;

    QList<TrendDay> m_days;
};

// The weekly rate is the slope of the trend over this many days ending at the day asked for,
// and needs at least kRateMinWeighings weighing days among them: fewer would let a single
// weighing (and the straight lines to it) decide the rate.
inline constexpr int kRateDays = 14;
inline constexpr int kRateMinWeighings = 5;

// A kilogram of body fat as Japanese health guidance counts it.
inline constexpr double kKcalPerKilogram = 7200.0;

// The trend's figures on one day: its value, its weekly rate, the energy balance that rate
// stands for, and how far it moved over a week and four weeks.
struct TrendFigures {
    QDate date; // the day they are from
    double trend = 0.0;
    // The least-squares slope through the trend of the kRateDays days ending at `date`, times 7,
    // in kg a week; only the days of date's run count. None when fewer than kRateMinWeighings of
    // the kRateDays days had a weighing: too few recent entries.
    std::optional<double> weeklyRate;
    // weeklyRate * kKcalPerKilogram / 7, in kcal a day, rounded to 10 kcal (halves away from 0).
    std::optional<int> dailyEnergy;
    // trend(date) - trend(date - 7 days), and 28 days; none when that day is outside the run.
    std::optional<double> change7Days;
    std::optional<double> change28Days;
};

// The figures on `end` (the newest weighing the chart shows); none when the trend has no value
// on that day.
std::optional<TrendFigures> trendFigures(const WeightTrend& trend, const QDate& end);

// When the trend reaches a goal weight at its current rate.
enum class GoalOutlook {
    Reached,        // the trend is within kGoalReachedKilograms of the goal
    Expected,       // on GoalForecast::date
    BeyondTwoYears, // later than kForecastYears after the figures' date
    MovingAway,
    TooSlow,      // |weekly rate| < kSlowestWeeklyRate
    TooFewEntries // no weekly rate
};
inline constexpr double kGoalReachedKilograms = 0.1;
inline constexpr double kSlowestWeeklyRate = 0.05;
inline constexpr int kForecastYears = 2;

struct GoalForecast {
    double goal = 0.0;
    GoalOutlook outlook = GoalOutlook::TooFewEntries;
    QDate date; // Expected only: the first day the trend is at or beyond the goal
};

// Gaining towards a goal above the trend is judged like losing towards one below.
GoalForecast goalForecast(const TrendFigures& figures, double goal);

} // namespace morvane
