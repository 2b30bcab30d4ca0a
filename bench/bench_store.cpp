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
//
// Importing: previewing a file of ten years of daily rows (read and merged into the numbers the
// preview shows), importing a year of second weighings into a 36,500-line history (the whole
// write: lock, merge, check, backup, marker and atomic replacement), and previewing a file of a
// million rows in a child process whose peak resident memory is reported ("peak RSS MB", the
// child's VmHWM after its start was reset to the memory it inherited; "above start MB" leaves
// that out). Each is also given as a ratio to reading the same file whole.

#include "measure/arithmetic.h"
#include "session/startup.h"
#include "store/datafiles.h"
#include "store/historyedit.h"
#include "store/historyentry.h"
#include "store/historyimport.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include <sys/wait.h>
#include <unistd.h>

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

// The imports' day: every file and history below ends the day before.
const QDate kImportToday{2024, 6, 1};
constexpr float kImportHeight = 1.685f;

// A CSV file of `rows` daily weights (several a day once there are more rows than days in ten
// years), oldest first, ending the day before kImportToday.
const QString& importFile(qint64 rows)
{
    static std::map<qint64, std::pair<std::unique_ptr<QTemporaryDir>, QString>> files;
    auto& [dir, path] = files[rows];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        path = dir->filePath(QStringLiteral("import.csv"));
        const qint64 days = std::min<qint64>(rows, 3650);
        QByteArray csv = "日付,体重(kg)\r\n";
        csv.reserve(rows * 20);
        for (qint64 i = 0; i < rows; ++i) {
            const QDate date = kImportToday.addDays(-days + i * days / rows);
            csv += date.toString(Qt::ISODate).toLatin1() + ',' +
                   QByteArray::number(60.0 + double(i % 200) / 10.0, 'f', 1) + "\r\n";
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size())
            qFatal("cannot write the import file for the benchmark");
    }
    return path;
}

void BM_PreviewImport(benchmark::State& state)
{
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    const QString& path = importFile(state.range(0));
    runAgainstFloor(state, "preview import", {path}, [&] {
        const ImportRead read = readImportFile(path);
        const ImportPreview preview =
            read.file ? previewImport(History(), *read.file, {}, kImportToday, kImportHeight, jp)
                      : ImportPreview();
        if (preview.newEntries != state.range(0))
            state.SkipWithError("preview read wrong");
        benchmark::DoNotOptimize(preview);
    });
}
BENCHMARK(BM_PreviewImport)->Arg(3650)->UseManualTime()->Unit(benchmark::kMillisecond);

// A year of second weighings, one every day, into a history of 36,500 daily lines.
void BM_ImportIntoLongHistory(benchmark::State& state)
{
    const QLocale jp(QLocale::Japanese, QLocale::Japan);
    const qint64 lines = state.range(0);
    QTemporaryDir dir;
    const DataFiles files{QDir(dir.path())};
    QByteArray history;
    for (qint64 i = lines; i > 0; --i) {
        const float weight = 60.0f + float(i % 100) / 10.0f;
        history += HistoryEntry::recorded(kImportToday.addDays(-i), weight,
                                          bodyMassIndex(weight, kImportHeight),
                                          obesityRatio(weight, kImportHeight))
                       .line(jp)
                       .toUtf8() +
                   "\r\n";
    }
    const ImportRead read = readImportFile(importFile(365));
    if (!read.file)
        qFatal("cannot read the import file for the benchmark");
    const QString historyPath = files.path(kHistoryFileName);
    Clock::duration workTotal{};
    Clock::duration floorTotal{};
    for (auto _ : state) {
        QFile file(historyPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(history) != history.size())
            qFatal("cannot write the history for the benchmark");
        file.close();
        QFile::remove(files.path(kHistoryBackupFileName));
        QFile::remove(files.path(kHistoryImportMarkerFileName));
        const auto floorStart = Clock::now();
        benchmark::DoNotOptimize(readAllBytes(historyPath));
        const auto workStart = Clock::now();
        const HistoryImport import =
            importIntoHistory(files, *read.file, {}, kImportToday, kImportHeight, jp);
        const auto workEnd = Clock::now();
        if (import.status != HistoryImport::Status::Imported ||
            import.lines.size() != lines + import.preview.newEntries ||
            import.preview.newEntries < 300)
            state.SkipWithError("import failed");
        floorTotal += workStart - floorStart;
        workTotal += workEnd - workStart;
        state.SetIterationTime(seconds(workEnd - workStart));
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["x floor"] = seconds(workTotal) / seconds(floorTotal);
}
BENCHMARK(BM_ImportIntoLongHistory)->Arg(36'500)->UseManualTime()->Unit(benchmark::kMillisecond);

qint64 statusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stoll(line.substr(key.size()));
    }
    return -1;
}

// The preview of a million rows, in a child process so that its peak memory is its own.
void BM_PreviewMillionRows(benchmark::State& state)
{
    const QString& path = importFile(state.range(0));
    double peakMb = 0.0;
    double aboveStartMb = 0.0;
    Clock::duration floorTotal{};
    Clock::duration workTotal{};
    for (auto _ : state) {
        const auto floorStart = Clock::now();
        benchmark::DoNotOptimize(readAllBytes(path));
        floorTotal += Clock::now() - floorStart;
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            qFatal("no pipe");
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeFds[0]);
            // Resets the peak to what the child has now (Linux's clear_refs, value 5).
            if (FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
                std::fputs("5", refs);
                std::fclose(refs);
            }
            const double start = double(statusKilobytes("VmHWM"));
            const auto t0 = Clock::now();
            const ImportRead read = readImportFile(path);
            const ImportPreview preview =
                read.file ? previewImport(History(), *read.file, {}, kImportToday, kImportHeight,
                                          QLocale(QLocale::Japanese, QLocale::Japan))
                          : ImportPreview();
            const double result[3] = {seconds(Clock::now() - t0), double(statusKilobytes("VmHWM")),
                                      start};
            const bool ok = preview.newEntries == state.range(0);
            if (!ok || ::write(pipeFds[1], result, sizeof result) != sizeof result)
                ::_exit(1);
            ::_exit(0);
        }
        ::close(pipeFds[1]);
        double result[3] = {};
        const bool got = ::read(pipeFds[0], result, sizeof result) == sizeof result;
        ::close(pipeFds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("preview in the child failed");
            break;
        }
        workTotal +=
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(result[0]));
        state.SetIterationTime(result[0]);
        peakMb = std::max(peakMb, result[1] / 1024.0);
        aboveStartMb = std::max(aboveStartMb, (result[1] - result[2]) / 1024.0);
    }
    state.counters["peak RSS MB"] = peakMb;
    state.counters["above start MB"] = aboveStartMb;
    state.counters["x floor"] = seconds(workTotal) / seconds(floorTotal);
}
BENCHMARK(BM_PreviewMillionRows)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

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
