#include "store/datafiles.h"

#include "measure/numbertext.h"
#include "store/fileio.h"
#include "store/historylock.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

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

std::optional<FileError> systemError(const QString& path, int error)
{
    return FileError{fullPath(path), systemReason(error)};
}

// Creates an empty history that nothing else has created meanwhile, with the old history's
// permissions when there was one (not narrowed by the umask), else as any new file. When another
// instance's append created the file first, that file is the new history, holding its line.
std::optional<FileError> createEmptyHistory(const QString& path, std::optional<mode_t> mode)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666));
    if (fd < 0)
        return errno == EEXIST ? std::nullopt : systemError(path, errno);
    const bool ok = !mode || ::fchmod(fd, *mode) == 0;
    const int error = errno;
    ::close(fd);
    return ok ? std::nullopt : systemError(path, error);
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

NumberRead DataFiles::readHeight() const
{
    return readNumber(kHeightFileName);
}

NumberRead DataFiles::readWeight() const
{
    return readNumber(kWeightFileName);
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

std::optional<FileError> DataFiles::writeHeight(float metres) const
{
    return writeNumber(kHeightFileName, metres);
}

std::optional<FileError> DataFiles::writeWeight(float kilograms) const
{
    return writeNumber(kWeightFileName, kilograms);
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

std::optional<FileError> DataFiles::clearHistory() const
{
    // Errors name the history as the user knows it, in the data folder, also when it is a link.
    const QString shown = path(kHistoryFileName);
    const QString history = resolvedHistoryPath(shown);
    // Locked from before the history is looked at until the new one is in place: an instance
    // appending meanwhile waits, then finds the new file.
    const HistoryLock lock(history, [&] { return openHistory(history, O_RDONLY); });
    if (lock.error())
        return lock.error();
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
    const QByteArray backup = QFile::encodeName(path(kHistoryBackupFileName));
    if (::rename(name.constData(), backup.constData()) != 0) {
        const int error = errno;
        if (error != EXDEV)
            return systemError(path(kHistoryBackupFileName), error);
        // A link to a history on another file system: copy it to the backup, then empty it.
        // The lock keeps appends out between the copy and the truncation.
        FileContent content = readWholeFile(history, kMaxHistoryBytes);
        if (content.error)
            return content.error;
        if (auto failed = replaceFile(path(kHistoryBackupFileName), content.bytes))
            return failed;
        QFile::setPermissions(path(kHistoryBackupFileName), QFile::permissions(history));
        QFile file(history);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return FileError{fullPath(shown), systemReason(file.errorString())};
        return std::nullopt;
    }
    if (std::optional<FileError> error = createEmptyHistory(history, mode)) {
        // Without a new file the history reads as empty anyway, and the backup holds every line.
        return error;
    }
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
