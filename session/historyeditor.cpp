#include "session/historyeditor.h"

#include "session/filefollower.h"
#include "session/historymodel.h"
#include "session/session.h"
#include "store/csvexport.h"
#include "store/historybackup.h"
#include "store/historyimport.h"

using namespace Qt::StringLiterals;

namespace morvane {

HistoryEditor::HistoryEditor(Session& session)
    : QObject(&session)
    , m_session(session)
{
    // Any change of the history but the deletion itself ends what its undo can put back.
    const HistoryModel* history = session.history();
    connect(history, &QAbstractItemModel::rowsInserted, this, &HistoryEditor::forgetRemovedLine);
    connect(history, &QAbstractItemModel::rowsRemoved, this, &HistoryEditor::forgetRemovedLine);
    connect(history, &QAbstractItemModel::modelReset, this, &HistoryEditor::forgetRemovedLine);
}

void HistoryEditor::clearHistory()
{
    const FileFollower::Busy busy(m_session.follower());
    const DataFiles& files = m_session.files();
    if (!m_session.confirm(tr("これまでの履歴を削除します"), tr("履歴削除")))
        return;
    // The clear keeps the history as the backup the undo restores; only one is kept.
    if (clearReplacesBackup(files) &&
        !m_session.confirm(tr("前回削除した履歴を元に戻すための控え「%1」があります。\n"
                              "これを破棄して、今回削除する履歴を新しい控えにしますか？")
                               .arg(fullPath(files.path(kHistoryBackupFileName))),
                           tr("履歴削除")))
        return;
    if (const auto error = morvane::clearHistory(files)) {
        m_session.reportWriteError(*error, tr("履歴は削除されていません。"));
        return;
    }
    m_session.history()->clear();
}

bool HistoryEditor::canUndoClear() const
{
    return hasBackup(m_session.files());
}

void HistoryEditor::undoClear()
{
    const FileFollower::Busy busy(m_session.follower());
    // An import's undo takes out every line it added: asked first, unlike a clear's, which only
    // puts lines back.
    if (backupIsFromImport(m_session.files()) &&
        !m_session.confirm(tr("取り込みを元に戻し、取り込む前の履歴に戻します。\n"
                              "取り込みのあとに記録した体重は残ります。"),
                           tr("履歴を元に戻す")))
        return;
    HistoryRestore restored = restoreHistory(m_session.files());
    if (restored.status == HistoryRestore::Status::Restored) {
        m_session.history()->setLines(std::move(restored.lines));
        // An import's undo puts back the weight it made current, unless one was entered since.
        if (restored.undone == HistoryRestore::Undone::Import)
            m_session.follower().showFiles();
    } else if (restored.error) {
        m_session.message(Dialogs::Severity::Error,
                          tr("履歴を元に戻せませんでした。\n「%1」: %2")
                              .arg(restored.error->path, restored.error->reason),
                          tr("履歴を元に戻す"));
    }
}

std::optional<int> HistoryEditor::deleteLine(int row)
{
    const FileFollower::Busy busy(m_session.follower());
    HistoryModel* history = m_session.history();
    if (row < 0 || row >= history->rowCount())
        return std::nullopt;
    const QString title = tr("記録の削除");
    // The line as the list shows it: a line of megabytes from a damaged file would take the
    // message box seconds to lay out, with the program frozen meanwhile.
    if (!m_session.confirm(tr("次の記録を履歴から削除します。\n\n%1").arg(history->shownLine(row)),
                           title, Dialogs::Default::Cancel))
        return std::nullopt;

    HistoryEdit edit = removeHistoryLine(m_session.files(), row, history->lines().at(row));
    if (!applied(edit, title,
                 tr("「%1」が、表示している履歴と違っています（ほかのプログラムが書き換えた可能性が"
                    "あります）。記録は削除していません。\n履歴を読み直して表示します。"),
                 tr("記録は削除されていません。")))
        return std::nullopt;
    history->lineRemoved(row, std::move(edit.lines)); // ends any earlier undo
    m_removedLine = std::move(edit.removed);
    emit m_session.undoDeleteChanged();
    // The next line down takes the selection, so that Delete can go on through the list.
    if (history->rowCount() > 0)
        return std::min(row, history->rowCount() - 1);
    return std::nullopt;
}

std::optional<int> HistoryEditor::undoDelete()
{
    const FileFollower::Busy busy(m_session.follower());
    if (!m_removedLine)
        return std::nullopt;
    const RemovedLine removed = *m_removedLine;
    HistoryEdit edit = restoreHistoryLine(m_session.files(), removed);
    if (edit.status == HistoryEdit::Status::Changed)
        forgetRemovedLine(); // the line cannot go back where it was any more
    // After a failed write the line is still in memory: the undo can be tried again.
    if (!applied(edit, tr("元に戻す"),
                 tr("「%1」が、記録を削除したあとに変更されているため、元に戻せませんでした。"),
                 tr("削除した記録は元に戻っていません。")))
        return std::nullopt;
    m_session.history()->lineInserted(int(removed.index), std::move(edit.lines));
    return int(removed.index);
}

void HistoryEditor::exportCsv()
{
    const FileFollower::Busy busy(m_session.follower());
    const QString title = tr("CSV書き出し");
    const DataFiles& files = m_session.files();
    const std::optional<QString> path = m_session.m_services.dialogs->saveFileName(
        title, files.path(u"履歴.csv"_s), tr("CSV ファイル (*.csv)"));
    if (!path)
        return;
    if (const auto error =
            exportHistoryCsv(m_session.history()->lines(), m_session.today(), *path, files)) {
        m_session.message(
            Dialogs::Severity::Error,
            tr("「%1」に書き込めませんでした。\n理由: %2").arg(error->path, error->reason), title);
    }
}

bool HistoryEditor::applied(const HistoryEdit& edit, const QString& title, const QString& changed,
                            const QString& notDone)
{
    switch (edit.status) {
    case HistoryEdit::Status::Done:
        return true;
    case HistoryEdit::Status::Changed:
        m_session.message(Dialogs::Severity::Warning,
                          changed.arg(fullPath(m_session.files().path(kHistoryFileName))), title);
        m_session.reloadHistory();
        return false;
    case HistoryEdit::Status::Failed:
        m_session.reportWriteError(*edit.error, notDone);
        return false;
    }
    return false;
}

void HistoryEditor::forgetRemovedLine()
{
    if (!m_removedLine)
        return;
    m_removedLine.reset();
    emit m_session.undoDeleteChanged();
}

} // namespace morvane
