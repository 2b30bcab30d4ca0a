#include "store/historyedit.h"

#include "store/fileio.h"
#include "store/historylock.h"

#include <QCryptographicHash>

#include <fcntl.h>

namespace morvane {
namespace {

QByteArray digestOf(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

HistoryEdit changed()
{
    return HistoryEdit{HistoryEdit::Status::Changed, {}, std::nullopt, std::nullopt};
}

HistoryEdit failed(FileError error)
{
    return HistoryEdit{HistoryEdit::Status::Failed, {}, std::nullopt, std::move(error)};
}

// Replaces the history with `bytes` and reads them back as lines. The caller holds the history's
// lock from before it read the file, so that no other instance's entry is lost with the old one.
HistoryEdit rewrite(const QString& path, QByteArray bytes)
{
    if (std::optional<FileError> error = replaceFile(path, bytes))
        return failed(std::move(*error));
    return HistoryEdit{HistoryEdit::Status::Done, History(std::move(bytes)), std::nullopt,
                       std::nullopt};
}

// Runs `edit` on the history's bytes while holding its lock, from before the read until after
// the rewrite, so that no other instance's entry falls between the two.
template <typename Edit> HistoryEdit editLocked(const DataFiles& files, Edit edit)
{
    const QString path = files.path(kHistoryFileName);
    const HistoryLock lock(path, [&] { return openHistory(path, O_RDONLY); });
    if (lock.error())
        return failed(*lock.error());
    FileContent content = readWholeFile(path, kMaxHistoryBytes);
    if (content.error)
        return failed(std::move(*content.error));
    return edit(path, std::move(content));
}

} // namespace

HistoryEdit removeHistoryLine(const DataFiles& files, qsizetype index, const QString& line)
{
    return editLocked(files, [&](const QString& path, FileContent content) {
        const History before(std::move(content.bytes));
        if (index < 0 || index >= before.size() || before.at(index) != line)
            return changed();

        const History::Span span = before.span(index);
        RemovedLine removed{
            index, span.begin, before.bytes().sliced(span.begin, span.end - span.begin), {}};
        QByteArray after = before.bytes();
        after.remove(span.begin, span.end - span.begin);
        removed.fileDigest = digestOf(after);

        HistoryEdit edit = rewrite(path, std::move(after));
        if (edit.status == HistoryEdit::Status::Done)
            edit.removed = std::move(removed);
        return edit;
    });
}

HistoryEdit restoreHistoryLine(const DataFiles& files, const RemovedLine& removed)
{
    return editLocked(files, [&](const QString& path, FileContent content) {
        if (content.missing || removed.offset > content.bytes.size() ||
            digestOf(content.bytes) != removed.fileDigest)
            return changed();

        QByteArray bytes = std::move(content.bytes);
        bytes.insert(removed.offset, removed.bytes);
        return rewrite(path, std::move(bytes));
    });
}

} // namespace morvane
