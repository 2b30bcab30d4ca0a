#include "measure/meterreading.h"

#include "measure/arithmetic.h"

namespace morvane {

MeterReading readMeter(qint16 position, const Measurement& before)
{
    MeterReading r;
    Measurement& m = r.after;
    m = before;

    m.meterBmi = meterValue(position);
    if (!before.keepsWeight) {
        m.bmi = m.meterBmi;
        m.weight = m.height ? std::optional(weightForBmi(*m.height, *m.bmi)) : std::nullopt;
        r.derived = true;
    }
    m.keepsWeight = false;

    if (m.height)
        r.standardWeight = standardWeight(*m.height);
    if (m.weight && r.standardWeight)
        r.obesityDegree = obesityDegree(*m.weight, *r.standardWeight);
    if (m.bmi)
        r.band = bandFor(m.meterBmi);
    return r;
}

} // namespace morvane
