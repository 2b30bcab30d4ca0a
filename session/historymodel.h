#pragma once

// The history's lines as a list model for the history list, as the history file holds them. Only
// the rows on screen are ever turned into text, so a history of a million lines opens as fast
// as its file reads.

#include "store/history.h"

#include <QAbstractListModel>

namespace morvane {

// A line written by the program is under 40 characters. A longer line (from a damaged or edited
// file) is shown up to this many characters and an ellipsis, in the list, its tooltip and its
// accessible text alike; the file keeps the whole line.
inline constexpr qsizetype kMaxShownLineLength = 200;

class HistoryModel : public QAbstractListModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryModel)

public:
    explicit HistoryModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    const History& lines() const { return m_lines; }
    // Line `row` as the list shows it, shortened as above: the form for any dialog or message.
    QString shownLine(int row) const;
    void setLines(History lines);
    void append(const QString& line);
    void clear();
    // Takes the history as the file holds it after line `row` was taken out of it or put back
    // at that place: views keep their selection and scroll position on the other lines.
    void lineRemoved(int row, History lines);
    void lineInserted(int row, History lines);

private:
    History m_lines;
};

} // namespace morvane
