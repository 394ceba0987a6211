// The rows of a table of the progress window as plain texts, for a
// QTableView: cheap to fill with many rows, read cell by cell by a screen
// reader like any table.
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace letro::progressview {

class TextTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TextTable(const QStringList &headers, QObject *parent = nullptr);

    void setRows(const QList<QStringList> &rows);
    const QList<QStringList> &rows() const { return m_rows; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QStringList m_headers;
    QList<QStringList> m_rows;
};

} // namespace letro::progressview
