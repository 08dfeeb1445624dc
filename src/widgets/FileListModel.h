#pragma once

#include "app/ConversionList.h"
#include "engine/ConversionJob.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QProgressBar>
#include <QStyledItemDelegate>

// The file list as a table: one row per ConversionItem, one column per field.
// It follows the list's signals, so rows appear and fill as they change.
class FileListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The status cell's percent (an int) while its row converts beside
    // others; no value otherwise.
    static constexpr int ProgressRole = Qt::UserRole + 1;

    explicit FileListModel(ConversionList &list, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // How a row's last conversion ended: colours its status, and a failed
    // row's reason is the status cell's tooltip. A row that starts again
    // forgets it.
    void setOutcome(ConversionList::RowId id, ConversionJob::Status status, const QString &reason);
    void forgetOutcome(ConversionList::RowId id);
    // A running row's own percent; its outcome clears it.
    void setProgress(ConversionList::RowId id, int percent);

private:
    struct Outcome
    {
        ConversionJob::Status status;
        QString reason;
    };
    void statusCellChanged(ConversionList::RowId id);

    ConversionList &m_list;
    QHash<ConversionList::RowId, Outcome> m_outcomes;
    QHash<ConversionList::RowId, int> m_progress;
};

// Draws a status cell that has a percent as a bar with its text inside.
class StatusCellDelegate : public QStyledItemDelegate
{
public:
    explicit StatusCellDelegate(QWidget *parent);
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    // Never shown: the bar is drawn as this one, so that a style sheet's
    // rules for progress bars apply to it too.
    QProgressBar *m_look;
};
