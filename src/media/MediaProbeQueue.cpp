#include "media/MediaProbeQueue.h"

#include "process/Process.h"
#include "settings/ProgramFolders.h"

#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>

MediaProbeQueue::MediaProbeQueue(QObject *parent)
    : MediaProbeQueue(resolveProgram(QStringLiteral("mplayer")),
                      resolveProgram(QStringLiteral("ffprobe")), QThread::idealThreadCount(),
                      parent)
{
}

MediaProbeQueue::MediaProbeQueue(QString mplayer, QString ffprobe, int maxRunning, QObject *parent)
    : QObject(parent), m_program(std::move(mplayer)), m_ffprobe(std::move(ffprobe)),
      m_maxRunning(std::max(1, maxRunning))
{
}

MediaProbeQueue::~MediaProbeQueue()
{
    cancelAll();
}

int MediaProbeQueue::add(const QString &path)
{
    const int id = m_nextId++;
    // Made absolute now: the current folder may change before the probe starts.
    m_pending.push_back({id, path, probeArguments(path), durationArguments(path), std::nullopt});
    scheduleStart();
    return id;
}

void MediaProbeQueue::cancel(int id)
{
    const auto waiting = std::find_if(m_pending.begin(), m_pending.end(),
                                      [id](const Job &job) { return job.id == id; });
    if (waiting != m_pending.end()) {
        m_pending.erase(waiting);
        return;
    }
    const auto running = std::find_if(m_running.begin(), m_running.end(),
                                      [id](const auto &entry) { return entry.second.id == id; });
    if (running == m_running.end())
        return;
    Process *process = running->first;
    m_running.erase(running);
    stop(process);
    scheduleStart();
}

void MediaProbeQueue::cancelAll()
{
    m_pending.clear();
    const auto running = std::move(m_running);
    m_running.clear();
    for (const auto &entry : running)
        stop(entry.first);
}

void MediaProbeQueue::scheduleStart()
{
    if (m_startScheduled)
        return;
    m_startScheduled = true;
    QMetaObject::invokeMethod(this, &MediaProbeQueue::startWaiting, Qt::QueuedConnection);
}

Process *MediaProbeQueue::launch(const QString &program, const QStringList &arguments)
{
    auto *process = new Process(this);
    process->setCmdLine(program);
    process->setParameters(arguments);
    process->setAsync(true);
    // Probes run beside conversions; they must not slow them down.
    process->setBackground(true);
    connect(process, &Process::Finished, this, [this, process] { onProbeFinished(process); });
    process->Launch();
    if (!process->IsActive())
        return process;
    // A program that never answers must not hold its row for ever.
    QTimer::singleShot(TimeLimitMs, process, [process] {
        process->setProperty("timedOut", true);
        process->Abort();
    });
    return process;
}

void MediaProbeQueue::startWaiting()
{
    m_startScheduled = false;
    while (!m_pending.empty() && runningCount() < m_maxRunning) {
        const Job job = m_pending.front();
        m_pending.pop_front();
        Process *process = launch(m_program, job.arguments);
        if (process->IsActive()) {
            m_running.emplace_back(process, job);
            continue;
        }
        // A program that cannot start raises no Finished: report it here,
        // or ask ffprobe for the length meanwhile.
        Job failed = job;
        failed.facts = probeResult(*process);
        delete process;
        if (askLength(failed, process)) {
            m_running.emplace_back(process, failed);
            continue;
        }
        if (!report(failed, *failed.facts))
            return;
    }
}

bool MediaProbeQueue::askLength(Job &job, Process *&process)
{
    if (m_ffprobe.isEmpty() || job.facts->LengthSeconds)
        return false;
    process = launch(m_ffprobe, job.lengthArguments);
    if (process->IsActive())
        return true;
    delete process;
    return false;
}

void MediaProbeQueue::onProbeFinished(Process *process)
{
    const auto entry = std::find_if(m_running.begin(), m_running.end(),
                                    [process](const auto &e) { return e.first == process; });
    if (entry == m_running.end())
        return;
    Job job = entry->second;
    // This runs inside the process's own signal, so it is deleted later, and
    // without a parent, since a listener of probed() may delete this queue.
    process->setParent(nullptr);
    process->deleteLater();
    const bool timedOut = process->property("timedOut").toBool();
    if (job.facts) { // ffprobe's answer
        job.facts->LengthSeconds = parseDuration(process->StdOutBytes());
    } else {
        job.facts = probeResult(*process);
        if (timedOut)
            job.facts->Error = QStringLiteral("MPlayer did not answer within %1 seconds.")
                                   .arg(TimeLimitMs / 1000.0);
        Process *next = nullptr;
        if (askLength(job, next)) {
            *entry = {next, job};
            return;
        }
    }
    m_running.erase(entry);
    if (report(job, *job.facts))
        scheduleStart();
}

bool MediaProbeQueue::report(const Job &job, const MediaFacts &facts)
{
    const QPointer<MediaProbeQueue> alive(this);
    emit probed(job.id, job.path, facts);
    if (!alive)
        return false;
    if (isIdle())
        emit idle();
    return alive;
}

void MediaProbeQueue::stop(Process *process)
{
    disconnect(process, nullptr, this, nullptr);
    process->Abort();
    process->deleteLater();
}
