#pragma once

// The goal weight seen from the current weight, and the check that holds back a weight that is
// probably mistyped (685 for 68.5) before it reaches the files.

#include <QString>

#include <optional>

class QLocale;

namespace morvane {

// "目標 62.0 kg まで −6.5 kg": the goal with one decimal and the signed difference goal − weight,
// "+" when the weight must rise to reach it and "−" (U+2212) when it must fall; a difference that
// rounds to 0.0 carries no sign. Without a weight, the goal alone ("目標 62.0 kg").
QString goalText(float goal, std::optional<float> weight, const QLocale& locale);

// A new weight is questioned when it differs from the stored one by more than this percentage
// of the stored weight: far more than a day's swing of water and meals, far less than a slipped
// decimal point.
inline constexpr int kLargeChangePercent = 10;

// True when `entered` lies more than kLargeChangePercent of `stored` away from `stored`, judged
// on the single-precision values as they are stored; exactly 10 % is not more.
bool isLargeChange(float stored, float entered);

} // namespace morvane
