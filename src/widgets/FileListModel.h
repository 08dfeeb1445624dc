#pragma once

#include "app/ConversionList.h"

#include <QAbstractTableModel>
#include <QHash>

// The file list as a table: one row per ConversionItem, one column per field.
// It follows the list's signals, so rows appear and fill as they change.
class FileListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit FileListModel(ConversionList &list, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Why a row failed, shown as the status cell's tooltip; "" clears it.
    void setFailureReason(int position, const QString &reason);

private:
    ConversionList &m_list;
    // Keyed by the row's position; shifted when rows are removed.
    QHash<int, QString> m_reasons;
};
