#pragma once

// The copy of the history kept when the user clears it, so that the clear can be undone. The
// copy lives beside the history as "履歴.txt.bak" (DataFiles::clearHistory makes it); there is
// only ever one, from the last clear that had something to clear.

#include "store/datafiles.h"

#include <QDir>

#include <optional>

namespace morvane {

// True while a backup exists: the clear can be undone.
bool hasBackup(const QDir& folder);

// True when clearing now would replace an older backup: there is one, and the history has
// content to take its place. The user is asked before that older copy is thrown away.
bool clearReplacesBackup(const QDir& folder);

struct HistoryRestore {
    enum class Status {
        Restored, // the history holds the backup's lines, then those recorded since the clear
        NoBackup, // nothing to restore
        Failed,   // error says which file and why; the history and the backup are as they were
    };
    Status status = Status::NoBackup;
    History lines; // with Restored: the history's lines, read as DataFiles::readHistory reads them
    std::optional<FileError> error;
};

// Puts the backed-up lines back before the lines recorded since the clear, replacing the
// history atomically (it keeps its permissions; a missing history takes the backup's), and then
// removes the backup: the undo is used up. Should the removal fail, the backup stays, and a
// further undo would add its lines again; the user is not told, since every line is kept.
HistoryRestore restoreHistory(const QDir& folder);

} // namespace morvane
