#include "store/historybackup.h"

#include "store/fileio.h"
#include "store/historylock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace morvane {
namespace {

struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

FileIdentity identify(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, st.st_dev, st.st_ino, st.st_size};
}

} // namespace

bool hasBackup(const QDir& folder)
{
    return QFileInfo(folder.filePath(kHistoryBackupFileName)).isFile();
}

bool clearReplacesBackup(const QDir& folder)
{
    return hasBackup(folder) && QFileInfo(folder.filePath(kHistoryFileName)).size() > 0;
}

namespace {

// Opens the history to lock it, creating it empty when it is missing: an instance appending
// meanwhile must find a file to wait on, not create one that the restored history replaces.
int openOrCreateHistory(const QString& path, bool& created)
{
    created = false;
    int fd = openHistory(path, O_RDONLY);
    if (fd < 0 && errno == ENOENT) {
        fd = openHistory(path, O_RDONLY | O_CREAT | O_EXCL);
        created = fd >= 0;
        if (fd < 0 && errno == EEXIST)
            fd = openHistory(path, O_RDONLY);
    }
    return fd;
}

HistoryRestore restoreOnce(const QDir& folder, bool& historyChanged)
{
    using Status = HistoryRestore::Status;
    const QString backupPath = folder.filePath(kHistoryBackupFileName);
    if (isAbsent(backupPath))
        return HistoryRestore{Status::NoBackup, {}, std::nullopt};

    // Locked from before either file is read until the restored history is in place.
    const QString historyPath = folder.filePath(kHistoryFileName);
    bool created = false;
    const HistoryLock lock(historyPath, [&] { return openOrCreateHistory(historyPath, created); });
    // A history made only to be locked goes again when nothing is restored into it.
    auto unmade = [&](HistoryRestore restore) {
        if (created && identify(historyPath).size == 0)
            QFile::remove(historyPath);
        return restore;
    };
    auto failed = [&](FileError error) {
        return unmade(HistoryRestore{Status::Failed, {}, std::move(error)});
    };
    if (lock.error())
        return failed(*lock.error());

    const FileContent backup = readWholeFile(backupPath, kMaxHistoryBytes);
    if (backup.missing)
        return unmade(HistoryRestore{Status::NoBackup, {}, std::nullopt});
    if (backup.error)
        return failed(*backup.error);

    const FileIdentity seen = identify(historyPath);
    const FileContent since = readWholeFile(historyPath, kMaxHistoryBytes);
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
    // other instances out; this catches a writer that does not lock.
    const auto unchanged = [&] {
        historyChanged = identify(historyPath) != seen;
        return !historyChanged;
    };
    if (std::optional<FileError> error = replaceFile(historyPath, bytes, unchanged))
        return failed(std::move(*error));
    if (historyChanged)
        return {};
    if (!seen.exists || created)
        QFile::setPermissions(historyPath, QFile::permissions(backupPath));

    QFile::remove(backupPath);
    return HistoryRestore{Status::Restored, History(std::move(bytes)), std::nullopt};
}

} // namespace

HistoryRestore restoreHistory(const QDir& folder)
{
    // Another instance appending without pause is not expected; a few tries are plenty.
    for (int attempt = 0; attempt < 10; ++attempt) {
        bool historyChanged = false;
        HistoryRestore restore = restoreOnce(folder, historyChanged);
        if (!historyChanged)
            return restore;
    }
    return HistoryRestore{
        HistoryRestore::Status::Failed,
        {},
        FileError{fullPath(folder.filePath(kHistoryFileName)),
                  QCoreApplication::translate("morvane::HistoryBackup",
                                              "ほかのプログラムが書き込み続けています")}};
}

} // namespace morvane
