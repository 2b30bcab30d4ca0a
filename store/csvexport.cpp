#include "store/csvexport.h"

#include "store/fileio.h"

#include "measure/trend.h"
#include "measure/trendplot.h"

#include <QCoreApplication>
#include <QDir>
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

namespace {

QByteArray trendCsv(Trend trend)
{
    // The trend of the weights the chart draws: a weight outside the accepted range is exported
    // as written but takes no part in it.
    const WeightTrend smoothed(trendSeries(trend).entries);
    QByteArray csv = kUtf8Bom.toByteArray();
    csv += csvRecord(kCsvHeader);
    for (const TrendEntry& entry : trend.entries) {
        const std::optional<double> onDay = smoothed.trendOn(entry.date);
        csv +=
            csvRecord({entry.date.toString(Qt::ISODate), decimal(entry.weight), decimal(entry.bmi),
                       decimal(entry.percent), onDay ? decimal(*onDay) : QString()});
    }
    return csv;
}

// The path as the file system resolves it: links followed, "." and ".." gone. For a file that
// does not exist yet, its folder's resolved path and its name.
QString resolvedPath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = info.absoluteDir().canonicalPath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

} // namespace

QByteArray historyCsv(const History& history, const QDate& today)
{
    return trendCsv(readTrend(history, today));
}

std::optional<QString> dataFileAt(const QString& path, const DataFiles& files)
{
    const QString target = resolvedPath(path);
    for (const QString& name : {kHeightFileName, kWeightFileName, kGoalFileName, kHistoryFileName,
                                kHistoryBackupFileName, kHistoryImportMarkerFileName}) {
        if (resolvedPath(files.path(name)) == target)
            return name;
    }
    return std::nullopt;
}

std::optional<FileError> exportHistoryCsv(const History& history, const QDate& today,
                                          const QString& path, const DataFiles& files)
{
    if (const std::optional<QString> dataFile = dataFileAt(path, files)) {
        return FileError{fullPath(path),
                         QCoreApplication::translate(
                             "morvane::CsvExport",
                             "Morvane のデータファイル「%1」には書き出せません。別の名前を"
                             "指定して下さい。")
                             .arg(*dataFile)};
    }
    return replaceFile(path, historyCsv(history, today));
}

} // namespace morvane
