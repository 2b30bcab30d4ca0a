#pragma once

// The weight trend: every readable history line as a point over time, a moving average, and the
// six judgement bands at the stored height as coloured areas behind them.
//
// Use from the main window, one window per request:
//
//     auto* w = new TrendWindow(history, Height, m_services.clock->today(), m_locale, this);
//     w->setAttribute(Qt::WA_DeleteOnClose);
//     w->show();
//
// It is a separate, non-modal top-level window that stays above its owner and is destroyed with
// it; closing it never ends the program. It shows a snapshot: lines recorded later need a new
// window.

#include "store/history.h"

#include <QWidget>

#include <optional>

class QChartView;
class QDate;
class QLabel;
class QLineSeries;
class QLocale;

namespace morvane {

class TrendWindow : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrendWindow)

public:
    // historyLines are the history list's entries, oldest first; the years are worked out from
    // today. Without a height the bands are left out.
    TrendWindow(const QStringList& historyLines, std::optional<float> height, const QDate& today,
                const QLocale& locale, QWidget* parent = nullptr);
    // With a goal weight: drawn as a level line with its label on it and in the legend; the
    // weight scale reaches to it and the bands fill the scale.
    TrendWindow(const QStringList& historyLines, std::optional<float> height,
                std::optional<float> goal, const QDate& today, const QLocale& locale,
                QWidget* parent = nullptr);
    // The same for the history list's lines as it keeps them: no string is made per line.
    TrendWindow(const History& history, std::optional<float> height, std::optional<float> goal,
                const QDate& today, const QLocale& locale, QWidget* parent = nullptr);
    ~TrendWindow() override;

    // The goal line; null without a goal or without a chart.
    QLineSeries* goalSeries() const { return m_goal; }

    // For tests and the accessibility tree. The chart view is hidden when there is nothing to
    // draw; the message label says why.
    QChartView* chartView() const { return m_chartView; }
    QLabel* messageLabel() const { return m_message; }
    QLabel* skippedLabel() const { return m_skipped; }

private:
    TrendWindow(const Trend& trend, bool historyIsEmpty, std::optional<float> height,
                std::optional<float> goal, const QLocale& locale, QWidget* parent);

    QChartView* m_chartView = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_skipped = nullptr;
    QLabel* m_note = nullptr;
    QLineSeries* m_goal = nullptr;
};

} // namespace morvane
