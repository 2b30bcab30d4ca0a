#pragma once

// The goal weight, kept in "目標.txt" beside the other data files, in the same one-number
// record as the weight file ("62\r\n"). The goal is optional: a missing, empty or unusable file
// means that no goal is set, as a missing height file means that no height is set.

#include "store/datafiles.h"

#include <optional>

namespace morvane {

inline const QString kGoalFileName = QStringLiteral("目標.txt");

// The goal as start-up reads it. Status::Error (the file exists but cannot be read) comes with
// a FileError naming the file's full path.
NumberRead readGoal(const DataFiles& files);

// The goal read, if it is one the program accepts as a weight; nullopt for no goal.
std::optional<float> usableGoal(const NumberRead& read);

// Replaces the goal atomically, as the weight file is replaced.
std::optional<FileError> writeGoal(const DataFiles& files, float kilograms);

// Removes the goal file. A file that is already gone is no error.
std::optional<FileError> removeGoal(const DataFiles& files);

} // namespace morvane
