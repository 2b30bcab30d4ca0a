#pragma once

// The program's one window: the history list, the BMI meter with its scale, bands and needle,
// and the result panels. It is a thin shell: start-up, the meter update and the entries are
// computed by the measure and store functions; the event routines read controls, call them and
// write controls.

#include "measure/meterupdate.h"
#include "store/datafiles.h"
#include "store/historyedit.h"
#include "ui/formbuilder.h"
#include "ui/services.h"

#include <QDir>
#include <QLocale>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <tuple>

class QAction;
class QMenu;

namespace morvane {

struct EntryKind;
class HistoryModel;
class TrendWindow;

class frmMain : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    // The window keeps its data files in dataFolder and shows numbers in the given locale.
    frmMain(const Services& services, const QDir& dataFolder, const QLocale& locale = QLocale(),
            QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up, run once before the window is first shown: reads the history, height and
    // weight and sets the meter. Returns false when a data file exists but cannot be read; the
    // user has then been told which file and why, and the program must end.
    bool Form_Load();

    // The measurement variables, for the event routines' callers and for tests.
    const Measurement& measurement() const { return m_measurement; }
    QString helpFile() const { return HelpFile; }
    QStringList historyEntries() const;

    // Sets the meter and runs exactly one meter update before returning, also when the meter
    // already stands at that position.
    void SetMeter(qint16 position);

    // Runs one entry: asks for the value, checks it, writes its file, reports a failure and
    // shows what the stored value changes.
    void enter(const EntryKind& kind);

    // The event routines of the buttons and the height label.
    void cmdTai_Click();
    void cmdClear_Click();
    void cmdHelp_Click();
    void cmdEnd_Click();
    void Label2_DblClick();

    // The history list's context menu: the weight trend, CSV export, undoing a clear, deleting
    // the selected line and undoing that, and the goal weight. The caller owns the menu.
    QMenu* createHistoryMenu();
    void showTrend();
    void exportCsv();
    void undoClear();
    // Deletes the selected history line after a confirmation (also the Delete key in the list);
    // undoDelete (also Ctrl+Z) puts it back at its place until the history changes otherwise.
    void deleteSelectedLine();
    void undoDelete();

    // What the end button does after closing the help windows; QCoreApplication::exit(0)
    // unless replaced.
    void setEndProgram(std::function<void()> endProgram);

signals:
    // Emitted at the end of every meter update.
    void meterUpdated();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectControls();
    void HScroll1_Change();
    void HScroll1_Scroll();
    void runMeterUpdate();
    void askForFirstHeight();
    void recordHistoryLine(const EntryKind& kind);
    // False when the typed value differs much from the stored one and the user chose to
    // correct it.
    bool keepsLargeChange(const EntryKind& kind, float value);
    // After an empty answer: unsets the value and removes its file, once the user confirms.
    void removeValue(const EntryKind& kind);
    void reportWriteError(const FileError& error, const QString& notSaved);
    void setJudgement(const std::optional<Band>& band);
    void updateMeterDescription();
    void historyChanged();
    void updateHistoryActions();
    void reloadHistory();

    Services m_services;
    DataFiles m_files;
    QLocale m_locale;
    std::function<void()> m_endProgram;
    bool m_shownOnce = false;
    qint16 m_valueAtDragStart = 0;
    QPointer<TrendWindow> m_trend;
    std::tuple<std::optional<float>, std::optional<float>, std::optional<float>>
        m_describedFor; // height, weight, goal
    // The line the last deletion took out, while it can still be put back.
    std::optional<RemovedLine> m_removedLine;
    QAction* m_deleteLine = nullptr;
    QAction* m_undoDelete = nullptr;

    // Height, Weight, Bmi, MeterBmi and HoldWeight.
    Measurement m_measurement;
    QString HelpFile;

    FormControls m_form;
    QString m_meterDescription; // the meter's own, before the band weights are added
    HistoryModel* m_history = nullptr;
};

} // namespace morvane
