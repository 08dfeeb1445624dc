#pragma once

#include "app/ConversionList.h"
#include "cli/CliOptions.h"
#include "cli/StatusLine.h"
#include "engine/ConversionJob.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <cstdio>
#include <memory>
#include <optional>

class QueueRecorder;
class RemoteRunner;
class QueueStore;
class Session;
class SignalWatcher;
enum class BatchOutcome;
enum class MessageIcon;

// One run of clipwright-cli once the command line has been checked: waits
// for the session to be ready, applies the profile and the --set values,
// adds the files, then either prints their commands (--dry-run) or converts
// the batch, printing what the window would show. It ends the event loop
// with the exit status.
class CliRun : public QObject
{
    Q_OBJECT

public:
    enum ExitStatus
    {
        AllOk = 0,
        SomeFailed = 1,
        UsageOrInput = 2,
        Cancelled = 130
    };

    // What the user chose for every row; its probe, whenever it ends, keeps
    // it. Empty texts leave the probe's values.
    struct RowDefaults
    {
        QString start;
        QString end;
        QString watermark;
    };

    // `files` are absolute paths that exist. With `queue` (--queue), the
    // batch is recorded there, and sources it records as done are not
    // converted again.
    CliRun(Session &session, SignalWatcher &signalWatcher, const CliOptions &options,
           QStringList files, RowDefaults defaults, QueueStore *queue = nullptr,
           RemoteRunner *remote = nullptr, QObject *parent = nullptr);
    ~CliRun() override;

    void start();

private:
    void onReady();
    void addFiles();
    // Adds a row with --clip and --watermark; returns its position.
    int addFile(const QString &file);
    // With --queue: adds the files that are not done yet, under their
    // records; prints the others as done before.
    void addQueuedFiles();
    // Applies the profile and the --set values; the reason when the command
    // line asks for something the sheet cannot do.
    QString setUpSheet();
    void onProbesDone();
    // --dry-run and --slurm-array: the rows' commands are the result.
    bool plansOnly() const { return m_options.dryRun || !m_options.arrayFolder.isEmpty(); }
    // --slurm-array: the batch's rows as a job array.
    void writeArray();
    void startBatch();
    // Every row has its estimate (--estimate, --fit-size).
    void onEstimated();
    void onFitted(bool ok, const QString &message);
    void printEstimates();
    void onSignal(int signalNumber);
    void onRowFinished(ConversionList::RowId id, ConversionJob::Status status,
                       const QString &source, const QString &output, const QString &reason);
    // Prints the results of the rows at the head of the batch that have
    // one; with `all`, every result kept, in list order.
    void printResultsInOrder(bool all);
    void printResult(ConversionJob::Status status, const QString &source, const QString &output,
                     const QString &reason);
    void onMessage(const QString &text, MessageIcon icon);
    void onBatchFinished(BatchOutcome outcome);
    void finish(int status);
    void exitWhenIdle();

    void printLine(std::FILE *stream, const QString &text) { m_line.print(stream, text); }
    void drawProgress();
    // With --hosts: rows done, running on a host and failed.
    void drawHostsProgress();

    Session &m_session;
    const CliOptions &m_options;
    QStringList m_files;
    RowDefaults m_defaults;
    QueueStore *m_queue;
    std::unique_ptr<QueueRecorder> m_recorder;

    bool m_setUp = false; // the profile and the --set values are applied
    bool m_fitting = false;
    bool m_cancelRequested = false;
    RemoteRunner *m_remote;
    int m_rowsDone = 0;
    int m_rowsFailed = 0; // some failed: exit status 1
    std::optional<int> m_exitStatus;

    struct Result
    {
        ConversionJob::Status status;
        QString source;
        QString output;
        QString reason;
    };
    QList<ConversionList::RowId> m_order; // the batch's rows not printed yet
    QHash<ConversionList::RowId, Result> m_results;

    StatusLine m_line;
    int m_itemPercent = 0;
    int m_totalPercent = 0;
    QString m_elapsed;
    double m_speed = -1;
    qint64 m_remaining = -1;
};
