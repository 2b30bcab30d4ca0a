#pragma once

// The arithmetic of the measurement model. Values are kept in single precision, as the window
// stores them; every product and quotient is formed in double precision and rounded back to
// single once, when it is stored. Keeping that order is what makes the displayed figures
// (24.1, 62.5, 9.6 ...) come out exactly as the user expects from the worked examples.

#include <QtGlobal>

#include <optional>

namespace morvane {

// A meter position is ten times the BMI shown: one step is 0.1.
inline constexpr int kMeterPositionsPerBmi = 10;

// The meter's ends, as meter positions.
inline constexpr qint16 kMeterMin = 154;
inline constexpr qint16 kMeterMax = 316;

// The meter's ends as single-precision BMI values. They are compared with the BMI itself,
// never with a partly clamped value.
inline constexpr float kMeterBmiMin = 15.4f;
inline constexpr float kMeterBmiMax = 31.6f;

// BMI the standard weight is defined by.
inline constexpr double kStandardBmi = 22.0;

// Height squared, in double precision.
double heightSquared(float height);

// Weight / Height², stored into single precision. A zero height gives an infinite or NaN
// result; callers keep such heights out (the entry routines reject them).
float bodyMassIndex(float weight, float height);

// Bmi clamped to kMeterBmiMin ... kMeterBmiMax. A value exactly on a bound keeps its own value;
// NaN is sent to the lower end so that the meter always has a position.
float clampToMeter(float bmi);

// The meter position of a clamped BMI: the exact product meterBmi * 10 rounded to nearest,
// halves to even (24.25 -> 242, 24.75 -> 248). Always within kMeterMin ... kMeterMax.
qint16 meterPosition(float meterBmi);

// The BMI a meter position shows: position / 10 in double, stored as single.
float meterValue(qint16 position);

// The weight the given height needs for the given BMI: Height² × Bmi, stored as single.
float weightForBmi(float height, float bmi);

// The standard weight (the weight at BMI 22) in double precision.
double standardWeight(float height);

// The obesity degree, in percent: (weight - s) / s * 100 with the weight and the standard weight
// s each rounded to 0.1 as the program shows them (through their one-decimal text), so that it
// agrees with the figures the user sees. nullopt when s rounds to zero.
std::optional<double> obesityDegree(double weight, double standardWeight);

// The obesity ratio written to the history: the standard weight rounded to 0.1 (through its
// one-decimal text), then (weight - s) / s with the unrounded weight, stored as single.
float obesityRatio(float weight, float height);

} // namespace morvane
