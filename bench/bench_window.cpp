// The meter update in the real window (offscreen platform): captions, judgement colours and the
// needle, with and without painting, next to the value-only update as the baseline measured in
// the same run. And the trend chart opened on histories of ten years of weekly weights to 7.5
// million lines, its range switched, and opened on a history holding an absurd weight.

#include "benchservices.h"
#include "measure/meterreading.h"
#include "ui/fonts.h"
#include "ui/frmmain.h"
#include "ui/trendwindow.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::bench;

namespace {

// A started window on 1.685 m and 68.5 kg.
struct StartedWindow {
    QTemporaryDir dir;
    NoDialogs dialogs;
    SystemClock clock;
    NoHelp help;
    std::unique_ptr<frmMain> window;

    StartedWindow()
    {
        for (auto [name, bytes] : {std::pair{kHeightFileName, QByteArray("1.685\r\n")},
                                   std::pair{kWeightFileName, QByteArray("68.5\r\n")}}) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }
        window = std::make_unique<frmMain>(Services{&dialogs, &clock, &help},
                                           DataFiles(QDir(dir.path())),
                                           QLocale(QLocale::Japanese, QLocale::Japan));
        window->Form_Load();
        window->show();
        QApplication::processEvents();
    }
};

void BM_MeterUpdateValue(benchmark::State& state)
{
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    Measurement m{1.685f, 68.5f, 24.1263f, 24.1263f, 0, std::nullopt};
    qint16 position = 154;
    for (auto _ : state) {
        benchmark::DoNotOptimize(readMeter(position, m));
        position = position == 316 ? 154 : position + 1;
    }
}
BENCHMARK(BM_MeterUpdateValue);

void BM_MeterUpdateWindow(benchmark::State& state)
{
    StartedWindow w;
    qint16 position = 154;
    for (auto _ : state) {
        w.window->SetMeter(position);
        position = position == 316 ? 154 : position + 1;
    }
}
BENCHMARK(BM_MeterUpdateWindow);

void BM_MeterUpdateWindowPainted(benchmark::State& state)
{
    StartedWindow w;
    qint16 position = 154;
    for (auto _ : state) {
        w.window->SetMeter(position);
        // Paint what the update invalidated, as the event loop does after each user action.
        QApplication::processEvents();
        position = position == 316 ? 154 : position + 1;
    }
}
BENCHMARK(BM_MeterUpdateWindowPainted);

// A thumb drag across the whole scale: 162 movements and the update at its end.
void BM_DragWholeScaleWindow(benchmark::State& state)
{
    StartedWindow w;
    auto* bar = w.window->findChild<QScrollBar*>(u"HScroll1"_s);
    for (auto _ : state) {
        state.PauseTiming();
        w.window->SetMeter(154);
        state.ResumeTiming();
        bar->setSliderDown(true);
        for (int v = 155; v <= 316; ++v) {
            bar->setSliderPosition(v);
            QApplication::processEvents();
        }
        bar->setSliderDown(false);
    }
    state.SetItemsProcessed(state.iterations() * 163);
}
BENCHMARK(BM_DragWholeScaleWindow)->Unit(benchmark::kMillisecond);

// A history of n lines over ten years up to today, weights swinging between 60 and 72 kg, with
// the scatter of up to a kilogram that real weighings have. Without it the chart's lines are
// nearly straight, which Qt Charts outlines far faster than any real history's.
History longHistory(qint64 n, const QDate& today)
{
    QByteArray bytes;
    bytes.reserve(n * 28);
    const qint64 days = 3650;
    quint32 seed = 12345;
    for (qint64 i = 0; i < n; ++i) {
        const QDate date = today.addDays(i * days / n - days + 1);
        seed = seed * 1664525u + 1013904223u;
        const double scatter = double(seed >> 8) / double(1u << 24);
        const double weight = 66.0 + 6.0 * std::sin(double(i) / 5000.0) + scatter;
        bytes += date.toString(u"MM/dd"_s).toLatin1() + "  " + QByteArray::number(weight, 'f', 1) +
                 "Kg  24.1  9.6%\r\n";
    }
    return History(std::move(bytes));
}

// Opens the trend window on the history and paints it once.
void openChart(const History& history, const QDate& today, const QLocale& locale)
{
    auto window = std::make_unique<TrendWindow>(history, 1.685f, std::nullopt, today, locale);
    window->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window->chartView());
}

// From the menu's click to the painted chart: reading every line, the smoothed trend, choosing
// the points to draw, and Qt Charts' layout and painting. 1,000 lines is the baseline.
void BM_TrendChartOpens(benchmark::State& state)
{
    const QDate today(2026, 5, 11);
    const History history = longHistory(state.range(0), today);
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    for (auto _ : state)
        openChart(history, today, jp);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TrendChartOpens)
    ->Arg(520) // ten years of weekly weights
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(7'500'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Choosing a range in an open chart, round the four of them, painted: each switch picks the
// entries of the range out of millions, their scale and summary, and a new chart.
void BM_TrendRangeSwitch(benchmark::State& state)
{
    const QDate today(2026, 5, 11);
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    TrendWindow window(longHistory(state.range(0), today), 1.685f, 62.0f, today, jp);
    window.show();
    QApplication::processEvents();
    int next = 0;
    for (auto _ : state) {
        window.setRange(TrendRange(next));
        QApplication::processEvents();
        next = (next + 1) % 4;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TrendRangeSwitch)->Arg(7'500'000)->Unit(benchmark::kMillisecond)->Iterations(8);

// A history of 150 weekly weights and one line of a huge weight as its newest: the chart skips
// that line and opens as it does without it. The argument is the huge weight in kilograms.
void BM_TrendChartFlooded(benchmark::State& state)
{
    const QDate today(2026, 12, 7);
    QByteArray bytes;
    for (int week = 149; week >= 0; --week) {
        bytes += today.addDays(-7 * week - 1).toString(u"MM/dd"_s).toLatin1() + "  " +
                 QByteArray::number(70.0 - week % 9 * 0.3, 'f', 1) + "Kg  24.1  9.6%\r\n";
    }
    bytes += today.toString(u"MM/dd"_s).toLatin1() + "  " + QByteArray::number(state.range(0)) +
             "Kg  24.1  9.6%\r\n";
    const History history(bytes);
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    for (auto _ : state)
        openChart(history, today, jp);
}
BENCHMARK(BM_TrendChartFlooded)
    ->Arg(100'000)
    ->Arg(1'000'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    installFontSubstitutions();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
