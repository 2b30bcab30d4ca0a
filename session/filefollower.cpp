#include "session/filefollower.h"

#include "session/entries.h"
#include "session/historymodel.h"
#include "session/session.h"
#include "session/startup.h"

#include <QFileSystemWatcher>
#include <QTimer>

namespace morvane {
namespace {

// How long the files must be quiet before they are read again: a writer's rename and the
// writes around it come as several changes.
constexpr int kReloadDelayMs = 200;

// The data files an open window follows.
const std::array<QString, 4>& followedFiles()
{
    static const std::array<QString, 4> names{kHeightFileName, kWeightFileName, kGoalFileName,
                                              kHistoryFileName};
    return names;
}

} // namespace

FileFollower::Busy::Busy(FileFollower& follower)
    : m_follower(follower)
{
    ++m_follower.m_busy;
}

FileFollower::Busy::~Busy()
{
    if (--m_follower.m_busy == 0 && m_follower.m_reloadDue)
        m_follower.m_reloadTimer->start();
}

FileFollower::FileFollower(Session& session)
    : QObject(&session)
    , m_session(session)
    , m_watcher(new QFileSystemWatcher(this))
    , m_reloadTimer(new QTimer(this))
{
    m_reloadTimer->setSingleShot(true);
    m_reloadTimer->setInterval(kReloadDelayMs);
    connect(m_reloadTimer, &QTimer::timeout, this, &FileFollower::reload);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_reloadTimer,
            qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_reloadTimer,
            qOverload<>(&QTimer::start));
}

void FileFollower::noteStamps()
{
    m_stamps = stamps();
}

void FileFollower::watch()
{
    // The folder too: a file replaced by a rename is a new file, which a watch on the old one
    // never sees, and a file created later has no watch yet.
    const DataFiles& files = m_session.files();
    QStringList paths{files.path(QString())};
    for (const QString& name : followedFiles())
        paths.append(files.path(name));
    for (const QString& path : paths) {
        if (!m_watcher->files().contains(path) && !m_watcher->directories().contains(path))
            m_watcher->addPath(path); // fails quietly for a file not there yet
    }
}

FileFollower::Stamps FileFollower::stamps() const
{
    Stamps result{};
    for (std::size_t i = 0; i < result.size(); ++i)
        result[i] = fileStamp(m_session.files().path(followedFiles()[i]));
    return result;
}

void FileFollower::reload()
{
    if (m_busy > 0) {
        m_reloadDue = true;
        return;
    }
    m_reloadDue = false;
    showFiles();
}

void FileFollower::showFiles()
{
    watch();
    const Stamps now = stamps();
    if (now == m_stamps)
        return;
    StartupResult result = loadStartup(m_session.files(), numberFiles());
    if (!result.startup)
        return; // a file that cannot be read now keeps what is shown; start-up would tell
    // Only what was read is taken as seen: a file unreadable now is read again at the next
    // change, even one (a chmod) that leaves its stamp as it is.
    m_stamps = now;
    Startup& s = *result.startup;
    Session& session = m_session;
    if (s.history.bytes() != session.m_history->lines().bytes())
        session.m_history->setLines(std::move(s.history));

    const Measurement& stored = s.measurement;
    if (stored.height != session.m_stored.height || stored.weight != session.m_stored.weight) {
        session.m_measurement = stored;
        emit session.valueChanged(Entry::Height);
        emit session.valueChanged(Entry::Weight);
        emit session.bmiChanged();
        emit session.meterSet(s.position);
    }
    if (stored.goal != session.m_stored.goal) {
        session.m_measurement.goal = stored.goal;
        emit session.valueChanged(Entry::Goal);
    }
    session.m_stored = stored;
}

} // namespace morvane
