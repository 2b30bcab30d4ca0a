#include "store/datafiles.h"

#include "measure/numbertext.h"
#include "store/fileio.h"
#include "store/historylock.h"

#include <QFile>
#include <QLocale>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane {
namespace {

bool isBlankOrLineEnd(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

NumberRead readNumberFile(const QString& path)
{
    NumberRead read;
    FileContent content = readWholeFile(path, kMaxNumberFileBytes);
    if (content.missing) {
        read.status = NumberRead::Status::Missing;
    } else if (content.error) {
        read.status = NumberRead::Status::Error;
        read.error = std::move(content.error);
    } else if (const std::optional<float> value = parseNumberRecord(content.bytes)) {
        read.status = NumberRead::Status::Ok;
        read.value = *value;
    } else {
        read.status = NumberRead::Status::NoNumber;
    }
    return read;
}

// The end of the open history, as much of it as lineEndBeforeAppend needs: the whole file when
// it could be a lone byte order mark, else its last byte. A file whose end cannot be read is
// taken to end properly, as every line we write does.
QByteArray historyTail(QFile& file, qint64 size)
{
    const qint64 length = size <= kUtf8Bom.size() ? size : 1;
    if (length <= 0 || !file.seek(size - length))
        return {};
    return file.read(length);
}

} // namespace

DataFiles::DataFiles(const QDir& folder)
    : m_folder(folder)
{}

QString DataFiles::path(const QString& fileName) const
{
    return m_folder.filePath(fileName);
}

NumberRead DataFiles::readNumber(const QString& fileName) const
{
    return readNumberFile(path(fileName));
}

HistoryRead DataFiles::readHistory() const
{
    HistoryRead read;
    FileContent content = readWholeFile(path(kHistoryFileName), kMaxHistoryBytes);
    if (content.error)
        read.error = std::move(content.error);
    else if (!content.missing)
        read.lines = History(std::move(content.bytes));
    return read;
}

std::optional<FileError> DataFiles::writeNumber(const QString& fileName, float value) const
{
    return replaceFile(path(fileName), numberRecordText(value).toUtf8() + "\r\n");
}

std::optional<FileError> DataFiles::removeNumber(const QString& fileName) const
{
    QFile file(path(fileName));
    if (file.remove() || isAbsent(file.fileName()))
        return std::nullopt;
    return FileError{fullPath(file.fileName()), systemReason(file.errorString())};
}

std::optional<FileError> DataFiles::appendHistory(const QString& line) const
{
    // Non-blocking, so that a FIFO put in the history's place fails instead of waiting for a
    // reader; only a regular file is appended to.
    // Read access too, to see how the file ends; a history we may only write is appended to
    // as if it ended properly.
    // Locked for the one write, so that another instance never replaces the file under it.
    const QString historyPath = path(kHistoryFileName);
    HistoryLock lock(historyPath,
                     [&] { return openHistory(historyPath, O_RDWR | O_APPEND | O_CREAT); });
    if (lock.error())
        return lock.error();
    if (lock.fd() < 0)
        return systemError(historyPath, lock.openError());
    // The file keeps the lock until it is closed.
    const int fd = lock.release();
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return systemError(historyPath, error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileError{fullPath(historyPath), notRegularFileReason()};
    }
    // Unbuffered, so that the whole record goes to the system in one write call and nothing
    // waits in a buffer after we return. With Append every write lands at the end of the file.
    QFile file;
    if (!file.open(fd, QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return FileError{fullPath(historyPath), systemReason(file.errorString())};
    }
    const qint64 before = file.size();

    QByteArray record;
    record += lineEndBeforeAppend(historyTail(file, before));
    record += line.toUtf8();
    record += "\r\n";

    if (!writeAll(file, record)) {
        // Cut off whatever part of the line did reach the file: the history holds whole lines.
        const QString reason = file.errorString();
        file.resize(before);
        return FileError{fullPath(historyPath), systemReason(reason)};
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return FileError{fullPath(historyPath), systemReason(file.errorString())};
    return std::nullopt;
}

QString numberRecordText(float value)
{
    // The C locale gives "." and no group separators, whatever the user's locale.
    return generalNumberText(value, QLocale::c());
}

std::optional<float> parseNumberRecord(QByteArrayView content)
{
    if (content.startsWith(kUtf8Bom))
        content = content.sliced(kUtf8Bom.size());
    const qsizetype n = content.size();
    qsizetype begin = 0;
    while (begin < n && isBlankOrLineEnd(content[begin]))
        ++begin;
    qsizetype end = begin;
    while (end < n && content[end] != ',' && !isBlankOrLineEnd(content[end]))
        ++end;
    const ParsedNumber number =
        parseLeadingNumber(QString::fromUtf8(content.sliced(begin, end - begin)));
    if (!number.found)
        return std::nullopt;
    return static_cast<float>(number.value);
}

} // namespace morvane
