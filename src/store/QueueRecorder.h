#pragma once

#include "app/ConversionList.h"
#include "engine/ConversionJob.h"
#include "store/QueueStore.h"

#include <QObject>
#include <QTimer>
#include <vector>

class ConversionEngine;

// Keeps the records of a list up to date as the list and its batch change.
//
// Changes of the list (rows added, removed, probed, clipped) are written
// together once control is back in the event loop, so that adding 10,000
// files is one transaction. A row's conversion state is written at once,
// before the next step is taken: the part file and the output when FFmpeg
// starts, the finished file's size before it is renamed, and the result.
class QueueRecorder : public QObject
{
    Q_OBJECT

public:
    // `clearFinished`: rows converted OK leave the records when their batch
    // ends (the window); otherwise they stay, so that a later run can tell
    // what was done (clipwright-cli --queue).
    QueueRecorder(QueueStore &store, ConversionList &list, ConversionEngine &engine,
                  bool clearFinished, QObject *parent = nullptr);

    // The row at `position` is the one `record` describes (a restored row,
    // or a source converted again under its old record): it keeps the
    // record's id. Its list fields are written with the next changes.
    void adopt(int position, const QueueRecord &record);
    // A batch-wide value, such as the profile's position.
    void setValue(const QString &key, const QString &value);
    // Writes what is waiting now.
    bool flush();
    // Recording ends: `keep` false removes every record first.
    void stop(bool keep);

    // Where each row stands now, in list order; for tests.
    const std::vector<QueueRecord> &entries() const { return m_entries; }

signals:
    // A write failed; the records may lag behind the list.
    void writeFailed(const QString &message);

private:
    void onAppended(int position);
    void onRemoved(int position);
    void onCleared();
    void onFieldChanged(int position, ConversionItem::Field field);
    void onWriting(ConversionList::RowId id, const QString &output, const QString &part,
                   const QString &commandLine);
    void onPlacing(ConversionList::RowId id, const QString &output, qint64 size);
    void onFinished(ConversionList::RowId id, ConversionJob::Status status, const QString &output,
                    const QString &reason);
    void onBatchFinished();
    int indexOf(ConversionList::RowId id) const; // -1 when the row is gone
    void markDirty(int index);
    void writeNow(int index);

    QueueStore &m_store;
    ConversionList &m_list;
    bool m_clearFinished;
    bool m_stopped = false;
    std::vector<QueueRecord> m_entries; // beside the list's rows, same order
    std::vector<bool> m_dirty;
    QVector<qint64> m_removed;
    QHash<QString, QString> m_values;
    QTimer m_flushTimer;
};

// What the records of an earlier run come to.
struct RecordsOutcome
{
    QVector<QueueRecord> unfinished; // to list again, in order, their status cleared
    QVector<qint64> interrupted;     // ids of those that were converting when the run ended
    QVector<qint64> finished;        // ids of rows that were done
    QVector<qint64> sourceGone;      // ids of rows whose source no longer exists
};

// Sorts out the records of a run that ended abnormally. The part file of a
// row that was converting is removed; nothing else is touched. A row whose
// part file is gone and whose output has the size recorded before its
// rename was done.
RecordsOutcome sortOutRecords(const QVector<QueueRecord> &records);
// A record left "running" by a run that ended abnormally: its part file is
// removed, and it becomes "ok" when its output was renamed with the recorded
// size just before the end, otherwise waiting ("").
void settleRunning(QueueRecord &record);
// Appends the row `record` describes to `list`, with the fields the user
// chose marked as chosen; returns its position.
int appendRecord(ConversionList &list, const QueueRecord &record);

// True when `record`'s output is the file recorded: it exists with the
// recorded size and, once recorded, modification time.
bool outputStillThere(const QueueRecord &record);
// True when `record`'s source is the file that was converted.
bool sourceUnchanged(const QueueRecord &record);
// A record's list fields written into a row, and back.
ConversionItem itemFromRecord(const QueueRecord &record);
void recordItem(QueueRecord &record, const ConversionItem &item);
