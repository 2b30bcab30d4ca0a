#include "store/history.h"

#include "store/fileio.h"
#include "store/historyentry.h"

#include <algorithm>
#include <cstdint>

#include <cstring>

namespace morvane {

History::History(QByteArray content)
    : m_bytes(std::move(content))
{
    m_first = m_bytes.startsWith(kUtf8Bom) ? kUtf8Bom.size() : 0;
    for (qsizetype p = nextEntry(m_first); p < m_bytes.size(); p = nextEntry(p)) {
        if (m_count % kIndexStride == 0)
            m_index.push_back(p);
        ++m_count;
        p = lineFrom(p).next;
    }
}

History::Line History::lineFrom(qsizetype start) const
{
    const char* const data = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    const auto* lf = static_cast<const char*>(std::memchr(data + start, '\n', n - start));
    Line line;
    line.next = lf ? lf - data + 1 : n;
    line.end = lf ? lf - data : n;
    // CR before the LF, or a lone CR at the very end of the file; a CR inside a line stays.
    if (line.end > start && data[line.end - 1] == '\r')
        --line.end;
    return line;
}

qsizetype History::nextEntry(qsizetype p) const
{
    const char* const data = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    // Skips empty lines: LF, CR LF, and a lone CR at the very end.
    while (p < n) {
        if (data[p] == '\n')
            p += 1;
        else if (data[p] == '\r' && (p + 1 == n || data[p + 1] == '\n'))
            p += p + 1 == n ? 1 : 2;
        else
            break;
    }
    return p;
}

qsizetype History::startOf(qsizetype i) const
{
    qsizetype p = m_index[std::size_t(i / kIndexStride)];
    for (qsizetype k = i % kIndexStride; k > 0; --k)
        p = nextEntry(lineFrom(p).next);
    return p;
}

QByteArrayView History::lineBytes(qsizetype i) const
{
    const qsizetype start = startOf(i);
    return QByteArrayView(m_bytes.constData() + start, lineFrom(start).end - start);
}

QString History::at(qsizetype i) const
{
    return QString::fromUtf8(lineBytes(i));
}

History::Span History::span(qsizetype i) const
{
    const qsizetype start = startOf(i);
    return {start, lineFrom(start).next};
}

void History::append(const QString& line)
{
    // A last line without its line end gets one first, so that the new line stands alone.
    m_bytes += lineEndBeforeAppend(m_bytes);
    const qsizetype start = m_bytes.size();
    m_bytes += line.toUtf8();
    m_bytes += "\r\n";
    if (line.isEmpty())
        return;
    if (m_count % kIndexStride == 0)
        m_index.push_back(start);
    ++m_count;
}

void History::clear()
{
    m_bytes.clear();
    m_first = 0;
    m_count = 0;
    m_index.clear();
}

QStringList History::toStringList() const
{
    QStringList lines;
    lines.reserve(size());
    forEachLine([&](QByteArrayView line) { lines.append(QString::fromUtf8(line)); });
    return lines;
}

namespace {

// Dates the entries once all are read: the year of each is worked out from the ones after it.
class TrendReader {
public:
    void reserve(qsizetype lines);
    void add(std::optional<HistoryEntry> fields);
    Trend finish(const QDate& today) &&;

private:
    Trend m_trend;
    std::vector<std::uint16_t> m_monthDays; // month * 100 + day of each entry
};

void TrendReader::reserve(qsizetype lines)
{
    m_trend.entries.reserve(lines);
    m_monthDays.reserve(std::size_t(lines));
}

void TrendReader::add(std::optional<HistoryEntry> fields)
{
    if (!fields) {
        ++m_trend.skippedLines;
        return;
    }
    // The date is set in finish(), once the year is known.
    m_trend.entries.append({QDate(), fields->weight, fields->bmi, fields->obesityPercent});
    m_monthDays.push_back(std::uint16_t(fields->month * 100 + fields->day));
}

Trend TrendReader::finish(const QDate& today) &&
{
    QList<TrendEntry>& entries = m_trend.entries;
    int year = today.year();
    int newerKey = today.month() * 100 + today.day();
    // Neighbouring entries mostly share their date: it is made once per run of them.
    int madeYear = 0;
    int madeKey = 0;
    QDate made;
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const int key = m_monthDays[std::size_t(i)];
        if (key > newerKey)
            --year;
        newerKey = key;
        if (key != madeKey || year != madeYear) {
            made = QDate(year, key / 100, key % 100);
            madeKey = key;
            madeYear = year;
        }
        entries[i].date = made;
    }
    // A 02/29 that fell on a common year.
    const auto invalid = std::remove_if(entries.begin(), entries.end(),
                                        [](const TrendEntry& e) { return !e.date.isValid(); });
    m_trend.skippedLines += int(entries.end() - invalid);
    entries.erase(invalid, entries.end());
    return std::move(m_trend);
}

} // namespace

Trend readTrend(const History& history, const QDate& today)
{
    TrendReader reader;
    reader.reserve(history.size());
    history.forEachLine([&](QByteArrayView line) { reader.add(HistoryEntry::read(line)); });
    return std::move(reader).finish(today);
}

} // namespace morvane
