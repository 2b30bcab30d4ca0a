#pragma once

// The weight history read back as dated values, for the trend chart and the CSV export. History
// lines carry only the month and the day ("05/11  68.5Kg  24.1  9.6%"), written with the date
// and decimal separators of the locale of the day they were recorded; the year is worked out
// from the order of the lines.

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QStringView>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace morvane {

// The fields of one history line as written.
struct HistoryFields {
    int month = 0;
    int day = 0;
    double weight = 0.0;  // kilograms
    double bmi = 0.0;     // the unclamped BMI of the entry
    double percent = 0.0; // obesity ratio in percent
};

// Longer than any line the program writes (about 30 characters) by far; longer lines are not
// read as history lines, whatever they hold.
inline constexpr qsizetype kMaxHistoryLineLength = 200;

// Reads "mm/dd  68.5Kg  24.1  9.6%". The date separator may be "/", "." or "-", the decimal
// separator "." or "," (or the Arabic "٫"); month and day have one or two digits; the blanks
// between the fields may be any number of blanks or tabs, and blanks around the line are
// ignored. Lines written before numbers were always written with ASCII digits are read too:
// digits of other scripts count as digits, direction marks are ignored, and U+2212 is a minus.
// nullopt for anything else, including a month/day that exists in no year (13/01, 02/30);
// 02/29 is accepted here. The byte form takes the line as the file holds it, in UTF-8.
std::optional<HistoryFields> parseHistoryLine(QStringView line);
std::optional<HistoryFields> parseHistoryLine(QByteArrayView line);

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

// Reads a history (store/history.h's readTrend) a line at a time: add() each line's parse in
// file order, then finish().
//
// finish() gives each line its year. The newest line is the last one: it is in today's year, or
// in last year if its month/day is later than today's. Walking back from it, the year steps back
// by one each time an older line's month/day is later than the month/day of the line after it:
// dates only ever go forward in time through the file, so a date going "backward" on the
// calendar means a new year began in between. Equal dates stay in the same year. Skipped lines
// do not take part in the walk; a 02/29 that lands on a common year does, and is skipped only
// afterwards. The entries' dates therefore never decrease.
class TrendReader {
public:
    void reserve(qsizetype lines);
    void add(std::optional<HistoryFields> fields);
    Trend finish(const QDate& today) &&;

private:
    Trend m_trend;
    std::vector<std::uint16_t> m_monthDays; // month * 100 + day of each entry
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
