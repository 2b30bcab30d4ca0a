#pragma once

// A session on real files in a temporary folder, with scripted services and a stand-in for the
// window's meter.

#include "scripted.h"
#include "session/entryflow.h"
#include "session/filefollower.h"
#include "session/historyeditor.h"
#include "session/historymodel.h"
#include "session/session.h"

#include <QDir>

#include <memory>

namespace morvane::testing {

// Everything an entry or an edit may change: the files, the values, the list and the meter.
// One that is refused, cancelled or fails leaves it equal.
struct SessionState {
    QMap<QString, QByteArray> files;
    std::optional<float> height, weight, bmi, goal;
    float meterBmi = 0;
    QStringList lines;
    int meter = 0;

    bool operator==(const SessionState&) const = default;
};

struct SessionFixture : DataFolder {
    std::unique_ptr<Session> session;
    // The meter as the window keeps it: it moves where the session sets it and reads there.
    int meter = 155; // where the window's meter starts
    int readings = 0;

    // A session on this folder, or on another one's.
    bool load() { return load(files()); }
    bool load(const DataFiles& on)
    {
        session = std::make_unique<Session>(services(), on, kJapan);
        QObject::connect(session.get(), &Session::meterSet, session.get(),
                         [this](std::optional<qint16> position) { moveMeter(position); });
        return session->load();
    }
    // The usual stored state with the given history, loaded.
    bool start(const QByteArray& history)
    {
        writeStandardFiles(history);
        return load();
    }
    void moveMeter(std::optional<qint16> position)
    {
        meter = position.value_or(meter);
        session->meterMoved(qint16(meter));
        ++readings;
    }

    EntryFlow& entries() const { return session->entries(); }
    HistoryEditor& editor() const { return session->editor(); }
    const Measurement& measurement() const { return session->measurement(); }
    QStringList lines() const { return session->history()->lines().toStringList(); }
    SessionState state() const
    {
        const Measurement& m = measurement();
        return {snapshot(QDir(dir.path())),
                m.height,
                m.weight,
                m.bmi,
                m.goal,
                m.meterBmi,
                lines(),
                meter};
    }
};

} // namespace morvane::testing
