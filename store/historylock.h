#pragma once

// The lock that every running instance of the program takes on the history before it writes to
// it, so that two windows on the same data folder never lose each other's entries. An entry is
// appended in place, but deleting a line, undoing a clear and the clear itself put a new file in
// the history's place by a rename: a line appended to the old file between its reading and the
// rename would go with it. Both sides therefore hold the lock, the appender for its one write,
// the others from before they read the history until after the rename.
//
// The lock is an advisory flock(2) on the history file itself, so no extra file is left in the
// user's folder. Since a rename puts another file in its place, whoever gets the lock checks that
// the file it holds is still the one at the path (the file a link points to, which is what a
// rename replaces), and else opens the new one and tries again. Nobody waits for ever: after
// about two seconds the operation gives up with an error and changes nothing.

#include "store/datafiles.h"

#include <QString>

#include <functional>
#include <optional>

namespace morvane {

class HistoryLock {
public:
    // Opens the history with `open` (which returns a descriptor, or -1 with errno set) and locks
    // it. `path` is the history's path; errors name it.
    HistoryLock(const QString& path, const std::function<int()>& open);
    ~HistoryLock();
    HistoryLock(const HistoryLock&) = delete;
    HistoryLock& operator=(const HistoryLock&) = delete;

    // The locked descriptor; -1 when it was not had (see openError() and error()). The lock
    // lasts until the descriptor is closed. On a file system that has no locks it is merely
    // open: the program then works as it would without them.
    int fd() const { return m_fd; }
    // Hands the locked descriptor over to the caller, who keeps the lock by keeping it open.
    int release();
    // The errno of a failed open, or 0. A history that cannot be opened is not locked; an
    // operation that only replaces it may go on (no instance can append to a file it cannot
    // open, and a missing file has nothing to lose), and reports the failure of its own access.
    int openError() const { return m_openError; }
    // Set when the lock could not be had: another instance holds it too long, or the system
    // refuses it. The operation must then not write.
    const std::optional<FileError>& error() const { return m_error; }

private:
    int m_fd = -1;
    int m_openError = 0;
    std::optional<FileError> m_error;
};

// Opens the history with these flags (O_RDONLY, or O_RDWR and others for the appender) and
// never blocks: a FIFO in the history's place is not waited on. A history the flags' access is
// refused to is opened write-only instead, which is all the lock and an append need.
int openHistory(const QString& path, int flags);

} // namespace morvane
