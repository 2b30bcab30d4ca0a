#include "store/storeddata.h"

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

} // namespace

StoredRead readStoredData(const DataFiles& files, std::span<const NumberFile> numbers)
{
    StoredRead result;
    HistoryRead history = files.readHistory();
    if (history.error) {
        result.error = std::move(history.error);
        return result;
    }
    StoredData data;
    for (const NumberFile& number : numbers) {
        const NumberRead read = files.readNumber(number.fileName);
        if (read.status == NumberRead::Status::Error) {
            result.error = read.error;
            return result;
        }
        data.measurement.*number.value = usableValue(read, number.range);
    }
    data.history = std::move(history.lines);
    result.data = std::move(data);
    return result;
}

} // namespace morvane
