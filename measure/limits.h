#pragma once

// The values the program accepts for a height and a weight, typed or read from a file. They keep
// the arithmetic meaningful: below about 0.05 m the standard weight rounds to 0.0 and the
// obesity degree divides by zero, and a height typed in centimetres (170) must not be taken
// for metres.

namespace morvane {

inline constexpr double kMinHeight = 0.3;    // metres
inline constexpr double kMaxHeight = 3.0;    // metres
inline constexpr double kMinWeight = 1.0;    // kilograms; below it a single-precision weight
                                             // can round to 0 or to a denormal
inline constexpr double kMaxWeight = 1000.0; // kilograms

constexpr bool isAcceptedHeight(double metres)
{
    return metres >= kMinHeight && metres <= kMaxHeight; // false for NaN
}

constexpr bool isAcceptedWeight(double kilograms)
{
    return kilograms >= kMinWeight && kilograms <= kMaxWeight; // false for NaN
}

} // namespace morvane
