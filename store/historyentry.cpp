#include "store/historyentry.h"

#include "measure/numbertext.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

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

std::optional<HistoryEntry> parseAscii(std::string_view line)
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
    return HistoryEntry{*month, *day, *weight, *bmi, *percent};
}

// A line with characters beyond ASCII, as older versions wrote in some locales: digits of any
// script read as ASCII digits, direction marks are dropped, the Arabic decimal separator and
// the minus sign U+2212 read as "." and "-". Anything else outside ASCII makes it unreadable.
std::optional<HistoryEntry> parseUnicode(QStringView line)
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

HistoryEntry HistoryEntry::recorded(const QDate& date, float weight, float bmi, float ratio)
{
    return {date.month(), date.day(), weight, bmi, static_cast<double>(ratio) * 100.0};
}

QString HistoryEntry::line(const QLocale& locale) const
{
    auto twoDigits = [](int v) { return QString::number(v).rightJustified(2, u'0'); };
    return twoDigits(month) + dateSeparator(locale) + twoDigits(day) + u"  "_s +
           oneDecimalText(weight, locale) + u"Kg  "_s + oneDecimalText(bmi, locale) + u"  "_s +
           oneDecimalText(obesityPercent, locale) + u"%"_s;
}

std::optional<HistoryEntry> HistoryEntry::read(QByteArrayView line)
{
    // A real line is under 40 characters; a very long one is no history line. Counted in
    // characters: a UTF-8 character takes up to four bytes.
    if (line.size() > 4 * kMaxHistoryLineLength)
        return std::nullopt;
    if (isAscii(line)) {
        if (line.size() > kMaxHistoryLineLength)
            return std::nullopt;
        return parseAscii(std::string_view(line.data(), std::size_t(line.size())));
    }
    // Some byte is not ASCII, so the text holds a character that is not (U+FFFD at worst).
    const QString text = QString::fromUtf8(line);
    if (text.size() > kMaxHistoryLineLength)
        return std::nullopt;
    return parseUnicode(text);
}

} // namespace morvane
