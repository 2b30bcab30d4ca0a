#pragma once

// The import of weights kept elsewhere: a file chosen (or dropped on the history list), read
// without freezing the window, shown in a preview the user can adjust, and, once confirmed,
// merged into the history, which keeps every line's date (store/historyimport.h). The undo of
// the history's editing takes it back.

#include "store/historyimport.h"

#include <QObject>

#include <optional>

namespace morvane {

class Session;

// What the preview dialog shows and changes: the file as read, the user's choices, and what
// importing would do with them.
class ImportPreviewer {
public:
    ImportPreviewer(Session& session, ImportFile file);

    const ImportFile& file() const { return m_file; }
    const ImportChoices& choices() const { return m_choices; }
    const ImportPreview& preview() const { return m_preview; }

    // Reads the file again with other columns (with progress); false when the reading was
    // cancelled or failed (the user has then been told why), which keeps what was shown.
    bool chooseColumns(int dateColumn, int weightColumn);
    void chooseDayMonthOrder(DayMonthOrder order);
    void chooseCurrentWeight(bool makeCurrent);

private:
    void update();

    Session& m_session;
    ImportFile m_file;
    ImportChoices m_choices;
    ImportPreview m_preview;
};

class HistoryImporter : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryImporter)

public:
    explicit HistoryImporter(Session& session);

    // Imports a file: the one given (a file dropped on the list), else the one the user
    // chooses. A weight without a height has no BMI: the height is asked for first.
    void importHistory(const std::optional<QString>& path = std::nullopt);

private:
    // The file read with those options, with progress; nullopt when cancelled or refused (the
    // user has then been told why).
    std::optional<ImportFile> read(const QString& path, const ImportOptions& options);
    void apply(const HistoryImport& result, const ImportChoices& choices);

    friend class ImportPreviewer;
    Session& m_session;
};

} // namespace morvane
