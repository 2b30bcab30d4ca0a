#pragma once

// One line of the weight history and its one written form, "05/11  68.5Kg  24.1  9.6%": the
// date it was recorded on (month and day; a line carries no year), the weight, the BMI and the
// obesity degree. The form is the history file's contract: lines are written with the user's
// date and decimal separators, always with ASCII digits, month before day, and "Kg".

#include <QByteArrayView>
#include <QString>

#include <optional>

class QDate;
class QLocale;

namespace morvane {

// Longer than any line the program writes (about 30 characters) by far; longer lines are not
// read as history lines, whatever they hold.
inline constexpr qsizetype kMaxHistoryLineLength = 200;

struct HistoryEntry {
    int month = 0;
    int day = 0;
    double weight = 0.0;         // kilograms, unrounded
    double bmi = 0.0;            // unclamped
    double obesityPercent = 0.0; // the history's obesity ratio, in percent

    // The entry for a weight recorded on `date`, from the values as the program keeps them: the
    // unrounded weight and BMI, and the obesity ratio (a fraction) of obesityRatio().
    static HistoryEntry recorded(const QDate& date, float weight, float bmi, float ratio);

    // The line without its line end: "mm/dd  " with the locale's date separator, the weight with
    // "0.0Kg  ", the BMI with "0.0  " and the obesity degree with "0.0%".
    QString line(const QLocale& locale) const;

    // Reads a line as the file holds it, in UTF-8: "mm/dd  68.5Kg  24.1  9.6%" written in any
    // locale. The date separator may be "/", "." or "-", the decimal separator "." or "," (or
    // the Arabic "٫"); month and day have one or two digits; the blanks between the fields may be
    // any number of blanks or tabs, and blanks around the line are ignored. Lines written before
    // numbers were always written with ASCII digits are read too: digits of other scripts count
    // as digits, direction marks are ignored, and U+2212 is a minus. nullopt for anything else,
    // including a month/day that exists in no year (13/01, 02/30); 02/29 is accepted here.
    static std::optional<HistoryEntry> read(QByteArrayView line);
};

} // namespace morvane
