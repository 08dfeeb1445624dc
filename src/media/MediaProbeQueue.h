#pragma once

#include "media/MediaProbe.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

class Process;

// Probes files in the background, several MPlayers at once. Each result is
// reported by probed() with the id that add() returned, in the order the
// probes finish. Results never arrive inside add(); they come from the event
// loop. Cancelling or destroying the queue ends the MPlayers it started.
class MediaProbeQueue : public QObject
{
    Q_OBJECT

public:
    // The resolved mplayer and ffprobe, one at a time per core.
    explicit MediaProbeQueue(QObject *parent = nullptr);
    // `mplayer` empty means MPlayer was not found: every probe then fails.
    // ffprobe, when there is one, gives the length MPlayer cannot tell.
    MediaProbeQueue(QString mplayer, QString ffprobe, int maxRunning, QObject *parent = nullptr);
    ~MediaProbeQueue() override;

    int add(const QString &path);
    // Drops a waiting probe or ends a running one; its result is not reported.
    void cancel(int id);
    void cancelAll();

    int maxRunning() const { return m_maxRunning; }
    int runningCount() const { return static_cast<int>(m_running.size()); }
    bool isIdle() const { return m_pending.empty() && m_running.empty(); }

signals:
    void probed(int id, const QString &path, const MediaFacts &facts);
    // A result has been reported and nothing waits or runs any more.
    void idle();

private:
    struct Job
    {
        int id;
        QString path;
        QStringList arguments;           // MPlayer's
        QStringList lengthArguments;     // ffprobe's
        std::optional<MediaFacts> facts; // MPlayer's, while ffprobe runs
    };

    void scheduleStart();
    Process *launch(const QString &program, const QStringList &arguments);
    void startWaiting();
    void onProbeFinished(Process *process);
    // Starts ffprobe for a job MPlayer found no length for; false when
    // there is no ffprobe or it cannot start.
    bool askLength(Job &job, Process *&process);
    // Reports a result; false when a listener destroyed the queue.
    bool report(const Job &job, const MediaFacts &facts);
    void stop(Process *process);

    QString m_program;
    QString m_ffprobe;
    int m_maxRunning;
    // How long MPlayer or ffprobe may take for one file before it is ended
    // and the file counts as not probed.
    static constexpr int TimeLimitMs = 30000;
    int m_nextId = 1;
    bool m_startScheduled = false;
    std::deque<Job> m_pending;
    std::vector<std::pair<Process *, Job>> m_running;
};
