#pragma once

#include <QHash>
#include <QString>
#include <QVector>
#include <memory>

// One row of the file list as the records keep it.
struct QueueRecord
{
    qint64 id = 0; // the record's key; records come back in the order of their ids
    QString source;
    // The user's choices; `chosen` holds ConversionItem::chosenFields.
    QString start;
    QString end;
    QString watermark;
    unsigned chosen = 0;
    // What the probe found; all empty while the row was not probed.
    QString size;
    QString format;
    QString videoTime;
    // "" (waiting), "running", "ok", "failed" or "cancelled".
    QString status;
    QString output;          // where the row writes, or where its file went
    QString part;            // the hidden part file FFmpeg writes; empty when none
    qint64 outputSize = -1;  // the finished file's size, written before it is renamed
    qint64 outputMtime = -1; // its modification time (ms since the epoch) once renamed
    qint64 sourceSize = -1;  // the source as it was converted
    qint64 sourceMtime = -1;
    QString command; // the command's text with the final output path
    QString reason;
};

// Changes written together, in one transaction.
struct QueueChanges
{
    bool removeAll = false;      // applied first
    QVector<qint64> removed;     // ids
    QVector<QueueRecord> written; // id 0: inserted, and given its id; else replaced
    QHash<QString, QString> values; // batch-wide values, such as "profile"
    bool isEmpty() const
    {
        return !removeAll && removed.isEmpty() && written.isEmpty() && values.isEmpty();
    }
};

// The records of a list in an SQLite file (WAL, synchronous=NORMAL): a killed
// process loses nothing that was written; a power cut may lose the last
// change, never the file's consistency. The schema's version is in
// PRAGMA user_version; an older file is migrated in one transaction. A file
// that cannot be trusted (not SQLite, damaged, from a newer version) is moved
// aside with its -wal and -shm files, never deleted, and a new one is made.
// While open, the store holds a lock file (PATH.lock) so that a second
// process does not take rows a live one owns.
class QueueStore
{
public:
    static constexpr int SchemaVersion = 2;

    enum class Outcome
    {
        Opened,     // an existing file, or a new one where there was none
        MovedAside, // the old file was moved aside; a new one is open
        Locked,     // a live process holds the lock; nothing is open
        Failed,     // nothing is open
    };
    struct Opening
    {
        Outcome outcome = Outcome::Failed;
        // For MovedAside, Locked and Failed, a sentence for the user that
        // names the file and says why, such as
        // "The list of the last run could not be read (file is not a database);
        //  it was moved aside as /path/queue.db.bad."
        QString message;
        QString movedTo; // MovedAside: the new name of the old file
    };

    QueueStore();
    ~QueueStore();
    QueueStore(const QueueStore &) = delete;
    QueueStore &operator=(const QueueStore &) = delete;

    Opening open(const QString &path);
    void close(); // releases the lock too
    bool isOpen() const;
    QString path() const;

    // One transaction. False, with nothing written, when it fails; error()
    // then says why.
    bool apply(QueueChanges &changes);
    QVector<QueueRecord> records() const; // in the order of their ids
    QString value(const QString &key) const;
    QString error() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
