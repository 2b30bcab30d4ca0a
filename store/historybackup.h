#pragma once

// Clearing the history, and undoing that. The clear keeps the history it empties as the backup
// "履歴.txt.bak" beside it; there is only ever one, from the last clear that had something to
// clear (or the last import), and undoing the clear puts its lines back.

#include "store/datafiles.h"

#include <optional>

namespace morvane {

// Empties the history, creating it if missing. A history with content becomes the backup
// (replacing an older one) and a new empty history with its permissions takes its place; an
// empty history leaves an older backup as it is. A linked history stays a link to the same
// place. Nothing is truncated, so an entry appended at the same moment by another instance lands
// in the backup or in the new history. An error names the file; the history is then as it was
// (or, should only the new empty file fail, absent, which reads as empty, with every line in the
// backup).
std::optional<FileError> clearHistory(const DataFiles& files);

// True while a backup exists: the clear can be undone.
bool hasBackup(const DataFiles& files);

// True when clearing now would replace an older backup: there is one, and the history has
// content to take its place. The user is asked before that older copy is thrown away.
bool clearReplacesBackup(const DataFiles& files);

struct HistoryRestore {
    enum class Status {
        Restored, // the history holds the backup's lines, then those recorded since the clear
        NoBackup, // nothing to restore
        Failed,   // error says which file and why; the history and the backup are as they were
    };
    // What the backup came from, and so what was undone (see historyimport.h for the import).
    enum class Undone { Clear, Import };
    Status status = Status::NoBackup;
    History lines; // with Restored: the history's lines, read as DataFiles::readHistory reads them
    std::optional<FileError> error;
    Undone undone = Undone::Clear;
};

// Puts the backed-up lines back before the lines recorded since the clear, replacing the
// history atomically (it keeps its permissions; a missing history takes the backup's), and then
// removes the backup: the undo is used up. Should the removal fail, the backup stays, and a
// further undo would add its lines again; the user is not told, since every line is kept.
// A backup kept by an import is undone as undoImport (historyimport.h) says.
HistoryRestore restoreHistory(const DataFiles& files);

} // namespace morvane
