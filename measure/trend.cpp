#include "measure/trend.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

int monthDayKey(int month, int day)
{
    return month * 100 + day;
}

// A cursor over a line in ASCII.
class Scanner {
public:
    explicit Scanner(std::string_view text)
        : m_text(text)
    {}

    bool atEnd() const { return m_pos == m_text.size(); }
    bool isDigit() const { return !atEnd() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9'; }

    // Skips blanks and tabs; true when there was at least one.
    bool blanks()
    {
        const std::size_t start = m_pos;
        while (!atEnd() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t'))
            ++m_pos;
        return m_pos > start;
    }

    bool take(char c)
    {
        if (atEnd() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }

    bool takeOneOf(std::string_view set)
    {
        if (atEnd() || set.find(m_text[m_pos]) == std::string_view::npos)
            return false;
        ++m_pos;
        return true;
    }

    // One or two digits.
    std::optional<int> smallNumber()
    {
        int value = 0;
        int digits = 0;
        while (isDigit() && digits < 2) {
            value = value * 10 + (m_text[m_pos++] - '0');
            ++digits;
        }
        if (digits == 0 || isDigit())
            return std::nullopt;
        return value;
    }

    // [-] digits [("." | ",") digits], as "0.0" writes it.
    std::optional<double> number()
    {
        char buffer[64];
        std::size_t length = 0;
        auto put = [&](char c) {
            if (length < sizeof buffer)
                buffer[length++] = c;
        };
        if (take('-'))
            put('-');
        if (!isDigit())
            return std::nullopt;
        while (isDigit())
            put(m_text[m_pos++]);
        if (!atEnd() && (m_text[m_pos] == '.' || m_text[m_pos] == ',') &&
            m_pos + 1 < m_text.size() && m_text[m_pos + 1] >= '0' && m_text[m_pos + 1] <= '9') {
            ++m_pos;
            put('.');
            while (isDigit())
                put(m_text[m_pos++]);
        }
        if (length == sizeof buffer)
            return std::nullopt;
        // The short numbers the program writes are exact as integer / power of ten: both are
        // exact doubles and the division rounds correctly, as from_chars would, in a fraction of
        // its time. Longer ones go to from_chars.
        if (length <= 15) {
            const bool negative = buffer[0] == '-';
            std::int64_t mantissa = 0;
            std::int64_t scale = 1;
            bool fraction = false;
            for (std::size_t i = negative ? 1 : 0; i < length; ++i) {
                if (buffer[i] == '.') {
                    fraction = true;
                    continue;
                }
                mantissa = mantissa * 10 + (buffer[i] - '0');
                if (fraction)
                    scale *= 10;
            }
            const double value = double(mantissa) / double(scale);
            return negative ? -value : value;
        }
        double value = 0.0;
        const auto [end, ec] = std::from_chars(buffer, buffer + length, value);
        if (ec != std::errc() || end != buffer + length)
            return std::nullopt;
        return value;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

std::optional<HistoryFields> parseAscii(std::string_view line)
{
    Scanner s(line);
    s.blanks();
    const std::optional<int> month = s.smallNumber();
    if (!month || !s.takeOneOf("/.-"))
        return std::nullopt;
    const std::optional<int> day = s.smallNumber();
    if (!day || !s.blanks())
        return std::nullopt;
    const std::optional<double> weight = s.number();
    if (!weight)
        return std::nullopt;
    s.blanks();
    if (!s.takeOneOf("Kk") || !s.takeOneOf("Gg") || !s.blanks())
        return std::nullopt;
    const std::optional<double> bmi = s.number();
    if (!bmi || !s.blanks())
        return std::nullopt;
    const std::optional<double> percent = s.number();
    if (!percent)
        return std::nullopt;
    s.blanks();
    if (!s.take('%'))
        return std::nullopt;
    s.blanks();
    if (!s.atEnd())
        return std::nullopt;

    // 2000 is a leap year: a month/day invalid there is invalid in every year.
    if (!QDate::isValid(2000, *month, *day))
        return std::nullopt;
    return HistoryFields{*month, *day, *weight, *bmi, *percent};
}

// A line with characters beyond ASCII, as older versions wrote in some locales: digits of any
// script read as ASCII digits, direction marks are dropped, the Arabic decimal separator and
// the minus sign U+2212 read as "." and "-". Anything else outside ASCII makes it unreadable.
std::optional<HistoryFields> parseUnicode(QStringView line)
{
    std::string ascii;
    ascii.reserve(std::size_t(line.size()));
    for (const QChar c : line) {
        if (c.unicode() < 0x80)
            ascii.push_back(char(c.unicode()));
        else if (c.category() == QChar::Number_DecimalDigit)
            ascii.push_back(char('0' + c.digitValue()));
        else if (c.category() == QChar::Other_Format)
            continue;
        else if (c == QChar(0x066B))
            ascii.push_back('.');
        else if (c == QChar(0x2212))
            ascii.push_back('-');
        else
            return std::nullopt;
    }
    return parseAscii(ascii);
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

} // namespace

std::optional<HistoryFields> parseHistoryLine(QStringView line)
{
    // A real line is under 40 characters; a very long one is no history line.
    if (line.size() > kMaxHistoryLineLength)
        return std::nullopt;
    const bool ascii =
        std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii)
        return parseUnicode(line);
    const QByteArray latin1 = line.toLatin1();
    return parseAscii(std::string_view(latin1.constData(), std::size_t(latin1.size())));
}

std::optional<HistoryFields> parseHistoryLine(QByteArrayView line)
{
    if (line.size() > 4 * kMaxHistoryLineLength)
        return std::nullopt;
    if (!isAscii(line))
        return parseHistoryLine(QString::fromUtf8(line));
    if (line.size() > kMaxHistoryLineLength)
        return std::nullopt;
    return parseAscii(std::string_view(line.data(), std::size_t(line.size())));
}

void TrendReader::reserve(qsizetype lines)
{
    m_trend.entries.reserve(lines);
    m_monthDays.reserve(std::size_t(lines));
}

void TrendReader::add(std::optional<HistoryFields> fields)
{
    if (!fields) {
        ++m_trend.skippedLines;
        return;
    }
    // The date is set in finish(), once the year is known.
    m_trend.entries.append({QDate(), fields->weight, fields->bmi, fields->percent});
    m_monthDays.push_back(std::uint16_t(monthDayKey(fields->month, fields->day)));
}

Trend TrendReader::finish(const QDate& today) &&
{
    QList<TrendEntry>& entries = m_trend.entries;
    int year = today.year();
    int newerKey = monthDayKey(today.month(), today.day());
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

QList<qsizetype> chartPoints(std::span<const double> values, qsizetype maxPoints)
{
    QList<qsizetype> kept;
    const auto n = qsizetype(values.size());
    if (n <= maxPoints) {
        kept.reserve(n);
        for (qsizetype i = 0; i < n; ++i)
            kept.append(i);
        return kept;
    }
    // Per bucket of neighbouring values its lowest and highest, in their order: the line then
    // still spans every level the values reach in that bucket, so it crosses every band edge
    // where the full line does, to within a bucket. The first and the last value stay.
    const qsizetype buckets = std::max<qsizetype>(1, (maxPoints - 2) / 2);
    kept.reserve(2 * buckets + 2);
    kept.append(0);
    for (qsizetype b = 0; b < buckets; ++b) {
        const qsizetype begin = 1 + (n - 2) * b / buckets;
        const qsizetype end = 1 + (n - 2) * (b + 1) / buckets;
        if (begin >= end)
            continue;
        qsizetype low = begin;
        qsizetype high = begin;
        for (qsizetype i = begin + 1; i < end; ++i) {
            if (values[i] < values[low])
                low = i;
            if (values[i] > values[high])
                high = i;
        }
        kept.append(std::min(low, high));
        if (low != high)
            kept.append(std::max(low, high));
    }
    kept.append(n - 1);
    return kept;
}

QList<double> movingAverage(const QList<TrendEntry>& entries, int span)
{
    span = std::max(span, 1);
    QList<double> averages;
    averages.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        // Summed afresh for each entry rather than kept as a running sum, so that rounding errors
        // do not pile up over a long history.
        const qsizetype first = std::max<qsizetype>(0, i - span + 1);
        double sum = 0.0;
        for (qsizetype j = first; j <= i; ++j)
            sum += entries[j].weight;
        averages.append(sum / static_cast<double>(i - first + 1));
    }
    return averages;
}

} // namespace morvane
