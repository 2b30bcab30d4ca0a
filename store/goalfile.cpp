#include "store/goalfile.h"

#include "measure/limits.h"
#include "store/fileio.h"

#include <QFile>

namespace morvane {

NumberRead readGoal(const DataFiles& files)
{
    const QString path = files.path(kGoalFileName);
    FileContent content = readWholeFile(path, path);
    NumberRead read;
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

std::optional<float> usableGoal(const NumberRead& read)
{
    if (read.status != NumberRead::Status::Ok || !isAcceptedWeight(read.value))
        return std::nullopt;
    return read.value;
}

std::optional<FileError> writeGoal(const DataFiles& files, float kilograms)
{
    const QString path = files.path(kGoalFileName);
    return replaceFile(path, path, numberRecordText(kilograms).toUtf8() + "\r\n");
}

std::optional<FileError> removeGoal(const DataFiles& files)
{
    const QString path = files.path(kGoalFileName);
    QFile file(path);
    if (file.remove() || isAbsent(path))
        return std::nullopt;
    return FileError{path, file.errorString()};
}

} // namespace morvane
