#pragma once

// The program's one window: the history list, the BMI meter with its scale, bands and needle,
// and the result panels. It only shows: the program's work (start-up, the entries, the
// history's clearing and deleting, the export) is the Session's, the meter's arithmetic is
// measure's readMeter; the event routines connect the controls to them and write the captions,
// colours and pixels.

#include "measure/meterreading.h"
#include "session/services.h"
#include "store/datafiles.h"
#include "ui/formbuilder.h"

#include <QLocale>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>
#include <tuple>

class QAction;
class QMenu;

namespace morvane {

enum class Entry;
class Session;
class TrendWindow;

class frmMain : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    // The window keeps its data in `files` and shows numbers in the given locale.
    frmMain(const Services& services, const DataFiles& files, const QLocale& locale = QLocale(),
            QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up, run once before the window is first shown: reads the history, height and
    // weight and sets the meter. Returns false when a data file exists but cannot be read; the
    // user has then been told which file and why, and the program must end.
    bool Form_Load();

    // The program's work, which the window's controls run.
    Session* session() const { return m_session; }

    // The history list's context menu: the weight trend, CSV export, undoing a clear, deleting
    // the selected line and undoing that, and the goal weight. The caller owns the menu.
    QMenu* createHistoryMenu();

    // Sets the meter and runs exactly one meter update before returning, also when the meter
    // already stands at that position.
    void SetMeter(qint16 position);

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
    void connectHistoryList();
    void connectSession();
    void cmdTai_Click();
    void cmdClear_Click();
    void cmdHelp_Click();
    void cmdEnd_Click();
    void Label2_DblClick();
    // Both of the meter's notifications: a change of its value, and each step of a thumb drag.
    void HScroll1_Change();
    void UpdateMeter();
    // Label4 shows the BMI of the stored height and weight, blank while it is unknown.
    void CalcBmi();
    // lblHantei shows the band's word in its colours, blank on button face without a band.
    void Judge(const std::optional<Band>& band);
    // The label that shows a stored value of that kind; null for one no label shows.
    QLabel* labelFor(Entry entry) const;
    void showValue(Entry entry);
    void updateMeterDescription();
    // The meter's tooltip: the band weights at the stored height, the goal, and the trend.
    QString meterText() const;
    void updateTrendBrief();
    void updateHistoryActions();
    void openHistoryMenu(const QPoint& pos);
    void showTrend();
    void deleteSelectedLine();
    void undoDelete();
    void selectLine(std::optional<int> row);

    Services m_services;
    QLocale m_locale;
    Session* m_session = nullptr;
    std::function<void()> m_endProgram;
    bool m_shownOnce = false;
    qint16 m_valueAtDragStart = 0;
    QPointer<TrendWindow> m_trend;
    // The height, weight and goal the meter's description was written for; none before the
    // first, which a first run without any of them needs too.
    std::optional<
        std::tuple<std::optional<float>, std::optional<float>, std::optional<float>, QString>>
        m_describedFor;
    QString m_trendBrief;            // where the trend is heading, for the meter's tooltip
    QAction* m_deleteLine = nullptr; // この記録を削除: Delete in the list
    QAction* m_undoDelete = nullptr; // 元に戻す: Ctrl+Z anywhere in the window
    QString m_helpFile;              // the help file, by its bare name

    FormControls m_form;
    QString m_meterDescription; // the meter's own, before the band weights are added
};

} // namespace morvane
