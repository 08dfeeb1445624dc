#pragma once

#include "app/OptionSheet.h"

#include <QAbstractItemModel>
#include <QStyledItemDelegate>

// The option sheet as a two-column tree: groups at the top, their items
// below, with the item's name and value. Values of editable items can be
// changed; Choice items offer their choices.
class OptionGridModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit OptionGridModel(OptionSheet &sheet, QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The item behind an index; nullptr for group rows.
    const OptionItem *itemAt(const QModelIndex &index) const;
    // The index of an item's value cell.
    QModelIndex valueIndex(const QString &group, const QString &item) const;

private:
    OptionSheet &m_sheet;
};

// Edits a value: a drop-down of the choices for Choice items, a line edit
// for Text items.
class OptionGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
};
