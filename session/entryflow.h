#pragma once

// The entry flow: a value of each kind (height, weight, goal) asked for, checked, questioned
// when far from the stored one, stored in its file and shown; a weight also recorded as a
// history line; an empty answer removing a value that may be unset.

#include "measure/entry.h"
#include "session/entries.h"

#include <QObject>

#include <optional>

namespace morvane {

class Session;

class EntryFlow : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EntryFlow)

public:
    explicit EntryFlow(Session& session);

    // Asks for a value of that kind, checks it, stores it in its file, and shows what it
    // changes; a weight also records a history line. A weight without a height asks for the
    // height first. An empty answer removes a value that may be unset (the goal), after a
    // confirmation.
    void enter(Entry entry);

private:
    std::optional<TypedValue> askValue(const EntryKind& kind);
    // False when the typed value differs much from the stored one and the user chose to
    // correct it.
    bool keepsLargeChange(const EntryKind& kind, float value);
    void removeValue(const EntryKind& kind);
    void recordHistoryLine(const EntryKind& kind);

    Session& m_session;
};

} // namespace morvane
