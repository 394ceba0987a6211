#include "texttable.h"

namespace letro::progressview {

TextTable::TextTable(const QStringList &headers, QObject *parent)
    : QAbstractTableModel(parent), m_headers(headers)
{}

void TextTable::setRows(const QList<QStringList> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

int TextTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TextTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant TextTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const QStringList &row = m_rows.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return index.column() < row.size() ? row.at(index.column()) : QString();
    if (role == Qt::TextAlignmentRole && index.column() == m_headers.size() - 1)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter); // the counts
    return {};
}

QVariant TextTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_headers.size() ? m_headers.at(section) : QVariant();
    return section + 1;
}

} // namespace letro::progressview
