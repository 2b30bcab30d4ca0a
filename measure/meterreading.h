#pragma once

// The meter read as a value: where the needle stands and what that says about the stored height
// and weight, computed without a window. The window shows it: its texts and pixels are the
// window's own.

#include "measure/bands.h"

#include <optional>

namespace morvane {

// What the program knows of the person and where the meter stands. A value read from a missing
// or unusable file stays unset until the user enters one; what needs it stays blank.
struct Measurement {
    std::optional<float> height; // metres
    std::optional<float> weight; // kilograms
    std::optional<float> bmi;
    float meterBmi = 0.0f;     // the BMI the meter and its needle show, in its 0.1 steps
    bool keepsWeight = false;  // the next reading keeps weight and BMI
    std::optional<float> goal; // kilograms; the goal weight plays no part in the meter
};

struct MeterReading {
    Measurement after; // keepsWeight is always false here
    // The weight and BMI were derived from where the meter stands (a movement of the meter, or a
    // height entry), rather than kept: they are then shown with one decimal.
    bool derived = false;
    std::optional<double> standardWeight; // kilograms at BMI 22; none without a height
    // Percent over (or under) the standard weight, from the weight and the standard weight each
    // rounded to 0.1 kg as they are shown, so that the figures on show agree; none without both,
    // or when the standard weight rounds to 0.
    std::optional<double> obesityDegree;
    std::optional<Band> band; // the judgement; none while the BMI is unknown
};

// The reading for the meter standing at `position`. Without keepsWeight the BMI becomes the
// meter's value and the weight the one the height needs for it; with keepsWeight the weight
// and BMI are kept.
MeterReading readMeter(qint16 position, const Measurement& before);

} // namespace morvane
