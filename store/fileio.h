#pragma once

// The file operations every data file shares: read a file whole, telling "not there" apart from
// "cannot be read", replace a file atomically, and the line rules of the history's bytes.

#include "store/datafiles.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class QFileDevice;

namespace morvane {

// Some editors put a byte order mark in front of UTF-8 text; the CSV export writes one on
// purpose. It is not part of the first line or record.
inline constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";

// The largest files read. A history line is about 30 bytes: 256 MB holds several million
// entries, far beyond decades of daily weighing, and is still read in a moment. A number record
// is a few bytes; 4 KB leaves room for blanks around it.
inline constexpr qint64 kMaxHistoryBytes = qint64(256) << 20;
inline constexpr qint64 kMaxNumberFileBytes = 4096;

// True only when the system says nothing is at the path (or a folder on the way is missing). A
// file whose existence cannot be checked, for instance inside a folder without search
// permission, is not taken for absent: it is reported rather than mistaken for a first run.
bool isAbsent(const QString& path);

// The reason given for a data file that is something other than a regular file or a folder.
QString notRegularFileReason();

struct FileContent {
    bool missing = false;
    QByteArray bytes;
    std::optional<FileError> error; // names the file as displayName
};

// Opens, reads and closes the whole file. Only a regular file (or a link to one) of at most
// maxBytes is read: anything else (a folder, a FIFO, a device, a larger file) is an error, found
// without blocking (the file is opened non-blocking and checked on the opened descriptor, so it
// cannot be swapped in between) and without reading it.
FileContent readWholeFile(const QString& path, const QString& displayName, qint64 maxBytes);

// Writes all bytes to an unbuffered device, or fails with the system's reason in errorString().
// A short write is retried for the rest: the system reports a short write without a reason, and
// only the retry brings up the lasting failure (disk full, file size limit).
bool writeAll(QFileDevice& file, QByteArrayView bytes);

// Replaces the file with exactly these bytes, or leaves the old one whole. QSaveFile writes a
// temporary file beside the old one and renames it over the old one only at commit, so a
// failure or a crash leaves the old content; the new file keeps the old one's permissions, and
// a link is followed, so the file it points to is replaced. It must be unbuffered: when a
// buffered QSaveFile meets a short write while flushing, commit() still succeeds and renames the
// cut-off temporary file over the old one; our own check of every byte prevents that.
std::optional<FileError> replaceFile(const QString& path, const QString& displayName,
                                     QByteArrayView bytes);

// What must follow a history's bytes so that a line added after them starts a line of its own:
// nothing when they are empty, hold only a byte order mark or end with a line end, LF when they
// end with half of one (CR), CR LF otherwise.
QByteArrayView lineEndBeforeAppend(QByteArrayView history);

// Makes an oversize write fail with an error (EFBIG) instead of ending the process: under a
// file size limit (ulimit -f) the system otherwise kills the writer with SIGXFSZ part-way
// through a record, before it can cut the record back. Call once at program start.
void ignoreFileSizeSignal();

} // namespace morvane
