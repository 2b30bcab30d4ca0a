#pragma once

// The six judgement bands of the meter, from too thin to fat fortissimo: their edges, words and
// colours. The same table colours the band bar under the scale and the judgement label, and its
// edges judge the meter, bound the band weights and shade the trend chart.

#include "measure/arithmetic.h"

#include <QString>
#include <QtGlobal>

#include <array>

namespace morvane {

// A colour as 0xAARRGGBB, the layout of QRgb, so that the widgets can use it directly.
using Rgb = quint32;

// The BMI bounds between neighbouring bands, in scale order. The 26.4 edge is the
// single-precision value nearest 26.4, which is exactly what meter position 264 yields, so
// position 264 is judged fat forte. The other edges are exact.
inline constexpr std::array<float, 5> kBandEdges{17.0f, 20.0f, 24.0f, 26.4f, 30.0f};

struct Band {
    int number = 0;     // 1 ... 6, left to right on the scale
    QString caption;    // the judgement word
    Rgb background = 0; // classic sixteen-colour palette
    Rgb text = 0;
    float lower = 0.0f; // lowest meter BMI judged in this band: the edge below it, the meter's
                        // end for band 1
};

// The sixteen-colour palette entries the bands use.
namespace palette {
inline constexpr Rgb black = 0xff000000;        // 0
inline constexpr Rgb lightBlue = 0xff0000ff;    // 9
inline constexpr Rgb lightGreen = 0xff00ff00;   // 10
inline constexpr Rgb lightCyan = 0xff00ffff;    // 11
inline constexpr Rgb lightRed = 0xffff0000;     // 12
inline constexpr Rgb lightMagenta = 0xffff00ff; // 13
inline constexpr Rgb yellow = 0xffffff00;       // 14
inline constexpr Rgb brightWhite = 0xffffffff;  // 15
} // namespace palette

// The bands in scale order.
const std::array<Band, 6>& bands();

// The band for a meter BMI (the clamped, 0.1-step value the meter shows; never the raw BMI).
const Band& bandFor(float meterBmi);

} // namespace morvane
