#include "engine/RemoteRunner.h"

#include "process/ChildProcess.h"
#include "process/ResultFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>

namespace {

constexpr int JobLogPollMs = 200;

QString jobFolderName(int number)
{
    return QStringLiteral("job-%1").arg(number);
}

// Complete lines of `chunk`, the rest kept in `partial`.
QStringList takeLines(QByteArray &partial, const QByteArray &chunk)
{
    partial += chunk;
    const qsizetype end = partial.lastIndexOf('\n');
    if (end < 0)
        return {};
    const QString complete = QString::fromUtf8(partial.left(end));
    partial.remove(0, end + 1);
    return complete.split(QLatin1Char('\n'));
}

// The source and the watermark picture of FFmpeg's arguments: the files
// after its -i options.
QStringList inputsOf(const QStringList &arguments)
{
    QStringList inputs;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments[i - 1] == QLatin1String("-i"))
            inputs << arguments[i];
    return inputs;
}

} // namespace

RemoteRunner::RemoteRunner(QString parallel, QString hostsFile, const QString &stages,
                           QObject *parent)
    : QObject(parent), m_parallel(std::move(parallel)), m_hostsFile(std::move(hostsFile)),
      m_stages(stages),
      m_stage(QDir(stages).filePath(QString::number(QCoreApplication::applicationPid())))
{
    m_poll.setInterval(JobLogPollMs);
    connect(&m_poll, &QTimer::timeout, this, &RemoteRunner::readJobLog);
}

RemoteRunner::~RemoteRunner()
{
    if (m_process) {
        m_process->disconnect(this);
        stopChildAndWait(*m_process, QByteArray(), 0);
    }
    stopConnections();
    QDir(m_stage).removeRecursively();
}

int RemoteRunner::jobsRunning() const
{
    return int(std::count_if(m_jobs.cbegin(), m_jobs.cend(), [](const Job &job) { return job.started; }));
}

QString RemoteRunner::prepare()
{
    QFile file(m_hostsFile);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the hosts file %1: %2").arg(m_hostsFile, file.errorString());
    // Sockets live in a short path of their own: a Unix socket's path has
    // room for about 100 bytes.
    m_controlFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                      QStringLiteral("/clipwright-ssh-XXXXXX"));
    const SharedHosts shared = shareConnections(
        QString::fromUtf8(file.readAll()),
        m_controlFolder->isValid() ? m_controlFolder->path() : QString());
    if (!shared.error.isEmpty())
        return shared.error + QStringLiteral(": ") + m_hostsFile;
    removeFoldersOfEndedPrograms(m_stages);
    if (!QDir().mkpath(m_stage))
        return QStringLiteral("cannot make the folder %1").arg(m_stage);
    m_sharedHosts = QDir(m_stage).filePath(QStringLiteral("hosts"));
    return saveWholeFile(m_sharedHosts, shared.text.toUtf8());
}

void RemoteRunner::startParallel()
{
    m_jobs.clear();
    m_nextNumber = 1;
    m_inputEnded = false;
    m_cancelled = false;
    m_logRead = 0;
    m_logPartial.clear();
    m_outPartial.clear();
    m_errPartial.clear();
    m_parallelErrors.clear();
    const QString jobLog = QDir(m_stage).filePath(QStringLiteral("joblog"));
    QFile::remove(jobLog);

    m_process = new QProcess(this);
    prepareChild(*m_process);
    m_process->setWorkingDirectory(m_stage);
    // On this computer (":") the job runs in a working folder of GNU
    // Parallel's, where nothing was sent: its folder is found through the
    // environment, which is never passed to a host.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CLIPWRIGHT_STAGE"), m_stage);
    m_process->setProcessEnvironment(environment);
    connect(m_process, &QProcess::readyReadStandardOutput, this,
            &RemoteRunner::readStandardOutput);
    connect(m_process, &QProcess::readyReadStandardError, this, &RemoteRunner::readStandardError);
    connect(m_process, &QProcess::finished, this, &RemoteRunner::onParallelFinished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            m_parallelErrors = m_process->errorString();
            onParallelFinished();
        }
    });
    QStringList arguments{
        QStringLiteral("--will-cite"), QStringLiteral("--sshloginfile"), m_sharedHosts,
        // A fresh working folder for each job, removed with everything in it.
        QStringLiteral("--workdir"), QStringLiteral("..."), QStringLiteral("--cleanup"),
        // -L: the links in the job's folder are sent as the files they name.
        QStringLiteral("--rsync-opts"), QStringLiteral("-rLDR"),
        QStringLiteral("--transferfile"), QStringLiteral("./job-{}"),
        QStringLiteral("--return"), QStringLiteral("./job-{}"),
        QStringLiteral("--joblog"), jobLog,
        QStringLiteral("--line-buffer"), QStringLiteral("--tagstring"), QStringLiteral("{}")};
    if (m_jobsPerHost > 0)
        arguments << QStringLiteral("-j") << QString::number(m_jobsPerHost);
    arguments << QStringLiteral("cd job-{} 2>/dev/null || cd \"$CLIPWRIGHT_STAGE\"/job-{} || "
                                "exit %1; sh run")
                     .arg(RemoteExit::NoJobFolder);
    m_process->start(m_parallel, arguments);
    m_poll.start();
}

void RemoteRunner::submit(const QStringList &arguments, const QString &output,
                          std::function<void(const Outcome &)> done)
{
    if (m_process && m_inputEnded) {
        // The last batch's GNU Parallel has no job left; it ends by itself.
        QProcess *old = std::exchange(m_process, nullptr);
        old->disconnect(this);
        connect(old, &QProcess::finished, old, &QObject::deleteLater);
    }
    if (!m_process)
        startParallel();
    const int number = m_nextNumber++;
    const QString folder = QDir(m_stage).filePath(jobFolderName(number));
    const QStringList inputs = inputsOf(arguments);
    const RemoteNames names = remoteNamesFor(inputs.value(0), output);
    const QStringList remote = remoteArguments(arguments, names);
    QString problem;
    QDir(folder).removeRecursively();
    if (!m_process) {
        problem = QStringLiteral("GNU Parallel could not be started: ") + m_parallelErrors;
    } else if (remote.isEmpty()) {
        problem = QStringLiteral("The command cannot be sent to another computer.");
    } else if (!QDir().mkpath(folder) ||
               !QFile::link(inputs[0], QDir(folder).filePath(names.input)) ||
               (inputs.size() > 1 &&
                !QFile::link(inputs[1], QDir(folder).filePath(names.watermark)))) {
        problem = QStringLiteral("Cannot prepare the job's folder %1.").arg(folder);
    } else {
        problem = saveWholeFile(QDir(folder).filePath(QStringLiteral("run")),
                                remoteScript(remote, names).toUtf8());
    }
    if (!problem.isEmpty()) {
        // Never inside submit(): the caller is still setting the row up.
        QTimer::singleShot(0, this, [done, problem] {
            Outcome outcome;
            outcome.problem = problem;
            done(outcome);
        });
        return;
    }
    Job job;
    job.folder = folder;
    job.output = names.output;
    job.done = std::move(done);
    m_jobs.insert(number, job);
    m_process->write(QByteArray::number(number) + '\n');
}

void RemoteRunner::endOfInput()
{
    if (m_inputEnded)
        return;
    m_inputEnded = true;
    if (m_process)
        m_process->closeWriteChannel();
}

void RemoteRunner::cancel()
{
    if (!m_process || m_cancelled)
        return;
    m_cancelled = true;
    // GNU Parallel and the ssh clients are one process group. The jobs on
    // the hosts end when their connection closes, and the shared
    // connections outlive their clients: they are closed too.
    stopChild(*m_process, QByteArray(), 0);
    stopConnections();
}

void RemoteRunner::readStandardOutput()
{
    // Each line carries its job's number: "N<TAB>started".
    for (const QString &line : takeLines(m_outPartial, m_process->readAllStandardOutput())) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        auto job = m_jobs.find(fields.value(0).toInt());
        if (job == m_jobs.end() || fields.value(1) != QLatin1String("started") || job->started)
            continue;
        job->started = true;
        emit runningChanged(jobsRunning());
    }
}

void RemoteRunner::readStandardError()
{
    // ssh's and rsync's complaints about a job carry its number; GNU
    // Parallel's own do not.
    for (const QString &line : takeLines(m_errPartial, m_process->readAllStandardError())) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        bool numbered = false;
        const int number = tab > 0 ? line.left(tab).toInt(&numbered) : 0;
        if (numbered && m_jobs.contains(number))
            m_jobs[number].messages += line.mid(tab + 1) + QLatin1Char('\n');
        else if (m_parallelErrors.size() < 4096)
            m_parallelErrors += line + QLatin1Char('\n');
    }
}

void RemoteRunner::readJobLog()
{
    QFile file(QDir(m_stage).filePath(QStringLiteral("joblog")));
    if (!file.open(QIODevice::ReadOnly) || file.size() <= m_logRead)
        return;
    file.seek(m_logRead);
    const QByteArray chunk = file.readAll();
    m_logRead += chunk.size();
    for (const QString &line : takeLines(m_logPartial, chunk)) {
        const std::optional<JobLogEntry> entry = parseJobLogLine(line);
        if (entry && m_jobs.contains(entry->seq))
            endJob(entry->seq, &*entry);
    }
}

void RemoteRunner::endJob(int number, const JobLogEntry *entry)
{
    // What GNU Parallel still says about the job comes before its end.
    if (m_process) {
        readStandardOutput();
        readStandardError();
    }
    const Job job = m_jobs.take(number);
    if (job.started)
        emit runningChanged(jobsRunning());
    Outcome outcome;
    const QString messages = job.messages.trimmed();
    const auto withMessages = [&messages](const QString &text) {
        return messages.isEmpty() ? text : text + QLatin1Char('\n') + messages;
    };
    if (!entry) {
        outcome.problem = m_cancelled ? QStringLiteral("Cancelled before it ran.")
                                      : QStringLiteral("GNU Parallel ended before this row ran.\n") +
                                            m_parallelErrors.trimmed();
    } else {
        const QString host = hostOfLogin(entry->login);
        outcome.host = host;
        outcome.exitValue = entry->exitValue;
        QFile log(QDir(job.folder).filePath(RemoteNames().log));
        const bool hasLog = log.open(QIODevice::ReadOnly);
        if (hasLog)
            outcome.log = log.readAll();
        const QString output = QDir(job.folder).filePath(job.output);
        if (m_cancelled && (entry->signal != 0 || entry->exitValue != 0))
            outcome.problem = QStringLiteral("Cancelled while it ran on %1.").arg(host);
        else if (entry->signal != 0)
            outcome.problem = QStringLiteral("The job on %1 was stopped by signal %2.")
                                  .arg(host)
                                  .arg(entry->signal);
        else if (entry->exitValue == RemoteExit::NoJobFolder)
            outcome.problem = withMessages(
                QStringLiteral("The job's files could not be sent to %1.").arg(host));
        else if (entry->exitValue == RemoteExit::NoSource)
            outcome.problem = withMessages(
                QStringLiteral("The source could not be sent to %1; was it removed or moved?")
                    .arg(host));
        else if (entry->exitValue == RemoteExit::NoFfmpeg && !hasLog)
            outcome.problem = QStringLiteral("ffmpeg was not found on %1").arg(host);
        else if (entry->exitValue == 255 && !hasLog)
            outcome.problem = withMessages(QStringLiteral("%1 could not be reached.").arg(host));
        else if (entry->exitValue == 0 && !QFileInfo(output).isFile())
            // A failed return still logs the command's 0.
            outcome.problem = withMessages(
                QStringLiteral("The converted file could not be brought back from %1.").arg(host));
        else if (entry->exitValue == 0)
            outcome.output = output;
    }
    if (job.done)
        job.done(outcome);
    QDir(job.folder).removeRecursively();
}

void RemoteRunner::onParallelFinished()
{
    if (!m_process)
        return;
    m_poll.stop();
    readStandardOutput();
    readStandardError();
    readJobLog();
    QProcess *process = std::exchange(m_process, nullptr);
    process->deleteLater();
    // Jobs it never got to, as when it was stopped or the hosts file is wrong.
    const QList<int> left = m_jobs.keys();
    for (const int number : left)
        endJob(number, nullptr);
    stopConnections();
}

void RemoteRunner::stopConnections()
{
    if (!m_controlFolder || !m_controlFolder->isValid())
        return;
    const QDir folder(m_controlFolder->path());
    for (const QString &name : folder.entryList(QDir::System | QDir::Files)) {
        const QString socket = folder.filePath(name);
        if (m_closed.contains(socket))
            continue;
        m_closed.insert(socket);
        // ssh asks the master behind the socket to end and returns; the
        // host name is never looked up.
        QProcess exit;
        exit.setProgram(QStringLiteral("ssh"));
        exit.setArguments({QStringLiteral("-o"), QStringLiteral("ControlPath=") + socket,
                           QStringLiteral("-O"), QStringLiteral("exit"),
                           QStringLiteral("localhost")});
        exit.setStandardOutputFile(QProcess::nullDevice());
        exit.setStandardErrorFile(QProcess::nullDevice());
        exit.startDetached();
    }
}
