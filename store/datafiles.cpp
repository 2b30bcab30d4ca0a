#include "store/datafiles.h"

#include "measure/numbertext.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// Some editors put a byte order mark in front of UTF-8 text; it is not part of the first record.
constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";

QByteArrayView withoutBom(QByteArrayView content)
{
    return content.startsWith(kUtf8Bom) ? content.sliced(kUtf8Bom.size()) : content;
}

bool isBlankOrLineEnd(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// True only when the system says nothing is at the path (or a folder on the way is missing). A
// file whose existence cannot be checked, for instance inside a folder without search
// permission, is not taken for absent: it is reported rather than mistaken for a first run.
bool isAbsent(const QString& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), ec);
    return status.type() == std::filesystem::file_type::not_found;
}

struct FileContent {
    bool missing = false;
    QByteArray bytes;
    std::optional<FileError> error;
};

// Opens, reads and closes the whole file.
FileContent readWholeFile(const QString& path, const QString& fileName)
{
    FileContent content;
    QFile file(path);
    // Unbuffered: the whole file is read straight into its array, not through a buffer.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (isAbsent(path))
            content.missing = true;
        else
            content.error = FileError{fileName, file.errorString()};
        return content;
    }
    content.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        content.error = FileError{fileName, file.errorString()};
    return content;
}

NumberRead readNumberFile(const QString& path, const QString& fileName)
{
    NumberRead read;
    FileContent content = readWholeFile(path, fileName);
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

// Writes all bytes, or fails with the system's reason in errorString(). A short write is
// retried for the rest: the system reports a short write without a reason, and only the retry
// brings up the lasting failure (disk full, file size limit). The device must be unbuffered, so
// that each write here is a write to the system and no bytes wait in a buffer.
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

std::optional<FileError> replaceNumberFile(const QString& path, const QString& fileName,
                                           float value)
{
    const QByteArray record = numberRecordText(value).toUtf8() + "\r\n";
    // QSaveFile writes a temporary file beside the old one and renames it over the old one only
    // at commit: a failure or a crash leaves the old record whole. It must be unbuffered: when a
    // buffered QSaveFile meets a short write while flushing, commit() still succeeds and renames
    // the cut-off temporary file over the old one. Our own check of every byte prevents that.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return FileError{fileName, file.errorString()};
    if (!writeAll(file, record))
        return FileError{fileName, file.errorString()}; // the destructor drops the temporary
    if (!file.commit())
        return FileError{fileName, file.errorString()};
    return std::nullopt;
}

// What must precede a new history line so that it starts a line of its own: nothing when the
// file is empty, holds only a byte-order mark or ends with a line end, LF when it ends with half of
// one (CR), CR LF otherwise. A file whose last byte cannot be read is assumed to end properly, as
// every line we write does.
QByteArrayView separatorBeforeAppend(const QString& path, qint64 size)
{
    if (size <= 0)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A file that holds only a byte-order mark has no last line to end.
    if (size == kUtf8Bom.size() && file.read(size) == kUtf8Bom)
        return {};
    char last = '\n';
    if (!file.seek(size - 1) || !file.getChar(&last))
        return {};
    if (last == '\n')
        return {};
    if (last == '\r')
        return "\n";
    return "\r\n";
}

} // namespace

DataFiles::DataFiles(const QDir& folder)
    : m_folder(folder)
{}

QString DataFiles::path(const QString& fileName) const
{
    return m_folder.filePath(fileName);
}

NumberRead DataFiles::readHeight() const
{
    return readNumberFile(path(kHeightFileName), kHeightFileName);
}

NumberRead DataFiles::readWeight() const
{
    return readNumberFile(path(kWeightFileName), kWeightFileName);
}

HistoryRead DataFiles::readHistory() const
{
    HistoryRead read;
    FileContent content = readWholeFile(path(kHistoryFileName), kHistoryFileName);
    if (content.error)
        read.error = std::move(content.error);
    else if (!content.missing)
        read.lines = History(std::move(content.bytes));
    return read;
}

std::optional<FileError> DataFiles::writeHeight(float metres) const
{
    return replaceNumberFile(path(kHeightFileName), kHeightFileName, metres);
}

std::optional<FileError> DataFiles::writeWeight(float kilograms) const
{
    return replaceNumberFile(path(kWeightFileName), kWeightFileName, kilograms);
}

std::optional<FileError> DataFiles::appendHistory(const QString& line) const
{
    const QString filePath = path(kHistoryFileName);
    // Unbuffered, so that the whole record goes to the system in one write call and nothing
    // waits in a buffer after we return. With Append every write lands at the end of the file.
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return FileError{kHistoryFileName, file.errorString()};
    const qint64 before = file.size();

    QByteArray record = separatorBeforeAppend(filePath, before).toByteArray();
    record += line.toUtf8();
    record += "\r\n";

    if (!writeAll(file, record)) {
        // Cut off whatever part of the line did reach the file: the history holds whole lines.
        const QString reason = file.errorString();
        file.resize(before);
        return FileError{kHistoryFileName, reason};
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return FileError{kHistoryFileName, file.errorString()};
    return std::nullopt;
}

std::optional<FileError> DataFiles::clearHistory() const
{
    QFile file(path(kHistoryFileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return FileError{kHistoryFileName, file.errorString()};
    file.close();
    if (file.error() != QFileDevice::NoError)
        return FileError{kHistoryFileName, file.errorString()};
    return std::nullopt;
}

QString numberRecordText(float value)
{
    // The C locale gives "." and no group separators, whatever the user's locale.
    return generalNumberText(value, QLocale::c());
}

std::optional<float> parseNumberRecord(QByteArrayView content)
{
    content = withoutBom(content);
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

QStringList splitHistory(QByteArrayView content)
{
    return History(content.toByteArray()).toStringList();
}

} // namespace morvane
