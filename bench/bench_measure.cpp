// The value-only work of the meter: one whole meter update, a drag across the whole scale, and
// the leading-number parse of typed answers.

#include "measure/meterreading.h"
#include "measure/numbertext.h"

#include <QLocale>
#include <QString>

#include <benchmark/benchmark.h>

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

} // namespace

BENCHMARK_MAIN();
