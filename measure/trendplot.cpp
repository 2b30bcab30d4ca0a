#include "measure/trendplot.h"

#include "measure/arithmetic.h"
#include "measure/limits.h"
#include "measure/numbertext.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

using namespace Qt::StringLiterals;

// The texts keep the translation context they were first written under, "morvane::TrendView", so
// that their translations are still found.

namespace morvane {
namespace {

// The first entry at or after `from` whose date is not before `date`.
qsizetype firstOnOrAfter(const QList<TrendEntry>& entries, qsizetype from, const QDate& date)
{
    const auto at = std::partition_point(entries.begin() + from, entries.end(),
                                         [&](const TrendEntry& e) { return e.date < date; });
    return at - entries.begin();
}

qsizetype firstAfter(const QList<TrendEntry>& entries, qsizetype from, const QDate& date)
{
    const auto at = std::partition_point(entries.begin() + from, entries.end(),
                                         [&](const TrendEntry& e) { return e.date <= date; });
    return at - entries.begin();
}

enum class Unit { Day, Week, Month, Year };

// The unit the ticks of a span fall on.
Unit unitFor(const QDate& first, const QDate& last)
{
    if (first.daysTo(last) <= 14)
        return Unit::Day;
    if (last <= first.addMonths(3))
        return Unit::Week;
    if (last <= first.addYears(2))
        return Unit::Month;
    return Unit::Year;
}

// The start of the week that holds the date.
QDate weekStartOf(const QDate& date, Qt::DayOfWeek weekStart)
{
    return date.addDays(-((date.dayOfWeek() - int(weekStart) + 7) % 7));
}

// The first date at or after `date` that begins a unit.
QDate unitStartFrom(const QDate& date, Unit unit, Qt::DayOfWeek weekStart)
{
    switch (unit) {
    case Unit::Day:
        return date;
    case Unit::Week: {
        const QDate start = weekStartOf(date, weekStart);
        return start == date ? date : start.addDays(7);
    }
    case Unit::Month:
        return date.day() == 1 ? date : QDate(date.year(), date.month(), 1).addMonths(1);
    case Unit::Year:
        return date.dayOfYear() == 1 ? date : QDate(date.year() + 1, 1, 1);
    }
    return date;
}

QDate nextUnit(const QDate& date, Unit unit)
{
    switch (unit) {
    case Unit::Day:
        return date.addDays(1);
    case Unit::Week:
        return date.addDays(7);
    case Unit::Month:
        return date.addMonths(1);
    case Unit::Year:
        return date.addYears(1);
    }
    return date;
}

// A day's, week's or month's number counted from a fixed origin: every n-th unit is the one whose
// number divides by n, whatever span it is seen in. Julian day numbers are positive for every
// date shown here.
qint64 unitNumber(const QDate& date, Unit unit)
{
    if (unit == Unit::Day)
        return date.toJulianDay();
    if (unit == Unit::Week)
        return date.toJulianDay() / 7; // week starts lie 7 days apart: consecutive numbers
    return qint64(date.year()) * 12 + date.month() - 1;
}

// Steps of whole days, weeks or months that divide the larger unit above them where they can:
// two or three days, fortnights, quarters, half years. 0 after the longest.
int stepAfter(int step, Unit unit)
{
    static constexpr int days[] = {1, 2, 3, 4, 7, 14};
    static constexpr int weeks[] = {1, 2, 3, 4, 6, 13};
    static constexpr int months[] = {1, 2, 3, 4, 6, 12, 24};
    auto next = [step](const auto& ladder) {
        const auto* it = std::upper_bound(std::begin(ladder), std::end(ladder), step);
        return it == std::end(ladder) ? 0 : *it;
    };
    return unit == Unit::Day ? next(days) : unit == Unit::Week ? next(weeks) : next(months);
}

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b != 0 && a < 0 ? 1 : 0);
}

// New Year's Days from first to last, every 1, 2, 5, 10, 20 ... years, the shortest step that
// gives at most maxTicks. Worked out rather than listed: the years of a history are worked out
// from the order of its lines, and a hostile file can make them span millions of years.
QList<QDate> yearTicks(const QDate& first, const QDate& last, int maxTicks)
{
    const qint64 from = first.dayOfYear() == 1 ? first.year() : first.year() + 1;
    const qint64 to = last.year();
    for (qint64 decade = 1;; decade *= 10) {
        for (const qint64 step : {decade, 2 * decade, 5 * decade}) {
            const qint64 low = -floorDiv(-from, step); // the first multiple at or after from
            const qint64 high = floorDiv(to, step);
            if (high - low + 1 > maxTicks)
                continue;
            QList<QDate> ticks;
            for (qint64 k = low; k <= high; ++k) {
                if (const QDate date(int(k * step), 1, 1); date.isValid()) // there is no year 0
                    ticks.append(date);
            }
            return ticks;
        }
    }
}

// An amount with its sign, decided on the amount as shown: "+0.42", "−0.42" (U+2212), and "±0.00"
// for one that rounds to zero, never "+0.00" or "−0.00".
QString withSign(double value, const QString& amount, const QString& zero)
{
    return (amount == zero ? u'±' : value > 0 ? u'+' : u'\u2212') + amount;
}

QString signedKilograms(double value, const QLocale& locale)
{
    return withSign(value, twoDecimalText(std::abs(value), locale), twoDecimalText(0.0, locale));
}

QString partSeparator()
{
    return QCoreApplication::translate("morvane::TrendView", "、", "between the parts of a line");
}

} // namespace

TrendSeries trendSeries(Trend trend)
{
    TrendSeries series;
    series.entries = std::move(trend.entries);
    const auto rejected =
        std::remove_if(series.entries.begin(), series.entries.end(), [](const TrendEntry& e) {
            return !kWeightRange.contains(static_cast<float>(e.weight));
        });
    series.skippedLines = trend.skippedLines + int(series.entries.end() - rejected);
    series.entries.erase(rejected, series.entries.end());
    series.weights.reserve(series.entries.size());
    for (const TrendEntry& entry : series.entries)
        series.weights.append(entry.weight);
    series.trend = WeightTrend(series.entries);
    // Every entry's day is a weighing day: both walk forward in step.
    const QList<TrendDay>& days = series.trend.weighingDays();
    series.trends.reserve(series.entries.size());
    qsizetype day = 0;
    for (const TrendEntry& entry : series.entries) {
        while (day + 1 < days.size() && days[day].date < entry.date)
            ++day;
        series.trends.append(days.isEmpty() ? entry.weight : days[day].trend);
    }
    return series;
}

TrendSlice trendSlice(const TrendSeries& series, TrendRange range, const QDate& today)
{
    const QList<TrendEntry>& entries = series.entries;
    TrendSlice slice;
    if (range == TrendRange::All) {
        slice.end = entries.size();
        slice.first = entries.isEmpty() ? today : entries.front().date;
        slice.last = entries.isEmpty() ? today : entries.back().date;
    } else {
        slice.first = range == TrendRange::Month         ? today.addMonths(-1)
                      : range == TrendRange::ThreeMonths ? today.addMonths(-3)
                                                         : today.addYears(-1);
        slice.last = today;
        slice.begin = firstOnOrAfter(entries, 0, slice.first);
        slice.end = firstAfter(entries, slice.begin, slice.last);
    }
    if (slice.first == slice.last) {
        slice.first = slice.first.addDays(-1);
        slice.last = slice.last.addDays(1);
    }
    return slice;
}

WeightScale weightScale(const TrendSeries& series, const TrendSlice& slice,
                        std::optional<float> goal)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (qsizetype i = slice.begin; i < slice.end; ++i) {
        low = std::min({low, series.weights[i], series.trends[i]});
        high = std::max({high, series.weights[i], series.trends[i]});
    }
    WeightScale scale{low, high}; // no entries: an empty span, which a goal may widen
    if (low <= high) {
        const double margin = std::max(1.0, (high - low) * 0.05);
        scale.low = std::max(0.0, std::floor(low - margin));
        scale.high = std::ceil(high + margin);
    }
    // A goal beyond the weights widens the scale to it, with a margin of a kilogram.
    if (goal) {
        scale.low = std::min(scale.low, std::floor(*goal - 1.0));
        scale.high = std::max(scale.high, std::ceil(*goal + 1.0));
    }
    if (!(scale.low < scale.high))
        return {0.0, 1.0, 1.0};
    for (double decade = 1.0;; decade *= 10.0) {
        for (const double mantissa : {1.0, 2.0, 5.0}) {
            scale.step = mantissa * decade;
            if ((scale.high - scale.low) / scale.step <= kMaxWeightSteps)
                return scale;
        }
    }
}

QList<QDate> dateTicks(const QDate& first, const QDate& last, int maxTicks, Qt::DayOfWeek weekStart)
{
    QList<QDate> ticks;
    if (maxTicks < 1 || !first.isValid() || !last.isValid() || last < first)
        return ticks;
    const Unit unit = unitFor(first, last);
    if (unit == Unit::Year)
        return yearTicks(first, last, maxTicks);
    QList<QDate> starts;
    for (QDate d = unitStartFrom(first, unit, weekStart); d <= last; d = nextUnit(d, unit))
        starts.append(d);
    for (int step = 1; step > 0; step = stepAfter(step, unit)) {
        ticks.clear();
        for (const QDate& d : starts) {
            if (unitNumber(d, unit) % step == 0)
                ticks.append(d);
        }
        if (ticks.size() <= maxTicks)
            return ticks;
    }
    // Even the longest step gives too many: the first of them.
    ticks.resize(std::min<qsizetype>(ticks.size(), maxTicks));
    return ticks;
}

QList<DateTick> fittingDateTicks(const QDate& first, const QDate& last, const DateAxisRoom& room,
                                 const std::function<double(const QString&)>& labelWidth,
                                 const QLocale& locale)
{
    QList<DateTick> kept;
    if (!(room.plotWidth > 0) || !first.isValid() || !last.isValid() || !(first < last))
        return kept;
    const double firstDay = double(first.toJulianDay());
    const double perDay = room.plotWidth / (double(last.toJulianDay()) - firstDay);
    // No date label is narrower than four digits: at most as many as those fit in the plot (and
    // no more tries than a million, whatever labelWidth says).
    const double digits = labelWidth(u"0000"_s);
    const int most = digits > 0 ? int(std::min(room.plotWidth / digits, 1e6)) + 1 : 1;

    QList<double> widths; // of the labels kept
    QList<QDate> tried;   // fewer ticks allowed often give the same dates, which need no new try
    for (int maxTicks = most; maxTicks >= 1; --maxTicks) {
        QList<QDate> dates = dateTicks(first, last, maxTicks, locale.firstDayOfWeek());
        if (dates == tried)
            continue;
        tried = std::move(dates);
        kept.clear();
        widths.clear();
        for (const QDate& date : tried) {
            DateTick tick{date, locale.toString(date, QLocale::ShortFormat)};
            tick.x = room.plotLeft + (double(date.toJulianDay()) - firstDay) * perDay;
            const double width = std::ceil(labelWidth(tick.label)) + 2;
            if (tick.x - width / 2 >= room.plotLeft && tick.x + width / 2 <= room.right) {
                kept.append(tick);
                widths.append(width);
            }
        }
        bool fits = true;
        for (qsizetype i = 0; i < kept.size() && fits; ++i) {
            fits = widths[i] + 2 * room.padding <= room.axisWidth / double(kept.size() + 1);
            if (i > 0) {
                fits =
                    fits && kept[i].x - kept[i - 1].x >= (widths[i] + widths[i - 1]) / 2 + room.gap;
            }
        }
        if (fits)
            break;
    }
    return kept;
}

QString trendSummary(const TrendSeries& series, const TrendSlice& slice, const QLocale& locale)
{
    if (slice.isEmpty())
        return QCoreApplication::translate("morvane::TrendView", "この期間の記録はありません");
    const TrendEntry& first = series.entries[slice.begin];
    const TrendEntry& last = series.entries[slice.end - 1];
    QString dates = locale.toString(first.date, QLocale::ShortFormat);
    if (last.date != first.date)
        dates = QCoreApplication::translate("morvane::TrendView", "%1〜%2")
                    .arg(dates, locale.toString(last.date, QLocale::ShortFormat));
    if (slice.end - slice.begin == 1)
        return QCoreApplication::translate("morvane::TrendView", "%1：%2 kg")
            .arg(dates, oneDecimalText(first.weight, locale));

    const auto [lowest, highest] = std::minmax_element(series.weights.begin() + slice.begin,
                                                       series.weights.begin() + slice.end);
    const double change = last.weight - first.weight;
    QString amount = oneDecimalText(std::abs(change), locale);
    // The sign is decided on the amount as shown: never "+0.0" or "−0.0".
    amount.prepend(amount == oneDecimalText(0.0, locale) ? u'±' : change > 0 ? u'+' : u'\u2212');
    return QCoreApplication::translate("morvane::TrendView",
                                       "%1：%2 kg → %3 kg（%4 kg）、最低 %5 kg、最高 %6 kg")
        .arg(dates, oneDecimalText(first.weight, locale), oneDecimalText(last.weight, locale),
             amount, oneDecimalText(*lowest, locale), oneDecimalText(*highest, locale));
}

QString trendFiguresText(const TrendFigures& figures, const QDate& today, const QLocale& locale)
{
    QStringList parts{QCoreApplication::translate("morvane::TrendView", "傾向 %1 kg")
                          .arg(oneDecimalText(figures.trend, locale))};
    if (figures.weeklyRate && figures.dailyEnergy) {
        const int energy = *figures.dailyEnergy;
        parts.append(QCoreApplication::translate("morvane::TrendView",
                                                 "1週間で %1 kg（1日あたり約 %2 kcal）")
                         .arg(signedKilograms(*figures.weeklyRate, locale),
                              withSign(energy, QString::number(std::abs(energy)), u"0"_s)));
    } else {
        parts.append(QCoreApplication::translate("morvane::TrendView",
                                                 "最近の記録が少ないため1週間の変化は出せません"));
    }
    for (const auto& [days, change] :
         {std::pair(7, figures.change7Days), std::pair(28, figures.change28Days)}) {
        if (change) {
            parts.append(QCoreApplication::translate("morvane::TrendView", "%1日間 %2 kg")
                             .arg(QString::number(days), signedKilograms(*change, locale)));
        }
    }
    const QString text = parts.join(partSeparator());
    if (figures.date.daysTo(today) <= kStaleTrendDays)
        return text;
    return QCoreApplication::translate("morvane::TrendView", "%1（%2 時点）")
        .arg(text, locale.toString(figures.date, QLocale::ShortFormat));
}

QString goalForecastText(const GoalForecast& forecast, const QLocale& locale)
{
    const QString goal = oneDecimalText(forecast.goal, locale);
    switch (forecast.outlook) {
    case GoalOutlook::Reached:
        return QCoreApplication::translate("morvane::TrendView", "目標 %1 kg に到達しました")
            .arg(goal);
    case GoalOutlook::Expected:
        return QCoreApplication::translate("morvane::TrendView", "目標 %1 kg 到達予想 %2ごろ")
            .arg(goal, locale.toString(forecast.date, QLocale::ShortFormat));
    case GoalOutlook::BeyondTwoYears:
        return QCoreApplication::translate("morvane::TrendView", "目標 %1 kg 到達予想 2年以上先")
            .arg(goal);
    case GoalOutlook::MovingAway:
        return QCoreApplication::translate("morvane::TrendView", "目標 %1 kg から離れつつあります")
            .arg(goal);
    case GoalOutlook::TooSlow:
        return QCoreApplication::translate("morvane::TrendView",
                                           "目標 %1 kg 変化がゆるやかで到達予想は出せません")
            .arg(goal);
    case GoalOutlook::TooFewEntries:
        return QCoreApplication::translate("morvane::TrendView",
                                           "目標 %1 kg 最近の記録が少ないため到達予想は出せません")
            .arg(goal);
    }
    return QString();
}

QString trendBrief(const std::optional<TrendFigures>& figures,
                   const std::optional<GoalForecast>& forecast, const QLocale& locale)
{
    QStringList parts;
    if (figures && figures->weeklyRate) {
        parts.append(QCoreApplication::translate("morvane::TrendView", "1週間で %1 kg")
                         .arg(signedKilograms(*figures->weeklyRate, locale)));
    }
    switch (forecast ? forecast->outlook : GoalOutlook::TooFewEntries) {
    case GoalOutlook::Reached:
        parts.append(QCoreApplication::translate("morvane::TrendView", "目標に到達"));
        break;
    case GoalOutlook::Expected:
        parts.append(QCoreApplication::translate("morvane::TrendView", "目標到達予想 %1ごろ")
                         .arg(locale.toString(forecast->date, QLocale::ShortFormat)));
        break;
    case GoalOutlook::BeyondTwoYears:
        parts.append(QCoreApplication::translate("morvane::TrendView", "目標到達は2年以上先"));
        break;
    case GoalOutlook::MovingAway:
        parts.append(QCoreApplication::translate("morvane::TrendView", "目標から離れつつあります"));
        break;
    case GoalOutlook::TooSlow:
    case GoalOutlook::TooFewEntries:
        break;
    }
    if (parts.isEmpty())
        return QString();
    return QCoreApplication::translate("morvane::TrendView", "傾向: %1")
        .arg(parts.join(partSeparator()));
}

QList<QList<TrendPoint>> trendLines(const TrendSeries& series, const TrendSlice& slice)
{
    QList<QList<TrendPoint>> lines;
    if (slice.isEmpty())
        return lines;
    const qint64 first = slice.first.toJulianDay();
    const qint64 last = slice.last.toJulianDay();
    const bool everyDay = last - first < kDailyTrendPointsDays;
    const QList<TrendDay>& days = series.trend.weighingDays();
    for (const TrendRun& run : series.trend.runs()) {
        const qint64 from = std::max(first, run.first.toJulianDay());
        const qint64 to = std::min(last, run.last.toJulianDay());
        if (from > to)
            continue;
        QList<TrendPoint>& line = lines.emplace_back();
        if (everyDay) {
            for (qint64 day = from; day <= to; ++day)
                line.append({day, *series.trend.trendOn(QDate::fromJulianDay(day))});
            continue;
        }
        // The weighing days of the run within the slice, thinned as the weights are.
        const auto begin = std::partition_point(days.begin(), days.end(), [&](const TrendDay& d) {
            return d.date.toJulianDay() < from;
        });
        const auto end = std::partition_point(
            begin, days.end(), [&](const TrendDay& d) { return d.date.toJulianDay() <= to; });
        QList<double> values;
        values.reserve(end - begin);
        for (auto d = begin; d != end; ++d)
            values.append(d->trend);
        for (const qsizetype i : chartPoints(values))
            line.append({(begin + i)->date.toJulianDay(), values[i]});
    }
    return lines;
}

QString trendOutlook(const TrendSeries& series, const TrendSlice& slice, const QDate& today,
                     std::optional<float> goal, const QLocale& locale)
{
    if (slice.isEmpty())
        return {};
    const std::optional<TrendFigures> figures =
        trendFigures(series.trend, series.entries[slice.end - 1].date);
    if (!figures)
        return {};
    QString text = trendFiguresText(*figures, today, locale);
    if (goal)
        text += u'\n' + goalForecastText(goalForecast(*figures, *goal), locale);
    return text;
}

QString pointText(const TrendSeries& series, qsizetype i, std::optional<float> height,
                  const QLocale& locale)
{
    const TrendEntry& entry = series.entries[i];
    const QString date = locale.toString(entry.date, QLocale::ShortFormat);
    const QString weight = oneDecimalText(entry.weight, locale);
    const QString trend = oneDecimalText(series.trends[i], locale);
    if (!height) {
        return QCoreApplication::translate("morvane::TrendView", "%1　%2 kg　傾向 %3 kg")
            .arg(date, weight, trend);
    }
    const float bmi = bodyMassIndex(static_cast<float>(entry.weight), *height);
    return QCoreApplication::translate("morvane::TrendView", "%1　%2 kg　BMI %3　傾向 %4 kg")
        .arg(date, weight, oneDecimalText(bmi, locale), trend);
}

qsizetype nearestEntry(const TrendSeries& series, const TrendSlice& slice, double day,
                       double weight)
{
    if (slice.isEmpty())
        return -1;
    const QList<TrendEntry>& entries = series.entries;
    // The dates on either side of `day`, and the nearer of them.
    const auto julian = [&](qsizetype i) { return double(entries[i].date.toJulianDay()); };
    const auto after = std::partition_point(
        entries.begin() + slice.begin, entries.begin() + slice.end,
        [&](const TrendEntry& e) { return double(e.date.toJulianDay()) < day; });
    qsizetype i = after - entries.begin();
    if (i == slice.end || (i > slice.begin && day - julian(i - 1) <= julian(i) - day))
        i = i - 1;
    const QDate date = entries[i].date;
    const qsizetype from = firstOnOrAfter(entries, slice.begin, date);
    const qsizetype to = firstAfter(entries, from, date);
    qsizetype best = from;
    for (qsizetype k = from + 1; k < std::min(to, slice.end); ++k) {
        if (std::abs(entries[k].weight - weight) < std::abs(entries[best].weight - weight))
            best = k;
    }
    return best;
}

} // namespace morvane
