#include "store/startup.h"

#include "measure/arithmetic.h"

namespace morvane {
namespace {

// A stored value is used only when it is a number the arithmetic can work with; anything else
// (no file, no number, 0, a height typed in centimetres) is left for the user to enter.
std::optional<float> usableValue(const NumberRead& read, const AcceptedRange& range)
{
    if (read.status != NumberRead::Status::Ok || !range.contains(read.value))
        return std::nullopt;
    return read.value;
}

StartupResult failed(const std::optional<FileError>& error)
{
    StartupResult result;
    result.error = error;
    return result;
}

} // namespace

StartupResult loadStartup(const DataFiles& files, std::span<const NumberFile> numbers)
{
    // The history first, then the numbers in the order given, so that of several unreadable
    // files the first one is the one reported.
    HistoryRead history = files.readHistory();
    if (history.error)
        return failed(history.error);
    Startup s;
    Measurement& m = s.measurement;
    for (const NumberFile& number : numbers) {
        const NumberRead read = files.readNumber(number.fileName);
        if (read.status == NumberRead::Status::Error)
            return failed(read.error);
        m.*number.value = usableValue(read, number.range);
    }
    s.history = std::move(history.lines);
    m.holdWeight = 1;

    if (m.height && m.weight) {
        m.bmi = CalcBmi(*m.weight, *m.height);
        m.meterBmi = clampToMeter(*m.bmi);
        s.position = meterPosition(m.meterBmi);
    }

    StartupResult result;
    result.startup = std::move(s);
    return result;
}

} // namespace morvane
