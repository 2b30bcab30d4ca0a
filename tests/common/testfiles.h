#pragma once

// Small helpers for tests that work on real files: writing and reading raw bytes, a history of
// any length, a snapshot of a folder to show that an operation changed nothing, and a probe for
// whether file permissions are enforced for this process at all (they are not for root).

#include <QByteArray>
#include <QDate>
#include <QMap>
#include <QString>

#include <csignal>
#include <sys/resource.h>

class QDir;

namespace morvane::testing {

// Creates or replaces the file with exactly these bytes. False when that fails.
bool writeBytes(const QString& path, const QByteArray& bytes);

// The file's bytes; a null QByteArray when it cannot be read.
QByteArray readBytes(const QString& path);

// The date the scripted clock tells unless a test sets another.
inline const QDate kFixedDate{2026, 5, 11};

// `lines` history lines as the program writes them, with CR LF: one a day, the last on `last`,
// each recording 68.5 kg at 1.685 m (27 bytes a line).
QByteArray dailyHistory(int lines, QDate last = kFixedDate);

// Every entry under the folder, recursively, by relative path: a file's bytes, "<folder>" for a
// folder, or "<not a regular file>". Two equal snapshots mean nothing was created, removed or
// rewritten.
QMap<QString, QByteArray> snapshot(const QDir& folder);

// False when this process can read a file that has no permissions at all (root, or a process
// with CAP_DAC_OVERRIDE): tests that rely on permissions must then skip. `scratch` is a folder
// the probe may use.
bool permissionsAreEnforced(const QString& scratch);

// Lowers the largest file this process may write while it lives, so that a write fails part-way
// even for root. SIGXFSZ is ignored meanwhile, which turns it into an ordinary EFBIG error.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_savedHandler)(int) = SIG_DFL;
    bool m_active = false;
};

} // namespace morvane::testing
