#include "store/historylock.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {
namespace {

using Clock = std::chrono::steady_clock;

// Long enough for any other instance to finish one write or one rewrite of the history, short
// enough that a stuck one does not freeze the window.
constexpr auto kPatience = std::chrono::seconds(2);
constexpr auto kPause = std::chrono::milliseconds(2);

// True when the descriptor is the file that the path names now.
bool isFileAtPath(int fd, const QByteArray& path)
{
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

FileError busyError(const QString& path)
{
    return FileError{fullPath(path),
                     QCoreApplication::translate(
                         "morvane::HistoryLock",
                         "ほかの Morvane が書き込み中です。少し待ってからやり直してください")};
}

} // namespace

int openHistory(const QString& path, int flags)
{
    const QByteArray name = QFile::encodeName(path);
    flags |= O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int fd = ::open(name.constData(), flags, 0666);
    if (fd < 0 && errno == EACCES && (flags & O_ACCMODE) != O_WRONLY)
        fd = ::open(name.constData(), (flags & ~O_ACCMODE) | O_WRONLY, 0666);
    return fd;
}

HistoryLock::HistoryLock(const QString& path, const std::function<int()>& open)
{
    const QByteArray name = QFile::encodeName(path);
    const Clock::time_point deadline = Clock::now() + kPatience;
    for (;;) {
        const int fd = open();
        if (fd < 0) {
            m_openError = errno;
            return;
        }
        int locked = ::flock(fd, LOCK_EX | LOCK_NB);
        while (locked != 0 && (errno == EINTR || errno == EWOULDBLOCK) && Clock::now() < deadline) {
            if (errno == EWOULDBLOCK)
                std::this_thread::sleep_for(kPause);
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        }
        if (locked != 0 && (errno == EINTR || errno == EWOULDBLOCK)) {
            ::close(fd);
            m_error = busyError(path);
            return;
        }
        // locked != 0 here means a file system without locks: go on as before them.
        if (locked != 0 || isFileAtPath(fd, name)) {
            m_fd = fd;
            return;
        }
        // Another instance put a new file in its place while we waited: lock that one.
        ::close(fd);
        if (Clock::now() >= deadline) {
            m_error = busyError(path);
            return;
        }
    }
}

HistoryLock::~HistoryLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int HistoryLock::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

} // namespace morvane
