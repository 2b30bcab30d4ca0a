#include "ui/recorder.h"

#include "measure/arithmetic.h"
#include "measure/goal.h"
#include "measure/numbertext.h"
#include "store/csvexport.h"
#include "store/historybackup.h"
#include "store/historyentry.h"
#include "store/startup.h"
#include "ui/historymodel.h"

#include <QFileSystemWatcher>
#include <QTimer>

#include <vector>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// How long the files must be quiet before they are read again: a writer's rename and the
// writes around it come as several changes.
constexpr int kReloadDelayMs = 200;

// The data files an open window follows.
const std::array<QString, 4>& followedFiles()
{
    static const std::array<QString, 4> names{kHeightFileName, kWeightFileName, kGoalFileName,
                                              kHistoryFileName};
    return names;
}

std::vector<NumberFile> numberFiles()
{
    std::vector<NumberFile> numbers;
    for (const EntryKind& kind : entryKinds())
        numbers.push_back(kind.file);
    return numbers;
}

} // namespace

// Marks an operation under way: a change of the files found meanwhile is shown once it ends,
// so that a dialog it has open is not disturbed and a check it makes sees the file as it is.
class Recorder::Busy {
public:
    explicit Busy(Recorder& r)
        : m_r(r)
    {
        ++m_r.m_busy;
    }
    ~Busy()
    {
        if (--m_r.m_busy == 0 && m_r.m_reloadDue)
            m_r.m_reloadTimer->start();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    Recorder& m_r;
};

Recorder::Recorder(const Services& services, const DataFiles& files, const QLocale& locale,
                   QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_files(files)
    , m_locale(locale)
    , m_history(new HistoryModel(this))
    , m_watcher(new QFileSystemWatcher(this))
    , m_reloadTimer(new QTimer(this))
{
    Q_ASSERT(services.dialogs && services.clock);
    // Any change of the history but the deletion itself ends what its undo can put back.
    connect(m_history, &QAbstractItemModel::rowsInserted, this, &Recorder::forgetRemovedLine);
    connect(m_history, &QAbstractItemModel::rowsRemoved, this, &Recorder::forgetRemovedLine);
    connect(m_history, &QAbstractItemModel::modelReset, this, &Recorder::forgetRemovedLine);

    m_reloadTimer->setSingleShot(true);
    m_reloadTimer->setInterval(kReloadDelayMs);
    connect(m_reloadTimer, &QTimer::timeout, this, &Recorder::reload);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_reloadTimer,
            qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_reloadTimer,
            qOverload<>(&QTimer::start));
}

Recorder::~Recorder() = default;

bool Recorder::load()
{
    m_stamps = stamps();
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
    watch();
    return true;
}

void Recorder::watch()
{
    // The folder too: a file replaced by a rename is a new file, which a watch on the old one
    // never sees, and a file created later has no watch yet.
    QStringList paths{m_files.path(QString())};
    for (const QString& name : followedFiles())
        paths.append(m_files.path(name));
    for (const QString& path : paths) {
        if (!m_watcher->files().contains(path) && !m_watcher->directories().contains(path))
            m_watcher->addPath(path); // fails quietly for a file not there yet
    }
}

Recorder::Stamps Recorder::stamps() const
{
    Stamps result{};
    for (std::size_t i = 0; i < result.size(); ++i)
        result[i] = fileStamp(m_files.path(followedFiles()[i]));
    return result;
}

void Recorder::reload()
{
    if (m_busy > 0) {
        m_reloadDue = true;
        return;
    }
    m_reloadDue = false;
    watch();
    const Stamps now = stamps();
    if (now == m_stamps)
        return;
    StartupResult result = loadStartup(m_files, numberFiles());
    if (!result.startup)
        return; // a file that cannot be read now keeps what is shown; start-up would tell
    // Only what was read is taken as seen: a file unreadable now is read again at the next
    // change, even one (a chmod) that leaves its stamp as it is.
    m_stamps = now;
    Startup& s = *result.startup;
    if (s.history.bytes() != m_history->lines().bytes())
        m_history->setLines(std::move(s.history));

    const Measurement& stored = s.measurement;
    if (stored.height != m_stored.height || stored.weight != m_stored.weight) {
        m_measurement = stored;
        emit valueChanged(Entry::Height);
        emit valueChanged(Entry::Weight);
        emit bmiChanged();
        emit meterSet(s.position);
    }
    if (stored.goal != m_stored.goal) {
        m_measurement.goal = stored.goal;
        emit valueChanged(Entry::Goal);
    }
    m_stored = stored;
}

MeterReading Recorder::meterMoved(qint16 position)
{
    MeterReading reading = readMeter(position, m_measurement);
    m_measurement = reading.after;
    return reading;
}

void Recorder::enter(Entry entry)
{
    const Busy busy(*this);
    const EntryKind& kind = entryKind(entry);
    if (kind.needsHeight && !m_measurement.height) {
        // A BMI needs a height: ask for it first.
        enter(Entry::Height);
        if (!m_measurement.height)
            return;
    }
    const std::optional<TypedValue> typed = askValue(kind);
    if (!typed)
        return;
    if (const auto error = m_files.writeNumber(kind.file.fileName, typed->value)) {
        reportWriteError(*error, tr(kind.notSaved));
        return;
    }

    m_measurement.*kind.file.value = typed->value;
    m_stored.*kind.file.value = typed->value;
    emit valueChanged(entry);
    if (kind.meter != MeterAfterEntry::Stays) {
        const AfterEntry after = afterEntry(m_measurement, kind.meter);
        m_measurement = after.measurement;
        if (after.position)
            emit bmiChanged();
        emit meterSet(after.position);
    }
    if (kind.notRecorded)
        recordHistoryLine(kind);
}

std::optional<TypedValue> Recorder::askValue(const EntryKind& kind)
{
    const QString title = tr(kind.title);
    // The box opens empty; after a Cancel of the large-change question it opens again with
    // what was typed, to be corrected.
    QString typedText;
    for (;;) {
        const std::optional<QString> answer = m_services.dialogs->inputBox(
            m_dialogParent, tr(kind.prompt) + tr(kind.example), title, typedText);
        if (!answer)
            return std::nullopt;
        if (answer->isEmpty()) {
            if (kind.removal)
                removeValue(kind);
            return std::nullopt;
        }
        const TypedValue typed = checkTypedValue(*answer, kind.file.range);
        if (typed.error) {
            const char* says = nullptr;
            switch (*typed.error) {
            case TypedError::NoNumber:
                says = kind.notANumber;
                break;
            case TypedError::DecimalComma:
                says = QT_TR_NOOP("小数点には「,」ではなく「.」を使って下さい。");
                break;
            case TypedError::OutOfRange:
                says = kind.outOfRange;
                break;
            }
            message(Dialogs::Severity::Warning, tr(says) + u"\n"_s + tr(kind.example), title);
            return std::nullopt;
        }
        if (keepsLargeChange(kind, typed.value))
            return typed;
        typedText = *answer;
    }
}

bool Recorder::keepsLargeChange(const EntryKind& kind, float value)
{
    if (!kind.largeChange)
        return true;
    // Compared with the value in the file at the moment of the answer: that is what was last
    // entered, here or in another window on the same folder. The window's own may have been
    // derived from the meter since.
    const NumberRead stored = m_files.readNumber(kind.file.fileName);
    if (stored.status != NumberRead::Status::Ok || !kind.file.range.contains(stored.value) ||
        !isLargeChange(stored.value, value))
        return true;
    return confirm(
        tr(kind.largeChange)
            .arg(generalNumberText(stored.value, m_locale), generalNumberText(value, m_locale)),
        tr(kind.title), Dialogs::Default::Cancel);
}

void Recorder::removeValue(const EntryKind& kind)
{
    std::optional<float>& value = m_measurement.*kind.file.value;
    if (!value || !confirm(tr(kind.removal), tr(kind.title)))
        return;
    if (const auto error = m_files.removeNumber(kind.file.fileName)) {
        reportWriteError(*error, tr(kind.notSaved));
        return;
    }
    value.reset();
    (m_stored.*kind.file.value).reset();
    emit valueChanged(kind.entry);
}

void Recorder::recordHistoryLine(const EntryKind& kind)
{
    const Measurement& m = m_measurement;
    const HistoryEntry entry = HistoryEntry::recorded(m_services.clock->today(), *m.weight, *m.bmi,
                                                      obesityRatio(*m.weight, *m.height));
    const QString line = entry.line(m_locale);
    if (const auto error = m_files.appendHistory(line)) {
        reportWriteError(*error, tr(kind.notRecorded));
        return;
    }
    m_history->append(line);
}

void Recorder::clearHistory()
{
    const Busy busy(*this);
    if (!confirm(tr("これまでの履歴を削除します"), tr("履歴削除")))
        return;
    // The clear keeps the history as the backup the undo restores; only one is kept.
    if (clearReplacesBackup(m_files) &&
        !confirm(tr("前回削除した履歴を元に戻すための控え「%1」があります。\n"
                    "これを破棄して、今回削除する履歴を新しい控えにしますか？")
                     .arg(fullPath(m_files.path(kHistoryBackupFileName))),
                 tr("履歴削除")))
        return;
    if (const auto error = morvane::clearHistory(m_files)) {
        reportWriteError(*error, tr("履歴は削除されていません。"));
        return;
    }
    m_history->clear();
}

bool Recorder::canUndoClear() const
{
    return hasBackup(m_files);
}

void Recorder::undoClear()
{
    const Busy busy(*this);
    HistoryRestore restored = restoreHistory(m_files);
    if (restored.status == HistoryRestore::Status::Restored) {
        m_history->setLines(std::move(restored.lines));
    } else if (restored.error) {
        message(Dialogs::Severity::Error,
                tr("履歴を元に戻せませんでした。\n「%1」: %2")
                    .arg(restored.error->path, restored.error->reason),
                tr("履歴を元に戻す"));
    }
}

std::optional<int> Recorder::deleteLine(int row)
{
    const Busy busy(*this);
    if (row < 0 || row >= m_history->rowCount())
        return std::nullopt;
    const QString line = m_history->lines().at(row);
    const QString title = tr("記録の削除");
    // The line as the list shows it: a line of megabytes from a damaged file would take the
    // message box seconds to lay out, with the program frozen meanwhile.
    if (!confirm(tr("次の記録を履歴から削除します。\n\n%1").arg(m_history->shownLine(row)), title,
                 Dialogs::Default::Cancel))
        return std::nullopt;

    HistoryEdit edit = removeHistoryLine(m_files, row, line);
    switch (edit.status) {
    case HistoryEdit::Status::Done:
        m_history->lineRemoved(row, std::move(edit.lines)); // ends any earlier undo
        m_removedLine = std::move(edit.removed);
        emit undoDeleteChanged();
        // The next line down takes the selection, so that Delete can go on through the list.
        if (m_history->rowCount() > 0)
            return std::min(row, m_history->rowCount() - 1);
        return std::nullopt;
    case HistoryEdit::Status::Changed:
        message(Dialogs::Severity::Warning,
                tr("「%1」が、表示している履歴と違っています（ほかのプログラムが書き換えた可能性が"
                   "あります）。記録は削除していません。\n履歴を読み直して表示します。")
                    .arg(fullPath(m_files.path(kHistoryFileName))),
                title);
        reloadHistory();
        return std::nullopt;
    case HistoryEdit::Status::Failed:
        reportWriteError(*edit.error, tr("記録は削除されていません。"));
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<int> Recorder::undoDelete()
{
    const Busy busy(*this);
    if (!m_removedLine)
        return std::nullopt;
    const RemovedLine removed = *m_removedLine;
    HistoryEdit edit = restoreHistoryLine(m_files, removed);
    switch (edit.status) {
    case HistoryEdit::Status::Done:
        m_history->lineInserted(int(removed.index), std::move(edit.lines));
        return int(removed.index);
    case HistoryEdit::Status::Changed:
        message(Dialogs::Severity::Warning,
                tr("「%1」が、記録を削除したあとに変更されているため、元に戻せませんでした。")
                    .arg(fullPath(m_files.path(kHistoryFileName))),
                tr("元に戻す"));
        forgetRemovedLine();
        reloadHistory();
        return std::nullopt;
    case HistoryEdit::Status::Failed:
        // The line is still in memory: the undo can be tried again.
        reportWriteError(*edit.error, tr("削除した記録は元に戻っていません。"));
        return std::nullopt;
    }
    return std::nullopt;
}

void Recorder::exportCsv()
{
    const Busy busy(*this);
    const QString title = tr("CSV書き出し");
    const std::optional<QString> path = m_services.dialogs->saveFileName(
        m_dialogParent, title, m_files.path(u"履歴.csv"_s), tr("CSV ファイル (*.csv)"));
    if (!path)
        return;
    if (const auto error =
            exportHistoryCsv(m_history->lines(), m_services.clock->today(), *path, m_files)) {
        message(Dialogs::Severity::Error,
                tr("「%1」に書き込めませんでした。\n理由: %2").arg(error->path, error->reason),
                title);
    }
}

void Recorder::reportWriteError(const FileError& error, const QString& notSaved)
{
    message(Dialogs::Severity::Error,
            tr("「%1」に書き込めませんでした。\n理由: %2\n\n%3")
                .arg(error.path, error.reason, notSaved),
            tr("保存エラー"));
}

void Recorder::message(Dialogs::Severity severity, const QString& text, const QString& title)
{
    m_services.dialogs->message(m_dialogParent, severity, text, title);
}

bool Recorder::confirm(const QString& text, const QString& title, Dialogs::Default defaultButton)
{
    return m_services.dialogs->confirm(m_dialogParent, text, title, defaultButton);
}

void Recorder::forgetRemovedLine()
{
    if (!m_removedLine)
        return;
    m_removedLine.reset();
    emit undoDeleteChanged();
}

void Recorder::reloadHistory()
{
    HistoryRead read = m_files.readHistory();
    if (!read.error)
        m_history->setLines(std::move(read.lines));
}

} // namespace morvane
