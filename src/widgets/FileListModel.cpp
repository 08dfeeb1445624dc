#include "widgets/FileListModel.h"

#include <QBrush>
#include <QColor>
#include <QFileInfo>

using Field = ConversionItem::Field;

FileListModel::FileListModel(ConversionList &list, QObject *parent)
    : QAbstractTableModel(parent), m_list(list)
{
    // The list has already changed when it signals, so rows are announced
    // as a whole: insert/remove of one row, or a reset.
    connect(&list, &ConversionList::rowAppended, this, [this](int position) {
        beginInsertRows({}, position - 1, position - 1);
        endInsertRows();
    });
    connect(&list, &ConversionList::rowRemoved, this, [this](int position) {
        beginRemoveRows({}, position - 1, position - 1);
        QHash<int, QString> shifted;
        for (auto it = m_reasons.cbegin(); it != m_reasons.cend(); ++it) {
            if (it.key() != position)
                shifted.insert(it.key() > position ? it.key() - 1 : it.key(), it.value());
        }
        m_reasons = shifted;
        endRemoveRows();
    });
    connect(&list, &ConversionList::cleared, this, [this] {
        beginResetModel();
        m_reasons.clear();
        endResetModel();
    });
    connect(&list, &ConversionList::fieldChanged, this, [this](int position, Field field) {
        const QModelIndex cell = index(position - 1, int(field));
        emit dataChanged(cell, cell);
    });
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_list.count();
}

int FileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ConversionItem::FieldCount;
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    const ConversionItem *row = m_list.row(index.row() + 1);
    if (!row)
        return {};
    const auto field = Field(index.column());
    const QString &text = row->field(field);
    switch (role) {
    case Qt::DisplayRole:
        return text;
    case Qt::ToolTipRole:
        if (field == Field::Status)
            return m_reasons.value(index.row() + 1);
        return field == Field::FileName || field == Field::Watermark ? text : QVariant();
    case Qt::ForegroundRole:
        if (field == Field::Status && text == QLatin1String("Fail"))
            return QBrush(QColor(0xc6, 0x28, 0x28));
        if (field == Field::Status && text == QLatin1String("OK"))
            return QBrush(QColor(0x2e, 0x7d, 0x32));
        return {};
    default:
        return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ConversionItem::FieldCount)
        return {};
    return ConversionItem::header(Field(section));
}

void FileListModel::setFailureReason(int position, const QString &reason)
{
    if (reason.isEmpty())
        m_reasons.remove(position);
    else
        m_reasons.insert(position, reason);
    const QModelIndex cell = index(position - 1, int(Field::Status));
    emit dataChanged(cell, cell, {Qt::ToolTipRole});
}
