#pragma once

// The program's work on one data folder, without a window: what it knows of the person, the
// history's lines, and the parts that change them (the follower of the data files, the entry
// flow, the history's editing and the import). The window connects its controls to the parts and
// shows what the session reports; tests drive the parts with scripted services on real files.

#include "measure/meterreading.h"
#include "session/entries.h"
#include "session/services.h"
#include "store/datafiles.h"
#include "store/fileio.h"

#include <QLocale>
#include <QObject>

#include <optional>

namespace morvane {

class EntryFlow;
class FileFollower;
class HistoryEditor;
class HistoryImporter;
class HistoryModel;

class Session : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Session)

public:
    // Numbers are shown, and history lines written, in the given locale.
    Session(const Services& services, const DataFiles& files, const QLocale& locale,
            QObject* parent = nullptr);
    ~Session() override;

    const Measurement& measurement() const { return m_measurement; }
    // The history's lines, as a list model for the history list.
    HistoryModel* history() const { return m_history; }
    const DataFiles& files() const { return m_files; }
    const QLocale& locale() const { return m_locale; }
    QDate today() const { return m_services.clock->today(); }

    FileFollower& follower() const { return *m_follower; }
    EntryFlow& entries() const { return *m_entries; }
    HistoryEditor& editor() const { return *m_editor; }
    HistoryImporter& importer() const { return *m_importer; }

    // Start-up: reads the history, the height, the weight and the goal, shows them and sets the
    // meter, then follows the files (FileFollower). False when a data file exists but cannot be
    // read; the user has then been told which file and why, and the program must end.
    bool load();

    // The meter moved to `position` (by the user, or where meterSet() asked): the reading there,
    // which the measurement then holds.
    MeterReading meterMoved(qint16 position);

    // Where the weight is heading, in one line for the meter: the trend's weekly rate at the
    // newest weighing, and with a goal when it will be reached (trendBrief in measure). Empty
    // while the history tells too little.
    QString trendBrief() const;

signals:
    // The stored value of that kind was loaded, entered or removed.
    void valueChanged(morvane::Entry entry);
    // The BMI of the stored height and weight was computed (or is unknown).
    void bmiChanged();
    // The meter must move to `position` and show one reading there (meterMoved()), also when it
    // stands there already; without a position, one reading where it stands.
    void meterSet(std::optional<qint16> position);
    // HistoryEditor::canUndoDelete() may have changed.
    void undoDeleteChanged();

private:
    friend class EntryFlow;
    friend class FileFollower;
    friend class HistoryEditor;
    friend class HistoryImporter;

    void message(Dialogs::Severity severity, const QString& text, const QString& title) const;
    bool confirm(const QString& text, const QString& title,
                 Dialogs::Default defaultButton = Dialogs::Default::Ok) const;
    // The file could not be written: which and why, and what that leaves undone.
    void reportWriteError(const FileError& error, const QString& notSaved) const;
    // The history as the file holds it now, shown as it is (a file that cannot be read keeps
    // what is shown).
    void reloadHistory();

    Services m_services;
    DataFiles m_files;
    QLocale m_locale;
    Measurement m_measurement;
    // The height, weight and goal as the files held them when this session last read or wrote
    // them (the measurement's weight may have been derived from the meter since).
    Measurement m_stored;
    HistoryModel* m_history = nullptr;
    FileFollower* m_follower = nullptr;
    EntryFlow* m_entries = nullptr;
    HistoryEditor* m_editor = nullptr;
    HistoryImporter* m_importer = nullptr;
};

} // namespace morvane
