#include "store/historybackup.h"

#include "store/fileio.h"

#include <QFile>
#include <QFileInfo>

namespace morvane {
namespace {

FileContent readIn(const QDir& folder, const QString& name)
{
    return readWholeFile(folder.filePath(name), name);
}

std::optional<FileError> replaceIn(const QDir& folder, const QString& name, const QByteArray& bytes)
{
    return replaceFile(folder.filePath(name), name, bytes);
}

} // namespace

std::optional<FileError> backupHistory(const QDir& folder)
{
    const FileContent history = readIn(folder, kHistoryFileName);
    if (history.error)
        return history.error;
    if (history.missing || history.bytes.isEmpty())
        return std::nullopt;
    return replaceIn(folder, kHistoryBackupFileName, history.bytes);
}

bool hasBackup(const QDir& folder)
{
    return QFileInfo(folder.filePath(kHistoryBackupFileName)).isFile();
}

HistoryRestore restoreHistory(const QDir& folder)
{
    using Status = HistoryRestore::Status;
    auto failed = [](FileError error) {
        return HistoryRestore{Status::Failed, {}, std::move(error)};
    };

    const FileContent history = readIn(folder, kHistoryFileName);
    if (history.error)
        return failed(*history.error);
    if (!history.bytes.isEmpty())
        return HistoryRestore{Status::HistoryNotEmpty, {}, std::nullopt};

    const FileContent backup = readIn(folder, kHistoryBackupFileName);
    if (backup.missing)
        return HistoryRestore{Status::NoBackup, {}, std::nullopt};
    if (backup.error)
        return failed(*backup.error);
    if (std::optional<FileError> error = replaceIn(folder, kHistoryFileName, backup.bytes))
        return failed(*error);

    QFile::remove(folder.filePath(kHistoryBackupFileName));
    return HistoryRestore{Status::Restored, History(backup.bytes), std::nullopt};
}

} // namespace morvane
