#include "measure/trend.h"

#include <algorithm>
#include <cmath>

namespace morvane {

QList<qsizetype> chartPoints(std::span<const double> values, qsizetype maxPoints)
{
    QList<qsizetype> kept;
    const auto n = qsizetype(values.size());
    if (n <= maxPoints) {
        kept.reserve(n);
        for (qsizetype i = 0; i < n; ++i)
            kept.append(i);
        return kept;
    }
    // Per bucket of neighbouring values its lowest and highest, in their order: the line then
    // still spans every level the values reach in that bucket, so it crosses every band edge
    // where the full line does, to within a bucket. The first and the last value stay.
    const qsizetype buckets = std::max<qsizetype>(1, (maxPoints - 2) / 2);
    kept.reserve(2 * buckets + 2);
    kept.append(0);
    for (qsizetype b = 0; b < buckets; ++b) {
        const qsizetype begin = 1 + (n - 2) * b / buckets;
        const qsizetype end = 1 + (n - 2) * (b + 1) / buckets;
        if (begin >= end)
            continue;
        qsizetype low = begin;
        qsizetype high = begin;
        for (qsizetype i = begin + 1; i < end; ++i) {
            if (values[i] < values[low])
                low = i;
            if (values[i] > values[high])
                high = i;
        }
        kept.append(std::min(low, high));
        if (low != high)
            kept.append(std::max(low, high));
    }
    kept.append(n - 1);
    return kept;
}

namespace {

// QDate::daysTo without its validity checks (and its call), for the weighing days' valid dates.
qint64 daysBetween(const QDate& from, const QDate& to)
{
    return to.toJulianDay() - from.toJulianDay();
}

double smoothed(double trend, double weight)
{
    return trend + kTrendSmoothing * (weight - trend);
}

// The trend `steps` days after a weighing day of this trend and weight, the weights of the days
// on the straight line to the next weighing day `gap` days on; steps < gap.
double trendAlongLine(double trend, double fromWeight, double toWeight, qint64 gap, qint64 steps)
{
    for (qint64 k = 1; k <= steps; ++k)
        trend = smoothed(trend, fromWeight + (toWeight - fromWeight) * (double(k) / double(gap)));
    return trend;
}

} // namespace

WeightTrend::WeightTrend(std::span<const TrendEntry> entries)
{
    QDate day;
    double sum = 0.0;
    int count = 0; // entries of `day` so far
    const auto closeDay = [&] {
        if (count == 0)
            return;
        const double weight = sum / count;
        double trend = weight;
        if (!m_days.isEmpty() && daysBetween(m_days.back().date, day) <= kTrendMaxGapDays) {
            const TrendDay& before = m_days.back();
            const qint64 gap = daysBetween(before.date, day);
            // This day steps to its weight itself rather than to the line's end, which rounding
            // may leave an ulp off it.
            trend =
                smoothed(trendAlongLine(before.trend, before.weight, weight, gap, gap - 1), weight);
        }
        m_days.append({day, weight, trend});
    };
    for (const TrendEntry& entry : entries) {
        if (!entry.date.isValid())
            continue;
        if (count > 0 && entry.date <= day) {
            if (entry.date == day) {
                sum += entry.weight;
                ++count;
            }
            continue;
        }
        closeDay();
        day = entry.date;
        sum = entry.weight;
        count = 1;
    }
    closeDay();
}

std::optional<double> WeightTrend::trendOn(const QDate& date) const
{
    if (!date.isValid())
        return std::nullopt;
    const qsizetype i = lastOnOrBefore(date);
    if (i < 0)
        return std::nullopt;
    const TrendDay& from = m_days[i];
    if (from.date == date)
        return from.trend;
    if (i + 1 == m_days.size() || startsRun(i + 1))
        return std::nullopt;
    const TrendDay& to = m_days[i + 1];
    return trendAlongLine(from.trend, from.weight, to.weight, daysBetween(from.date, to.date),
                          daysBetween(from.date, date));
}

bool WeightTrend::isWeighingDay(const QDate& date) const
{
    const qsizetype i = date.isValid() ? lastOnOrBefore(date) : -1;
    return i >= 0 && m_days[i].date == date;
}

QList<TrendRun> WeightTrend::runs() const
{
    QList<TrendRun> runs;
    for (qsizetype i = 0; i < m_days.size(); ++i) {
        if (startsRun(i))
            runs.append({m_days[i].date, m_days[i].date});
        else
            runs.back().last = m_days[i].date;
    }
    return runs;
}

qsizetype WeightTrend::lastOnOrBefore(const QDate& date) const
{
    const auto after = std::partition_point(m_days.begin(), m_days.end(),
                                            [&](const TrendDay& d) { return d.date <= date; });
    return (after - m_days.begin()) - 1;
}

bool WeightTrend::startsRun(qsizetype i) const
{
    return i == 0 || daysBetween(m_days[i - 1].date, m_days[i].date) > kTrendMaxGapDays;
}

std::optional<TrendFigures> trendFigures(const WeightTrend& trend, const QDate& end)
{
    const std::optional<double> now = trend.trendOn(end);
    if (!now)
        return std::nullopt;
    TrendFigures figures;
    figures.date = end;
    figures.trend = *now;

    // Runs lie more than kTrendMaxGapDays apart: every day of the 28 before `end` that has a
    // trend value is in end's run, and those days form one stretch up to `end`.
    static_assert(28 <= kTrendMaxGapDays && kRateDays <= kTrendMaxGapDays);
    double values[kRateDays]; // values[back] is the trend `back` days before `end`
    int days = 0;
    int weighings = 0;
    for (; days < kRateDays; ++days) {
        const QDate day = end.addDays(-days);
        const std::optional<double> value = trend.trendOn(day);
        if (!value)
            break;
        values[days] = *value;
        weighings += trend.isWeighingDay(day) ? 1 : 0;
    }
    if (weighings >= kRateMinWeighings) {
        // The slope over x = -back: sum((x - mean x)(y - mean y)) / sum((x - mean x)^2).
        double meanY = 0.0;
        for (int back = 0; back < days; ++back)
            meanY += values[back];
        meanY /= days;
        const double meanX = -(days - 1) / 2.0;
        double products = 0.0;
        double squares = 0.0;
        for (int back = 0; back < days; ++back) {
            const double dx = -back - meanX;
            products += dx * (values[back] - meanY);
            squares += dx * dx;
        }
        const double rate = products / squares * 7.0;
        figures.weeklyRate = rate;
        figures.dailyEnergy = int(std::lround(rate * kKcalPerKilogram / 7.0 / 10.0)) * 10;
    }

    const auto changeSince = [&](int daysBefore) -> std::optional<double> {
        const std::optional<double> before = trend.trendOn(end.addDays(-daysBefore));
        return before ? std::optional(*now - *before) : std::nullopt;
    };
    figures.change7Days = changeSince(7);
    figures.change28Days = changeSince(28);
    return figures;
}

GoalForecast goalForecast(const TrendFigures& figures, double goal)
{
    GoalForecast forecast;
    forecast.goal = goal;
    const double remaining = goal - figures.trend;
    const std::optional<double> rate = figures.weeklyRate;
    if (std::abs(remaining) <= kGoalReachedKilograms) {
        forecast.outlook = GoalOutlook::Reached;
    } else if (!rate) {
        forecast.outlook = GoalOutlook::TooFewEntries;
    } else if (std::abs(*rate) < kSlowestWeeklyRate) {
        forecast.outlook = GoalOutlook::TooSlow;
    } else if ((remaining > 0) != (*rate > 0)) {
        forecast.outlook = GoalOutlook::MovingAway;
    } else {
        // Compared in days before it becomes a date: a slow rate and a far goal give more days
        // than a QDate can add.
        const double days = std::ceil(remaining * 7.0 / *rate);
        if (days > double(figures.date.daysTo(figures.date.addYears(kForecastYears)))) {
            forecast.outlook = GoalOutlook::BeyondTwoYears;
        } else {
            forecast.outlook = GoalOutlook::Expected;
            forecast.date = figures.date.addDays(qint64(days));
        }
    }
    return forecast;
}

} // namespace morvane
