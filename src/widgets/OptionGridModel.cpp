#include "widgets/OptionGridModel.h"

#include "widgets/MessageBoxes.h"

#include <QComboBox>
#include <QFont>
#include <QLineEdit>

namespace {

// Group rows carry no internal id; item rows carry their group's row + 1.
constexpr quintptr GroupRow = 0;

} // namespace

OptionGridModel::OptionGridModel(OptionSheet &sheet, QObject *parent)
    : QAbstractItemModel(parent), m_sheet(sheet)
{
    connect(&sheet, &OptionSheet::structureChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&sheet, &OptionSheet::itemChanged, this,
            [this](const QString &group, const QString &item) {
                const QModelIndex value = valueIndex(group, item);
                emit dataChanged(value.siblingAtColumn(0), value);
            });
}

QModelIndex OptionGridModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    return createIndex(row, column, parent.isValid() ? quintptr(parent.row() + 1) : GroupRow);
}

QModelIndex OptionGridModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == GroupRow)
        return {};
    return createIndex(int(child.internalId() - 1), 0, GroupRow);
}

int OptionGridModel::rowCount(const QModelIndex &parent) const
{
    const auto &groups = m_sheet.groups();
    if (!parent.isValid())
        return int(groups.size());
    if (parent.internalId() != GroupRow || parent.column() != 0)
        return 0;
    return int(groups[size_t(parent.row())].items.size());
}

int OptionGridModel::columnCount(const QModelIndex &) const
{
    return 2;
}

const OptionItem *OptionGridModel::itemAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == GroupRow)
        return nullptr;
    const auto &groups = m_sheet.groups();
    const size_t group = size_t(index.internalId() - 1);
    if (group >= groups.size() || size_t(index.row()) >= groups[group].items.size())
        return nullptr;
    return &groups[group].items[size_t(index.row())];
}

QModelIndex OptionGridModel::valueIndex(const QString &group, const QString &item) const
{
    const auto &groups = m_sheet.groups();
    for (size_t g = 0; g < groups.size(); ++g) {
        if (groups[g].name != group)
            continue;
        for (size_t i = 0; i < groups[g].items.size(); ++i) {
            if (groups[g].items[i].name == item)
                return createIndex(int(i), 1, quintptr(g + 1));
        }
    }
    return {};
}

QVariant OptionGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const OptionItem *item = itemAt(index);
    if (!item) {
        const OptionGroup &group = m_sheet.groups()[size_t(index.row())];
        if (role == Qt::DisplayRole && index.column() == 0)
            return group.name;
        if (role == Qt::FontRole) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return index.column() == 0 ? item->name : item->value;
    case Qt::ToolTipRole:
        return index.column() == 1 ? plainToolTip(item->value) : QVariant();
    default:
        return {};
    }
}

bool OptionGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const OptionItem *item = itemAt(index);
    if (role != Qt::EditRole || index.column() != 1 || !item || item->readOnly)
        return false;
    const QModelIndex groupIndex = index.parent();
    return m_sheet.setValue(m_sheet.groups()[size_t(groupIndex.row())].name, item->name,
                            value.toString());
}

Qt::ItemFlags OptionGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const OptionItem *item = itemAt(index);
    if (!item) // group rows
        return flags & ~Qt::ItemIsSelectable;
    // A choice item without choices ("N/A" after a profile) has nothing to pick.
    const bool editable =
        !item->readOnly && (item->kind == OptionItemKind::Text || !item->choices.isEmpty());
    if (index.column() == 1 && editable)
        flags |= Qt::ItemIsEditable;
    else if (item->readOnly)
        flags &= ~Qt::ItemIsEnabled;
    return flags | Qt::ItemNeverHasChildren;
}

QVariant OptionGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("Option") : QStringLiteral("Value");
}

QWidget *OptionGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    const auto *model = qobject_cast<const OptionGridModel *>(index.model());
    const OptionItem *item = model ? model->itemAt(index) : nullptr;
    if (!item || item->kind != OptionItemKind::Choice)
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto *combo = new QComboBox(parent);
    combo->addItems(item->choices);
    // Commit as soon as a choice is picked, not only when focus leaves.
    connect(combo, &QComboBox::activated, this, [this, combo] {
        emit const_cast<OptionGridDelegate *>(this)->commitData(combo);
        emit const_cast<OptionGridDelegate *>(this)->closeEditor(combo);
    });
    return combo;
}

void OptionGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        const QString value = index.data(Qt::EditRole).toString();
        const int at = combo->findText(value);
        if (at >= 0)
            combo->setCurrentIndex(at);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void OptionGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                      const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        model->setData(index, combo->currentText());
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}
