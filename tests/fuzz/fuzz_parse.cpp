// Feeds arbitrary text to the leading-number parse that reads every typed value and caption, and
// checks what it promises for any text: no number means 0, never NaN, the same answer every
// time, blanks anywhere make no difference, and the value is the correctly rounded value of the
// number the text spells.
//
// The input is UTF-8, so that the seed corpus reads as the texts users type. An input that
// starts with the UTF-16LE byte-order mark FF FE is taken as raw UTF-16 code units instead, to
// reach lone surrogates and any other code unit.

#include "measure/numbertext.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using morvane::ParsedNumber;
using morvane::parseLeadingNumber;

QString textFrom(const std::uint8_t* data, std::size_t size)
{
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        QString text;
        for (std::size_t i = 2; i + 1 < size; i += 2)
            text.append(QChar(char16_t(data[i] | (data[i + 1] << 8))));
        return text;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

bool isIgnoredBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// A broken promise stops the run with the input saved as a crash.
void check(bool holds, const char* promise)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", promise);
        std::abort();
    }
}

bool sameResult(const ParsedNumber& a, const ParsedNumber& b)
{
    // Bit for bit, so that -0 and 0 count as different answers.
    return a.found == b.found && std::memcmp(&a.value, &b.value, sizeof a.value) == 0;
}

// The number a text spells, worked out another way: drop every ignored blank first, match
// [sign] digits-with-at-most-one-point [e [sign] digits] by hand, and let strtod round it. The
// fuzzer never calls setlocale, so strtod reads "." as the decimal point.
ParsedNumber reference(const QString& text)
{
    std::string s;
    for (const QChar c : text) {
        if (!isIgnoredBlank(c))
            s.push_back(c.unicode() < 0x80 ? char(c.unicode()) : '\x7f');
    }
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number.push_back(s[i++]);
    bool digit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') {
            digit = true;
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        number.push_back(s[i]);
    }
    if (!digit)
        return {};
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent.push_back(s[j++]);
        const std::size_t digitsFrom = j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9')
            exponent.push_back(s[j++]);
        if (j > digitsFrom)
            number += exponent;
    }
    return {std::strtod(number.c_str(), nullptr), true};
}

// The text with a blank, tab or line feed put in before every character chosen by the mask (bit
// i for character i, repeating) and at both ends.
QString withBlanks(const QString& text, std::uint32_t mask)
{
    static constexpr char16_t blanks[] = {u' ', u'\t', u'\n'};
    QString out{QChar(blanks[mask % 3])};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (mask & (1u << (i % 32)))
            out.append(QChar(blanks[i % 3]));
        out.append(text[i]);
    }
    out.append(QChar(blanks[(mask >> 3) % 3]));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = textFrom(data, size);
    const ParsedNumber n = parseLeadingNumber(text);

    check(n.found || n.value == 0.0, "no number gives 0");
    check(!std::isnan(n.value), "never NaN");
    check(sameResult(parseLeadingNumber(text), n), "the same text gives the same result");

    // A blank between every two characters, and a pattern drawn from the text's own bytes.
    std::uint32_t mask = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        mask = (mask ^ data[i]) * 16777619u;
    for (const std::uint32_t m : {0xFFFFFFFFu, mask}) {
        check(sameResult(parseLeadingNumber(withBlanks(text, m)), n),
              "blanks between characters change nothing");
    }

    check(sameResult(reference(text), n), "the correctly rounded value of the number spelt");
    return 0;
}
