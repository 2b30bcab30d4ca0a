#pragma once

// Start-up as values: what the window shows once the data files are read, computed without a
// window. The window applies it before it is first shown; a reload applies it again.

#include "measure/meterreading.h"
#include "store/storeddata.h"

#include <optional>
#include <span>

namespace morvane {

struct Startup {
    History history;         // the history's lines, in file order
    Measurement measurement; // height, weight, BMI and the meter's BMI as loaded; keepsWeight
    // Where start-up sets the meter: the BMI's position. Without a BMI the meter stays where it
    // stands, and the reading there keeps what is known.
    std::optional<qint16> position;
};

struct StartupResult {
    std::optional<Startup> startup; // set unless a file could not be read
    std::optional<FileError> error; // a file exists but cannot be read: the program ends
};

// Reads the data files (readStoredData) and computes what start-up shows. Never writes a file.
StartupResult loadStartup(const DataFiles& files, std::span<const NumberFile> numbers);

} // namespace morvane
