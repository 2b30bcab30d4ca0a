#include "measure/meterupdate.h"

#include "measure/arithmetic.h"
#include "measure/numbertext.h"

#include <cmath>

namespace morvane {

MeterUpdate UpdateMeter(qint16 position, const Measurement& before, const QLocale& locale,
                        int shape3Left)
{
    MeterUpdate u;
    Measurement& m = u.after;
    m = before;

    if (before.holdWeight == 0) {
        m.bmi = meterValue(position);
        m.weight = m.height ? std::optional(weightForBmi(*m.height, *m.bmi)) : std::nullopt;
        u.label4 = oneDecimalText(*m.bmi, locale);
        u.label5 = m.weight ? oneDecimalText(*m.weight, locale) : QString();
    }
    m.meterBmi = meterValue(position);
    u.pointerLeftTwips = pointerLeft(m.meterBmi, shape3Left);
    m.holdWeight = 0;

    if (m.height) {
        const double standard = standardWeight(*m.height);
        u.lblHyojun0 = oneDecimalText(standard, locale);
        u.lblHyojun1 = u.lblHyojun0;
    }
    if (m.weight)
        u.lblTai = oneDecimalText(*m.weight, locale);
    if (m.height && m.weight) {
        const double degree = obesityDegree(u.lblTai, u.lblHyojun0, u.lblHyojun1, locale);
        if (std::isfinite(degree))
            u.lblHiman = oneDecimalText(degree, locale);
    }
    if (m.bmi)
        u.judgement = Judge(m.meterBmi);
    return u;
}

} // namespace morvane
