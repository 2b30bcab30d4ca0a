#include "measure/entry.h"

#include "measure/arithmetic.h"
#include "measure/numbertext.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace morvane {

TypedValue checkTypedValue(const QString& typed, const AcceptedRange& range)
{
    const QString text = typed.normalized(QString::NormalizationForm_KC);
    const ParsedNumber n = parseLeadingNumber(text);
    if (!n.found)
        return {0.0f, TypedError::NoNumber};
    static const QRegularExpression decimalComma(u"^[\\s+-]*[0-9][0-9\\s]*,\\s*[0-9]"_s);
    if (decimalComma.match(text).hasMatch())
        return {0.0f, TypedError::DecimalComma};
    const auto value = static_cast<float>(n.value);
    if (!range.contains(value))
        return {0.0f, TypedError::OutOfRange};
    return {value, std::nullopt};
}

AfterEntry afterEntry(Measurement m, MeterAfterEntry meter)
{
    AfterEntry a;
    if (meter == MeterAfterEntry::Stays) {
        a.measurement = m;
        return a;
    }
    if (m.height && m.weight) {
        m.bmi = bodyMassIndex(*m.weight, *m.height);
        m.meterBmi = clampToMeter(*m.bmi);
        m.keepsWeight = meter == MeterAfterEntry::KeepsWeight;
        a.position = meterPosition(m.meterBmi);
    } else {
        m.keepsWeight = true;
    }
    a.measurement = m;
    return a;
}

} // namespace morvane
