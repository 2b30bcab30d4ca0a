#pragma once

// The judgement bands turned into weights at the stored height: which weights each band spans,
// and how far the current weight lies from the neighbouring bands. The texts are what the band
// rectangles and the meter show as tooltips and what screen readers read as their description.

#include "measure/bands.h"

#include <QString>

#include <array>
#include <optional>

class QLocale;

namespace morvane {

struct WeightRange {
    double lower = 0.0; // kilograms
    double upper = 0.0;
};

// The weights band `number` (1 ... 6) spans at the height: Height² × bound, in double. The outer
// bands end where the meter ends (15.4 and 31.6): that is as far as the band bar reaches.
WeightRange bandWeightRange(int number, float height);

// A neighbouring band edge seen from the current weight.
struct EdgeDistance {
    int band = 0;           // the band beyond the edge (1 ... 6)
    double kilograms = 0.0; // weight to gain (> 0) or lose (<= 0) to reach the edge
};

struct EdgeDistances {
    std::optional<EdgeDistance> up;   // none at or above 30: no band lies above
    std::optional<EdgeDistance> down; // none below 17: no band lies below
};

// From the BMI weight / height² (single precision, as the window keeps it): the nearest edge
// above it and the nearest edge at or below it. A weight exactly on an edge is in the upper band
// already, so the edge below is 0 kg away: any loss crosses it.
EdgeDistances edgeDistances(float height, float weight);

// "スタンダード  56.8〜68.1 kg": the band's word, two blanks, both ends with one decimal in the
// locale's form, joined by a wave dash (U+301C).
QString bandRangeText(int number, float height, const QLocale& locale);

// One line per existing neighbour: "上の区分（でぶフォルテ）まで  +6.5 kg" and
// "下の区分（スタンダード）まで  −0.4 kg". The sign says the direction (U+2212 for losing), also
// when the amount rounds to 0.0.
QString edgeDistanceText(float height, float weight, const QLocale& locale);

// The tooltip of a band rectangle: its range at the height and the distances from the current
// weight. Without a height, the band's word and a note that the height is needed; without a
// weight, the range alone. Lines are separated by "\n".
QString bandTooltip(int number, std::optional<float> height, std::optional<float> weight,
                    const QLocale& locale);

// The tooltip of the meter: a heading with the height, all six ranges and the distances from
// the current weight; the same rules for a missing height or weight. With a goal weight, its
// line (goalText) comes last, also without a height.
QString meterTooltip(std::optional<float> height, std::optional<float> weight,
                     const QLocale& locale, std::optional<float> goal = std::nullopt);

} // namespace morvane
