#include "store/historyimport.h"

#include "measure/arithmetic.h"
#include "measure/limits.h"
#include "store/fileio.h"
#include "store/historyedit.h"
#include "store/historyentry.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace morvane {
namespace {

// The marker is a few short lines; a weight file is at most kMaxNumberFileBytes, written as hex.
constexpr qint64 kMaxMarkerBytes = 4 * kMaxNumberFileBytes;

// Another program writing without pause is not expected; a few tries are plenty.

int monthDay(const QDate& date)
{
    return date.month() * 100 + date.day();
}

// The weight as the line shows it, in tenths of a kilogram: a float times ten is exact in a
// double, and rounding it half up is what the line's one decimal does.
qint64 tenths(double weight)
{
    return std::llround(weight * 10.0);
}

// The year walk of readTrend: the year of each entry, from the month and day of the entries
// after it. Walking back from the newest, the year steps back when an older entry's month/day is
// later than that of the entry after it.
struct Walk {
    int year = 0;
    int key = 0; // month * 100 + day of the entry walked last

    explicit Walk(const QDate& today)
        : year(today.year())
        , key(monthDay(today))
    {}
    int yearOf(int entryKey) const { return entryKey > key ? year - 1 : year; }
};

struct OldEntry {
    qsizetype start = 0; // where the line starts in the history's bytes
    int key = 0;
    int year = 0; // as readTrend gives it; with the key possibly no date (02/29 of a common year)
    double weight = 0.0;
    int order() const { return year * 10000 + key; }
};

struct NewEntry {
    enum class State : quint8 { Kept, InHistory, Refused };
    QDate date;
    float weight = 0.0f;
    qint32 row = 0;
    qsizetype gap = 0; // goes right before old entry `gap` (after all of them when it is the count)
    State state = State::Kept;
};

// The import planned against one history: which entries go where, and which are refused.
struct Plan {
    std::vector<OldEntry> old;
    std::vector<NewEntry> added; // by date, then in the file's order
    std::vector<RefusedRow> refused;
    qint64 kept = 0;
    qint64 inHistory = 0;
    DayMonthOrder order = DayMonthOrder::Undecided;
    bool needsOrder = false;
    QDate first;
    QDate last;
    bool consistent = true; // false only if the walk below failed its own premise
};

std::vector<OldEntry> oldEntries(const History& history, const QDate& today)
{
    std::vector<OldEntry> old;
    old.reserve(std::size_t(history.size()));
    const char* const base = history.bytes().constData();
    history.forEachLine([&](QByteArrayView line) {
        if (const std::optional<HistoryEntry> entry = HistoryEntry::read(line))
            old.push_back({line.data() - base, entry->month * 100 + entry->day, 0, entry->weight});
    });
    Walk walk(today);
    for (auto it = old.rbegin(); it != old.rend(); ++it) {
        walk.year = walk.yearOf(it->key);
        walk.key = it->key;
        it->year = walk.year;
    }
    return old;
}

Plan plan(const History& history, const ImportFile& file, DayMonthOrder chosen, const QDate& today)
{
    Plan p;
    p.old = oldEntries(history, today);
    p.refused = file.refused;
    p.order = file.dayMonthOrder != DayMonthOrder::Undecided ? file.dayMonthOrder : chosen;
    p.needsOrder = file.needsDayMonthOrder && p.order == DayMonthOrder::Undecided;

    p.added.reserve(file.rows.size());
    for (const ImportRow& row : file.rows) {
        const QDate date = row.date(p.order);
        if (!date.isValid()) {
            // Without the order, a date that depends on it is neither new nor refused yet.
            if (!p.needsOrder || !row.swappable)
                p.refused.push_back({row.row, ImportRefusal::NoDate});
            continue;
        }
        if (!p.first.isValid() || date < p.first)
            p.first = date;
        if (!p.last.isValid() || date > p.last)
            p.last = date;
        if (date > today) {
            p.refused.push_back({row.row, ImportRefusal::FutureDate});
            continue;
        }
        p.added.push_back({date, row.weight, row.row});
    }
    std::stable_sort(p.added.begin(), p.added.end(),
                     [](const NewEntry& a, const NewEntry& b) { return a.date < b.date; });

    // An entry already in the history is skipped, each old entry matching one new entry at most,
    // so that importing the same file again adds nothing.
    if (!p.old.empty() && !p.added.empty()) {
        QHash<std::pair<qint64, qint64>, int> existing;
        for (const OldEntry& o : p.old) {
            const QDate date(o.year, o.key / 100, o.key % 100);
            if (date.isValid())
                ++existing[{date.toJulianDay(), tenths(o.weight)}];
        }
        for (NewEntry& n : p.added) {
            const auto it = existing.find({n.date.toJulianDay(), tenths(n.weight)});
            if (it != existing.end() && *it > 0) {
                --*it;
                n.state = NewEntry::State::InHistory;
                ++p.inHistory;
            }
        }
    }

    // Each new entry goes after the old entries of its day and before the later ones; old lines
    // are in date order, as the walk gives their years.
    qsizetype g = 0;
    for (NewEntry& n : p.added) {
        const int order = n.date.year() * 10000 + monthDay(n.date);
        while (g < qsizetype(p.old.size()) && p.old[std::size_t(g)].order() <= order)
            ++g;
        n.gap = g;
    }

    // The walk over the merged lines, newest first. A new entry that the walk would give another
    // year is refused on the spot and the walk goes on as if it were not there, so that every
    // older entry is judged by the entries that stay: repeating the walk after a refusal changes
    // nothing more. An old entry keeps its date unless a new entry right after it is too far
    // away; those are refused then, nearest first, until it reads as before.
    Walk walk(today);
    std::vector<std::pair<std::size_t, Walk>> since; // new entries kept since the last old one
    std::size_t next = p.added.size();
    for (qsizetype gap = qsizetype(p.old.size()); gap >= 0; --gap) {
        while (next > 0 && p.added[next - 1].gap == gap) {
            NewEntry& n = p.added[--next];
            if (n.state != NewEntry::State::Kept)
                continue;
            const int key = monthDay(n.date);
            if (walk.yearOf(key) != n.date.year()) {
                n.state = NewEntry::State::Refused;
                continue;
            }
            since.push_back({next, walk});
            walk.year = n.date.year();
            walk.key = key;
        }
        if (gap == 0)
            break;
        const OldEntry& o = p.old[std::size_t(gap - 1)];
        while (walk.yearOf(o.key) != o.year && !since.empty()) {
            p.added[since.back().first].state = NewEntry::State::Refused;
            walk = since.back().second;
            since.pop_back();
        }
        p.consistent = p.consistent && walk.yearOf(o.key) == o.year;
        walk.year = o.year;
        walk.key = o.key;
        since.clear();
    }
    for (const NewEntry& n : p.added) {
        if (n.state == NewEntry::State::Refused)
            p.refused.push_back({n.row, ImportRefusal::CannotHold});
        else if (n.state == NewEntry::State::Kept)
            ++p.kept;
    }
    std::stable_sort(p.refused.begin(), p.refused.end(),
                     [](const RefusedRow& a, const RefusedRow& b) { return a.row < b.row; });
    return p;
}

QString lineOf(const NewEntry& n, float height, const QLocale& locale)
{
    return HistoryEntry::recorded(n.date, n.weight, bodyMassIndex(n.weight, height),
                                  obesityRatio(n.weight, height))
        .line(locale);
}

ImportPreview previewOf(const Plan& p, const ImportFile& file, float height, const QLocale& locale)
{
    ImportPreview preview;
    preview.format = file.format;
    preview.encoding = file.encoding;
    preview.delimiter = file.delimiter;
    preview.dateColumn = file.dateColumn;
    preview.weightColumn = file.weightColumn;
    preview.dayMonthOrder = p.order;
    preview.needsDayMonthOrder = p.needsOrder;
    preview.firstDate = p.first;
    preview.lastDate = p.last;
    preview.newEntries = p.kept;
    preview.alreadyInHistory = p.inHistory;
    preview.refused = p.refused;
    const bool lines = kHeightRange.contains(height);
    for (const NewEntry& n : p.added) {
        if (n.state != NewEntry::State::Kept)
            continue;
        if (!lines || preview.firstLines.size() == kPreviewLines)
            break;
        preview.firstLines.append(lineOf(n, height, locale));
    }
    for (auto it = p.added.rbegin(); it != p.added.rend(); ++it) {
        if (it->state != NewEntry::State::Kept)
            continue;
        preview.newestIsImported = it->gap == qsizetype(p.old.size());
        preview.newestWeight = it->weight;
        break;
    }
    return preview;
}

// The history's bytes with the kept entries' lines put in their places. Old bytes are copied as
// they are; the result ends with a line end, so that lines appended later start lines of their
// own and the undo can tell them apart.
QByteArray mergedBytes(const History& history, const Plan& p, float height, const QLocale& locale)
{
    const QByteArray& bytes = history.bytes();
    QByteArray merged;
    merged.reserve(bytes.size() + p.kept * 32);
    qsizetype copied = 0;
    for (const NewEntry& n : p.added) {
        if (n.state != NewEntry::State::Kept)
            continue;
        const qsizetype at =
            n.gap < qsizetype(p.old.size()) ? p.old[std::size_t(n.gap)].start : bytes.size();
        if (at > copied) {
            merged += QByteArrayView(bytes).sliced(copied, at - copied);
            copied = at;
        }
        merged += lineEndBeforeAppend(merged);
        merged += lineOf(n, height, locale).toUtf8();
        merged += "\r\n";
    }
    merged += QByteArrayView(bytes).sliced(copied);
    merged += lineEndBeforeAppend(merged);
    return merged;
}

// True when readTrend gives every old entry the date it had and every new entry its own: the
// plan's promise, checked by the reader itself before anything is written.
bool readsBack(const QByteArray& merged, const Plan& p, const QDate& today)
{
    const Trend trend = readTrend(History(merged), today);
    qsizetype k = 0;
    auto expect = [&](const QDate& date) {
        if (!date.isValid())
            return true; // a 02/29 of a common year, skipped by the reader as before
        return k < trend.entries.size() && trend.entries[k++].date == date;
    };
    std::size_t next = 0;
    for (std::size_t g = 0; g <= p.old.size(); ++g) {
        for (; next < p.added.size() && p.added[next].gap == qsizetype(g); ++next) {
            if (p.added[next].state == NewEntry::State::Kept && !expect(p.added[next].date))
                return false;
        }
        if (g < p.old.size()) {
            const OldEntry& o = p.old[g];
            if (!expect(QDate(o.year, o.key / 100, o.key % 100)))
                return false;
        }
    }
    return k == trend.entries.size();
}

QByteArray digestOf(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// The marker: what the history held right after the import (its size and digest), and, when the
// import set the current weight, the weight file before and after it.
struct Marker {
    qint64 size = 0;
    QByteArray digest;
    bool weightSet = false;
    std::optional<QByteArray> weightBefore; // nullopt: there was no weight file
    QByteArray weightAfter;
};

QByteArray markerText(const Marker& m)
{
    QByteArray text = "Morvane import 1\r\n";
    text += "history-size " + QByteArray::number(m.size) + "\r\n";
    text += "history-sha256 " + m.digest.toHex() + "\r\n";
    if (m.weightSet) {
        text +=
            "weight-before " + (m.weightBefore ? "=" + m.weightBefore->toHex() : "none") + "\r\n";
        text += "weight-after =" + m.weightAfter.toHex() + "\r\n";
    }
    return text;
}

std::optional<Marker> readMarker(QByteArrayView text)
{
    const QList<QByteArray> lines = text.toByteArray().split('\n');
    if (lines.isEmpty() || lines[0].trimmed() != "Morvane import 1")
        return std::nullopt;
    Marker m;
    bool sized = false;
    int weightLines = 0;
    auto hex = [](const QByteArray& v) -> std::optional<QByteArray> {
        if (!v.startsWith('='))
            return std::nullopt;
        return QByteArray::fromHex(v.sliced(1));
    };
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype space = line.indexOf(' ');
        const QByteArray key = line.left(space);
        const QByteArray value = space < 0 ? QByteArray() : line.sliced(space + 1);
        if (key == "history-size") {
            m.size = value.toLongLong(&sized);
        } else if (key == "history-sha256") {
            m.digest = QByteArray::fromHex(value);
        } else if (key == "weight-before") {
            m.weightBefore = hex(value);
            if (!m.weightBefore && value != "none")
                return std::nullopt;
            ++weightLines;
        } else if (key == "weight-after") {
            const auto after = hex(value);
            if (!after)
                return std::nullopt;
            m.weightAfter = *after;
            ++weightLines;
        } else if (!line.isEmpty()) {
            return std::nullopt;
        }
    }
    m.weightSet = weightLines == 2;
    if (!sized || m.size < 0 || m.digest.size() != 32 || (weightLines != 0 && !m.weightSet))
        return std::nullopt;
    return m;
}

// Writes a new file with exactly these bytes and permissions (not narrowed by the umask), flushed
// to the disk; fails with EEXIST when something is at the path.
std::optional<FileError> writeNewFile(const QString& path, QByteArrayView bytes, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return systemError(path, errno);
    bool ok = ::fchmod(fd, mode) == 0 && writeFully(fd, bytes) && ::fsync(fd) == 0;
    const int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok)
        return std::nullopt;
    ::unlink(name.constData());
    return systemError(path, error);
}

// The backup and marker an import replaces, kept aside until the new history is in place, so
// that an import that does not happen leaves them as they were.
class KeptBackup {
public:
    explicit KeptBackup(const DataFiles& files)
        : m_backup(files.path(kHistoryBackupFileName))
        , m_marker(files.path(kHistoryImportMarkerFileName))
    {}
    KeptBackup(const KeptBackup&) = delete;
    KeptBackup& operator=(const KeptBackup&) = delete;
    ~KeptBackup()
    {
        if (m_written && !m_committed)
            rollBack();
    }

    // Keeps the history's bytes as the backup with its permissions, and the marker beside it.
    std::optional<FileError> keep(QByteArrayView history, mode_t mode, QByteArrayView marker)
    {
        const QByteArray backup = QFile::encodeName(m_backup);
        const FileContent oldMarker = readWholeFile(m_marker, kMaxMarkerBytes);
        if (oldMarker.error && !isAbsent(m_marker))
            return oldMarker.error;
        m_oldMarker = oldMarker.missing ? std::nullopt : std::optional(oldMarker.bytes);
        // Only a regular file is replaced, as the clear replaces it.
        struct stat st {};
        if (::lstat(backup.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
            if (S_ISDIR(st.st_mode))
                return systemError(m_backup, EISDIR);
            return FileError{fullPath(m_backup), notRegularFileReason()};
        }
        if (!isAbsent(m_backup)) {
            m_aside = backup + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            if (::rename(backup.constData(), m_aside.constData()) != 0) {
                m_aside.clear();
                return systemError(m_backup, errno);
            }
        }
        m_written = true;
        if (auto error = writeNewFile(m_backup, history, mode)) {
            rollBack();
            return error;
        }
        QFile::remove(m_marker);
        if (auto error = writeNewFile(m_marker, marker, mode)) {
            rollBack();
            return error;
        }
        return std::nullopt;
    }

    void commit()
    {
        m_committed = true;
        if (!m_aside.isEmpty())
            ::unlink(m_aside.constData());
    }

    void rollBack()
    {
        m_written = false;
        QFile::remove(m_backup);
        if (!m_aside.isEmpty())
            ::rename(m_aside.constData(), QFile::encodeName(m_backup).constData());
        m_aside.clear();
        QFile::remove(m_marker);
        if (m_oldMarker)
            replaceFile(m_marker, *m_oldMarker);
    }

private:
    QString m_backup;
    QString m_marker;
    QByteArray m_aside;
    std::optional<QByteArray> m_oldMarker;
    bool m_written = false;
    bool m_committed = false;
};

mode_t modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0600;
    return st.st_mode & 07777;
}

HistoryImport failedImport(FileError error)
{
    HistoryImport result;
    result.status = HistoryImport::Status::Failed;
    result.error = std::move(error);
    return result;
}

HistoryImport importOnce(const DataFiles& files, const ImportFile& file,
                         const ImportChoices& choices, const QDate& today, float height,
                         const QLocale& locale, const std::function<void()>& beforeReplace,
                         bool& historyChanged)
{
    // Locked from before the history is read until the new one is in place.
    LockedHistory history(files, true);
    const QString& historyPath = history.path();
    auto unmade = [&](HistoryImport result) {
        if (history.created() && fileStamp(historyPath).size == 0)
            QFile::remove(historyPath);
        return result;
    };
    if (history.error())
        return unmade(failedImport(*history.error()));
    FileContent content = history.read();
    if (content.error)
        return unmade(failedImport(*content.error));
    const History before(content.bytes);

    const Plan p = plan(before, file, choices.dayMonthOrder, today);
    HistoryImport result;
    result.preview = previewOf(p, file, height, locale);
    if (p.kept == 0) {
        result.status = HistoryImport::Status::NothingToImport;
        return unmade(result);
    }
    const QByteArray merged = mergedBytes(before, p, height, locale);
    if (!p.consistent || !readsBack(merged, p, today)) {
        return unmade(
            failedImport({fullPath(historyPath),
                          QCoreApplication::translate("morvane::HistoryImport",
                                                      "取り込むと履歴の日付が変わってしまうため、"
                                                      "取り込みませんでした")}));
    }

    Marker marker;
    marker.size = merged.size();
    marker.digest = digestOf(merged);
    const QString weightPath = files.path(kWeightFileName);
    if (choices.makeCurrentWeight && result.preview.newestIsImported) {
        const FileContent weight = readWholeFile(weightPath, kMaxNumberFileBytes);
        if (weight.error)
            return unmade(failedImport(*weight.error));
        marker.weightSet = true;
        if (!weight.missing)
            marker.weightBefore = weight.bytes;
        marker.weightAfter = numberRecordText(result.preview.newestWeight).toUtf8() + "\r\n";
    }

    // Another program's line appended after the reading would be lost with the old file: the
    // rewrite reads again and starts over rather than replace it (also after the backup was
    // written, which the kept backup then takes back).
    KeptBackup kept(files);
    const auto keepBackup = [&] {
        if (beforeReplace)
            beforeReplace();
        return kept.keep(content.bytes, modeOf(historyPath), markerText(marker));
    };
    if (std::optional<FileError> error = history.rewrite(merged, keepBackup))
        return unmade(failedImport(std::move(*error)));
    historyChanged = history.changedSinceRead();
    if (historyChanged)
        return unmade({});
    kept.commit();

    if (marker.weightSet)
        result.weightError = replaceFile(weightPath, marker.weightAfter);
    result.status = HistoryImport::Status::Imported;
    result.lines = History(merged);
    return result;
}

} // namespace

ImportPreview previewImport(const History& history, const ImportFile& file,
                            const ImportChoices& choices, const QDate& today, float height,
                            const QLocale& locale)
{
    return previewOf(plan(history, file, choices.dayMonthOrder, today), file, height, locale);
}

bool importReplacesBackup(const DataFiles& files)
{
    return hasBackup(files);
}

bool backupIsFromImport(const DataFiles& files)
{
    return hasBackup(files) && !isAbsent(files.path(kHistoryImportMarkerFileName));
}

HistoryImport importIntoHistory(const DataFiles& files, const ImportFile& file,
                                const ImportChoices& choices, const QDate& today, float height,
                                const QLocale& locale, const std::function<void()>& beforeReplace)
{
    if (!kHeightRange.contains(height)) {
        return failedImport(
            {fullPath(files.path(kHeightFileName)),
             QCoreApplication::translate("morvane::HistoryImport",
                                         "身長がないため、BMI と肥満度を計算できません")});
    }
    if (file.needsDayMonthOrder && file.dayMonthOrder == DayMonthOrder::Undecided &&
        choices.dayMonthOrder == DayMonthOrder::Undecided) {
        return failedImport(
            {fullPath(file.path),
             QCoreApplication::translate(
                 "morvane::HistoryImport",
                 "日付が月/日/年か日/月/年か決まらないため、どちらか選んで下さい")});
    }
    for (int attempt = 0; attempt < kHistoryEditTries; ++attempt) {
        bool historyChanged = false;
        HistoryImport result =
            importOnce(files, file, choices, today, height, locale, beforeReplace, historyChanged);
        if (!historyChanged)
            return result;
    }
    return failedImport(historyKeepsChanging(files));
}

HistoryRestore undoImport(const DataFiles& files, LockedHistory& history, const QByteArray& backup,
                          bool& historyChanged)
{
    using Status = HistoryRestore::Status;
    const QString& historyPath = history.path();
    auto failed = [](FileError error) {
        return HistoryRestore{Status::Failed, {}, std::move(error), HistoryRestore::Undone::Import};
    };
    const QString markerPath = files.path(kHistoryImportMarkerFileName);
    const FileContent markerContent = readWholeFile(markerPath, kMaxMarkerBytes);
    if (markerContent.error)
        return failed(*markerContent.error);
    const std::optional<Marker> marker = readMarker(markerContent.bytes);
    if (!marker) {
        return failed(
            {fullPath(markerPath),
             QCoreApplication::translate("morvane::HistoryImport", "取り込みの記録が読めません")});
    }

    const FileContent since = history.read();
    if (since.error)
        return failed(*since.error);
    // Lines appended since the import follow what it left; anything else (a line deleted, the
    // history cleared or replaced) would make the undo lose or repeat lines.
    if (since.bytes.size() < marker->size ||
        digestOf(QByteArrayView(since.bytes).first(marker->size)) != marker->digest) {
        return failed(
            {fullPath(historyPath),
             QCoreApplication::translate("morvane::HistoryImport",
                                         "取り込みのあとで履歴の行が削除または変更されたため、"
                                         "取り込みを元に戻せません")});
    }
    const QByteArrayView recorded = QByteArrayView(since.bytes).sliced(marker->size);
    QByteArray bytes = backup;
    if (!recorded.isEmpty())
        bytes += lineEndBeforeAppend(bytes);
    bytes += recorded;

    if (std::optional<FileError> error = history.rewrite(bytes))
        return failed(std::move(*error));
    historyChanged = history.changedSinceRead();
    if (historyChanged)
        return {};

    // The weight goes back only while it is still the imported one: a weight entered since
    // stays.
    const QString weightPath = files.path(kWeightFileName);
    if (marker->weightSet) {
        const FileContent weight = readWholeFile(weightPath, kMaxNumberFileBytes);
        if (!weight.error && !weight.missing && weight.bytes == marker->weightAfter) {
            if (marker->weightBefore)
                replaceFile(weightPath, *marker->weightBefore);
            else
                files.removeNumber(kWeightFileName);
        }
    }
    QFile::remove(files.path(kHistoryBackupFileName));
    QFile::remove(markerPath);
    return HistoryRestore{Status::Restored, History(std::move(bytes)), std::nullopt,
                          HistoryRestore::Undone::Import};
}

} // namespace morvane
