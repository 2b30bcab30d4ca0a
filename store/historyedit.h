#pragma once

// Every change of the history but an append: deleting a line and putting it back here, clearing
// and undoing a clear in historybackup.h. Each holds the history's lock (LockedHistory) from
// before it reads the history until its rewrite is in place, so that no other instance's entry
// falls between the two, and rewrites the file whole and atomically, so that a failure or a crash
// leaves it byte for byte as it was. What is needed to put a line back is kept in memory only.

#include "store/datafiles.h"
#include "store/historylock.h"

#include <QByteArray>

#include <functional>

#include <optional>

namespace morvane {

// The history held under its lock for one edit; the lock lasts as long as the object.
class LockedHistory {
public:
    // With `createIfMissing` a missing history is created empty to be locked: an instance
    // appending meanwhile must find a file to wait on, not create one that the edit replaces.
    explicit LockedHistory(const DataFiles& files, bool createIfMissing = false);

    // Set when the lock could not be had: the edit must then change nothing.
    const std::optional<FileError>& error() const { return m_lock.error(); }
    // True when the history was missing and was created to be locked.
    bool created() const { return m_created; }
    const QString& path() const { return m_path; }

    // The history as it is now.
    FileContent read();
    // Replaces it atomically with `bytes`, unless the file changed since read(): a writer that
    // does not take the lock (a script appending with `echo >>`) may have added a line, which
    // the rename would throw away. Then nothing is written, no error is returned and
    // changedSinceRead() is true: the edit must read the history again and start over.
    // `beforeRename`, when given, runs once the new content is safely written and the history
    // found unchanged (an import keeps its backup there); its error cancels the rewrite, and the
    // history is checked again after it. A line that a writer that does not lock had started to
    // append as the rename came, and that went to the file replaced, is carried over to the new
    // one.
    std::optional<FileError>
    rewrite(QByteArrayView bytes,
            const std::function<std::optional<FileError>()>& beforeRename = {});
    bool changedSinceRead() const { return m_changed; }

private:
    void carryOver(QByteArrayView written) const;

    QString m_path;
    bool m_created = false;
    HistoryLock m_lock;
    FileStamp m_read;
    bool m_changed = false;
};

// How often an edit reads the history again when it keeps changing under it, and the error once
// it gave up. A writer appending without pause is not expected; a few tries are plenty.
inline constexpr int kHistoryEditTries = 10;
FileError historyKeepsChanging(const DataFiles& files);

// A line as the removal took it out.
struct RemovedLine {
    qsizetype index = 0;   // its place in the history, counted from 0
    qsizetype offset = 0;  // where its first byte stood in the file
    QByteArray bytes;      // the line with its line end, exactly as the file held them
    QByteArray fileDigest; // a digest of the file as the removal left it
};

struct HistoryEdit {
    enum class Status {
        Done,    // the file was rewritten; lines is the history it now holds
        Changed, // the file is not as the caller saw it (another program wrote to it, or it is
                 // gone): nothing was written
        Failed,  // error names the file and the reason; the file is as it was
    };
    Status status = Status::Changed;
    History lines;
    std::optional<RemovedLine> removed; // with Done, from removeHistoryLine
    std::optional<FileError> error;
};

// Removes line `index` from the history file, provided that line still reads `line` there, so
// that a history changed behind the window's back never loses a line the user did not choose.
// Lines appended meanwhile, also by a writer that does not lock, are kept.
HistoryEdit removeHistoryLine(const DataFiles& files, qsizetype index, const QString& line);

// Puts a removed line back at its place, provided that the file is still exactly as the removal
// left it: a line recorded since (here or by another instance) is never moved or lost.
HistoryEdit restoreHistoryLine(const DataFiles& files, const RemovedLine& removed);

} // namespace morvane
