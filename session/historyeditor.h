#pragma once

// The history's editing: clearing it and undoing that (or an import), deleting one line and
// undoing that, and writing it out as CSV. Each edit rewrites the file under its lock, checking
// that it is still as shown (store/historyedit.h); what an undo of a deletion needs is kept here,
// in memory.

#include "store/historyedit.h"

#include <QObject>

#include <optional>

namespace morvane {

class Session;

class HistoryEditor : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryEditor)

public:
    explicit HistoryEditor(Session& session);

    // Clears the history after a confirmation, keeping it as the backup that undoClear() puts
    // back. undoClear() also takes back an import, after a confirmation.
    void clearHistory();
    bool canUndoClear() const;
    void undoClear();

    // Deletes line `row` after a confirmation: the row to select next, if any.
    std::optional<int> deleteLine(int row);
    // Puts the deleted line back at its place, until the history changes otherwise: its row.
    bool canUndoDelete() const { return m_removedLine.has_value(); }
    std::optional<int> undoDelete();

    // Asks for a file and writes the history to it as CSV.
    void exportCsv();

private:
    // Shows how a rewrite went: true when it was done; otherwise the user is told why nothing
    // changed (`changed`, with %1 the history's path, when the file is not as shown, which is
    // then read again; `notDone` after a failed write).
    bool applied(const HistoryEdit& edit, const QString& title, const QString& changed,
                 const QString& notDone);
    void forgetRemovedLine();

    Session& m_session;
    // The line the last deletion took out, while it can still be put back.
    std::optional<RemovedLine> m_removedLine;
};

} // namespace morvane
