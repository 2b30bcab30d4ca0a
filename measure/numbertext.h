#pragma once

// How numbers are read from text and written as text: the leading-number parse used for every
// typed value and caption, the general number text used for heights and entered weights, the
// one-decimal "0.0" form of the result panel, and the locale's date separator.

#include <QString>
#include <QStringView>

class QLocale;

namespace morvane {

struct ParsedNumber {
    double value = 0.0; // 0 when no number was found
    bool found = false; // a mantissa digit was read
};

// Reads the number at the start of a text. Blanks, tabs and line feeds anywhere in the text are
// ignored; then an optional sign, digits, at most one "." as decimal point whatever the locale,
// and an optional exponent (e or E, optional sign, digits) are taken; reading stops at the
// first other character ("68.5kg" -> 68.5, "1.2.3" -> 1.2). A text with no mantissa digit gives
// 0 with found == false. Values beyond double's range give +-infinity or 0.
ParsedNumber parseLeadingNumber(QStringView text);

// Number texts are written with ASCII digits and an ASCII minus in every locale; only the
// decimal separator is the locale's ("68,5" in Germany, "68٫5" in Iran).

// The value rounded to seven significant digits, without trailing zeros or a trailing decimal
// separator, with the locale's decimal separator and no group separators (1.685, 68.5, 70,
// 445060). Very large or small values take an exponent (1.234568e+07).
QString generalNumberText(float value, const QLocale& locale);

// The "0.0" pattern: at least one integer digit and exactly one decimal, rounded, with the
// locale's decimal separator and no group separators; negative values keep their sign.
QString oneDecimalText(double value, const QLocale& locale);

// The "0.00" pattern, otherwise like oneDecimalText: for rates, whose hundredths matter.
QString twoDecimalText(double value, const QLocale& locale);

// The locale's date separator ("/" in Japan, "." in Germany), taken from its short date format
// and never an invisible direction mark; "/" where that format spells the month out.
QString dateSeparator(const QLocale& locale);

} // namespace morvane
