#include "widgets/FileListModel.h"

#include "widgets/MessageBoxes.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFileInfo>
#include <QPainter>
#include <QStyleOptionProgressBar>
#include <algorithm>

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
        m_outcomes.removeIf(
            [this](const auto &entry) { return m_list.positionOf(entry.key()) == 0; });
        endRemoveRows();
    });
    connect(&list, &ConversionList::cleared, this, [this] {
        beginResetModel();
        m_outcomes.clear();
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
        if (field == Field::Status) {
            const auto outcome = m_outcomes.constFind(m_list.idAt(index.row() + 1));
            return outcome == m_outcomes.cend() ? QVariant() : plainToolTip(outcome->reason);
        }
        return field == Field::FileName || field == Field::Watermark ? plainToolTip(text)
                                                                     : QVariant();
    case ProgressRole: {
        const auto progress = m_progress.constFind(m_list.idAt(index.row() + 1));
        if (field != Field::Status || progress == m_progress.cend())
            return {};
        return *progress;
    }
    case Qt::ForegroundRole: {
        const auto outcome = m_outcomes.constFind(m_list.idAt(index.row() + 1));
        if (field != Field::Status || outcome == m_outcomes.cend())
            return {};
        if (outcome->status == ConversionJob::Status::Failed)
            return QBrush(QColor(0xc6, 0x28, 0x28));
        if (outcome->status == ConversionJob::Status::Ok)
            return QBrush(QColor(0x2e, 0x7d, 0x32));
        return {};
    }
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

void FileListModel::setOutcome(ConversionList::RowId id, ConversionJob::Status status,
                               const QString &reason)
{
    m_outcomes.insert(id, {status, reason});
    m_progress.remove(id);
    statusCellChanged(id);
}

void FileListModel::setProgress(ConversionList::RowId id, int percent)
{
    percent = std::clamp(percent, 0, 100);
    const auto it = m_progress.constFind(id);
    if (it != m_progress.cend() && *it == percent)
        return;
    m_progress.insert(id, percent);
    statusCellChanged(id);
}

void FileListModel::forgetOutcome(ConversionList::RowId id)
{
    if (m_outcomes.remove(id))
        statusCellChanged(id);
}

void FileListModel::statusCellChanged(ConversionList::RowId id)
{
    const int position = m_list.positionOf(id);
    if (position == 0)
        return;
    const QModelIndex cell = index(position - 1, int(Field::Status));
    emit dataChanged(cell, cell, {Qt::ToolTipRole, Qt::ForegroundRole, ProgressRole});
}

StatusCellDelegate::StatusCellDelegate(QWidget *parent)
    : QStyledItemDelegate(parent), m_look(new QProgressBar(parent))
{
    m_look->hide();
}

void StatusCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    const QVariant progress = index.data(FileListModel::ProgressRole);
    if (!progress.isValid())
        return QStyledItemDelegate::paint(painter, option, index);
    // The row's background and selection first, then the bar inside the cell.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    QStyleOptionProgressBar bar;
    bar.rect = option.rect.adjusted(2, 2, -2, -2);
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = progress.toInt();
    bar.textVisible = false;
    bar.state = option.state | QStyle::State_Horizontal;
    bar.palette = option.palette;
    bar.fontMetrics = option.fontMetrics;
    m_look->ensurePolished();
    m_look->style()->drawControl(QStyle::CE_ProgressBar, &bar, painter, m_look);
    // "Processing 45%" on one line over the bar; a narrow cell shows the
    // percent alone, as the bar says the rest.
    const QString percent = QStringLiteral("%1%").arg(bar.progress);
    QString text = index.data().toString() + QLatin1Char(' ') + percent;
    if (option.fontMetrics.horizontalAdvance(text) > bar.rect.width() - 4)
        text = percent;
    painter->save();
    painter->setPen(option.palette.color(QPalette::Text));
    painter->drawText(bar.rect, Qt::AlignCenter, text);
    painter->restore();
}
