// Start-up to the first painted window on the offscreen platform, against an empty widget of
// the same size shown the same way, and with histories of 100, 10,000 and 1,000,000 lines.
//
// Run with --rss=window[:LINES] or --rss=empty to start once, paint, and print the peak
// resident set size in KiB instead (one process per figure, so that nothing else is counted).

#include "benchservices.h"
#include "ui/fonts.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

using namespace Qt::StringLiterals;
using namespace morvane;
using namespace morvane::bench;

namespace {

// Waits until the widget has been painted once.
class FirstPaint final : public QObject {
public:
    explicit FirstPaint(QWidget* w) { w->installEventFilter(this); }
    void wait()
    {
        while (!m_painted)
            QApplication::processEvents(QEventLoop::AllEvents);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    bool m_painted = false;
};

// A data folder with 1.685 m, 68.5 kg and a history of the given length.
struct DataFolder {
    QTemporaryDir dir;
    qint64 historyBytes = 0;

    explicit DataFolder(int lines)
    {
        write(kHeightFileName, "1.685\r\n");
        write(kWeightFileName, "68.5\r\n");
        QByteArray history;
        history.reserve(qsizetype(lines) * 27);
        for (int i = 0; i < lines; ++i)
            history += "05/11  68.5Kg  24.1  9.6%\r\n";
        historyBytes = history.size();
        write(kHistoryFileName, history);
    }
    void write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
};

struct Window {
    NoDialogs dialogs;
    SystemClock clock;
    NoHelp help;
    frmMain window;

    explicit Window(const DataFolder& data)
        : window(Services{&dialogs, &clock, &help}, DataFiles(QDir(data.dir.path())),
                 QLocale(QLocale::Japanese, QLocale::Japan))
    {}
};

void showAndPaint(QWidget& w)
{
    FirstPaint painted(&w);
    w.show();
    painted.wait();
}

void BM_StartupEmptyWidget(benchmark::State& state)
{
    for (auto _ : state) {
        auto w = std::make_unique<QWidget>();
        w->setFixedSize(631, 452);
        showAndPaint(*w);
        state.PauseTiming();
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupEmptyWidget)->Unit(benchmark::kMillisecond);

void BM_StartupWindow(benchmark::State& state)
{
    const DataFolder data(int(state.range(0)));
    for (auto _ : state) {
        auto w = std::make_unique<Window>(data);
        if (!w->window.Form_Load())
            state.SkipWithError("start-up failed");
        showAndPaint(w->window);
        state.PauseTiming();
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["lines"] = double(state.range(0));
}
BENCHMARK(BM_StartupWindow)
    ->Arg(100)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

// Reading the history file's bytes alone: the floor for the cost per line.
void BM_ReadHistoryBytes(benchmark::State& state)
{
    const DataFolder data(int(state.range(0)));
    for (auto _ : state) {
        QFile f(data.dir.filePath(kHistoryFileName));
        if (!f.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(f.readAll());
    }
}
BENCHMARK(BM_ReadHistoryBytes)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

long peakRssKib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Ends the process once the figure is printed: start-up ends at the first paint, and tearing the
// window and the application down again is no part of it.
[[noreturn]] void quitNow()
{
    std::fflush(stdout);
    std::_Exit(0);
}

int measureRss(const std::string& what)
{
    if (what == "empty" || what == "fonts") {
        QWidget w;
        w.setFixedSize(631, 452);
        // "fonts": the same empty window showing one line in each of the window's two Japanese
        // fonts, which any window with Japanese text must load.
        if (what == "fonts") {
            installFontSubstitutions();
            for (const QString& family : {u"ＭＳ Ｐゴシック"_s, u"ＭＳ Ｐ明朝"_s}) {
                auto* label = new QLabel(u"体重 68.5 身長 1.685"_s, &w);
                label->setFont(QFont(family, 14));
                label->move(0, family.endsWith(u"ク") ? 0 : 40);
            }
        }
        showAndPaint(w);
        std::printf("%ld\n", peakRssKib());
        quitNow();
    }
    int lines = 100;
    if (const auto colon = what.find(':'); colon != std::string::npos)
        lines = std::stoi(what.substr(colon + 1));
    const DataFolder data(lines);
    Window w(data);
    if (!w.window.Form_Load())
        return 1;
    showAndPaint(w.window);
    std::printf("%ld %lld\n", peakRssKib(), static_cast<long long>(data.historyBytes));
    quitNow();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    installFontSubstitutions();
    QApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rss=", 6) == 0)
            return measureRss(argv[i] + 6);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
