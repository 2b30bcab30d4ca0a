#include "store/historybackup.h"

#include "store/fileio.h"
#include "store/historyedit.h"
#include "store/historyimport.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {
namespace {

// The file the history's name stands for: the file itself, or where its link points, so that
// a linked history stays linked after a clear.
QString resolvedHistoryPath(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

// Creates an empty history that nothing else has created meanwhile, with the old history's
// permissions when there was one (not narrowed by the umask), else as any new file. When another
// instance's append created the file first, that file is the new history, holding its line.
std::optional<FileError> createEmptyHistory(const QString& path, std::optional<mode_t> mode)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666));
    if (fd < 0) {
        if (errno == EEXIST)
            return std::nullopt;
        return systemError(path, errno);
    }
    const bool ok = !mode || ::fchmod(fd, *mode) == 0;
    const int error = errno;
    ::close(fd);
    if (ok)
        return std::nullopt;
    return systemError(path, error);
}

// The clear of a history that cannot be renamed into the backup: copied to it, then truncated,
// unless it changed since it was read.
std::optional<FileError> copyAndEmpty(const DataFiles& files, const QString& history,
                                      const QString& shown)
{
    const QString backup = files.path(kHistoryBackupFileName);
    for (int attempt = 0; attempt < kHistoryEditTries; ++attempt) {
        const FileStamp seen = fileStamp(history);
        FileContent content = readWholeFile(history, kMaxHistoryBytes);
        if (content.error)
            return content.error;
        if (auto failed = replaceFile(backup, content.bytes))
            return failed;
        QFile::remove(files.path(kHistoryImportMarkerFileName));
        QFile::setPermissions(backup, QFile::permissions(history));
        if (fileStamp(history) != seen)
            continue;
        QFile file(history);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return FileError{fullPath(shown), systemReason(file.errorString())};
        return std::nullopt;
    }
    return historyKeepsChanging(files);
}

} // namespace

std::optional<FileError> clearHistory(const DataFiles& files)
{
    // Locked from before the history is looked at until the new one is in place: an instance
    // appending meanwhile waits, then finds the new file.
    const LockedHistory locked(files);
    if (locked.error())
        return locked.error();
    // Errors name the history as the user knows it, in the data folder, also when it is a link.
    const QString& shown = locked.path();
    const QString history = resolvedHistoryPath(shown);
    const QByteArray name = QFile::encodeName(history);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        if (errno == ENOENT && isAbsent(history))
            return createEmptyHistory(history, std::nullopt);
        return systemError(shown, errno);
    }
    if (S_ISDIR(st.st_mode))
        return systemError(shown, EISDIR);
    if (!S_ISREG(st.st_mode))
        return FileError{fullPath(shown), notRegularFileReason()};
    // An empty history keeps the older backup: clearing an empty list must not throw away what
    // the last real clear kept.
    if (st.st_size == 0)
        return std::nullopt;

    // The history becomes the backup by a rename, and a new empty file takes its place; nothing
    // is truncated. An append by another instance that opened the file before the rename lands
    // in the backup, one that opens it after lands in the new history: never in between. The
    // backup is the old file itself, so it keeps its permissions, and the new history gets them
    // too.
    const mode_t mode = st.st_mode & 07777;
    const QByteArray backup = QFile::encodeName(files.path(kHistoryBackupFileName));
    if (::rename(name.constData(), backup.constData()) != 0) {
        const int error = errno;
        if (error != EXDEV)
            return systemError(files.path(kHistoryBackupFileName), error);
        // A link to a history on another file system: copy it to the backup, then empty it.
        // The lock keeps this program's appends out between the copy and the truncation; a
        // writer that does not lock is caught by the history's stamp, and the copy is made again.
        return copyAndEmpty(files, history, shown);
    }
    // The backup is the clear's now: an import's marker no longer speaks of it.
    QFile::remove(files.path(kHistoryImportMarkerFileName));
    if (std::optional<FileError> error = createEmptyHistory(history, mode)) {
        // Without a new file the history reads as empty anyway, and the backup holds every line.
        return error;
    }
    return std::nullopt;
}

bool hasBackup(const DataFiles& files)
{
    return QFileInfo(files.path(kHistoryBackupFileName)).isFile();
}

bool clearReplacesBackup(const DataFiles& files)
{
    return hasBackup(files) && QFileInfo(files.path(kHistoryFileName)).size() > 0;
}

namespace {

HistoryRestore restoreOnce(const DataFiles& files, bool& historyChanged)
{
    using Status = HistoryRestore::Status;
    const QString backupPath = files.path(kHistoryBackupFileName);
    if (isAbsent(backupPath))
        return HistoryRestore{Status::NoBackup, {}, std::nullopt};

    // Locked from before either file is read until the restored history is in place.
    LockedHistory history(files, true);
    const QString& historyPath = history.path();
    // A history made only to be locked goes again when nothing is restored into it.
    auto unmade = [&](HistoryRestore restore) {
        if (history.created() && fileStamp(historyPath).size == 0)
            QFile::remove(historyPath);
        return restore;
    };
    auto failed = [&](FileError error) {
        return unmade(HistoryRestore{Status::Failed, {}, std::move(error)});
    };
    if (history.error())
        return failed(*history.error());

    const FileContent backup = readWholeFile(backupPath, kMaxHistoryBytes);
    if (backup.missing)
        return unmade(HistoryRestore{Status::NoBackup, {}, std::nullopt});
    if (backup.error)
        return failed(*backup.error);
    if (!isAbsent(files.path(kHistoryImportMarkerFileName)))
        return unmade(undoImport(files, history, backup.bytes, historyChanged));

    const bool existed = !isAbsent(historyPath) && !history.created();
    const FileContent since = history.read();
    if (since.error)
        return failed(*since.error);

    QByteArrayView recorded = since.bytes;
    if (recorded.startsWith(kUtf8Bom))
        recorded = recorded.sliced(kUtf8Bom.size());
    QByteArray bytes = backup.bytes;
    if (!recorded.isEmpty())
        bytes += lineEndBeforeAppend(bytes);
    bytes += recorded;

    // A line another instance appended after the history was read would be lost with the old
    // file: read again and start over rather than replace it. The lock keeps this program's
    // other instances out; the rewrite's check catches a writer that does not lock.
    if (std::optional<FileError> error = history.rewrite(bytes))
        return failed(std::move(*error));
    historyChanged = history.changedSinceRead();
    if (historyChanged)
        return {};
    if (!existed)
        QFile::setPermissions(historyPath, QFile::permissions(backupPath));

    QFile::remove(backupPath);
    return HistoryRestore{Status::Restored, History(std::move(bytes)), std::nullopt};
}

} // namespace

HistoryRestore restoreHistory(const DataFiles& files)
{
    for (int attempt = 0; attempt < kHistoryEditTries; ++attempt) {
        bool historyChanged = false;
        HistoryRestore restore = restoreOnce(files, historyChanged);
        if (!historyChanged)
            return restore;
    }
    return HistoryRestore{HistoryRestore::Status::Failed, {}, historyKeepsChanging(files)};
}

} // namespace morvane
