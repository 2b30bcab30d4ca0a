#include "measure/numbertext.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

bool isIgnoredBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Number text with ASCII digits, no group separators and the locale's decimal separator: the
// form of every number the program writes, on screen and in its files alike. A locale's own
// digits (Persian, Arabic) would make lines that no reader of the file, nor the program's own
// parse, takes for numbers; only the separator is the locale's.
QString withDecimalSeparator(QString text, const QLocale& locale)
{
    const QString point = locale.decimalPoint();
    if (point != u".")
        text.replace(u'.', point);
    return text;
}

// Converts the cleaned ASCII text [sign] digits [. digits] [e [sign] digits]. from_chars does
// not depend on the C locale, which Qt sets from the environment.
double toDouble(const std::string& text, bool negative, const std::string& mantissa,
                long long exponent)
{
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc())
        return value;
    // Out of range, so the mantissa has a nonzero digit. Overflow and underflow lie hundreds of
    // decades apart: the decade of the leading digit, plus the exponent, tells them apart. (The
    // mantissa alone may be out of range too, so it is not converted on its own.)
    const auto point = static_cast<long long>(std::min(mantissa.find('.'), mantissa.size()));
    const auto first = static_cast<long long>(mantissa.find_first_of("123456789"));
    const long long decade = first < point ? point - first - 1 : point - first;
    const double result = decade + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -result : result;
}

} // namespace

ParsedNumber parseLeadingNumber(QStringView text)
{
    std::string mantissa;
    std::string exponentText;
    bool negative = false;
    bool digitSeen = false;
    bool pointSeen = false;
    qsizetype i = 0;
    const qsizetype n = text.size();

    auto skipBlanks = [&] {
        while (i < n && isIgnoredBlank(text[i]))
            ++i;
    };

    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    for (; (void)skipBlanks(), i < n; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            mantissa.push_back(static_cast<char>(c.unicode()));
            digitSeen = true;
        } else if (c == u'.' && !pointSeen) {
            mantissa.push_back('.');
            pointSeen = true;
        } else {
            break;
        }
    }
    if (!digitSeen)
        return {};

    long long exponent = 0;
    skipBlanks();
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        auto skip = [&] {
            while (j < n && isIgnoredBlank(text[j]))
                ++j;
        };
        skip();
        bool expNegative = false;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            expNegative = text[j] == u'-';
            ++j;
        }
        bool expDigit = false;
        for (; (void)skip(), j < n && isDigit(text[j]); ++j) {
            expDigit = true;
            // Saturate beyond any text's length, so that a long mantissa cannot outweigh it.
            if (exponent < 100'000'000'000'000'000)
                exponent = exponent * 10 + (text[j].unicode() - u'0');
            exponentText.push_back(static_cast<char>(text[j].unicode()));
        }
        if (expDigit) {
            if (expNegative)
                exponent = -exponent;
        } else {
            exponent = 0;
            exponentText.clear();
        }
    }

    std::string full;
    if (negative)
        full.push_back('-');
    full += mantissa;
    if (!exponentText.empty()) {
        full += exponent < 0 ? "e-" : "e";
        full += exponentText;
    }
    return {toDouble(full, negative, mantissa, exponent), true};
}

QString generalNumberText(float value, const QLocale& locale)
{
    QString text = QString::number(static_cast<double>(value), 'g', 7);
    // The exponent as the program has always shown it ("1.234568E+07"); records, written in the
    // C locale, keep C's "e".
    if (locale.language() != QLocale::C)
        text.replace(u'e', u'E');
    return withDecimalSeparator(std::move(text), locale);
}

QString oneDecimalText(double value, const QLocale& locale)
{
    return withDecimalSeparator(QString::number(value, 'f', 1), locale);
}

QString twoDecimalText(double value, const QLocale& locale)
{
    return withDecimalSeparator(QString::number(value, 'f', 2), locale);
}

QString dateSeparator(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        // Direction marks (U+200F in Arabic formats) are invisible: not the separator.
        if (c.category() == QChar::Other_Format)
            continue;
        // A blank separates a spelled-out month ("7 Dec 2026"), not numbers: use "/" there.
        if (!quoted && !c.isLetter())
            return c.isSpace() ? u"/"_s : QString(c);
    }
    return u"/"_s;
}

} // namespace morvane
