#pragma once

// A number the user types into an input box: how the typed text is checked, and what storing a
// height or weight does to the measurement. Computed without a window; the window asks, shows
// the message that goes with an error, writes the file and applies the result.

#include "measure/limits.h"
#include "measure/meterreading.h"

#include <QString>

#include <optional>

namespace morvane {

// Why a typed text is refused.
enum class TypedError {
    NoNumber,     // no digit where the number should start
    DecimalComma, // "68,5": the comma would silently cut the number to 68
    OutOfRange,   // outside the accepted range as stored (0, 1e-50, 1e999, 170 as metres)
};

struct TypedValue {
    float value = 0.0f;              // the number as it will be stored; 0 with an error
    std::optional<TypedError> error; // set when the text is refused
};

// Reads a typed number: full-width digits and points from a Japanese input method read as
// their ASCII forms, text after the number is ignored ("68.5Kg"), and the value must lie in
// `range` once rounded to single precision.
TypedValue checkTypedValue(const QString& typed, const AcceptedRange& range);

// What the meter does once a typed value is stored.
enum class MeterAfterEntry {
    Stays,         // the value plays no part in the BMI: no meter update
    KeepsWeight,   // a weight: the meter moves to the new BMI and shows the typed weight
    DerivesWeight, // a height: the meter moves to the new BMI and shows the weight its rounded
                   // position stands for
};

struct AfterEntry {
    Measurement measurement;
    std::optional<qint16> position; // where the meter moves; unset: one update where it stands
};

// The measurement once a typed height or weight has been stored in `m`. With both known the
// BMI is computed and the meter moves to it; with either missing nothing is derived, and the
// update where the meter stands keeps what is known.
AfterEntry afterEntry(Measurement m, MeterAfterEntry meter);

} // namespace morvane
