#include "store/csvexport.h"

#include "store/fileio.h"

#include "measure/trend.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

QString decimal(double value)
{
    // QString::number never groups digits and always writes "."; the values were written with
    // one decimal, and one decimal gives them back exactly.
    return QString::number(value, 'f', 1);
}

QString csvField(const QString& field)
{
    static const QString special = u",\"\r\n"_s;
    const bool quote =
        std::any_of(field.cbegin(), field.cend(), [](QChar c) { return special.contains(c); });
    if (!quote)
        return field;
    QString quoted = field;
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

} // namespace

QByteArray csvRecord(const QStringList& fields)
{
    QStringList cells;
    cells.reserve(fields.size());
    for (const QString& field : fields)
        cells.append(csvField(field));
    return cells.join(u',').toUtf8() + "\r\n";
}

QByteArray historyCsv(const QStringList& historyLines, const QDate& today)
{
    const Trend trend = readTrend(historyLines, today);
    QByteArray csv = "\xEF\xBB\xBF";
    csv += csvRecord(kCsvHeader);
    for (const TrendEntry& entry : trend.entries) {
        csv += csvRecord({entry.date.toString(Qt::ISODate), decimal(entry.weight),
                          decimal(entry.bmi), decimal(entry.percent)});
    }
    return csv;
}

std::optional<FileError> exportHistoryCsv(const QStringList& historyLines, const QDate& today,
                                          const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return replaceFile(path, name, historyCsv(historyLines, today));
}

} // namespace morvane
