#include "measure/trend.h"

#include <algorithm>

namespace morvane {

QList<qsizetype> chartPoints(std::span<const double> values, qsizetype maxPoints)
{
    QList<qsizetype> kept;
    const auto n = qsizetype(values.size());
    if (n <= maxPoints) {
        kept.reserve(n);
        for (qsizetype i = 0; i < n; ++i)
            kept.append(i);
        return kept;
    }
    // Per bucket of neighbouring values its lowest and highest, in their order: the line then
    // still spans every level the values reach in that bucket, so it crosses every band edge
    // where the full line does, to within a bucket. The first and the last value stay.
    const qsizetype buckets = std::max<qsizetype>(1, (maxPoints - 2) / 2);
    kept.reserve(2 * buckets + 2);
    kept.append(0);
    for (qsizetype b = 0; b < buckets; ++b) {
        const qsizetype begin = 1 + (n - 2) * b / buckets;
        const qsizetype end = 1 + (n - 2) * (b + 1) / buckets;
        if (begin >= end)
            continue;
        qsizetype low = begin;
        qsizetype high = begin;
        for (qsizetype i = begin + 1; i < end; ++i) {
            if (values[i] < values[low])
                low = i;
            if (values[i] > values[high])
                high = i;
        }
        kept.append(std::min(low, high));
        if (low != high)
            kept.append(std::max(low, high));
    }
    kept.append(n - 1);
    return kept;
}

QList<double> movingAverage(const QList<TrendEntry>& entries, int span)
{
    span = std::max(span, 1);
    QList<double> averages;
    averages.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        // Summed afresh for each entry rather than kept as a running sum, so that rounding errors
        // do not pile up over a long history.
        const qsizetype first = std::max<qsizetype>(0, i - span + 1);
        double sum = 0.0;
        for (qsizetype j = first; j <= i; ++j)
            sum += entries[j].weight;
        averages.append(sum / static_cast<double>(i - first + 1));
    }
    return averages;
}

} // namespace morvane
