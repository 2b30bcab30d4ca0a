#include "ui/historymodel.h"

#include <limits>

namespace morvane {

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
        return m_lines.at(index.row());
    return {};
}

void HistoryModel::setLines(History lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

void HistoryModel::append(const QString& line)
{
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
