#include "measure/arithmetic.h"

#include "measure/numbertext.h"

#include <QLocale>
#include <QString>

#include <cmath>

namespace morvane {

double heightSquared(float height)
{
    const double h = height;
    return h * h;
}

float CalcBmi(float weight, float height)
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

double obesityDegree(const QString& weightCaption, const QString& standardCaption0,
                     const QString& standardCaption1, const QLocale& locale)
{
    const double weight = parseDisplayedNumber(weightCaption, locale);
    const double standard0 = parseDisplayedNumber(standardCaption0, locale);
    const double standard1 = parseDisplayedNumber(standardCaption1, locale);
    if (standard1 == 0.0)
        return std::nan("");
    return (weight - standard0) / standard1 * 100.0;
}

float obesityRatio(float weight, float height)
{
    // Rounded through the one-decimal text, exactly as the panel shows it; the text is written
    // with "." so that the round trip does not depend on the user's locale.
    const QString text = oneDecimalText(standardWeight(height), QLocale::c());
    const auto s = static_cast<float>(parseLeadingNumber(text).value);
    if (s == 0.0f)
        return std::nanf("");
    return static_cast<float>((static_cast<double>(weight) - s) / s);
}

double scaleX(double bmi, int shape3Left)
{
    return shape3Left + 20 + (bmi - 24.0) * kTwipsPerBmi;
}

float pointerLeft(float meterBmi, int shape3Left)
{
    const double left =
        (shape3Left + 20.0) - ((24.0 - static_cast<double>(meterBmi)) * kTwipsPerBmi + 240.0);
    return static_cast<float>(left);
}

} // namespace morvane
