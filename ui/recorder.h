#pragma once

// The program's roads, without a window: start-up, an entry of each kind (height, weight, goal),
// clearing the history and undoing that, deleting a line and undoing that, and the CSV export,
// over the data files and the dialog services. It keeps the measurement and the history's lines;
// the window connects its controls to it and shows what it reports. Tests drive it as they are.

#include "measure/meterreading.h"
#include "store/datafiles.h"
#include "store/fileio.h"
#include "store/historyedit.h"
#include "ui/entries.h"
#include "ui/services.h"

#include <QLocale>
#include <QObject>
#include <QPointer>

#include <array>
#include <optional>

class QFileSystemWatcher;
class QTimer;

namespace morvane {

class HistoryModel;

class Recorder : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Recorder)

public:
    // Numbers are shown, and history lines written, in the given locale.
    Recorder(const Services& services, const DataFiles& files, const QLocale& locale,
             QObject* parent = nullptr);
    ~Recorder() override;

    // Where the dialogs open; may be null.
    void setDialogParent(QWidget* parent) { m_dialogParent = parent; }

    const Measurement& measurement() const { return m_measurement; }
    // The history's lines, as a list model for the history list.
    HistoryModel* history() const { return m_history; }

    // Start-up: reads the history, the height, the weight and the goal, shows them and sets the
    // meter. False when a data file exists but cannot be read; the user has then been told
    // which file and why, and the program must end.
    //
    // From then on the data files are followed: when another program (another window on the
    // same folder, a sync tool, an editor) changes one, what it holds is shown within about a
    // second, as start-up would show it: the history's lines; the height, weight, BMI and meter
    // when either number changed; the goal. Nothing is written because of it, and an open
    // dialog is not disturbed: the files are read again once it is closed.
    bool load();

    // The meter moved to `position` (by the user, or where meterSet() asked): the reading there,
    // which the measurement then holds.
    MeterReading meterMoved(qint16 position);

    // Asks for a value of that kind, checks it, stores it in its file, and shows what it
    // changes; a weight also records a history line. An empty answer removes a value that may be
    // unset (the goal), after a confirmation.
    void enter(Entry entry);

    // Clears the history after a confirmation, keeping it as the backup that undoClear() puts
    // back.
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

signals:
    // The stored value of that kind was loaded, entered or removed: its label shows it.
    void valueChanged(morvane::Entry entry);
    // The BMI of the stored height and weight was computed (or is unknown): its label shows it.
    void bmiChanged();
    // The meter must move to `position` and show one reading there (meterMoved()), also when it
    // stands there already; without a position, one reading where it stands.
    void meterSet(std::optional<qint16> position);
    // canUndoDelete() may have changed.
    void undoDeleteChanged();

private:
    class Busy;
    // Each followed data file as it was when last read.
    using Stamps = std::array<FileStamp, 4>;
    Stamps stamps() const;
    void watch();
    void reload();

    std::optional<TypedValue> askValue(const EntryKind& kind);
    // False when the typed value differs much from the stored one and the user chose to
    // correct it.
    bool keepsLargeChange(const EntryKind& kind, float value);
    void removeValue(const EntryKind& kind);
    void recordHistoryLine(const EntryKind& kind);
    void reportWriteError(const FileError& error, const QString& notSaved);
    void message(Dialogs::Severity severity, const QString& text, const QString& title);
    bool confirm(const QString& text, const QString& title,
                 Dialogs::Default defaultButton = Dialogs::Default::Ok);
    void forgetRemovedLine();
    void reloadHistory();

    Services m_services;
    DataFiles m_files;
    QLocale m_locale;
    QPointer<QWidget> m_dialogParent;
    Measurement m_measurement;
    HistoryModel* m_history = nullptr;
    // The line the last deletion took out, while it can still be put back.
    std::optional<RemovedLine> m_removedLine;

    // The height, weight and goal as the files held them when this instance last read or wrote
    // them (the measurement's weight may have been derived from the meter since).
    Measurement m_stored;
    Stamps m_stamps{};
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_reloadTimer = nullptr;
    int m_busy = 0;           // operations under way, whose dialogs a reload must not disturb
    bool m_reloadDue = false; // the files changed while an operation was under way
};

} // namespace morvane
