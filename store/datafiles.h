#pragma once

// The three data files in one folder: the height, the last entered weight and the history.
// Numbers are stored with "." as decimal point whatever the locale, at most seven significant
// digits, followed by CR LF; history lines end with CR LF. Nothing here shows a dialog: every
// failure comes back as a FileError with the file's full path and the system's reason.

#include "store/fileio.h"
#include "store/history.h"

#include <QDir>
#include <QString>

#include <optional>

namespace morvane {

inline const QString kHeightFileName = QStringLiteral("身長.txt");
inline const QString kWeightFileName = QStringLiteral("体重.txt");
inline const QString kHistoryFileName = QStringLiteral("履歴.txt");
// The history as the last clear left it, so that the clear can be undone.
inline const QString kHistoryBackupFileName = QStringLiteral("履歴.txt.bak");
// Beside the backup when an import kept it: what the history held right after the import.
inline const QString kHistoryImportMarkerFileName = QStringLiteral("履歴.txt.bak.import");
// The goal weight: optional, a number record like the weight.
inline const QString kGoalFileName = QStringLiteral("目標.txt");

// A number file as read at start-up.
struct NumberRead {
    enum class Status {
        Ok,       // value holds the first number in the file
        Missing,  // no such file
        NoNumber, // the file is empty or does not start with a number
        Error,    // the file exists but cannot be read (permission, a folder of that name)
    };
    Status status = Status::Missing;
    float value = 0.0f;
    std::optional<FileError> error; // set with Status::Error
};

struct HistoryRead {
    History lines;                  // one entry per line, in file order; empty when missing
    std::optional<FileError> error; // the file exists but cannot be read
};

class DataFiles {
public:
    // The data files in `folder`, opened by their paths in it. The program keeps them in its
    // working folder and passes ".", so that each file is opened by its bare name: any folder
    // name and depth the system accepts then works, whether or not its name is valid UTF-8 or
    // its absolute path would be longer than a path may be.
    explicit DataFiles(const QDir& folder = QDir(QStringLiteral(".")));

    QString path(const QString& fileName) const;
    const QDir& folder() const { return m_folder; }

    // The number record of the named file in the folder.
    NumberRead readNumber(const QString& fileName) const;
    // CR LF or LF line ends; a last line without a line end still counts; no empty entry after
    // the final line end. Commas and double quotes are ordinary characters.
    HistoryRead readHistory() const;

    // Replaces the file atomically: a failure leaves the old file exactly as it was.
    std::optional<FileError> writeNumber(const QString& fileName, float value) const;
    // Removes a number file, for a value that may be unset again. A file that is already gone is
    // no error; a failure names the file's full path.
    std::optional<FileError> removeNumber(const QString& fileName) const;
    // Appends the line and CR LF in one write and flushes it; creates the file if missing. When
    // the file's last line lacks its line end, one is written first, so that two entries never
    // share a line. If the write fails part-way the file is cut back to its old size: it only
    // ever grows by whole lines. The line itself holds no line end. While another instance
    // rewrites the history this waits for it (see HistoryLock), for about two seconds at most,
    // and then fails without writing.
    std::optional<FileError> appendHistory(const QString& line) const;

private:
    QDir m_folder;
};

// The text of a number record without its line end: "." as decimal point, at most seven
// significant digits, no leading blank (1.685, 68.5, 0.95, 60).
QString numberRecordText(float value);

// The first number of a number file's content: blanks and line ends are skipped, the number
// runs to the next comma, blank or line end and is read with "." as decimal point (both "0.95"
// and ".95"), by the leading-number parse, so "68.5kg" reads as 68.5. nullopt when the content
// holds no number there. A UTF-8 byte order mark at the start is skipped.
std::optional<float> parseNumberRecord(QByteArrayView content);

} // namespace morvane
