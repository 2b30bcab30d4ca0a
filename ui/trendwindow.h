#pragma once

// The weight trend: every readable history line as a point over time, the smoothed trend, and the
// six judgement bands at the stored height as coloured areas behind them, over a range the user
// chooses (the last month, three months, year, or everything), with a line that sums the range
// up and the reading of one point at a time.
//
// Use from the main window, one window per request:
//
//     auto* w = new TrendWindow(history, Height, goal, m_services.clock->today(), m_locale, this);
//     w->setAttribute(Qt::WA_DeleteOnClose);
//     w->show();
//
// It is a separate, non-modal top-level window that stays above its owner and is destroyed with
// it; closing it never ends the program. It shows a snapshot: lines recorded later need a new
// window. It opens with the range chosen last while the program runs (everything at first);
// nothing about it is saved.

#include "measure/trendplot.h"
#include "store/history.h"

#include <QLocale>
#include <QWidget>

#include <optional>

class QAbstractButton;
class QButtonGroup;
class QCategoryAxis;
class QChartView;
class QHBoxLayout;
class QLabel;
class QLineSeries;
class QScatterSeries;

namespace morvane {

class TrendChartView;

class TrendWindow : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrendWindow)

public:
    // The history as the list keeps it, oldest line first; the years are worked out from today.
    // Without a height the bands are left out, and a point's reading has no BMI. With a goal
    // weight, it is drawn as a level line with its label on it and in the legend; the weight
    // scale reaches to it and the bands fill the scale.
    TrendWindow(const History& history, std::optional<float> height, std::optional<float> goal,
                const QDate& today, const QLocale& locale, QWidget* parent = nullptr);
    ~TrendWindow() override;

    // The range shown. Choosing one, by its button or here, redraws the chart and its summary,
    // and becomes the range the next trend window opens with.
    TrendRange range() const { return m_range; }
    void setRange(TrendRange range);

    // For tests and the accessibility tree. The chart view is hidden when there is nothing to
    // draw; the message label says why.
    QChartView* chartView() const;
    QAbstractButton* rangeButton(TrendRange range) const;
    QLabel* summaryLabel() const { return m_summary; }
    QLabel* pointLabel() const { return m_point; }
    QLabel* messageLabel() const { return m_message; }
    QLabel* skippedLabel() const { return m_skipped; }
    // The goal line; null without a goal or without a chart.
    QLineSeries* goalSeries() const { return m_goal; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QHBoxLayout* createRangeRow();
    QHBoxLayout* createStatusRow();
    void showRange();
    void placeDateTicks();
    void readEntryAt(const QPointF& scenePosition);
    void stepTo(int key);
    void read(qsizetype entry, bool pointer);

    TrendSeries m_series;
    TrendSlice m_slice;
    std::optional<float> m_height;
    std::optional<float> m_goalWeight;
    QDate m_today;
    QLocale m_locale;
    TrendRange m_range = TrendRange::All;
    bool m_historyIsEmpty = true;
    qsizetype m_read = -1;   // the entry read, an index into m_series.entries; -1 for none
    QRectF m_ticksPlacedFor; // the plot area the time axis's ticks were placed for

    QButtonGroup* m_ranges = nullptr;
    TrendChartView* m_chartView = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_point = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_skipped = nullptr;
    // The parts of the chart shown, replaced with it.
    QLineSeries* m_weights = nullptr;
    QLineSeries* m_goal = nullptr;
    QScatterSeries* m_marker = nullptr;
    QCategoryAxis* m_timeAxis = nullptr;
};

} // namespace morvane
