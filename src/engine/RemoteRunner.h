#pragma once

#include "engine/RemoteHosts.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class QTemporaryDir;

// Runs conversions on the computers of a hosts file through one GNU Parallel
// per batch, fed a job at a time on its standard input as the batch reaches
// each row.
//
// Each job has a folder of its own in the stage (the program's own folder in
// the writable folder): job-N/in.EXT (a link to the source), mark.png (a
// link to the watermark picture) and a script with FFmpeg's arguments
// rewritten to those names. GNU Parallel sends the folder with rsync
// (following the links), runs the script in a fresh working folder on the
// host, brings the folder back (the output and FFmpeg's log; the script
// removes what was sent) and removes the working folder. Nothing is written
// on a host at a user's path, and nothing of the host's is ever run on a
// source.
//
// A job's end is read from GNU Parallel's job log as it grows: once its line
// is there, what came back is all there will be.
class RemoteRunner : public QObject
{
    Q_OBJECT

public:
    // What a job left here when its line reached the job log, or when GNU
    // Parallel ended without it.
    struct Outcome
    {
        QString host;
        int exitValue = -1; // the script's; -1 when the job never ran
        QString problem;    // why no FFmpeg result can be judged; empty otherwise
        QByteArray log;     // FFmpeg's messages, as a local run gives them
        QString output;     // the returned file; empty when none came back
    };

    // `parallel`: the resolved GNU Parallel; `hostsFile`: the user's file;
    // `stages`: where each program that runs batches elsewhere keeps its
    // stage, a folder named by its process id.
    RemoteRunner(QString parallel, QString hostsFile, const QString &stages,
                 QObject *parent = nullptr);
    // GNU Parallel, and the jobs it runs, are stopped, and the stage goes.
    ~RemoteRunner() override;

    // Reads the hosts file and makes the stage, removing those that crashed
    // programs left; the reason when the hosts file cannot be used.
    QString prepare();

    // Queues a job; `done` is called once with its outcome. Starts GNU
    // Parallel when none runs.
    // `arguments` are FFmpeg's for the row as a local run has them; the
    // paths in them are what is sent.
    void submit(const QStringList &arguments, const QString &output,
                std::function<void(const Outcome &)> done);
    // No job follows in this batch: GNU Parallel ends after the last.
    void endOfInput();
    // Stops GNU Parallel and the jobs on the hosts; the jobs not ended yet
    // end with an outcome that has a problem.
    void cancel();

    // GNU Parallel's -j: jobs at once on each host; 0 leaves it to the
    // hosts file ("N/") or the host's processors.
    void setJobsPerHost(int jobs) { m_jobsPerHost = jobs; }

    // Jobs whose script has started on a host and that have not ended.
    int jobsRunning() const;

signals:
    // A job started or ended on its host.
    void runningChanged(int jobs);

private:
    struct Job
    {
        QString folder;
        QString output; // its name in the folder
        std::function<void(const Outcome &)> done;
        bool started = false;
        QString messages; // its lines on GNU Parallel's error output
    };

    void startParallel();
    void readJobLog();
    void readStandardOutput();
    void readStandardError();
    void onParallelFinished();
    void endJob(int number, const JobLogEntry *entry);
    void stopConnections();

    QString m_parallel;
    QString m_hostsFile;
    QString m_stages;
    QString m_stage;
    std::unique_ptr<QTemporaryDir> m_controlFolder;
    QSet<QString> m_closed; // sockets whose master was asked to end
    QString m_sharedHosts; // the hosts file given to GNU Parallel
    QProcess *m_process = nullptr;
    QHash<int, Job> m_jobs; // by number, which is GNU Parallel's sequence
    int m_nextNumber = 1;
    bool m_inputEnded = false;
    bool m_cancelled = false;
    QTimer m_poll;
    qint64 m_logRead = 0; // bytes of the job log taken
    QByteArray m_logPartial;
    QByteArray m_outPartial;
    QByteArray m_errPartial;
    QString m_parallelErrors; // GNU Parallel's own lines
    int m_jobsPerHost = 0;
};
