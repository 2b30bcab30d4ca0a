// The value-only work of the meter: one whole meter update, a drag across the whole scale, and
// the leading-number parse of typed answers. And the weight trend: building it and its figures and
// goal forecast at the newest day, for a century of daily weighings and for 7.5 million entries,
// and looking up one day's trend.
//
// Trend counters: ns/entry, and "x floor", the time over that of one pass reading every entry's
// date and weight (the least any trend must do), measured alternately in the same run.

#include "measure/meterreading.h"
#include "measure/numbertext.h"
#include "measure/trend.h"

#include <QLocale>
#include <QString>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <map>
#include <tuple>

using namespace Qt::StringLiterals;
using namespace morvane;

namespace {

Measurement stored()
{
    Measurement m;
    m.height = 1.685f;
    m.weight = 68.5f;
    m.bmi = 24.1263f;
    m.meterBmi = 24.1263f;
    return m;
}

void BM_MeterUpdateValue(benchmark::State& state)
{
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    Measurement m = stored();
    qint16 position = 154;
    for (auto _ : state) {
        MeterReading u = readMeter(position, m);
        benchmark::DoNotOptimize(u);
        position = position == 316 ? 154 : position + 1;
    }
}
BENCHMARK(BM_MeterUpdateValue);

void BM_DragWholeScaleValue(benchmark::State& state)
{
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    for (auto _ : state) {
        Measurement m = stored();
        for (qint16 p = 154; p <= 316; ++p) {
            MeterReading u = readMeter(p, m);
            m = u.after;
            benchmark::DoNotOptimize(u);
        }
    }
    state.SetItemsProcessed(state.iterations() * 163);
}
BENCHMARK(BM_DragWholeScaleValue);

void BM_ParseLeadingNumber(benchmark::State& state)
{
    const QString texts[] = {u"68.5"_s, u" 6 8 . 5 kg"_s, u"1.685"_s, u"abc"_s, u"-1.5e2"_s};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseLeadingNumber(texts[i]));
        i = (i + 1) % std::size(texts);
    }
}
BENCHMARK(BM_ParseLeadingNumber);

// `count` entries ending on 2026/12/31, `perDay` of them on each weighing day and `spacing` days
// from one weighing day to the next; the weight drifts over years and swings by up to half a
// kilogram from entry to entry. Kept for the whole run.
const QList<TrendEntry>& history(qsizetype count, int perDay, int spacing)
{
    static std::map<std::tuple<qsizetype, int, int>, QList<TrendEntry>> histories;
    QList<TrendEntry>& entries = histories[{count, perDay, spacing}];
    if (entries.isEmpty()) {
        entries.reserve(count);
        const QDate last(2026, 12, 31);
        const qint64 days = (count + perDay - 1) / perDay;
        quint32 seed = 12345;
        for (qsizetype i = 0; i < count; ++i) {
            const qint64 day = i / perDay;
            seed = seed * 1664525u + 1013904223u;
            const double swing = double(seed >> 8) / double(1u << 24) - 0.5;
            entries.append({last.addDays((day - days + 1) * spacing),
                            68.0 + 6.0 * std::sin(double(day) / 1500.0) + swing});
        }
    }
    return entries;
}

// Builds the trend of the history and its figures and goal forecast at its last day, timed
// against the floor pass over the same entries.
void trendFiguresBench(benchmark::State& state, const QList<TrendEntry>& entries)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration work{};
    Clock::duration floor{};
    for (auto _ : state) {
        const auto start = Clock::now();
        const WeightTrend trend(entries);
        const std::optional<TrendFigures> figures = trendFigures(trend, entries.back().date);
        if (!figures)
            state.SkipWithError("no figures on the last day");
        else
            benchmark::DoNotOptimize(goalForecast(*figures, 62.0));
        const auto middle = Clock::now();
        double sum = 0.0;
        for (const TrendEntry& entry : entries)
            sum += entry.weight + double(entry.date.toJulianDay());
        benchmark::DoNotOptimize(sum);
        const auto end = Clock::now();
        work += middle - start;
        floor += end - middle;
        state.SetIterationTime(std::chrono::duration<double>(middle - start).count());
    }
    const double n = double(state.iterations()) * double(entries.size());
    state.counters["entries"] = double(entries.size());
    state.counters["ns/entry"] = std::chrono::duration<double, std::nano>(work).count() / n;
    state.counters["x floor"] =
        std::chrono::duration<double>(work).count() / std::chrono::duration<double>(floor).count();
}

// A century of one weighing a day.
void BM_TrendCentury(benchmark::State& state)
{
    trendFiguresBench(state, history(36'525, 1, 1));
}
BENCHMARK(BM_TrendCentury)->UseManualTime()->Unit(benchmark::kMillisecond);

// 7.5 million entries, three a day (morning, noon and evening) for 6,800 years back to 4818 BC,
// across the year QDate skips between 1 BC and AD 1: the largest history file the program reads
// (256 MB) holds about ten million lines.
void BM_TrendThreeADay(benchmark::State& state)
{
    trendFiguresBench(state, history(7'500'000, 3, 1));
}
BENCHMARK(BM_TrendThreeADay)->UseManualTime()->Unit(benchmark::kMillisecond);

// 7.5 million entries, one every 30 days over 616,000 years: the longest run that the trend fills
// (29 days between each two weighings), and the years a file's order of lines can make up.
void BM_TrendEvery30Days(benchmark::State& state)
{
    trendFiguresBench(state, history(7'500'000, 1, 30));
}
BENCHMARK(BM_TrendEvery30Days)->UseManualTime()->Unit(benchmark::kMillisecond);

// One day's trend and whether it had a weighing, as the CSV export and a chart point's readout
// ask, in a trend of 7.5 million entries one every 30 days: mostly days between weighings.
void BM_TrendOnDay(benchmark::State& state)
{
    const QList<TrendEntry>& entries = history(7'500'000, 1, 30);
    const WeightTrend trend(entries);
    const qint64 first = entries.front().date.toJulianDay();
    const qint64 span = entries.back().date.toJulianDay() - first + 1;
    quint64 seed = 1;
    for (auto _ : state) {
        seed = seed * 6364136223846793005u + 1442695040888963407u;
        const QDate day = QDate::fromJulianDay(first + qint64((seed >> 16) % quint64(span)));
        benchmark::DoNotOptimize(trend.trendOn(day));
        benchmark::DoNotOptimize(trend.isWeighingDay(day));
    }
}
BENCHMARK(BM_TrendOnDay);

} // namespace

BENCHMARK_MAIN();
