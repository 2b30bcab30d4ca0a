#include "measure/arithmetic.h"

#include "measure/numbertext.h"

#include <QString>

#include <cmath>

namespace morvane {

double heightSquared(float height)
{
    const double h = height;
    return h * h;
}

float bodyMassIndex(float weight, float height)
{
    return static_cast<float>(static_cast<double>(weight) / heightSquared(height));
}

float clampToMeter(float bmi)
{
    if (std::isnan(bmi))
        return kMeterBmiMin;
    float meterBmi = bmi;
    if (kMeterBmiMax < bmi)
        meterBmi = kMeterBmiMax;
    if (kMeterBmiMin > bmi)
        meterBmi = kMeterBmiMin;
    return meterBmi;
}

qint16 meterPosition(float meterBmi)
{
    // A float times 10 is exact in double, so this rounds the true product.
    const double product = static_cast<double>(meterBmi) * 10.0;
    if (std::isnan(product) || product <= kMeterMin)
        return kMeterMin;
    if (product >= kMeterMax)
        return kMeterMax;
    return static_cast<qint16>(std::nearbyint(product));
}

float meterValue(qint16 position)
{
    return static_cast<float>(static_cast<double>(position) / 10.0);
}

float weightForBmi(float height, float bmi)
{
    return static_cast<float>(heightSquared(height) * static_cast<double>(bmi));
}

double standardWeight(float height)
{
    return heightSquared(height) * kStandardBmi;
}

namespace {

// The value as its one-decimal text reads back: rounded to 0.1 exactly as it is shown.
double roundedAsShown(double value)
{
    return parseLeadingNumber(QString::number(value, 'f', 1)).value;
}

} // namespace

std::optional<double> obesityDegree(double weight, double standardWeight)
{
    const double shownWeight = roundedAsShown(weight);
    const double shownStandard = roundedAsShown(standardWeight);
    if (shownStandard == 0.0)
        return std::nullopt;
    return (shownWeight - shownStandard) / shownStandard * 100.0;
}

float obesityRatio(float weight, float height)
{
    // The standard weight as the panel shows it, then stored in single precision.
    const auto s = static_cast<float>(roundedAsShown(standardWeight(height)));
    if (s == 0.0f)
        return std::nanf("");
    return static_cast<float>((static_cast<double>(weight) - s) / s);
}

} // namespace morvane
