#pragma once

// The whole-file operations every data file shares: read a file whole, telling "not there"
// apart from "cannot be read", and replace a file atomically.

#include "store/datafiles.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class QFileDevice;

namespace morvane {

// True only when the system says nothing is at the path (or a folder on the way is missing). A
// file whose existence cannot be checked, for instance inside a folder without search
// permission, is not taken for absent: it is reported rather than mistaken for a first run.
bool isAbsent(const QString& path);

struct FileContent {
    bool missing = false;
    QByteArray bytes;
    std::optional<FileError> error; // names the file as displayName
};

// Opens, reads and closes the whole file.
FileContent readWholeFile(const QString& path, const QString& displayName);

// Writes all bytes to an unbuffered device, or fails with the system's reason in errorString().
// A short write is retried for the rest: the system reports a short write without a reason, and
// only the retry brings up the lasting failure (disk full, file size limit).
bool writeAll(QFileDevice& file, QByteArrayView bytes);

// Replaces the file with exactly these bytes, or leaves the old one whole. QSaveFile writes a
// temporary file beside the old one and renames it over the old one only at commit, so a
// failure or a crash leaves the old content. It must be unbuffered: when a buffered QSaveFile
// meets a short write while flushing, commit() still succeeds and renames the cut-off temporary
// file over the old one; our own check of every byte prevents that.
std::optional<FileError> replaceFile(const QString& path, const QString& displayName,
                                     QByteArrayView bytes);

} // namespace morvane
