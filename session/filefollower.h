#pragma once

// The follower of the data files: it watches them, and when another program (another window on
// the same folder, a sync tool, an editor) changes one, shows what it holds within about a
// second, as start-up would, without writing anything. While an entry or an edit is under way
// (Busy) a change waits until it ends, so that an open dialog is not disturbed.

#include "store/fileio.h"

#include <QObject>

#include <array>

class QFileSystemWatcher;
class QTimer;

namespace morvane {

class Session;

class FileFollower : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileFollower)

public:
    explicit FileFollower(Session& session);

    // Marks an operation under way for as long as it lives: a change of the files found
    // meanwhile is shown once the last one ends.
    class Busy {
    public:
        explicit Busy(FileFollower& follower);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        FileFollower& m_follower;
    };

    // Remembers the files as they are, before start-up reads them.
    void noteStamps();
    // Watches the files and their folder (again): a file replaced by a rename is a new file.
    void watch();
    // Shows at once what the files hold, as a change by another program is shown: for an edit
    // of this program's that writes more than the history (an import that makes a weight
    // current, and its undo).
    void showFiles();

private:
    // Each followed data file as it was when last read.
    using Stamps = std::array<FileStamp, 4>;
    Stamps stamps() const;
    void reload();

    Session& m_session;
    Stamps m_stamps{};
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_reloadTimer = nullptr;
    int m_busy = 0;           // operations under way, whose dialogs a reload must not disturb
    bool m_reloadDue = false; // the files changed while an operation was under way
};

} // namespace morvane
