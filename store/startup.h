#pragma once

// Start-up as values: what the window shows once it has read its files, computed without a
// window. The window applies it before it is first shown.

#include "measure/limits.h"
#include "measure/meterreading.h"
#include "store/datafiles.h"

#include <optional>
#include <span>

namespace morvane {

// A number file start-up reads into the measurement: a value outside `range` is unusable and
// leaves the value unset.
struct NumberFile {
    QString fileName;
    AcceptedRange range;
    std::optional<float> Measurement::*value = nullptr;
};

inline const NumberFile kHeightFile{kHeightFileName, kHeightRange, &Measurement::height};
inline const NumberFile kWeightFile{kWeightFileName, kWeightRange, &Measurement::weight};
inline const NumberFile kGoalFile{kGoalFileName, kWeightRange, &Measurement::goal};

struct Startup {
    History history;         // the history's lines, in file order
    Measurement measurement; // height, weight, BMI and the meter's BMI as loaded; holdWeight 1
    // Where start-up sets the meter: the BMI's position. Without a BMI the meter stays where it
    // stands, and the reading there keeps what is known.
    std::optional<qint16> position;
};

struct StartupResult {
    std::optional<Startup> startup; // set unless a file could not be read
    std::optional<FileError> error; // a file exists but cannot be read: the program ends
};

// Reads the history and then the number files, in that order, and computes what start-up shows.
// A missing, empty or unusable number file (no number, or outside its range) leaves its value
// unset; a missing history is an empty one. Never writes a file.
StartupResult loadStartup(const DataFiles& files, std::span<const NumberFile> numbers);

} // namespace morvane
