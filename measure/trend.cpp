#include "measure/trend.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// A number as "0.0" writes it in any locale: an optional minus (ASCII, or U+2212 where the locale
// writes that), digits, and a "." or "," with the decimals.
double toNumber(QStringView text)
{
    QString ascii = text.toString();
    ascii.replace(u',', u'.');
    ascii.replace(QChar(0x2212), u'-');
    return ascii.toDouble(); // QString::toDouble reads "." whatever the locale
}

int monthDayKey(int month, int day)
{
    return month * 100 + day;
}

} // namespace

std::optional<HistoryFields> parseHistoryLine(QStringView line)
{
    static const QString number = uR"([-\x{2212}]?\d+(?:[.,]\d+)?)"_s;
    static const QRegularExpression form(
        uR"(^[ \t]*(\d{1,2})[/.\-](\d{1,2})[ \t]+(%1)[ \t]*Kg[ \t]+(%1)[ \t]+(%1)[ \t]*%[ \t]*$)"_s
            .arg(number),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(line);
    if (!match.hasMatch())
        return std::nullopt;

    HistoryFields fields;
    fields.month = match.capturedView(1).toInt();
    fields.day = match.capturedView(2).toInt();
    // 2000 is a leap year: a month/day invalid there is invalid in every year.
    if (!QDate::isValid(2000, fields.month, fields.day))
        return std::nullopt;
    fields.weight = toNumber(match.capturedView(3));
    fields.bmi = toNumber(match.capturedView(4));
    fields.percent = toNumber(match.capturedView(5));
    return fields;
}

Trend readTrend(const QStringList& lines, const QDate& today)
{
    Trend trend;
    QList<HistoryFields> parsed;
    parsed.reserve(lines.size());
    for (const QString& line : lines) {
        if (const std::optional<HistoryFields> fields = parseHistoryLine(line))
            parsed.append(*fields);
        else
            ++trend.skippedLines;
    }

    QList<int> years(parsed.size());
    int year = today.year();
    int newerKey = monthDayKey(today.month(), today.day());
    for (qsizetype i = parsed.size() - 1; i >= 0; --i) {
        const int key = monthDayKey(parsed[i].month, parsed[i].day);
        if (key > newerKey)
            --year;
        years[i] = year;
        newerKey = key;
    }

    trend.entries.reserve(parsed.size());
    for (qsizetype i = 0; i < parsed.size(); ++i) {
        const HistoryFields& f = parsed[i];
        const QDate date(years[i], f.month, f.day);
        if (!date.isValid()) {
            ++trend.skippedLines;
            continue;
        }
        trend.entries.append({date, f.weight, f.bmi, f.percent});
    }
    return trend;
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
