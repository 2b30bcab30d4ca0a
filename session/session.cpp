#include "session/session.h"

#include "session/entryflow.h"
#include "session/filefollower.h"
#include "session/historyeditor.h"
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
