#pragma once

// The import's preview: the format found, the columns and the order of month and day used (which
// the user may change), the dates the file spans, how many entries are new, already in the
// history or refused (each refused row with its reason), and the first lines as they will be
// written. 取り込む imports, キャンセル changes nothing; a file with nothing to import says so and
// offers only キャンセル.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;

namespace morvane {

class ImportPreviewer;

class ImportDialog : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImportDialog)

public:
    ImportDialog(ImportPreviewer& previewer, QWidget* parent = nullptr);

private:
    void fillColumns();
    void columnsChosen();
    void showPreview();

    ImportPreviewer& m_previewer;
    QLabel* m_format = nullptr;
    QComboBox* m_dateColumn = nullptr;
    QComboBox* m_weightColumn = nullptr;
    QLabel* m_orderCaption = nullptr;
    QComboBox* m_order = nullptr;
    QLabel* m_range = nullptr;
    QLabel* m_counts = nullptr;
    QPlainTextEdit* m_refused = nullptr;
    QPlainTextEdit* m_lines = nullptr;
    QCheckBox* m_currentWeight = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace morvane
