#pragma once

// The copy of the history kept when the user clears it, so that the clear can be undone. The
// copy lives beside the history as "履歴.txt.bak"; there is only ever one, from the last clear
// that had something to clear.

#include "store/datafiles.h"

#include <QDir>

#include <optional>

namespace morvane {

inline const QString kHistoryBackupFileName = QStringLiteral("履歴.txt.bak");

// Copies the history's bytes to the backup, replacing an older backup atomically: a failure
// leaves the older backup as it was. An empty or missing history keeps the older backup
// untouched, so that clearing an already empty list does not throw away what the last real clear
// kept. Call it before emptying the history; an error names the file that could not be read or
// written, and the history has not been touched.
std::optional<FileError> backupHistory(const QDir& folder);

// True while a backup exists.
bool hasBackup(const QDir& folder);

struct HistoryRestore {
    enum class Status {
        Restored,        // the history holds the backup's bytes again; the backup is gone
        NoBackup,        // nothing to restore
        HistoryNotEmpty, // refused: restoring would throw away lines recorded since the clear
        Failed,          // error says which file and why; the history is as it was
    };
    Status status = Status::NoBackup;
    History lines; // with Restored: the history's lines, read as DataFiles::readHistory reads them
    std::optional<FileError> error;
};

// Writes the backup's bytes back to the history atomically, only while the history is empty or
// missing. Afterwards the backup is removed: the history holds it again, and with no backup left
// the undo offers itself no more. Should the removal fail, the backup stays, which does no harm:
// a further restore is refused while the history is not empty.
HistoryRestore restoreHistory(const QDir& folder);

} // namespace morvane
