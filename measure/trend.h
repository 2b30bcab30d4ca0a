#pragma once

// The weight history as dated values, for the trend chart and the CSV export (store/history.h
// reads them from the history and works out each line's year), and what a chart draws of them.

#include <QDate>
#include <QList>

#include <span>

namespace morvane {

// One entry of the history with the date it was recorded on.
struct TrendEntry {
    QDate date;
    double weight = 0.0;
    double bmi = 0.0;
    double percent = 0.0;
};

struct Trend {
    QList<TrendEntry> entries; // in file order, which is oldest first
    int skippedLines = 0;      // lines that do not read as a history line, or whose date is not
                               // a day of the year assigned to it (02/29 outside leap years)
};

// The most points a chart line draws: more than a maximised window has pixel columns, few
// enough that a chart of millions of entries opens and redraws at once.
inline constexpr qsizetype kMaxChartPoints = 4000;

// Which of the values a chart line draws, as ascending indices: all of them up to maxPoints,
// else the first, the last, and the lowest and highest of each of (maxPoints - 2) / 2 runs of
// neighbouring values. Unlike picking one value per run, this keeps every peak and dip, so the
// line still crosses each band edge wherever the full line does (to within one run).
QList<qsizetype> chartPoints(std::span<const double> values, qsizetype maxPoints = kMaxChartPoints);

// Entries the moving average spans: about a week of daily weighing, enough to smooth the day to
// day swing of water and meals without hiding a trend of a few weeks.
inline constexpr int kMovingAverageEntries = 7;

// The trailing moving average of the weights: element i is the mean of entries
// max(0, i - span + 1) ... i. It counts entries, not days, so that it needs no gap handling; the
// first span - 1 values average the fewer entries that exist. Same size as `entries`.
QList<double> movingAverage(const QList<TrendEntry>& entries, int span = kMovingAverageEntries);

} // namespace morvane
