#pragma once

// Taking one line out of the history and putting it back. The history file is rewritten whole
// and atomically, so a failure or a crash leaves it byte for byte as it was; every other line
// keeps its bytes and its place. What is needed to put the line back is kept in memory only.

#include "store/datafiles.h"

#include <QByteArray>

#include <optional>

namespace morvane {

// A line as the removal took it out.
struct RemovedLine {
    qsizetype index = 0;   // its place in the history, counted from 0
    qsizetype offset = 0;  // where its first byte stood in the file
    QByteArray bytes;      // the line with its line end, exactly as the file held them
    QByteArray fileDigest; // a digest of the file as the removal left it
};

struct HistoryEdit {
    enum class Status {
        Done,    // the file was rewritten; lines is the history it now holds
        Changed, // the file is not as the caller saw it (another program wrote to it, or it is
                 // gone): nothing was written
        Failed,  // error names the file and the reason; the file is as it was
    };
    Status status = Status::Changed;
    History lines;
    std::optional<RemovedLine> removed; // with Done, from removeHistoryLine
    std::optional<FileError> error;     // the file's full path and the system's reason
};

// Removes line `index` from the history file, provided that line still reads `line` there, so
// that a history changed behind the window's back never loses a line the user did not choose.
HistoryEdit removeHistoryLine(const DataFiles& files, qsizetype index, const QString& line);

// Puts a removed line back at its place, provided that the file is still exactly as the removal
// left it: a line recorded since (here or by another instance) is never moved or lost.
HistoryEdit restoreHistoryLine(const DataFiles& files, const RemovedLine& removed);

} // namespace morvane
