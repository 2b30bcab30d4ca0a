// Start-up reading with long histories: readHistory alone and the whole loadStartup, for 0,
// 10,000 and 1,000,000 history lines; and deleting one line and undoing it. Each iteration also
// reads the same files' bytes with QFile::readAll, the floor no parser can beat, so that the
// figures come as time per line and as a ratio to that floor measured in the same run on the same
// (cached) files.
//
// Counters: ns/line (the timed work per history line), floor ns/line, x floor (total time of
// the work / total time of the floor reads), and the same for the first call of each case before
// any repetition (first ns/line, first x floor). The readHistory cases run first, so their first
// calls include the fresh pages that the one start-up of a real process pays for.
//
// A million lines allocate about 100 MB of small strings. By default glibc hands freed memory
// back to the system between iterations, and every iteration then pays again for fresh pages,
// which costs far more than the reading itself on some virtual machines and varies from run to
// run. main() therefore asks glibc to keep freed memory, so that the repeated figures measure
// the reading; the first-call counters keep the cost with fresh pages.

#include "session/startup.h"
#include "store/datafiles.h"
#include "store/historyedit.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <utility>

using namespace morvane;

namespace {

using Clock = std::chrono::steady_clock;

// One folder per history length, created once and kept for the whole run.
const QTemporaryDir& folderWithLines(qint64 lines)
{
    static std::map<qint64, std::unique_ptr<QTemporaryDir>> folders;
    auto& dir = folders[lines];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        const DataFiles files{QDir(dir->path())};
        QByteArray history;
        history.reserve(lines * 28);
        for (qint64 i = 0; i < lines; ++i) {
            history += i % 2 ? "05/11  68.5Kg  24.1  9.6%\r\n" : "05/12  68.0Kg  23.9  8.8%\r\n";
        }
        QFile file(files.path(kHistoryFileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(history) != history.size())
            qFatal("cannot write the history for the benchmark");
        file.close();
        if (files.writeNumber(kHeightFileName, 1.685f) || files.writeNumber(kWeightFileName, 68.5f))
            qFatal("cannot write the number files for the benchmark");
    }
    return *dir;
}

qint64 readAllBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    benchmark::DoNotOptimize(bytes.constData());
    return bytes.size();
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Times `work` per iteration against reading `floorFiles` whole, interleaved so that both see the
// same cache state.
template <typename Work>
void runAgainstFloor(benchmark::State& state, const char* name, const QStringList& floorFiles,
                     Work work)
{
    const qint64 lines = state.range(0);
    // The first round, timed apart: it pays for fresh pages, as the one start-up of a process
    // does, and would otherwise land on whichever benchmark happens to run first.
    static std::map<std::pair<std::string, qint64>, std::pair<double, double>> firstCalls;
    auto& [firstFloor, firstWork] = firstCalls[{name, lines}];
    if (firstWork == 0.0) {
        const auto floorStart = Clock::now();
        for (const QString& path : floorFiles)
            benchmark::DoNotOptimize(readAllBytes(path));
        const auto workStart = Clock::now();
        work();
        firstFloor = seconds(workStart - floorStart);
        firstWork = seconds(Clock::now() - workStart);
    }

    Clock::duration workTotal{};
    Clock::duration floorTotal{};
    for (auto _ : state) {
        const auto floorStart = Clock::now();
        for (const QString& path : floorFiles)
            benchmark::DoNotOptimize(readAllBytes(path));
        const auto workStart = Clock::now();
        work();
        const auto workEnd = Clock::now();
        floorTotal += workStart - floorStart;
        workTotal += workEnd - workStart;
        state.SetIterationTime(seconds(workEnd - workStart));
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["lines"] = static_cast<double>(lines);
    if (lines > 0) {
        state.counters["ns/line"] = seconds(workTotal) * 1e9 / (iterations * lines);
        state.counters["floor ns/line"] = seconds(floorTotal) * 1e9 / (iterations * lines);
    }
    state.counters["x floor"] = seconds(workTotal) / seconds(floorTotal);
    if (lines > 0)
        state.counters["first ns/line"] = firstWork * 1e9 / lines;
    state.counters["first x floor"] = firstWork / firstFloor;
}

void BM_ReadHistory(benchmark::State& state)
{
    const DataFiles files{QDir(folderWithLines(state.range(0)).path())};
    runAgainstFloor(state, "readHistory", {files.path(kHistoryFileName)}, [&] {
        const HistoryRead read = files.readHistory();
        if (read.error || read.lines.size() != state.range(0))
            state.SkipWithError("history read wrong");
        benchmark::DoNotOptimize(read.lines);
    });
}
BENCHMARK(BM_ReadHistory)
    ->Arg(0)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

void BM_LoadStartup(benchmark::State& state)
{
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    const DataFiles files{QDir(folderWithLines(state.range(0)).path())};
    // The floor for start-up reads all three files.
    const QStringList all{files.path(kHistoryFileName), files.path(kHeightFileName),
                          files.path(kWeightFileName)};
    const NumberFile numbers[] = {kHeightFile, kWeightFile};
    runAgainstFloor(state, "loadStartup", all, [&] {
        const StartupResult result = loadStartup(files, numbers);
        if (!result.startup || result.startup->history.size() != state.range(0))
            state.SkipWithError("start-up read wrong");
        benchmark::DoNotOptimize(result);
    });
}
BENCHMARK(BM_LoadStartup)
    ->Arg(0)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Deleting the middle line and putting it back: each reads the history whole and replaces it
// atomically, so one round costs two reads and two rewrites of the file. The history ends each
// round as it began.
void BM_DeleteAndUndoLine(benchmark::State& state)
{
    const DataFiles files{QDir(folderWithLines(state.range(0)).path())};
    const qsizetype middle = state.range(0) / 2;
    const QString line = files.readHistory().lines.at(middle);
    runAgainstFloor(state, "delete and undo", {files.path(kHistoryFileName)}, [&] {
        const HistoryEdit removal = removeHistoryLine(files, middle, line);
        if (!removal.removed ||
            restoreHistoryLine(files, *removal.removed).status != HistoryEdit::Status::Done)
            state.SkipWithError("delete and undo failed");
    });
}
BENCHMARK(BM_DeleteAndUndoLine)
    ->Arg(10'000)
    ->Arg(1'000'000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // Keep freed memory in the process (see the top of this file). 32 MiB is the largest mmap
    // threshold glibc accepts; the history buffers stay below it.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
