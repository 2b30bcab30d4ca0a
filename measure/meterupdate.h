#pragma once

// The meter update as a value: everything the window's meter update decides, computed without
// a window. The window applies the result to its captions, colours and pointer.

#include "measure/bands.h"

#include <QString>

#include <optional>

class QLocale;

namespace morvane {

// The measurement variables of the window. A value read from a missing or unusable file stays
// unset until the user enters one; labels that need it stay empty.
struct Measurement {
    std::optional<float> height; // metres
    std::optional<float> weight; // kilograms
    std::optional<float> bmi;
    float meterBmi = 0.0f;
    qint16 holdWeight = 0;     // 1: the next meter update keeps weight and BMI
    std::optional<float> goal; // kilograms; the goal weight plays no part in the meter
};

struct MeterUpdate {
    Measurement after;             // holdWeight is always 0 here
    std::optional<QString> label4; // BMI: set only when the update derived it
    std::optional<QString> label5; // weight: set only when the update derived it
    QString lblTai;                // result weight, "0.0" (empty without a weight)
    QString lblHyojun0;            // standard weight, "0.0" (empty without a height)
    QString lblHyojun1;            // the same text
    QString lblHiman;              // obesity degree, "0.0" (empty when not computable)
    std::optional<Band> judgement; // none while the BMI is unknown: label blank
    float pointerLeftTwips = 0.0f; // Image1's left edge inside the BMI panel
};

// The update for the meter standing at `position`. With holdWeight 0 the BMI becomes the
// meter's value and the weight the one the height needs for it; with holdWeight 1 the weight
// and BMI are kept. The result panel is computed from the captions it writes, as shown.
MeterUpdate UpdateMeter(qint16 position, const Measurement& before, const QLocale& locale,
                        int shape3Left = 3030);

} // namespace morvane
