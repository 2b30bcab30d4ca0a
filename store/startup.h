#pragma once

// Start-up as values: what the window shows once it has read its files, computed without a
// window. The window applies it before it is first shown.

#include "measure/limits.h"
#include "measure/meterupdate.h"
#include "store/datafiles.h"

#include <QLocale>
#include <QStringList>

#include <optional>
#include <span>

namespace morvane {

// The scroll bar's value before start-up sets it; start-up leaves the meter there while the BMI
// is unknown.
inline constexpr qint16 kMeterInitialPosition = 155;

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
    History history;         // lstRireki's entries, in file order
    Measurement measurement; // Height, Weight, Bmi, MeterBmi as loaded; holdWeight 1. Without a
                             // BMI, MeterBmi is the initial position's value (15.5)
    // Where start-up sets the meter; kMeterInitialPosition when the BMI is unknown.
    qint16 position = kMeterInitialPosition;
    QString label4; // BMI with "0.0"; empty when unknown
};

struct StartupResult {
    std::optional<Startup> startup; // set unless a file could not be read
    std::optional<FileError> error; // a file exists but cannot be read: the program ends
};

// Reads the history and then the number files, in that order, and computes what start-up shows.
// A missing, empty or unusable number file (no number, or outside its range) leaves its value
// unset; a missing history is an empty one. Never writes a file.
StartupResult loadStartup(const DataFiles& files, std::span<const NumberFile> numbers,
                          const QLocale& locale);

} // namespace morvane
