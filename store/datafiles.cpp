#include "store/datafiles.h"

#include "measure/numbertext.h"
#include "store/fileio.h"

#include <QFile>
#include <QLocale>

#include <algorithm>
#include <cstring>

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

std::optional<FileError> replaceNumberFile(const QString& path, const QString& fileName,
                                           float value)
{
    return replaceFile(path, fileName, numberRecordText(value).toUtf8() + "\r\n");
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

NumberRead DataFiles::readNumber(const QString& fileName) const
{
    return readNumberFile(path(fileName), fileName);
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
    FileContent content = readWholeFile(path(kHistoryFileName), kHistoryFileName);
    if (content.error)
        read.error = std::move(content.error);
    else if (!content.missing)
        read.lines = History(std::move(content.bytes));
    return read;
}

std::optional<FileError> DataFiles::writeNumber(const QString& fileName, float value) const
{
    return replaceNumberFile(path(fileName), fileName, value);
}

std::optional<FileError> DataFiles::removeNumber(const QString& fileName) const
{
    QFile file(path(fileName));
    if (file.remove() || isAbsent(file.fileName()))
        return std::nullopt;
    return FileError{file.fileName(), file.errorString()};
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

} // namespace morvane
