#include "process/ChildProcess.h"

#include <QDir>
#include <QProcess>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int BackgroundNice = 10;
constexpr int IdleNice = 19;

// The timer of a stop under way, a child of the QProcess it stops.
const char StopTimerName[] = "clipwright-stop";

// Sends `signalNumber` to the child's process group, which prepareChild()
// made; to the child alone when it does not lead one (yet).
void signalChild(QProcess &process, int signalNumber)
{
    const qint64 pid = process.processId();
    if (pid <= 0 || process.state() == QProcess::NotRunning)
        return;
    if (::kill(-pid_t(pid), signalNumber) == 0)
        return;
    if (signalNumber == SIGKILL)
        process.kill();
    else
        process.terminate();
}

} // namespace

void prepareChild(QProcess &process, ChildPriority priority)
{
    const pid_t parent = ::getpid();
    const int nice = priority == ChildPriority::Idle         ? IdleNice
                     : priority == ChildPriority::Background ? BackgroundNice
                                                             : 0;
    // Runs in the child between fork and exec: async-signal-safe calls only.
    process.setChildProcessModifier([parent, nice] {
        if (nice > 0)
            ::setpriority(PRIO_PROCESS, 0, nice);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        for (const int signalNumber : {SIGINT, SIGTERM, SIGPIPE})
            ::signal(signalNumber, SIG_DFL);
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        // The parent may have died before the line above took effect.
        if (::getppid() != parent)
            ::_exit(127);
    });
}

void stopChild(QProcess &process, const QByteArray &key, int graceMs)
{
    if (process.state() == QProcess::NotRunning ||
        process.findChild<QTimer *>(QLatin1String(StopTimerName), Qt::FindDirectChildrenOnly))
        return;
    // A QProcess that is still starting buffers the key until the pipe is open.
    if (!key.isEmpty())
        process.write(key);

    auto *timer = new QTimer(&process);
    timer->setObjectName(QLatin1String(StopTimerName));
    timer->setSingleShot(true);
    const auto done = [timer] {
        timer->stop();
        timer->setObjectName(QString()); // a later child of this QProcess can be stopped again
        timer->deleteLater();
    };
    QObject::connect(&process, &QProcess::finished, timer, done);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [&process, timer, done, terminated = false]() mutable {
                         if (process.state() == QProcess::NotRunning)
                             return done(); // it never started
                         if (terminated)
                             return signalChild(process, SIGKILL);
                         terminated = true;
                         signalChild(process, SIGTERM);
                         timer->start(ChildTerminateWaitMs);
                     });
    timer->start(qMax(0, graceMs));
}

void stopChildAndWait(QProcess &process, const QByteArray &key, int graceMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    if (!key.isEmpty())
        process.write(key);
    // Each wait writes the key and delivers QProcess::finished when the child ends.
    if (process.waitForFinished(qMax(0, graceMs)))
        return;
    signalChild(process, SIGTERM);
    if (process.waitForFinished(ChildTerminateWaitMs))
        return;
    signalChild(process, SIGKILL);
    process.waitForFinished(ChildTerminateWaitMs);
}

void removeFoldersOfEndedPrograms(const QString &parent)
{
    const QDir folder(parent);
    for (const QString &name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const int pid = name.toInt(&ok);
        if (ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            QDir(folder.filePath(name)).removeRecursively();
    }
}
