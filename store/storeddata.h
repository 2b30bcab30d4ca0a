#pragma once

// What the data files hold, read in one go: the history's lines and the height, weight and goal
// they keep. Start-up and every reload read it so (session/startup.h works out what to show).

#include "measure/limits.h"
#include "measure/meterreading.h"
#include "store/datafiles.h"

#include <optional>
#include <span>

namespace morvane {

// A number file read into the measurement: a value outside `range` is unusable and leaves the
// value unset.
struct NumberFile {
    QString fileName;
    AcceptedRange range;
    std::optional<float> Measurement::*value = nullptr;
};

inline const NumberFile kHeightFile{kHeightFileName, kHeightRange, &Measurement::height};
inline const NumberFile kWeightFile{kWeightFileName, kWeightRange, &Measurement::weight};
inline const NumberFile kGoalFile{kGoalFileName, kWeightRange, &Measurement::goal};

struct StoredData {
    History history;         // the history's lines, in file order
    Measurement measurement; // the values of the number files read; nothing derived
};

struct StoredRead {
    std::optional<StoredData> data; // set unless a file could not be read
    std::optional<FileError> error; // a file exists but cannot be read
};

// Reads the history and then the number files, in that order, so that of several unreadable
// files the first one is the one reported. A missing, empty or unusable number file (no number,
// or outside its range) leaves its value unset; a missing history is an empty one. Never writes.
StoredRead readStoredData(const DataFiles& files, std::span<const NumberFile> numbers);

} // namespace morvane
