#include "measure/goal.h"

#include "measure/numbertext.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>

namespace morvane {

QString goalText(float goal, std::optional<float> weight, const QLocale& locale)
{
    const QString goalKg = oneDecimalText(goal, locale);
    if (!weight)
        return QCoreApplication::translate("morvane::Goal", "目標 %1 kg").arg(goalKg);
    const double difference = static_cast<double>(goal) - static_cast<double>(*weight);
    const QString amount = oneDecimalText(std::abs(difference), locale);
    // The sign is decided on the amount as shown, so that "+0.0" or "−0.0" never appear.
    QString signedAmount = amount;
    if (amount != oneDecimalText(0.0, locale))
        signedAmount.prepend(difference > 0 ? u'+' : u'\u2212');
    return QCoreApplication::translate("morvane::Goal", "目標 %1 kg まで %2 kg")
        .arg(goalKg, signedAmount);
}

bool isLargeChange(float stored, float entered)
{
    // |entered − stored| / stored > 10 %, multiplied out so that a change of exactly 10 % of a
    // whole-kilogram weight (60 -> 66) is compared without a rounded 0.1 in between.
    const double change = std::abs(static_cast<double>(entered) - static_cast<double>(stored));
    return change * 100.0 > std::abs(static_cast<double>(stored)) * kLargeChangePercent;
}

} // namespace morvane
