#pragma once

// One line of the weight history and its one written form, "05/11  68.5Kg  24.1  9.6%": the
// date it was recorded on (month and day; a line carries no year), the weight, the BMI and the
// obesity degree. The form is the history file's contract: lines are written with the user's
// date and decimal separators, always with ASCII digits, month before day, and "Kg".

#include <QString>

class QDate;
class QLocale;

namespace morvane {

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
};

} // namespace morvane
