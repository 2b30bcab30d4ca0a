#include "session/session.h"

#include "measure/trendplot.h"
#include "session/entryflow.h"
#include "session/filefollower.h"
#include "session/historyeditor.h"
#include "session/historyimporter.h"
#include "session/historymodel.h"
#include "session/startup.h"

using namespace Qt::StringLiterals;

namespace morvane {

Session::Session(const Services& services, const DataFiles& files, const QLocale& locale,
                 QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_files(files)
    , m_locale(locale)
    , m_history(new HistoryModel(this))
    , m_follower(new FileFollower(*this))
    , m_entries(new EntryFlow(*this))
    , m_editor(new HistoryEditor(*this))
    , m_importer(new HistoryImporter(*this))
{
    Q_ASSERT(services.dialogs && services.clock);
}

Session::~Session() = default;

bool Session::load()
{
    m_follower->noteStamps();
    StartupResult result = loadStartup(m_files, numberFiles());
    if (result.error) {
        message(Dialogs::Severity::Error,
                tr("「%1」を読み込めませんでした。\n理由: %2\n\nプログラムを終了します。")
                    .arg(result.error->path, result.error->reason),
                u"Morvane"_s);
        return false;
    }
    Startup& s = *result.startup;
    m_history->setLines(std::move(s.history));
    m_measurement = s.measurement;
    m_stored = m_measurement;
    for (const EntryKind& kind : entryKinds())
        emit valueChanged(kind.entry);
    emit bmiChanged();
    emit meterSet(s.position);
    m_follower->watch();
    return true;
}

namespace {

// The dated entries at the history's end, as many as the trend's figures on the newest weighing
// need: the trend keeps nine tenths of itself each day, so a weighing a year before moves them
// by less than the last bit of a double. A long history is not read whole for a tooltip.
Trend recentTrend(const History& history, const QDate& today)
{
    for (qsizetype lines = 512;; lines *= 4) {
        if (lines >= history.size())
            return readTrend(history, today);
        // The year walk starts at the newest line: the end of the history reads as it does whole.
        const History tail(history.bytes().sliced(history.span(history.size() - lines).begin));
        Trend trend = readTrend(tail, today);
        if (!trend.entries.isEmpty() &&
            trend.entries.front().date.daysTo(trend.entries.back().date) > 366)
            return trend;
    }
}

} // namespace

QString Session::trendBrief() const
{
    const TrendSeries series = trendSeries(recentTrend(m_history->lines(), today()));
    if (series.entries.isEmpty())
        return {};
    const std::optional<TrendFigures> figures =
        trendFigures(WeightTrend(series.entries), series.entries.back().date);
    std::optional<GoalForecast> forecast;
    if (figures && m_measurement.goal)
        forecast = goalForecast(*figures, *m_measurement.goal);
    return morvane::trendBrief(figures, forecast, m_locale);
}

MeterReading Session::meterMoved(qint16 position)
{
    MeterReading reading = readMeter(position, m_measurement);
    m_measurement = reading.after;
    return reading;
}

void Session::message(Dialogs::Severity severity, const QString& text, const QString& title) const
{
    m_services.dialogs->message(severity, text, title);
}

bool Session::confirm(const QString& text, const QString& title,
                      Dialogs::Default defaultButton) const
{
    return m_services.dialogs->confirm(text, title, defaultButton);
}

void Session::reportWriteError(const FileError& error, const QString& notSaved) const
{
    message(Dialogs::Severity::Error,
            tr("「%1」に書き込めませんでした。\n理由: %2\n\n%3")
                .arg(error.path, error.reason, notSaved),
            tr("保存エラー"));
}

void Session::reloadHistory()
{
    HistoryRead read = m_files.readHistory();
    if (!read.error)
        m_history->setLines(std::move(read.lines));
}

} // namespace morvane
