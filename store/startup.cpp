#include "store/startup.h"

#include "measure/arithmetic.h"
#include "measure/limits.h"
#include "measure/numbertext.h"
#include "store/goalfile.h"

namespace morvane {
namespace {

// A stored value is used only when it is a number the arithmetic can work with; anything else
// (no file, no number, 0, a height typed in centimetres) is left for the user to enter.
std::optional<float> usableValue(const NumberRead& read, bool (*accepted)(double))
{
    if (read.status != NumberRead::Status::Ok || !accepted(read.value))
        return std::nullopt;
    return read.value;
}

StartupResult failed(const std::optional<FileError>& error)
{
    StartupResult result;
    result.error = error;
    return result;
}

} // namespace

StartupResult loadStartup(const DataFiles& files, const QLocale& locale)
{
    // History, height, weight, goal: the order in which the window reads them, so that of several
    // unreadable files the first one is the one reported.
    HistoryRead history = files.readHistory();
    if (history.error)
        return failed(history.error);
    const NumberRead height = files.readHeight();
    if (height.status == NumberRead::Status::Error)
        return failed(height.error);
    const NumberRead weight = files.readWeight();
    if (weight.status == NumberRead::Status::Error)
        return failed(weight.error);
    const NumberRead goal = readGoal(files);
    if (goal.status == NumberRead::Status::Error)
        return failed(goal.error);

    Startup s;
    s.history = std::move(history.lines);
    Measurement& m = s.measurement;
    m.height = usableValue(height, [](double v) { return isAcceptedHeight(v); });
    m.weight = usableValue(weight, [](double v) { return isAcceptedWeight(v); });
    m.holdWeight = 1;
    s.heightUnset = !m.height;
    s.weightUnset = !m.weight;
    s.goal = usableGoal(goal);

    if (m.height)
        s.label2 = generalNumberText(*m.height, locale);
    if (m.weight)
        s.label5 = generalNumberText(*m.weight, locale);
    if (m.height && m.weight) {
        m.bmi = CalcBmi(*m.weight, *m.height);
        s.label4 = oneDecimalText(*m.bmi, locale);
        m.meterBmi = clampToMeter(*m.bmi);
        s.position = meterPosition(m.meterBmi);
    } else {
        // No BMI: the meter stays where the scroll bar starts and shows that value.
        s.position = kMeterInitialPosition;
        m.meterBmi = meterValue(kMeterInitialPosition);
    }
    s.firstUpdate = UpdateMeter(s.position, m, locale);

    StartupResult result;
    result.startup = std::move(s);
    return result;
}

} // namespace morvane
