#include "store/fileio.h"

#include <QFile>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace morvane {

bool isAbsent(const QString& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), ec);
    return status.type() == std::filesystem::file_type::not_found;
}

FileContent readWholeFile(const QString& path, const QString& displayName)
{
    FileContent content;
    QFile file(path);
    // Unbuffered: the whole file is read straight into its array, not through a buffer.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (isAbsent(path))
            content.missing = true;
        else
            content.error = FileError{displayName, file.errorString()};
        return content;
    }
    content.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        content.error = FileError{displayName, file.errorString()};
    return content;
}

bool writeAll(QFileDevice& file, QByteArrayView bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.data() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

std::optional<FileError> replaceFile(const QString& path, const QString& displayName,
                                     QByteArrayView bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return FileError{displayName, file.errorString()};
    if (!writeAll(file, bytes))
        return FileError{displayName, file.errorString()}; // the destructor drops the temporary
    if (!file.commit())
        return FileError{displayName, file.errorString()};
    return std::nullopt;
}

} // namespace morvane
