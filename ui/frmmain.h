#pragma once

// The program's one window: the history list, the BMI meter with its scale, bands and needle,
// and the result panels. It is a thin shell: start-up, the meter update and the entries are
// computed by the measure and store functions; the event routines read controls, call them and
// write controls.

#include "measure/meterupdate.h"
#include "store/datafiles.h"
#include "store/historyedit.h"
#include "ui/services.h"

#include <QDir>
#include <QLocale>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QListView;
class QMenu;
class QScrollBar;
class QToolButton;

namespace morvane {

class HistoryModel;
class LineControl;
class ScaleLabel;
class ShapeControl;
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
    Measurement measurement() const;
    QString helpFile() const { return HelpFile; }
    QStringList historyEntries() const;

    // Sets the meter and runs exactly one meter update before returning, also when the meter
    // already stands at that position.
    void SetMeter(qint16 position);

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
    void buildControls();
    void HScroll1_Change();
    void HScroll1_Scroll();
    void UpdateMeter();
    void CalcBmi();
    void askForFirstHeight();

    enum class Entry { Height, Weight };
    std::optional<float> readTyped(Entry entry, const QString& answer);
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
    std::pair<std::optional<float>, std::optional<float>> m_describedFor; // height, weight
    // The line the last deletion took out, while it can still be put back.
    std::optional<RemovedLine> m_removedLine;
    QAction* m_deleteLine = nullptr;
    QAction* m_undoDelete = nullptr;

    // The measurement variables.
    std::optional<float> Height;
    std::optional<float> Weight;
    std::optional<float> Bmi;
    float MeterBmi = 0.0f;
    qint16 HoldWeight = 0;
    QString HelpFile;

    // The controls the routines use.
    QToolButton* cmdTai = nullptr;
    QToolButton* cmdClear = nullptr;
    QToolButton* cmdHelp = nullptr;
    QToolButton* cmdEnd = nullptr;
    QListView* lstRireki = nullptr;
    HistoryModel* m_history = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lblTai = nullptr;
    std::array<QLabel*, 2> lblHyojun{};
    QLabel* lblHiman = nullptr;
    QLabel* lblHantei = nullptr;
    QLabel* Image1 = nullptr;
    std::array<ShapeControl*, 7> Shape1{};
    QWidget* Label1 = nullptr;
};

} // namespace morvane
