#include "store/importformats.h"

#include "measure/limits.h"
#include "store/csvexport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringDecoder>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// How often the progress is reported, in records.
constexpr qint64 kProgressStride = 4096;
// The lines looked at to find the delimiter, and the records looked at to find unnamed columns.
constexpr int kSampleLines = 50;

FileError importError(const QString& path, const char* reason)
{
    return FileError{fullPath(path), QCoreApplication::translate("morvane::ImportFormats", reason)};
}

// Encodings.

bool isUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        char32_t min = 0;
        char32_t code = 0;
        if ((c & 0xE0) == 0xC0) {
            length = 2, min = 0x80, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, min = 0x800, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4, min = 0x10000, code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are no UTF-8.
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += length;
    }
    return true;
}

bool isShiftJis(QByteArrayView bytes)
{
    QStringDecoder decoder("Shift_JIS");
    if (!decoder.isValid())
        return false;
    // In pieces, so that the text decoded never needs more than a piece's memory.
    constexpr qsizetype kPiece = 1 << 20;
    for (qsizetype p = 0; p < bytes.size() && !decoder.hasError(); p += kPiece) {
        // decode() is lazy: the conversion happens when its result becomes a QString.
        const QString piece = decoder.decode(bytes.sliced(p, std::min(kPiece, bytes.size() - p)));
    }
    return !decoder.hasError();
}

// Decodes single fields; a field in ASCII needs no decoder at all.
class FieldDecoder {
public:
    explicit FieldDecoder(TextEncoding encoding)
        : m_shiftJis(encoding == TextEncoding::ShiftJis)
    {
        if (m_shiftJis)
            m_decoder = QStringDecoder("Shift_JIS");
    }

    QString decode(QByteArrayView bytes)
    {
        if (!m_shiftJis)
            return QString::fromUtf8(bytes);
        m_decoder.resetState();
        return m_decoder.decode(bytes);
    }

private:
    bool m_shiftJis = false;
    QStringDecoder m_decoder;
};

QByteArrayView bytesOf(std::string_view text)
{
    return QByteArrayView(text.data(), qsizetype(text.size()));
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

// Full-width digits, letters and signs as a Japanese input method types them, and "㎏", read as
// their ASCII forms; what stays beyond ASCII makes the text unreadable as a number or a date.
std::string asciiForm(const QString& text)
{
    const QString normal = text.normalized(QString::NormalizationForm_KC);
    std::string ascii;
    ascii.reserve(std::size_t(normal.size()));
    for (const QChar c : normal)
        ascii.push_back(c.unicode() < 0x80 ? char(c.unicode()) : '\x7F');
    return ascii;
}

// Dates.

struct ParsedDate {
    int year = 0;
    int first = 0; // the month, or for a swappable date the first number
    int second = 0;
    bool swappable = false;
};

class Cursor {
public:
    explicit Cursor(std::string_view text)
        : m_text(text)
    {}
    bool atEnd() const { return m_pos == m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    bool take(char c)
    {
        if (peek() != c || atEnd())
            return false;
        ++m_pos;
        return true;
    }
    bool blanks()
    {
        const std::size_t start = m_pos;
        while (peek() == ' ' || peek() == '\t')
            ++m_pos;
        return m_pos > start;
    }
    // minDigits to maxDigits digits, and no further digit after them.
    std::optional<int> number(int minDigits, int maxDigits)
    {
        int value = 0;
        int digits = 0;
        while (isDigit() && digits < maxDigits) {
            value = value * 10 + (m_text[m_pos++] - '0');
            ++digits;
        }
        if (digits < minDigits || isDigit())
            return std::nullopt;
        return value;
    }
    // Exactly n digits, whatever follows them (the hours of "+0900").
    std::optional<int> digits(int n)
    {
        if (digitsAhead() < std::size_t(n))
            return std::nullopt;
        int value = 0;
        for (int i = 0; i < n; ++i)
            value = value * 10 + (m_text[m_pos++] - '0');
        return value;
    }
    std::size_t digitsAhead() const
    {
        std::size_t p = m_pos;
        while (p < m_text.size() && m_text[p] >= '0' && m_text[p] <= '9')
            ++p;
        return p - m_pos;
    }
    std::string_view rest() const { return m_text.substr(m_pos); }

private:
    bool isDigit() const { return !atEnd() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9'; }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// A time after the date: H:mm, H:mm:ss, H:mm:ss.fff, then for ISO dates an optional zone (Z,
// +09:00, +0900, +09). Sets `offset` when a zone is given.
bool readTime(Cursor& c, QTime& time, std::optional<int>& offset, bool zoneAllowed)
{
    const auto hour = c.number(1, 2);
    if (!hour || !c.take(':'))
        return false;
    const auto minute = c.number(2, 2);
    if (!minute)
        return false;
    int second = 0;
    if (c.take(':')) {
        const auto s = c.number(2, 2);
        if (!s)
            return false;
        second = std::min(*s, 59); // a leap second is still that day
        if (c.take('.') || c.take(',')) {
            if (c.digitsAhead() == 0)
                return false;
            (void)c.number(1, int(c.digitsAhead()));
        }
    }
    time = QTime(*hour, *minute, second);
    if (!time.isValid())
        return false;
    c.blanks();
    if (c.atEnd())
        return true;
    if (!zoneAllowed)
        return false;
    if (c.take('Z') || c.take('z')) {
        offset = 0;
        return c.atEnd();
    }
    const int sign = c.take('+') ? 1 : c.take('-') ? -1 : 0;
    if (sign == 0)
        return false;
    const auto hours = c.digits(2);
    if (!hours)
        return false;
    int minutes = 0;
    const bool colon = c.take(':');
    if (colon || c.digitsAhead() == 2) {
        const auto m = c.number(2, 2);
        if (!m)
            return false;
        minutes = *m;
    }
    if (*hours > 18 || minutes > 59 || !c.atEnd())
        return false;
    offset = sign * (*hours * 3600 + minutes * 60);
    return true;
}

// The forms of readImportFile's comment, in ASCII (yyyy年M月d日 arrives as yyyy/M/d).
std::optional<ParsedDate> readDate(std::string_view text)
{
    Cursor c(text);
    ParsedDate date;
    bool isoLike = false;
    if (c.digitsAhead() == 4) {
        date.year = *c.number(4, 4);
        const char separator = c.peek();
        if (separator != '-' && separator != '/' && separator != '.')
            return std::nullopt;
        c.take(separator);
        const auto month = c.number(1, 2);
        if (!month || !c.take(separator))
            return std::nullopt;
        const auto day = c.number(1, 2);
        if (!day)
            return std::nullopt;
        date.first = *month;
        date.second = *day;
        isoLike = separator == '-';
    } else if (c.digitsAhead() == 1 || c.digitsAhead() == 2) {
        const int a = *c.number(1, 2);
        const char separator = c.peek();
        if (separator != '.' && separator != '/')
            return std::nullopt;
        c.take(separator);
        const auto b = c.number(1, 2);
        if (!b || !c.take(separator))
            return std::nullopt;
        // Four digits: two-digit years are refused, as the century would be a guess.
        const auto year = c.number(4, 4);
        if (!year)
            return std::nullopt;
        date.year = *year;
        if (separator == '.') {
            date.first = *b;
            date.second = a;
        } else {
            date.first = a;
            date.second = *b;
            date.swappable = true;
        }
    } else {
        return std::nullopt;
    }

    const bool valid = date.swappable ? QDate::isValid(date.year, date.first, date.second) ||
                                            QDate::isValid(date.year, date.second, date.first)
                                      : QDate::isValid(date.year, date.first, date.second);
    if (!valid)
        return std::nullopt;
    if (c.atEnd())
        return date;
    // "2024-01-05T08:30:00+09:00" or "2024-01-05 08:30": the time is no part of the history, but
    // with a zone it decides the local date.
    if (!(isoLike && c.take('T')) && !c.blanks())
        return std::nullopt;
    QTime time;
    std::optional<int> offset;
    if (!readTime(c, time, offset, isoLike))
        return std::nullopt;
    if (offset) {
        const QDate local =
            QDateTime(QDate(date.year, date.first, date.second), time, QTimeZone(*offset))
                .toLocalTime()
                .date();
        date.year = local.year();
        date.first = local.month();
        date.second = local.day();
    }
    return date;
}

// A date field beyond ASCII: full-width digits, and 年, 月 and 日 around the numbers.
std::string japaneseDateForm(const QString& text)
{
    QString s = text;
    s.replace(u'年', u'/').replace(u'月', u'/').remove(u'日');
    return asciiForm(s);
}

// Weights.

enum class Unit { None, Kilograms, Pounds };

struct ParsedWeight {
    double value = 0.0;
    Unit unit = Unit::None;
};

bool equalsIgnoringCase(std::string_view text, std::string_view lower)
{
    return text.size() == lower.size() &&
           std::equal(text.begin(), text.end(), lower.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
           });
}

// [-+] digits [("." | ",") digits] [blanks] [kg | lb | lbs]; the comma only with `decimalComma`.
std::optional<ParsedWeight> readWeight(std::string_view text, bool decimalComma)
{
    char buffer[40];
    std::size_t length = 0;
    std::size_t p = 0;
    auto isDigit = [&] { return p < text.size() && text[p] >= '0' && text[p] <= '9'; };
    if (p < text.size() && (text[p] == '-' || text[p] == '+')) {
        if (text[p] == '-')
            buffer[length++] = '-';
        ++p;
    }
    if (!isDigit())
        return std::nullopt;
    while (isDigit() && length < sizeof buffer - 1)
        buffer[length++] = text[p++];
    if (p < text.size() && (text[p] == '.' || (decimalComma && text[p] == ','))) {
        buffer[length++] = '.';
        ++p;
        if (!isDigit())
            return std::nullopt;
        while (isDigit() && length < sizeof buffer)
            buffer[length++] = text[p++];
    }
    if (isDigit())
        return std::nullopt; // longer than any weight
    ParsedWeight weight;
    const auto [end, ec] = std::from_chars(buffer, buffer + length, weight.value);
    if (ec != std::errc() || end != buffer + length)
        return std::nullopt;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
        ++p;
    const std::string_view unit = text.substr(p);
    if (unit.empty())
        weight.unit = Unit::None;
    else if (equalsIgnoringCase(unit, "kg") || equalsIgnoringCase(unit, "kgs"))
        weight.unit = Unit::Kilograms;
    else if (equalsIgnoringCase(unit, "lb") || equalsIgnoringCase(unit, "lbs"))
        weight.unit = Unit::Pounds;
    else
        return std::nullopt;
    return weight;
}

std::optional<float> kilograms(const ParsedWeight& weight, bool columnInPounds)
{
    const bool pounds =
        weight.unit == Unit::Pounds || (weight.unit == Unit::None && columnInPounds);
    const float kg = static_cast<float>(pounds ? weight.value * kKilogramsPerPound : weight.value);
    if (!kWeightRange.contains(kg))
        return std::nullopt;
    return kg;
}

// Column headers.

struct HeaderMeaning {
    int dateRank = -1;   // lower is a better date column
    int weightRank = -1; // lower is a better weight column
    bool pounds = false;
};

HeaderMeaning headerMeaning(const QString& name)
{
    // Case, width, blanks, brackets and underscores do not matter: "Weight (kg)", "体重（ｋｇ）"
    // and "weight_kg" are one name.
    QString key = name.normalized(QString::NormalizationForm_KC).toCaseFolded();
    key.removeIf([](QChar c) {
        return c.isSpace() || c == u'(' || c == u')' || c == u'[' || c == u']' || c == u'_' ||
               c == u'"';
    });
    static const std::array<QStringView, 8> dateNames{
        u"日付", u"測定日", u"date", u"日時", u"測定日時", u"datetime", u"timestamp", u"time"};
    static const std::array<QStringView, 5> kilogramNames{u"体重", u"weight", u"体重kg",
                                                          u"weightkg", u"kg"};
    static const std::array<QStringView, 6> poundNames{u"weightlb", u"weightlbs", u"体重lb",
                                                       u"体重lbs",  u"lb",        u"lbs"};
    HeaderMeaning meaning;
    for (std::size_t i = 0; i < dateNames.size(); ++i) {
        if (key == dateNames[i])
            meaning.dateRank = int(i);
    }
    for (const QStringView n : kilogramNames) {
        if (key == n)
            meaning.weightRank = 0;
    }
    for (const QStringView n : poundNames) {
        if (key == n) {
            meaning.weightRank = 1;
            meaning.pounds = true;
        }
    }
    return meaning;
}

// Delimited text.

struct Field {
    qsizetype begin = 0;
    qsizetype end = 0;
    bool quoted = false;
    bool doubledQuotes = false;
};

// Splits text into records of fields (RFC 4180 quoting; CR LF, LF or CR ends a record).
class RecordReader {
public:
    RecordReader(QByteArrayView text, qsizetype start, char delimiter)
        : m_text(text)
        , m_pos(start)
        , m_delimiter(delimiter)
    {}

    qsizetype position() const { return m_pos; }

    bool next(std::vector<Field>& fields)
    {
        fields.clear();
        const qsizetype n = m_text.size();
        if (m_pos >= n)
            return false;
        const char* const data = m_text.data();
        for (;;) {
            Field field;
            qsizetype p = m_pos;
            while (p < n && data[p] == ' ')
                ++p;
            if (p < n && data[p] == '"') {
                field.quoted = true;
                field.begin = ++p;
                for (;;) {
                    const auto* quote = static_cast<const char*>(std::memchr(data + p, '"', n - p));
                    if (!quote) {
                        p = n;
                        field.end = n;
                        break;
                    }
                    p = quote - data;
                    if (p + 1 < n && data[p + 1] == '"') {
                        field.doubledQuotes = true;
                        p += 2;
                        continue;
                    }
                    field.end = p++;
                    break;
                }
                // Anything between the closing quote and the delimiter is dropped.
                while (p < n && data[p] != m_delimiter && data[p] != '\r' && data[p] != '\n')
                    ++p;
            } else {
                field.begin = m_pos;
                p = m_pos;
                while (p < n && data[p] != m_delimiter && data[p] != '\r' && data[p] != '\n')
                    ++p;
                field.end = p;
            }
            fields.push_back(field);
            if (p < n && data[p] == m_delimiter) {
                m_pos = p + 1;
                continue;
            }
            if (p < n && data[p] == '\r' && p + 1 < n && data[p + 1] == '\n')
                p += 2;
            else if (p < n)
                ++p;
            m_pos = p;
            return true;
        }
    }

    // The field's text: quotes removed, blanks around an unquoted one trimmed.
    std::string_view text(const Field& field, std::string& scratch) const
    {
        std::string_view view(m_text.data() + field.begin, std::size_t(field.end - field.begin));
        if (field.doubledQuotes) {
            scratch.clear();
            for (std::size_t i = 0; i < view.size(); ++i) {
                scratch.push_back(view[i]);
                if (view[i] == '"' && i + 1 < view.size() && view[i + 1] == '"')
                    ++i;
            }
            view = scratch;
        }
        while (!view.empty() && (view.front() == ' ' || view.front() == '\t'))
            view.remove_prefix(1);
        while (!view.empty() && (view.back() == ' ' || view.back() == '\t'))
            view.remove_suffix(1);
        return view;
    }

private:
    QByteArrayView m_text;
    qsizetype m_pos = 0;
    char m_delimiter = ',';
};

// Counts the delimiter outside quotes on each of the first lines that are not blank.
char findDelimiter(QByteArrayView text, qsizetype start)
{
    constexpr std::array<char, 3> candidates{'\t', ';', ','};
    std::array<std::vector<int>, 3> counts;
    qsizetype p = start;
    for (int line = 0; line < kSampleLines && p < text.size();) {
        std::array<int, 3> here{};
        bool quoted = false;
        const qsizetype begin = p;
        for (; p < text.size() && (quoted || (text[p] != '\n' && text[p] != '\r')); ++p) {
            if (text[p] == '"')
                quoted = !quoted;
            for (std::size_t k = 0; k < candidates.size(); ++k) {
                if (!quoted && text[p] == candidates[k])
                    ++here[k];
            }
        }
        const bool blank = p == begin;
        if (p < text.size())
            ++p;
        if (blank)
            continue;
        for (std::size_t k = 0; k < candidates.size(); ++k)
            counts[k].push_back(here[k]);
        ++line;
    }
    // The first candidate found the same number of times on every line; else the one on most
    // lines. A semicolon comes before the comma, since files divided by semicolons write the
    // decimal comma.
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        const auto& c = counts[k];
        if (!c.empty() && c.front() > 0 &&
            std::all_of(c.begin(), c.end(), [&](int n) { return n == c.front(); }))
            return candidates[k];
    }
    std::size_t best = candidates.size() - 1;
    qsizetype bestLines = 0;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        const auto lines =
            std::count_if(counts[k].begin(), counts[k].end(), [](int n) { return n > 0; });
        if (lines > bestLines) {
            best = k;
            bestLines = lines;
        }
    }
    return candidates[best];
}

struct Reading {
    ImportFile& file;
    const ImportProgress& progress;
    qint64 total = 0;
    // Evidence on the order of month and day.
    bool dayFirstSeen = false;
    bool monthFirstSeen = false;
    bool ambiguousSeen = false;

    void addDate(qint32 row, const ParsedDate& date, float weight)
    {
        if (date.swappable) {
            dayFirstSeen = dayFirstSeen || date.first > 12;
            monthFirstSeen = monthFirstSeen || date.second > 12;
            ambiguousSeen = ambiguousSeen ||
                            (date.first != date.second && date.first <= 12 && date.second <= 12);
        }
        file.rows.push_back({row, weight, qint16(date.year), quint8(date.first),
                             quint8(date.second), date.swappable});
    }

    void finish()
    {
        if (dayFirstSeen != monthFirstSeen)
            file.dayMonthOrder = dayFirstSeen ? DayMonthOrder::DayFirst : DayMonthOrder::MonthFirst;
        file.needsDayMonthOrder = file.dayMonthOrder == DayMonthOrder::Undecided &&
                                  (ambiguousSeen || (dayFirstSeen && monthFirstSeen));
    }

    bool goOn(qint64 records, qint64 done) const
    {
        return !progress || records % kProgressStride != 0 || progress(done, total);
    }
};

class DelimitedReader {
public:
    DelimitedReader(QByteArrayView text, qsizetype start, const ImportFile& file)
        : m_records(text, start, char(file.delimiter.unicode()))
        , m_decoder(file.encoding)
        , m_commaIsDelimiter(file.delimiter == u',')
    {}

    std::optional<ParsedDate> date(const Field& field)
    {
        const std::string_view text = m_records.text(field, m_scratch);
        if (isAscii(text))
            return readDate(text);
        return readDate(japaneseDateForm(m_decoder.decode(bytesOf(text))));
    }

    std::optional<ParsedWeight> weight(const Field& field)
    {
        const std::string_view text = m_records.text(field, m_scratch);
        const bool decimalComma = field.quoted || !m_commaIsDelimiter;
        if (isAscii(text))
            return readWeight(text, decimalComma);
        return readWeight(asciiForm(m_decoder.decode(bytesOf(text))), decimalComma);
    }

    QString decoded(const Field& field)
    {
        return m_decoder.decode(bytesOf(m_records.text(field, m_scratch)));
    }

    static bool isBlank(const std::vector<Field>& fields)
    {
        return fields.size() == 1 && !fields[0].quoted && fields[0].begin == fields[0].end;
    }

    // The next record that is not a blank line; its row number in `row`.
    bool nextRecord(std::vector<Field>& fields, qint32& row)
    {
        while (m_records.next(fields)) {
            ++m_row;
            if (!isBlank(fields)) {
                row = m_row;
                return true;
            }
        }
        return false;
    }

    qsizetype position() const { return m_records.position(); }

private:
    RecordReader m_records;
    FieldDecoder m_decoder;
    bool m_commaIsDelimiter = false;
    std::string m_scratch;
    qint32 m_row = 0;
};

// The header's names that tell a format apart: our export's exact header, openScale's field
// names as its old CSV writer and its newer one write them.
ImportFormat formatOf(const QStringList& names)
{
    if (names == kCsvHeader || names == kCsvHeader.first(4))
        return ImportFormat::MorvaneCsv;
    if ((names.contains(u"dateTime"_s) && names.contains(u"weight"_s)) ||
        (names.contains(u"DATE"_s) && names.contains(u"TIME"_s) && names.contains(u"WEIGHT"_s)))
        return ImportFormat::OpenScaleCsv;
    return ImportFormat::DelimitedText;
}

ImportRead readDelimited(QByteArrayView text, qsizetype start, ImportFile& file,
                         const ImportOptions& options, const ImportProgress& progress)
{
    ImportRead read;
    const QString& path = file.path;
    file.delimiter = QLatin1Char(findDelimiter(text, start));
    DelimitedReader reader(text, start, file);
    std::vector<Field> fields;
    qint32 row = 0;
    if (!reader.nextRecord(fields, row)) {
        read.error =
            importError(path, QT_TRANSLATE_NOOP("morvane::ImportFormats",
                                                "取り込む記録がありません（空のファイルです）"));
        return read;
    }

    // A header row names a known column, or at least holds no date.
    std::vector<HeaderMeaning> meanings;
    QStringList names;
    bool anyDate = false;
    for (const Field& field : fields) {
        names.append(reader.decoded(field));
        meanings.push_back(headerMeaning(names.back()));
        anyDate = anyDate || reader.date(field).has_value();
    }
    file.headerRow =
        std::any_of(meanings.begin(), meanings.end(),
                    [](const HeaderMeaning& m) { return m.dateRank >= 0 || m.weightRank >= 0; }) ||
        !anyDate;
    const qsizetype headerFields = file.headerRow ? qsizetype(fields.size()) : 0;
    if (file.headerRow) {
        file.format = formatOf(names);
        int bestDate = std::numeric_limits<int>::max();
        int bestWeight = std::numeric_limits<int>::max();
        for (int i = 0; i < int(meanings.size()); ++i) {
            if (meanings[i].dateRank >= 0 && meanings[i].dateRank < bestDate) {
                bestDate = meanings[i].dateRank;
                file.dateColumn = i;
            }
        }
        for (int i = 0; i < int(meanings.size()); ++i) {
            if (i != file.dateColumn && meanings[i].weightRank >= 0 &&
                meanings[i].weightRank < bestWeight) {
                bestWeight = meanings[i].weightRank;
                file.weightColumn = i;
            }
        }
    }

    // The first records: the columns' first values, and columns the header did not name found by
    // their values. The reading itself starts over below.
    const qint32 headerRow = row;
    {
        DelimitedReader sample(text, start, file);
        std::vector<Field> f;
        qint32 r = 0;
        bool firstValues = false;
        for (int n = 0; n < kSampleLines && sample.nextRecord(f, r); ++n) {
            if (file.headerRow && r == headerRow)
                continue;
            if (!firstValues) {
                const qsizetype count = std::max(qsizetype(f.size()), names.size());
                for (qsizetype i = 0; i < count; ++i) {
                    file.columns.append(
                        {file.headerRow && i < names.size() ? names[i] : QString(),
                         i < qsizetype(f.size()) ? sample.decoded(f[std::size_t(i)]) : QString()});
                }
                firstValues = true;
            }
            if (file.dateColumn < 0 && options.dateColumn < 0) {
                for (int i = 0; i < int(f.size()); ++i) {
                    if (sample.date(f[std::size_t(i)])) {
                        file.dateColumn = i;
                        break;
                    }
                }
            }
            const int dateColumn = options.dateColumn >= 0 ? options.dateColumn : file.dateColumn;
            if (dateColumn >= 0 && file.weightColumn < 0 && options.weightColumn < 0) {
                for (int i = dateColumn + 1; i < int(f.size()); ++i) {
                    const auto weight = sample.weight(f[std::size_t(i)]);
                    if (weight && kilograms(*weight, false)) {
                        file.weightColumn = i;
                        break;
                    }
                }
            }
            if (file.dateColumn >= 0 && file.weightColumn >= 0)
                break;
        }
        // A header alone, as our export writes for an empty history: nothing to import.
        if (!firstValues) {
            for (const QString& name : names)
                file.columns.append({name, QString()});
        }
    }
    auto chosen = [&](int option, int& column) {
        if (option < 0)
            return true;
        column = option;
        return option < file.columns.size();
    };
    if (!chosen(options.dateColumn, file.dateColumn) ||
        !chosen(options.weightColumn, file.weightColumn)) {
        read.error = importError(
            path, QT_TRANSLATE_NOOP("morvane::ImportFormats", "選んだ列がファイルにありません"));
        return read;
    }
    if (file.dateColumn < 0) {
        read.error = importError(
            path, QT_TRANSLATE_NOOP("morvane::ImportFormats", "日付の列が見つかりません"));
        return read;
    }
    if (file.weightColumn < 0 || file.weightColumn == file.dateColumn) {
        read.error = importError(
            path, QT_TRANSLATE_NOOP("morvane::ImportFormats", "体重の列が見つかりません"));
        return read;
    }
    file.weightInPounds = file.headerRow && file.weightColumn < qsizetype(meanings.size()) &&
                          meanings[std::size_t(file.weightColumn)].pounds;

    Reading reading{file, progress, text.size()};
    const auto dateColumn = std::size_t(file.dateColumn);
    const auto weightColumn = std::size_t(file.weightColumn);
    const std::size_t needed = std::max(dateColumn, weightColumn) + 1;
    qint64 records = 0;
    DelimitedReader body(text, start, file);
    while (body.nextRecord(fields, row)) {
        if (file.headerRow && row == headerRow)
            continue;
        if (++records > kMaxImportRows) {
            read.error = FileError{fullPath(path),
                                   QCoreApplication::translate("morvane::ImportFormats",
                                                               "行が多すぎます（上限 %L1 行）")
                                       .arg(kMaxImportRows)};
            return read;
        }
        if (!reading.goOn(records, body.position())) {
            read.cancelled = true;
            return read;
        }
        // Fewer fields than the columns need, or more filled fields than the header names (an
        // unquoted decimal comma, a line of another table): no record of this file.
        const bool extra = headerFields > 0 && qsizetype(fields.size()) > headerFields &&
                           std::any_of(fields.begin() + headerFields, fields.end(),
                                       [](const Field& f) { return f.end > f.begin; });
        if (fields.size() < needed || extra) {
            file.refused.push_back({row, ImportRefusal::NotARecord});
            continue;
        }
        const std::optional<ParsedDate> date = body.date(fields[dateColumn]);
        if (!date) {
            file.refused.push_back({row, ImportRefusal::NoDate});
            continue;
        }
        const std::optional<ParsedWeight> weight = body.weight(fields[weightColumn]);
        if (!weight) {
            file.refused.push_back({row, ImportRefusal::NotARecord});
            continue;
        }
        const std::optional<float> kg = kilograms(*weight, file.weightInPounds);
        if (!kg) {
            file.refused.push_back({row, ImportRefusal::WeightOutOfRange});
            continue;
        }
        reading.addDate(row, *date, *kg);
    }
    reading.finish();
    return read;
}

// Pondus keeps one person per file: <person format="0.7"><height>…</height><weight>
// <measurements><dataset><id>1</id><date>2008-01-01</date><weight>75.0</weight></dataset>…
// </measurements><plan>…</plan></weight></person>, weights always in kilograms, datasets in no
// particular order. Older files give the id as an attribute. The plan holds goals, no weights.
ImportRead readPondus(const QByteArray& text, ImportFile& file, const ImportProgress& progress)
{
    ImportRead read;
    file.format = ImportFormat::PondusXml;
    file.headerRow = true;
    file.dateColumn = 0;
    file.weightColumn = 1;
    file.columns = {{u"date"_s, {}}, {u"weight"_s, {}}};
    Reading reading{file, progress, text.size()};
    QXmlStreamReader xml(text);
    QStringList path;
    qint32 row = 0;
    QString dateText;
    QString weightText;
    qint64 records = 0;
    const QStringList datasetPath{u"person"_s, u"weight"_s, u"measurements"_s, u"dataset"_s};
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (path.isEmpty() && xml.name() != u"person") {
                read.error = importError(
                    file.path, QT_TRANSLATE_NOOP("morvane::ImportFormats",
                                                 "体重の記録のファイルではありません（Pondus "
                                                 "のデータファイルの XML ではありません）"));
                return read;
            }
            path.append(xml.name().toString());
            if (path == datasetPath) {
                row = qint32(xml.lineNumber());
                dateText.clear();
                weightText.clear();
            } else if (path.size() == 5 && path.first(4) == datasetPath) {
                const QString value =
                    xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
                if (path.last() == u"date")
                    dateText = value;
                else if (path.last() == u"weight")
                    weightText = value;
                path.removeLast(); // the end element was read with the text
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (path == datasetPath) {
                if (++records > kMaxImportRows) {
                    read.error =
                        FileError{fullPath(file.path),
                                  QCoreApplication::translate("morvane::ImportFormats",
                                                              "行が多すぎます（上限 %L1 行）")
                                      .arg(kMaxImportRows)};
                    return read;
                }
                if (!reading.goOn(records, xml.characterOffset())) {
                    read.cancelled = true;
                    return read;
                }
                if (records == 1)
                    file.columns = {{u"date"_s, dateText}, {u"weight"_s, weightText}};
                const std::optional<ParsedDate> date = readDate(asciiForm(dateText));
                const std::optional<ParsedWeight> weight = readWeight(asciiForm(weightText), false);
                const std::optional<float> kg =
                    weight ? kilograms(*weight, false) : std::optional<float>();
                if (!date)
                    file.refused.push_back({row, ImportRefusal::NoDate});
                else if (!weight)
                    file.refused.push_back({row, ImportRefusal::NotARecord});
                else if (!kg)
                    file.refused.push_back({row, ImportRefusal::WeightOutOfRange});
                else
                    reading.addDate(row, *date, *kg);
            }
            if (!path.isEmpty())
                path.removeLast();
        }
    }
    if (xml.hasError()) {
        read.error = FileError{
            fullPath(file.path),
            QCoreApplication::translate("morvane::ImportFormats", "XML として読めません（%1 行目）")
                .arg(xml.lineNumber())};
        return read;
    }
    reading.finish();
    return read;
}

} // namespace

QDate ImportRow::date(DayMonthOrder order) const
{
    if (!swappable)
        return QDate(year, first, second);
    switch (order) {
    case DayMonthOrder::MonthFirst:
        return QDate(year, first, second);
    case DayMonthOrder::DayFirst:
        return QDate(year, second, first);
    case DayMonthOrder::Undecided:
        break;
    }
    return first == second ? QDate(year, first, second) : QDate();
}

ImportRead readImportFile(const QString& path, const ImportOptions& options,
                          const ImportProgress& progress)
{
    ImportRead read;
    FileContent content = readWholeFile(path, kMaxImportBytes);
    if (content.missing) {
        read.error = systemError(path, ENOENT);
        return read;
    }
    if (content.error) {
        read.error = std::move(content.error);
        return read;
    }
    const QByteArrayView bytes = content.bytes;
    ImportFile file;
    file.path = path;
    qsizetype start = 0;
    if (bytes.startsWith(kUtf8Bom)) {
        file.encoding = TextEncoding::Utf8WithBom;
        start = kUtf8Bom.size();
    }
    const QByteArrayView text = bytes.sliced(start);
    const bool binary = text.contains('\0');
    const bool utf8 = !binary && isUtf8(text);
    if (!binary && !utf8 && file.encoding == TextEncoding::Utf8 && isShiftJis(text))
        file.encoding = TextEncoding::ShiftJis;
    else if (!utf8) {
        read.error =
            importError(path, QT_TRANSLATE_NOOP("morvane::ImportFormats",
                                                "テキストのファイルではありません（NUL 文字か、"
                                                "UTF-8 でも Shift_JIS でもない文字があります）"));
        return read;
    }

    qsizetype first = start;
    while (first < bytes.size() && QByteArrayView(" \t\r\n").contains(bytes[first]))
        ++first;
    if (progress && !progress(0, bytes.size())) {
        read.cancelled = true;
        return read;
    }
    ImportRead result = first < bytes.size() && bytes[first] == '<'
                            ? readPondus(content.bytes, file, progress)
                            : readDelimited(bytes, start, file, options, progress);
    if (result.error || result.cancelled)
        return result;
    if (progress && !progress(bytes.size(), bytes.size())) {
        result.cancelled = true;
        return result;
    }
    result.file = std::move(file);
    return result;
}

QString importFormatName(ImportFormat format)
{
    switch (format) {
    case ImportFormat::MorvaneCsv:
        return QCoreApplication::translate("morvane::ImportFormats", "Morvane の CSV");
    case ImportFormat::OpenScaleCsv:
        return QCoreApplication::translate("morvane::ImportFormats", "openScale の CSV");
    case ImportFormat::PondusXml:
        return QCoreApplication::translate("morvane::ImportFormats",
                                           "Pondus のデータファイル（XML）");
    case ImportFormat::DelimitedText:
        break;
    }
    return QCoreApplication::translate("morvane::ImportFormats", "区切り文字で区切ったテキスト");
}

QString textEncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return u"UTF-8"_s;
    case TextEncoding::Utf8WithBom:
        return QCoreApplication::translate("morvane::ImportFormats", "UTF-8（BOM 付き）");
    case TextEncoding::ShiftJis:
        break;
    }
    return u"Shift_JIS"_s;
}

QString importRefusalText(ImportRefusal reason)
{
    switch (reason) {
    case ImportRefusal::NoDate:
        return QCoreApplication::translate("morvane::ImportFormats",
                                           "日付がないか、日付として読めません");
    case ImportRefusal::FutureDate:
        return QCoreApplication::translate("morvane::ImportFormats", "日付が今日より後です");
    case ImportRefusal::WeightOutOfRange:
        return QCoreApplication::translate("morvane::ImportFormats",
                                           "体重が 1～1000 kg の範囲にありません");
    case ImportRefusal::NotARecord:
        return QCoreApplication::translate("morvane::ImportFormats",
                                           "体重の記録の行ではありません");
    case ImportRefusal::CannotHold:
        break;
    }
    return QCoreApplication::translate("morvane::ImportFormats",
                                       "次の記録と 1 年以上離れているため、履歴の行（年を持ち"
                                       "ません）ではこの日付を保てません");
}

} // namespace morvane
