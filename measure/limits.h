#pragma once

// The values the program accepts for a height and a weight, typed or read from a file. They keep
// the arithmetic meaningful: below about 0.05 m the standard weight rounds to 0.0 and the
// obesity degree divides by zero, a height typed in centimetres (170) must not be taken for
// metres, and a weight under 1 kg is a slip of the keyboard, not a person (1e-50 would even be
// stored as 0 and divide the obesity degree into -100 %).

namespace morvane {

// The values accepted for a number, inclusive at both ends. A value is judged as it is stored,
// in single precision, so the check agrees with what the file and the arithmetic will hold.
struct AcceptedRange {
    float min = 0.0f;
    float max = 0.0f;

    constexpr bool contains(float value) const
    {
        return value >= min && value <= max; // false for NaN
    }
};

inline constexpr AcceptedRange kHeightRange{0.3f, 3.0f};    // metres
inline constexpr AcceptedRange kWeightRange{1.0f, 1000.0f}; // kilograms

} // namespace morvane
