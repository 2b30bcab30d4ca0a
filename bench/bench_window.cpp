// The meter update in the real window (offscreen platform): captions, judgement colours and the
// needle, with and without painting, next to the value-only update as the baseline measured in
// the same run.

#include "benchservices.h"
#include "measure/meterupdate.h"
#include "ui/fonts.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

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
        for (auto [name, bytes] : {std::pair{u"身長.txt"_s, QByteArray("1.685\r\n")},
                                   std::pair{u"体重.txt"_s, QByteArray("68.5\r\n")}}) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::WriteOnly))
                f.write(bytes);
        }
        window = std::make_unique<frmMain>(Services{&dialogs, &clock, &help}, QDir(dir.path()),
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
        benchmark::DoNotOptimize(UpdateMeter(position, m, jp));
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
