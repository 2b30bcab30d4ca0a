#include "measure/bandweights.h"

#include "measure/arithmetic.h"
#include "measure/goal.h"
#include "measure/numbertext.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <cmath>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

const Band& bandAt(int number)
{
    Q_ASSERT(number >= 1 && number <= 6);
    return bands()[static_cast<std::size_t>(number - 1)];
}

// The BMI each band ends at: the next band's lower bound, the meter's end for the last band.
float upperBound(int number)
{
    return number < 6 ? bandAt(number + 1).lower : kMeterBmiMax;
}

QString kilograms(double value, const QLocale& locale)
{
    return oneDecimalText(value, locale) + u" kg"_s;
}

QString heightNeeded()
{
    return QCoreApplication::translate("morvane::BandWeights",
                                       "体重の範囲を出すには、身長の登録が必要です");
}

} // namespace

WeightRange bandWeightRange(int number, float height)
{
    const double squared = heightSquared(height);
    return {squared * static_cast<double>(bandAt(number).lower),
            squared * static_cast<double>(upperBound(number))};
}

EdgeDistances edgeDistances(float height, float weight)
{
    const double squared = heightSquared(height);
    const float bmi = bodyMassIndex(weight, height);
    EdgeDistances distances;
    // Edge k separates band k + 1 (below it) from band k + 2 (from it upwards).
    for (std::size_t k = 0; k < kBandEdges.size(); ++k) {
        const double edgeWeight = squared * static_cast<double>(kBandEdges[k]);
        const double toEdge = edgeWeight - static_cast<double>(weight);
        if (kBandEdges[k] > bmi) {
            distances.up = EdgeDistance{static_cast<int>(k) + 2, toEdge};
            break;
        }
        distances.down = EdgeDistance{static_cast<int>(k) + 1, toEdge};
    }
    return distances;
}

QString bandRangeText(int number, float height, const QLocale& locale)
{
    const WeightRange range = bandWeightRange(number, height);
    return QCoreApplication::translate("morvane::BandWeights", "%1  %2〜%3 kg")
        .arg(bandAt(number).caption, oneDecimalText(range.lower, locale),
             oneDecimalText(range.upper, locale));
}

QString edgeDistanceText(float height, float weight, const QLocale& locale)
{
    // The amount is shown without its own sign: rounding may turn a tiny loss into "0.0", and
    // the direction must still read right.
    const EdgeDistances distances = edgeDistances(height, weight);
    QStringList lines;
    if (distances.up) {
        lines.append(QCoreApplication::translate("morvane::BandWeights", "上の区分（%1）まで  +")
                         .arg(bandAt(distances.up->band).caption) +
                     kilograms(std::abs(distances.up->kilograms), locale));
    }
    if (distances.down) {
        lines.append(QCoreApplication::translate("morvane::BandWeights", "下の区分（%1）まで  −")
                         .arg(bandAt(distances.down->band).caption) +
                     kilograms(std::abs(distances.down->kilograms), locale));
    }
    return lines.join(u'\n');
}

QString bandTooltip(int number, std::optional<float> height, std::optional<float> weight,
                    const QLocale& locale)
{
    if (!height)
        return bandAt(number).caption + u'\n' + heightNeeded();
    QString text = bandRangeText(number, *height, locale);
    if (weight)
        text += u'\n' + edgeDistanceText(*height, *weight, locale);
    return text;
}

QString meterTooltip(std::optional<float> height, std::optional<float> weight,
                     const QLocale& locale, std::optional<float> goal)
{
    QStringList lines;
    if (!height) {
        lines.append(heightNeeded());
    } else {
        lines.append(
            QCoreApplication::translate("morvane::BandWeights", "身長 %1 m での各区分の体重")
                .arg(generalNumberText(*height, locale)));
        for (const Band& band : bands())
            lines.append(bandRangeText(band.number, *height, locale));
        if (weight)
            lines.append(edgeDistanceText(*height, *weight, locale));
    }
    if (goal)
        lines.append(goalText(*goal, weight, locale));
    return lines.join(u'\n');
}

} // namespace morvane
