#pragma once

// Importing weights read from another program's file (importformats.h) into the history: the
// preview's numbers, the merge, and the write, which the undo of historybackup.h takes back.
//
// The new entries join the history as lines of its one format, in date order; the existing lines
// (also those that do not read as entries) keep their bytes and their order. Since a line carries
// no year, a line's date depends on the lines after it (readTrend): an imported entry is only
// written where every line, old and new, reads back with its own date, and refused otherwise.
// Like the clear, the import keeps the history it replaces as the backup, so that the undo can
// put it back; a marker beside the backup tells the undo that the backup came from an import and
// what the history held right after it.

#include "store/historybackup.h"
#include "store/importformats.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QLocale;

namespace morvane {

class LockedHistory;

// The history lines of the new entries the preview shows.
inline constexpr int kPreviewLines = 20;

struct ImportChoices {
    // For a file whose dates leave the order of month and day open (needsDayMonthOrder); a file
    // that decides it keeps its own.
    DayMonthOrder dayMonthOrder = DayMonthOrder::Undecided;
    // Makes the newest imported weight the current weight (体重.txt), when the newest entry of the
    // history after the import is an imported one (ImportPreview::newestIsImported).
    bool makeCurrentWeight = false;
};

struct ImportPreview {
    ImportFormat format = ImportFormat::DelimitedText;
    TextEncoding encoding = TextEncoding::Utf8;
    QChar delimiter;
    int dateColumn = -1;
    int weightColumn = -1;
    DayMonthOrder dayMonthOrder = DayMonthOrder::Undecided; // the order the dates were read in
    // The file leaves the order open and none was chosen: the dates it concerns are neither new
    // nor refused, and nothing is imported until the order is chosen.
    bool needsDayMonthOrder = false;
    QDate firstDate; // the earliest and latest date the file gives (invalid without any)
    QDate lastDate;
    qint64 newEntries = 0;
    qint64 alreadyInHistory = 0;     // same day and same weight to 0.1 kg: skipped
    std::vector<RefusedRow> refused; // ordered by row
    QStringList firstLines;          // the first kPreviewLines new lines, oldest first, as written
    bool newestIsImported = false;   // the newest entry after the import is a new one...
    float newestWeight = 0.0f;       // ...with this weight

    bool nothingToImport() const { return newEntries == 0; }
};

// What importing the file into this history would do. `height` is the stored height the lines'
// BMI and obesity ratio are worked out with (firstLines stays empty without a usable one); dates
// after `today` are refused.
ImportPreview previewImport(const History& history, const ImportFile& file,
                            const ImportChoices& choices, const QDate& today, float height,
                            const QLocale& locale);

struct HistoryImport {
    enum class Status {
        Imported,        // the history holds the new lines; the undo takes them back
        NothingToImport, // no new entry: nothing was written
        Failed,          // error names the file and the reason; nothing was changed
    };
    Status status = Status::Failed;
    ImportPreview preview; // as imported, from the history as it was just before
    History lines;         // with Imported: the history as it now is
    std::optional<FileError> error;
    // With Imported: the current weight could not be written (the history was imported).
    std::optional<FileError> weightError;
};

// True when importing now would replace the backup of an earlier clear or import: the user is
// asked before that copy is thrown away.
bool importReplacesBackup(const DataFiles& files);

// True while the backup is an import's: the undo then takes the import back.
bool backupIsFromImport(const DataFiles& files);

// Imports the file's new entries. Under the history's lock: reads the history, merges as
// previewImport does, keeps the history as it was as the backup (履歴.txt.bak, with the
// history's permissions) with the import's marker, and replaces the history atomically. Should
// another program have written to the history after it was read, nothing is replaced and the
// import starts over with the history as it now is, a few times at most. `beforeReplace`, when
// given, runs once the new history is written, just before the check that precedes its rename
// (for tests that write meanwhile).
HistoryImport importIntoHistory(const DataFiles& files, const ImportFile& file,
                                const ImportChoices& choices, const QDate& today, float height,
                                const QLocale& locale,
                                const std::function<void()>& beforeReplace = {});

// The undo of an import, for restoreHistory: `history` is locked and `backup` is the backup's
// content. Puts the backup back followed by the lines appended since the import, provided that
// the history still starts with exactly what the import left; else refuses with a message and
// changes nothing. The weight file goes back to what it was before, unless a weight was entered
// since. Sets `historyChanged` (and changes nothing) when another program wrote meanwhile.
HistoryRestore undoImport(const DataFiles& files, LockedHistory& history, const QByteArray& backup,
                          bool& historyChanged);

} // namespace morvane
