#include "store/csvexport.h"

#include "measure/trend.h"

#include <QFileInfo>
#include <QSaveFile>

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
    const QByteArray csv = historyCsv(historyLines, today);
    // QSaveFile writes a temporary file beside the target and renames it over the target only
    // at commit. Unbuffered, so that every write reaches the system here and a short write is
    // seen by our own check instead of being lost in a flush that commit() does not report.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return FileError{name, file.errorString()};
    qint64 written = 0;
    while (written < csv.size()) {
        const qint64 n = file.write(csv.constData() + written, csv.size() - written);
        if (n <= 0)
            return FileError{name, file.errorString()}; // the destructor drops the temporary
        written += n;
    }
    if (!file.commit())
        return FileError{name, file.errorString()};
    return std::nullopt;
}

} // namespace morvane
