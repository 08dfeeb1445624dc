#include "store/QueueRecorder.h"

#include "engine/ConversionEngine.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

QString recordStatus(ConversionJob::Status status)
{
    switch (status) {
    case ConversionJob::Status::Ok:
        return QStringLiteral("ok");
    case ConversionJob::Status::Failed:
        return QStringLiteral("failed");
    case ConversionJob::Status::Cancelled:
    case ConversionJob::Status::FinishingAfterCancel:
        return QStringLiteral("cancelled");
    case ConversionJob::Status::Running:
        return QStringLiteral("running");
    case ConversionJob::Status::Waiting:
        break;
    }
    return {};
}

qint64 modifiedMs(const QFileInfo &file)
{
    return file.lastModified().toMSecsSinceEpoch();
}

} // namespace

ConversionItem itemFromRecord(const QueueRecord &record)
{
    ConversionItem item;
    item.FileName = record.source;
    item.Start = record.start;
    item.End = record.end;
    item.Watermark = record.watermark;
    item.chosenFields = record.chosen;
    item.Size = record.size;
    item.Format = record.format;
    item.VideoTime = record.videoTime;
    return item;
}

void recordItem(QueueRecord &record, const ConversionItem &item)
{
    record.source = item.FileName;
    record.start = item.Start;
    record.end = item.End;
    record.watermark = item.Watermark;
    record.chosen = item.chosenFields;
    record.size = item.Size;
    record.format = item.Format;
    record.videoTime = item.VideoTime;
}

bool outputStillThere(const QueueRecord &record)
{
    const QFileInfo output(record.output);
    if (record.output.isEmpty() || record.outputSize < 0 || !output.isFile() ||
        output.size() != record.outputSize)
        return false;
    return record.outputMtime < 0 || modifiedMs(output) == record.outputMtime;
}

bool sourceUnchanged(const QueueRecord &record)
{
    const QFileInfo source(record.source);
    return source.isFile() && source.size() == record.sourceSize &&
           modifiedMs(source) == record.sourceMtime;
}

void settleRunning(QueueRecord &record)
{
    // FFmpeg's part is unfinished; once it is gone, the rename may have
    // happened just before the end.
    const bool partLeft = !record.part.isEmpty() && QFileInfo(record.part).isFile();
    if (partLeft)
        QFile::remove(record.part);
    if (!partLeft && outputStillThere(record)) {
        record.status = QStringLiteral("ok");
        record.outputMtime = modifiedMs(QFileInfo(record.output));
    } else {
        record.status.clear();
    }
    record.part.clear();
}

RecordsOutcome sortOutRecords(const QVector<QueueRecord> &records)
{
    RecordsOutcome outcome;
    for (QueueRecord record : records) {
        const bool interrupted = record.status == QLatin1String("running");
        if (interrupted)
            settleRunning(record);
        if (record.status == QLatin1String("ok")) {
            outcome.finished << record.id;
            continue;
        }
        if (!QFileInfo(record.source).isFile()) {
            outcome.sourceGone << record.id;
            continue;
        }
        if (interrupted)
            outcome.interrupted << record.id;
        QueueRecord waiting;
        waiting.id = record.id;
        recordItem(waiting, itemFromRecord(record));
        outcome.unfinished << waiting;
    }
    return outcome;
}

int appendRecord(ConversionList &list, const QueueRecord &record)
{
    using Field = ConversionList::Field;
    const int position = list.append(record.source);
    const ConversionItem item = itemFromRecord(record);
    for (const Field field : {Field::Start, Field::End, Field::Watermark, Field::Size,
                              Field::Format, Field::VideoTime}) {
        if (item.isChosen(field))
            (void)list.setChosen(position, field, item.field(field));
        else if (!item.field(field).isEmpty())
            (void)list.setField(position, field, item.field(field));
    }
    return position;
}

QueueRecorder::QueueRecorder(QueueStore &store, ConversionList &list, ConversionEngine &engine,
                             bool clearFinished, QObject *parent)
    : QObject(parent), m_store(store), m_list(list), m_clearFinished(clearFinished)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(0);
    connect(&m_flushTimer, &QTimer::timeout, this, &QueueRecorder::flush);
    connect(&list, &ConversionList::rowAppended, this, &QueueRecorder::onAppended);
    connect(&list, &ConversionList::rowRemoved, this, &QueueRecorder::onRemoved);
    connect(&list, &ConversionList::cleared, this, &QueueRecorder::onCleared);
    connect(&list, &ConversionList::fieldChanged, this, &QueueRecorder::onFieldChanged);
    connect(&engine, &ConversionEngine::rowWriting, this, &QueueRecorder::onWriting);
    connect(&engine, &ConversionEngine::rowPlacing, this, &QueueRecorder::onPlacing);
    connect(&engine, &ConversionEngine::rowFinished, this,
            [this](ConversionList::RowId id, ConversionJob::Status status, const QString &,
                   const QString &output,
                   const QString &reason) { onFinished(id, status, output, reason); });
    connect(&engine, &ConversionEngine::batchFinished, this, &QueueRecorder::onBatchFinished);
    for (int position = 1; position <= list.count(); ++position)
        onAppended(position);
}

void QueueRecorder::adopt(int position, const QueueRecord &record)
{
    if (position < 1 || position > int(m_entries.size()))
        return;
    m_entries[position - 1] = record;
    markDirty(position - 1);
}

void QueueRecorder::setValue(const QString &key, const QString &value)
{
    m_values.insert(key, value);
    m_flushTimer.start();
}

void QueueRecorder::onAppended(int position)
{
    m_entries.insert(m_entries.begin() + (position - 1), QueueRecord());
    m_dirty.insert(m_dirty.begin() + (position - 1), false);
    markDirty(position - 1);
}

void QueueRecorder::onRemoved(int position)
{
    const qint64 id = m_entries[position - 1].id;
    if (id != 0)
        m_removed << id;
    m_entries.erase(m_entries.begin() + (position - 1));
    m_dirty.erase(m_dirty.begin() + (position - 1));
    m_flushTimer.start();
}

void QueueRecorder::onCleared()
{
    for (const QueueRecord &entry : m_entries)
        if (entry.id != 0)
            m_removed << entry.id;
    m_entries.clear();
    m_dirty.clear();
    m_flushTimer.start();
}

void QueueRecorder::onFieldChanged(int position, ConversionItem::Field field)
{
    // The status is written from the engine's word, with what goes with it.
    if (field != ConversionItem::Field::Status)
        markDirty(position - 1);
}

int QueueRecorder::indexOf(ConversionList::RowId id) const
{
    return m_list.positionOf(id) - 1;
}

void QueueRecorder::onWriting(ConversionList::RowId id, const QString &output, const QString &part,
                              const QString &commandLine)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    QueueRecord &entry = m_entries[index];
    const QFileInfo source(m_list.row(index + 1)->FileName);
    entry.status = QStringLiteral("running");
    entry.output = output;
    entry.part = part;
    entry.outputSize = -1;
    entry.outputMtime = -1;
    entry.sourceSize = source.size();
    entry.sourceMtime = modifiedMs(source);
    entry.command = commandLine;
    entry.reason.clear();
    writeNow(index);
}

void QueueRecorder::onPlacing(ConversionList::RowId id, const QString &output, qint64 size)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    m_entries[index].output = output;
    m_entries[index].outputSize = size;
    writeNow(index);
}

void QueueRecorder::onFinished(ConversionList::RowId id, ConversionJob::Status status,
                               const QString &output, const QString &reason)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    QueueRecord &entry = m_entries[index];
    entry.status = recordStatus(status);
    entry.output = output;
    entry.part.clear();
    entry.reason = reason;
    if (status == ConversionJob::Status::Ok) {
        const QFileInfo file(output);
        entry.outputSize = file.size();
        entry.outputMtime = modifiedMs(file);
    }
    writeNow(index);
}

void QueueRecorder::onBatchFinished()
{
    if (!m_clearFinished)
        return;
    for (QueueRecord &entry : m_entries) {
        if (entry.status == QLatin1String("ok") && entry.id != 0) {
            m_removed << entry.id;
            entry.id = 0; // written again should the row run again
        }
    }
    flush();
}

void QueueRecorder::markDirty(int index)
{
    m_dirty[index] = true;
    m_flushTimer.start();
}

void QueueRecorder::writeNow(int index)
{
    m_dirty[index] = true;
    flush();
}

bool QueueRecorder::flush()
{
    m_flushTimer.stop();
    if (m_stopped)
        return false;
    QueueChanges changes;
    changes.removed = m_removed;
    changes.values = m_values;
    std::vector<int> written;
    for (int i = 0; i < int(m_entries.size()); ++i) {
        if (!m_dirty[i])
            continue;
        if (const ConversionItem *row = m_list.row(i + 1))
            recordItem(m_entries[i], *row);
        changes.written << m_entries[i];
        written.push_back(i);
    }
    if (changes.isEmpty())
        return true;
    if (!m_store.apply(changes)) {
        // What is waiting goes with the next write.
        emit writeFailed(QStringLiteral("The list could not be saved in %1: %2")
                             .arg(m_store.path(), m_store.error()));
        return false;
    }
    for (int k = 0; k < int(written.size()); ++k) {
        m_entries[written[k]].id = changes.written[k].id;
        m_dirty[written[k]] = false;
    }
    m_removed.clear();
    m_values.clear();
    return true;
}

void QueueRecorder::stop(bool keep)
{
    if (m_stopped)
        return;
    if (keep) {
        flush();
    } else {
        QueueChanges changes;
        changes.removeAll = true;
        if (!m_store.apply(changes))
            emit writeFailed(QStringLiteral("The list could not be cleared in %1: %2")
                                 .arg(m_store.path(), m_store.error()));
    }
    m_stopped = true;
    m_flushTimer.stop();
}
