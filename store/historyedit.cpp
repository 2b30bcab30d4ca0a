#include "store/historyedit.h"

#include "store/fileio.h"

#include <QCoreApplication>
#include <QCryptographicHash>

#include <QFile>

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {
namespace {

// How long a rewrite waits, in steps of 2 ms, for a writer that does not lock to finish writing
// to the file it replaced.
constexpr int kCarryOverWaits = 50;

// Opens the history to lock it; with `create` a missing one is created empty, and `created` says
// so.
int openToLock(const QString& path, bool create, bool& created)
{
    created = false;
    int fd = openHistory(path, O_RDONLY);
    if (fd < 0 && errno == ENOENT && create) {
        fd = openHistory(path, O_RDONLY | O_CREAT | O_EXCL);
        created = fd >= 0;
        if (fd < 0 && errno == EEXIST)
            fd = openHistory(path, O_RDONLY);
    }
    return fd;
}

QByteArray digestOf(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

HistoryEdit changed()
{
    return HistoryEdit{HistoryEdit::Status::Changed, {}, std::nullopt, std::nullopt};
}

HistoryEdit failed(FileError error)
{
    return HistoryEdit{HistoryEdit::Status::Failed, {}, std::nullopt, std::move(error)};
}

// Reads the history under its lock and hands the content to `edit`, unless that fails; again,
// from a fresh read, while the history changed before the edit's rewrite could replace it.
template <typename Edit> HistoryEdit editLines(const DataFiles& files, Edit edit)
{
    for (int attempt = 0; attempt < kHistoryEditTries; ++attempt) {
        LockedHistory history(files);
        if (history.error())
            return failed(*history.error());
        FileContent content = history.read();
        if (content.error)
            return failed(std::move(*content.error));
        HistoryEdit result = edit(history, std::move(content));
        if (!history.changedSinceRead())
            return result;
    }
    return failed(historyKeepsChanging(files));
}

// Rewrites the history with `bytes` and reads them back as lines.
HistoryEdit rewrite(LockedHistory& history, QByteArray bytes)
{
    if (std::optional<FileError> error = history.rewrite(bytes))
        return failed(std::move(*error));
    return HistoryEdit{HistoryEdit::Status::Done, History(std::move(bytes)), std::nullopt,
                       std::nullopt};
}

} // namespace

LockedHistory::LockedHistory(const DataFiles& files, bool createIfMissing)
    : m_path(files.path(kHistoryFileName))
    , m_lock(m_path, [&] { return openToLock(m_path, createIfMissing, m_created); })
{}

FileContent LockedHistory::read()
{
    // Taken before the read, so that a line appended while it reads counts as a change too.
    m_read = fileStamp(m_path);
    m_changed = false;
    return readWholeFile(m_path, kMaxHistoryBytes);
}

std::optional<FileError>
LockedHistory::rewrite(QByteArrayView bytes,
                       const std::function<std::optional<FileError>()>& beforeRename)
{
    std::optional<FileError> hookError;
    const auto unchanged = [this] {
        m_changed = fileStamp(m_path) != m_read;
        return !m_changed;
    };
    std::optional<FileError> error = replaceFile(m_path, bytes, [&] {
        if (!unchanged())
            return false;
        if (beforeRename && (hookError = beforeRename()))
            return false;
        return !beforeRename || unchanged();
    });
    if (hookError)
        return hookError;
    if (!error && !m_changed)
        carryOver(bytes);
    return error;
}

namespace {

// True when no other process has the file open (a write lease can be had, and is let go at
// once); also when that cannot be told (no leases on this file system, another owner), so that
// nobody waits for nothing.
bool nobodyElseHasItOpen(int fd)
{
    if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return true;
    }
    return errno != EAGAIN;
}

} // namespace

void LockedHistory::carryOver(QByteArrayView written) const
{
    // The lock is held on the file the rename replaced. A writer that does not lock and had
    // opened it just before the rename writes its line there: what lands is carried over to the
    // new file, until no other process has the old one open (an `echo >>` closes it within a
    // moment), for a tenth of a second at most.
    const int fd = m_lock.fd();
    if (fd < 0)
        return;
    qint64 carried = m_read.size;
    QByteArray lead = lineEndBeforeAppend(written).toByteArray();
    const auto carry = [&] {
        struct stat st {};
        if (::fstat(fd, &st) != 0 || st.st_size <= carried)
            return;
        QByteArray tail(qsizetype(st.st_size - carried), Qt::Uninitialized);
        const ssize_t got = ::pread(fd, tail.data(), std::size_t(tail.size()), carried);
        const int out =
            got > 0 ? ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC)
                    : -1;
        if (out < 0)
            return;
        tail.truncate(qsizetype(got));
        const QByteArray next = lineEndBeforeAppend(tail).toByteArray();
        tail.prepend(lead);
        [[maybe_unused]] const ssize_t put =
            ::write(out, tail.constData(), std::size_t(tail.size()));
        ::close(out);
        carried += got;
        lead = next;
    };
    for (int wait = 0;; ++wait) {
        // Asked first: once nobody else has it open, what it holds is final.
        const bool final = wait == kCarryOverWaits || nobodyElseHasItOpen(fd);
        carry();
        if (final)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

FileError historyKeepsChanging(const DataFiles& files)
{
    return FileError{fullPath(files.path(kHistoryFileName)),
                     QCoreApplication::translate("morvane::HistoryBackup",
                                                 "ほかのプログラムが書き込み続けています")};
}

HistoryEdit removeHistoryLine(const DataFiles& files, qsizetype index, const QString& line)
{
    return editLines(files, [&](LockedHistory& history, FileContent content) {
        const History before(std::move(content.bytes));
        if (index < 0 || index >= before.size() || before.at(index) != line)
            return changed();

        const History::Span span = before.span(index);
        RemovedLine removed{
            index, span.begin, before.bytes().sliced(span.begin, span.end - span.begin), {}};
        QByteArray after = before.bytes();
        after.remove(span.begin, span.end - span.begin);
        removed.fileDigest = digestOf(after);

        HistoryEdit edit = rewrite(history, std::move(after));
        if (edit.status == HistoryEdit::Status::Done)
            edit.removed = std::move(removed);
        return edit;
    });
}

HistoryEdit restoreHistoryLine(const DataFiles& files, const RemovedLine& removed)
{
    return editLines(files, [&](LockedHistory& history, FileContent content) {
        if (content.missing || removed.offset > content.bytes.size() ||
            digestOf(content.bytes) != removed.fileDigest)
            return changed();

        QByteArray bytes = std::move(content.bytes);
        bytes.insert(removed.offset, removed.bytes);
        return rewrite(history, std::move(bytes));
    });
}

} // namespace morvane
