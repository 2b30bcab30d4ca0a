#include "store/historybackup.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace morvane {
namespace {

struct Content {
    bool missing = false;
    QByteArray bytes;
    std::optional<FileError> error;
};

// True only when the system says nothing is there. A file whose existence cannot be checked (a
// folder without search permission) is reported as unreadable, not taken for absent.
bool isAbsent(const QString& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), ec);
    return status.type() == std::filesystem::file_type::not_found;
}

Content readFile(const QDir& folder, const QString& name)
{
    Content content;
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (isAbsent(path))
            content.missing = true;
        else
            content.error = FileError{name, file.errorString()};
        return content;
    }
    content.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        content.error = FileError{name, file.errorString()};
    return content;
}

// Replaces the file with exactly these bytes, or leaves the old one whole. Unbuffered, so that a
// short write shows up here instead of in a flush that commit() would not report.
std::optional<FileError> replaceFile(const QDir& folder, const QString& name,
                                     const QByteArray& bytes)
{
    QSaveFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return FileError{name, file.errorString()};
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return FileError{name, file.errorString()}; // the destructor drops the temporary
        written += n;
    }
    if (!file.commit())
        return FileError{name, file.errorString()};
    return std::nullopt;
}

} // namespace

std::optional<FileError> backupHistory(const QDir& folder)
{
    const Content history = readFile(folder, kHistoryFileName);
    if (history.error)
        return history.error;
    if (history.missing || history.bytes.isEmpty())
        return std::nullopt;
    return replaceFile(folder, kHistoryBackupFileName, history.bytes);
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

    const Content history = readFile(folder, kHistoryFileName);
    if (history.error)
        return failed(*history.error);
    if (!history.bytes.isEmpty())
        return HistoryRestore{Status::HistoryNotEmpty, {}, std::nullopt};

    const Content backup = readFile(folder, kHistoryBackupFileName);
    if (backup.missing)
        return HistoryRestore{Status::NoBackup, {}, std::nullopt};
    if (backup.error)
        return failed(*backup.error);
    if (std::optional<FileError> error = replaceFile(folder, kHistoryFileName, backup.bytes))
        return failed(*error);

    QFile::remove(folder.filePath(kHistoryBackupFileName));
    return HistoryRestore{Status::Restored, History(backup.bytes), std::nullopt};
}

} // namespace morvane
