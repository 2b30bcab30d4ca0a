#include "session/historymodel.h"

#include <algorithm>
#include <limits>

namespace morvane {
namespace {

// Decodes no more of a line than is shown: a line of many megabytes (a damaged file) would
// otherwise be decoded whole each time the list paints, asks for a tooltip or a screen reader
// reads it. A UTF-8 character takes at most 4 bytes, so this many bytes hold more characters
// than are shown, plus a partly cut character at the end.
QString shownText(QByteArrayView line)
{
    constexpr qsizetype kMaxBytes = 4 * kMaxShownLineLength + 8;
    QString text = QString::fromUtf8(line.first(std::min(line.size(), kMaxBytes)));
    if (text.size() <= kMaxShownLineLength)
        return text;
    qsizetype keep = kMaxShownLineLength;
    if (text.at(keep - 1).isHighSurrogate())
        --keep;
    text.truncate(keep);
    text += QChar(0x2026); // …
    return text;
}

} // namespace

HistoryModel::HistoryModel(QObject* parent)
    : QAbstractListModel(parent)
{}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    // A view counts rows in int; a history longer than that shows its first rows.
    if (parent.isValid())
        return 0;
    return int(qMin<qsizetype>(m_lines.size(), std::numeric_limits<int>::max()));
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return shownLine(index.row());
    return {};
}

QString HistoryModel::shownLine(int row) const
{
    return shownText(m_lines.lineBytes(row));
}

void HistoryModel::setLines(History lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

void HistoryModel::append(const QString& line)
{
    if (line.isEmpty())
        return; // an empty line is no entry of the history
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_lines.append(line);
    endInsertRows();
}

void HistoryModel::lineRemoved(int row, History lines)
{
    beginRemoveRows(QModelIndex(), row, row);
    m_lines = std::move(lines);
    endRemoveRows();
}

void HistoryModel::lineInserted(int row, History lines)
{
    beginInsertRows(QModelIndex(), row, row);
    m_lines = std::move(lines);
    endInsertRows();
}

void HistoryModel::clear()
{
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

} // namespace morvane
