#pragma once

// The file operations every data file shares: read a file whole, telling "not there" apart from
// "cannot be read", replace a file atomically, and the line rules of the history's bytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

class QFileDevice;

namespace morvane {

// Why a file could not be read or written.
struct FileError {
    QString path;   // the file's full path, as messages show it (see fullPath)
    QString reason; // the system's reason, in the user's language where the program knows it
};

// The absolute, cleaned path with the platform's separators, for messages. Files are opened by
// the path as given (often relative to the working folder); a folder name that is not valid
// UTF-8 shows replacement characters here, while the file opened is the right one.
QString fullPath(const QString& path);
// The working folder as the program entered it, which fullPath() puts before a relative path
// from then on: should the folder be deleted while the program runs, the system can no longer
// tell where the working folder was, and a message would name a bare file name. Empty: the
// working folder as the system tells it at the time.
void rememberWorkingFolder(const QString& folder);

// The reason for a system error number: in the program's language for the errors a user meets
// (no space, no permission, read-only file system, name too long, file too large, quota,
// input/output error, not found, is a folder, too many links), the system's own text otherwise.
QString systemReason(int error);
// The same for the reason a Qt file device gives (its errorString()), which is the system's
// text for the system's errors.
QString systemReason(const QString& systemText);
// The error for the file at `path` and a system error number.
FileError systemError(const QString& path, int error);

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

// What is at a path at one moment, as far as telling a later change goes: a file written,
// replaced (a new file renamed over it), created or removed since has another stamp.
struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0; // the last modification, in nanoseconds since the epoch
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
FileStamp fileStamp(const QString& path);

struct FileContent {
    bool missing = false;
    QByteArray bytes;
    std::optional<FileError> error;
};

// Opens, reads and closes the whole file. Only a regular file (or a link to one) of at most
// maxBytes is read: anything else (a folder, a FIFO, a device, a larger file) is an error, found
// without blocking (the file is opened non-blocking and checked on the opened descriptor, so it
// cannot be swapped in between) and without reading it.
FileContent readWholeFile(const QString& path, qint64 maxBytes);

// Writes all bytes to an unbuffered device, or fails with the system's reason in errorString().
// A short write is retried for the rest, as replaceFile does.
bool writeAll(QFileDevice& file, QByteArrayView bytes);

// Replaces the file with exactly these bytes, or leaves the old one whole: the bytes go to a
// temporary file beside it, are flushed to the disk and renamed over it, so a failure or a crash
// leaves the old content. The new file keeps the old one's permissions; a link is followed, so
// the file it points to is replaced. The path is used as given (relative paths stay relative),
// so a working folder whose name is not valid UTF-8 works.
// Only a regular file is replaced, or a new one written: a folder, a FIFO or a device at the
// path is refused before anything is written, since the rename would put a regular file in its
// place (even over /dev/full, for root).
// `beforeRename`, when given, runs once the new content is safely written, just before the
// rename: false cancels the replacement, changing nothing, and no error is returned.
std::optional<FileError> replaceFile(const QString& path, QByteArrayView bytes,
                                     const std::function<bool()>& beforeRename = {});

// Writes every byte to the descriptor, or fails with errno set. A short write is retried for the
// rest: the system reports a short write without a reason, and only the retry brings up the
// lasting failure (disk full, file size limit).
bool writeFully(int fd, QByteArrayView bytes);

// What must follow a history's bytes so that a line added after them starts a line of its own:
// nothing when they are empty, hold only a byte order mark or end with a line end, LF when they
// end with half of one (CR), CR LF otherwise.
QByteArrayView lineEndBeforeAppend(QByteArrayView history);

// Makes an oversize write fail with an error (EFBIG) instead of ending the process: under a
// file size limit (ulimit -f) the system otherwise kills the writer with SIGXFSZ part-way
// through a record, before it can cut the record back. Call once at program start.
void ignoreFileSizeSignal();

} // namespace morvane
