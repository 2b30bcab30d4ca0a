#include "session/historyimporter.h"

#include "measure/entry.h"
#include "session/entryflow.h"
#include "session/filefollower.h"
#include "session/historymodel.h"
#include "session/session.h"

#include <QDir>
#include <QFileInfo>

namespace morvane {

ImportPreviewer::ImportPreviewer(Session& session, ImportFile file)
    : m_session(session)
    , m_file(std::move(file))
{
    // The newest weight becomes the current one unless the user says otherwise.
    m_choices.makeCurrentWeight = true;
    update();
}

bool ImportPreviewer::chooseColumns(int dateColumn, int weightColumn)
{
    std::optional<ImportFile> reread =
        m_session.importer().read(m_file.path, ImportOptions{dateColumn, weightColumn});
    if (!reread)
        return false;
    m_file = std::move(*reread);
    update();
    return true;
}

void ImportPreviewer::chooseDayMonthOrder(DayMonthOrder order)
{
    m_choices.dayMonthOrder = order;
    update();
}

void ImportPreviewer::chooseCurrentWeight(bool makeCurrent)
{
    m_choices.makeCurrentWeight = makeCurrent;
}

void ImportPreviewer::update()
{
    const Measurement& m = m_session.measurement();
    m_preview = previewImport(m_session.history()->lines(), m_file, m_choices, m_session.today(),
                              m.height.value_or(0.0f), m_session.locale());
}

HistoryImporter::HistoryImporter(Session& session)
    : QObject(&session)
    , m_session(session)
{}

void HistoryImporter::importHistory(const std::optional<QString>& given)
{
    const FileFollower::Busy busy(m_session.follower());
    Session& s = m_session;
    Dialogs& dialogs = *s.m_services.dialogs;
    const QString title = tr("履歴の取り込み");
    std::optional<QString> path = given;
    if (!path) {
        path = dialogs.openFileName(title, QDir::homePath(),
                                    tr("記録のファイル (*.csv *.tsv *.txt *.xml);;"
                                       "すべてのファイル (*)"));
    }
    if (!path)
        return;
    if (!s.m_measurement.height) {
        // The lines carry the BMI and the obesity degree, which need a height.
        s.entries().enter(Entry::Height);
        if (!s.m_measurement.height)
            return;
    }
    std::optional<ImportFile> file = read(*path, {});
    if (!file)
        return;
    ImportPreviewer previewer(s, std::move(*file));
    if (!dialogs.confirmImport(previewer))
        return;
    if (importReplacesBackup(s.m_files) &&
        !s.confirm(tr("前回の控え「%1」があります。\n"
                      "これを破棄して、取り込む前の履歴を新しい控えにしますか？")
                       .arg(fullPath(s.m_files.path(kHistoryBackupFileName))),
                   title))
        return;
    apply(importIntoHistory(s.m_files, previewer.file(), previewer.choices(), s.today(),
                            *s.m_measurement.height, s.m_locale),
          previewer.choices());
}

std::optional<ImportFile> HistoryImporter::read(const QString& path, const ImportOptions& options)
{
    ImportRead result;
    m_session.m_services.dialogs->runWithProgress(
        tr("履歴の取り込み"), tr("「%1」を読み込んでいます…").arg(QFileInfo(path).fileName()),
        [&](const Dialogs::Progress& progress) {
            result = readImportFile(path, options, progress);
        });
    if (result.cancelled)
        return std::nullopt;
    if (result.error) {
        m_session.message(
            Dialogs::Severity::Error,
            tr("「%1」を取り込めません。\n理由: %2").arg(result.error->path, result.error->reason),
            tr("履歴の取り込み"));
        return std::nullopt;
    }
    return std::move(result.file);
}

void HistoryImporter::apply(const HistoryImport& result, const ImportChoices& choices)
{
    Session& s = m_session;
    const QString title = tr("履歴の取り込み");
    switch (result.status) {
    case HistoryImport::Status::NothingToImport:
        s.message(Dialogs::Severity::Warning, tr("取り込める新しい記録はありませんでした。"),
                  title);
        return;
    case HistoryImport::Status::Failed:
        s.message(Dialogs::Severity::Error,
                  tr("履歴に取り込めませんでした。\n「%1」: %2")
                      .arg(result.error->path, result.error->reason),
                  title);
        return;
    case HistoryImport::Status::Imported:
        break;
    }
    s.m_history->setLines(result.lines);
    const ImportPreview& imported = result.preview;
    if (result.weightError) {
        s.reportWriteError(*result.weightError, tr("現在の体重は変更されていません。"));
    } else if (choices.makeCurrentWeight && imported.newestIsImported) {
        s.follower().showFiles();
    }
    s.message(Dialogs::Severity::Information,
              tr("%n 件の記録を取り込みました。\n"
                 "「履歴を元に戻す」で、取り込む前の履歴に戻せます。",
                 nullptr, int(imported.newEntries)),
              title);
}

} // namespace morvane
