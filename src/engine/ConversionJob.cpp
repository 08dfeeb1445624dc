#include "engine/ConversionJob.h"

#include "engine/FfmpegOutput.h"
#include "engine/ProgressMonitor.h"
#include "engine/RemoteRunner.h"
#include "process/ChildProcess.h"
#include "process/KeyChannel.h"
#include "process/Process.h"
#include "process/ResultFile.h"
#include "process/TimeText.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>
#include <utility>

namespace {

constexpr int ErrorTailBytes = 16 * 1024;
constexpr int ReasonLines = 4;
constexpr qint64 MinimumOutputBytes = 100;
// A file is short when it lacks more than both of these of what was asked:
// containers and rounded probe lengths differ by a fraction of a second.
constexpr double ShortBySeconds = 1.0;
constexpr double ShortByShare = 0.10;

bool isShort(double written, double asked)
{
    const double missing = asked - written;
    return missing > ShortBySeconds && missing > ShortByShare * asked;
}

QString noStreams()
{
    return QStringLiteral("FFmpeg wrote no audio or video.");
}

// FFmpeg's closing summary shows nothing written, or its last time is 0.
// The time counts sound too.
bool summaryShowsNothing(const QByteArray &errorTail)
{
    const std::optional<WrittenStreams> written = writtenStreams(errorTail);
    const std::optional<double> time = reportedTime(errorTail);
    return !written || written->videoKb + written->audioKb <= 0 || !time || *time <= 0;
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa, sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// FFmpeg's last error lines.
QString lastErrors(const QByteArray &tail)
{
    const QStringList lines = ffmpegErrorLines(tail);
    return lines.mid(qMax(0, int(lines.size()) - ReasonLines)).join(QLatin1Char('\n'));
}

} // namespace

QString statusText(ConversionJob::Status status)
{
    switch (status) {
    case ConversionJob::Status::Waiting:
        return {};
    case ConversionJob::Status::Running:
        return QStringLiteral("Processing");
    case ConversionJob::Status::Ok:
        return QStringLiteral("OK");
    case ConversionJob::Status::Failed:
        return QStringLiteral("Fail");
    case ConversionJob::Status::FinishingAfterCancel:
    case ConversionJob::Status::Cancelled:
        return QStringLiteral("Cancel");
    }
    return {};
}

ConversionJob::ConversionJob(ConversionList::RowId rowId, QString sourcePath,
                             ConvertCommand command, ExistingFilePolicy policy,
                             QString workingFolder, QObject *parent)
    : QObject(parent), m_rowId(rowId), m_source(std::move(sourcePath)),
      m_command(std::move(command)), m_policy(policy), m_workingFolder(std::move(workingFolder)),
      m_outputPath(m_command.OutputPath)
{
}

ConversionJob::~ConversionJob()
{
    if (m_count) {
        // FFmpeg has finished; the file is judged without ffprobe's word.
        blockSignals(true);
        delete std::exchange(m_count, nullptr);
        finishCounted(std::nullopt);
        return;
    }
    if (m_remoteRunning) {
        // Its file has not come back; nothing of it is kept.
        blockSignals(true);
        m_cancelRequested = true;
        finish(QStringLiteral("Cancelled before it came back."));
        return;
    }
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    // The listeners may be half destroyed by now.
    blockSignals(true);
    m_cancelRequested = true;
    m_status = Status::FinishingAfterCancel;
    // Each wait delivers QProcess::finished, and so finish(), when it ends.
    stopChildAndWait(*m_process, KeyChannel::keyBytes(KeyChannel::KeyQ), m_graceMs);
}

qint64 ConversionJob::processId() const
{
    return m_process ? m_process->processId() : 0;
}

void ConversionJob::setStatus(Status status)
{
    if (m_status == status)
        return;
    m_status = status;
    emit statusChanged(status);
}

void ConversionJob::failBeforeStart(const QString &reason)
{
    // Later, so that a batch of such rows never nests calls.
    QTimer::singleShot(0, this, [this, reason] { finish(reason); });
}

void ConversionJob::start(KeyChannel &keys)
{
    if (m_status != Status::Waiting || m_process || m_remoteRunning)
        return;
    const QString output = m_command.OutputPath;
    const QString folder = QFileInfo(output).absolutePath();
    if (m_command.Program.isEmpty() && !m_remote)
        return failBeforeStart(
            QStringLiteral("FFmpeg was not found in the program folder or on PATH."));
    if (!fitsFileName(output))
        return failBeforeStart(QStringLiteral("The output file name is longer than 255 bytes: ") +
                               QFileInfo(output).fileName());
    if (!QFileInfo(folder).isDir())
        return failBeforeStart(QStringLiteral("The output folder does not exist: ") + folder);
    if (sameFile(m_source, output))
        return failBeforeStart(QStringLiteral("The output file would replace the source file: ") +
                               output);
    if (m_command.SourceSeconds && m_command.ClipStartSeconds > *m_command.SourceSeconds)
        return failBeforeStart(QStringLiteral("The clip starts after the end of the file."));
    // FFmpeg writes into a file made for it alone.
    const QString problem = createPartFile(m_command.PartPath);
    if (!problem.isEmpty())
        return failBeforeStart(problem);
    m_partMade = true;
    if (m_remote)
        return startRemote();

    m_process = new QProcess(this);
    prepareChild(*m_process);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setWorkingDirectory(m_workingFolder);
    m_process->setProcessEnvironment(ffmpegEnvironment(QProcessEnvironment::systemEnvironment()));
    connect(m_process, &QProcess::readyRead, this, &ConversionJob::onOutput);
    connect(m_process, &QProcess::finished, this, &ConversionJob::onFinished);
    connect(m_process, &QProcess::errorOccurred, this, &ConversionJob::onErrorOccurred);
    m_process->start(m_command.Program, m_command.Arguments);
    // The process id is known as soon as the child exists, before started().
    keys.registerChild(KeyChannel::Role::Converter, m_process);
    setStatus(Status::Running);
}

void ConversionJob::startRemote()
{
    m_remoteRunning = true;
    QPointer<ConversionJob> self(this);
    m_remote->submit(m_command.Arguments, m_command.OutputPath,
                     [self](const RemoteRunner::Outcome &outcome) {
                         if (!self || !self->m_remoteRunning)
                             return;
                         self->m_remoteRunning = false;
                         self->onRemoteEnded(outcome);
                     });
    setStatus(Status::Running);
}

void ConversionJob::onRemoteEnded(const RemoteRunner::Outcome &outcome)
{
    if (!outcome.problem.isEmpty())
        return finish(outcome.problem);
    if (m_cancelRequested && outcome.output.isEmpty())
        return finish(QStringLiteral("Cancelled before it came back from %1.").arg(outcome.host));
    m_errorTail = outcome.log.right(ErrorTailBytes);
    if (!outcome.output.isEmpty()) {
        // What came back takes the part file's place, as FFmpeg would have
        // written it here.
        const QByteArray from = QFile::encodeName(outcome.output);
        const QByteArray to = QFile::encodeName(m_command.PartPath);
        if (std::rename(from.constData(), to.constData()) != 0 &&
            (errno != EXDEV || !QFile::remove(m_command.PartPath) ||
             !QFile::copy(outcome.output, m_command.PartPath)))
            return finish(QStringLiteral("The file from %1 could not be written to the output "
                                         "folder.")
                              .arg(outcome.host));
    }
    onFinished(outcome.exitValue, QProcess::NormalExit);
}

void ConversionJob::cancel()
{
    switch (m_status) {
    case Status::Waiting:
        m_cancelRequested = true;
        finish(QString());
        break;
    case Status::Running:
        m_cancelRequested = true;
        setStatus(Status::FinishingAfterCancel);
        if (m_count) // FFmpeg has ended; its file is being looked at
            break;
        if (m_remoteRunning) {
            m_remote->cancel();
            break;
        }
        // A QProcess that is still starting buffers the key until the pipe is open.
        stopChild(*m_process, KeyChannel::keyBytes(KeyChannel::KeyQ), m_graceMs);
        break;
    default:
        break;
    }
}

void ConversionJob::onOutput()
{
    if (!m_process)
        return;
    const QByteArray chunk = m_process->readAll();
    if (chunk.isEmpty())
        return;
    m_errorTail += chunk;
    if (m_errorTail.size() > ErrorTailBytes)
        m_errorTail.remove(0, m_errorTail.size() - ErrorTailBytes);
    emit converterOutput(chunk);
}

void ConversionJob::onErrorOccurred(QProcess::ProcessError error)
{
    // Every other error is followed by finished().
    if (error == QProcess::FailedToStart)
        finish(QStringLiteral("FFmpeg could not be started: ") + m_process->errorString());
}

void ConversionJob::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    onOutput();
    const QString reason = judge(exitCode, exitStatus);
    if (!reason.isEmpty() || m_cancelRequested)
        return finish(reason);
    // FFmpeg's summary rounds to whole kB and its last time to the frame
    // before the end: a tiny file or one frame long reads as empty. And a
    // source that ends early gives a short file with exit code 0.
    const std::optional<double> time = reportedTime(m_errorTail);
    const bool maybeShort =
        m_command.ClipSeconds > 0 && (!time || isShort(*time, m_command.ClipSeconds));
    if (!summaryShowsNothing(m_errorTail) && !maybeShort)
        return finish(QString());
    if (m_ffprobe.isEmpty())
        return finishCounted(std::nullopt);
    countPackets();
}

void ConversionJob::countPackets()
{
    m_count = new Process(this);
    m_count->setCmdLine(m_ffprobe);
    m_count->setParameters(countPacketsArguments(m_command.PartPath));
    m_count->setAsync(true);
    connect(m_count, &Process::Finished, this, &ConversionJob::onCounted);
    m_count->Launch();
    if (m_count->state() == Process::State::FailedToStart) {
        delete std::exchange(m_count, nullptr);
        finishCounted(std::nullopt);
    }
}

void ConversionJob::onCounted()
{
    Process *count = std::exchange(m_count, nullptr);
    count->deleteLater();
    if (count->state() != Process::State::Exited)
        return finishCounted(std::nullopt);
    finishCounted(countedOutput(count->StdOutBytes()));
}

void ConversionJob::finishCounted(const std::optional<CountedOutput> &counted)
{
    if (!counted) // no ffprobe: FFmpeg's summary is all there is
        return finish(summaryShowsNothing(m_errorTail) ? noStreams() : QString());
    if (!counted->hasPackets)
        return finish(noStreams());
    const double asked = double(m_command.ClipSeconds);
    if (asked > 0 && counted->durationSeconds && isShort(*counted->durationSeconds, asked))
        return finish(QStringLiteral("FFmpeg wrote %1 of %2; the source may be damaged or cut "
                                     "short.")
                          .arg(formatTimeText(std::llround(*counted->durationSeconds)),
                               formatTimeText(std::llround(asked))),
                      true);
    finish(QString());
}

QString ConversionJob::judge(int exitCode, QProcess::ExitStatus exitStatus) const
{
    if (exitStatus != QProcess::NormalExit)
        return (QStringLiteral("FFmpeg crashed.\n") + lastErrors(m_errorTail)).trimmed();
    if (exitCode != 0) {
        const QString lines = lastErrors(m_errorTail);
        return lines.isEmpty() ? QStringLiteral("FFmpeg ended with exit code %1.").arg(exitCode)
                               : lines;
    }
    // An MP4 with no streams in it is a few hundred bytes long, and FFmpeg
    // ends such a run with exit code 0: what went in is judged afterwards.
    const qint64 size = QFileInfo(m_command.PartPath).size();
    if (size < MinimumOutputBytes)
        return QStringLiteral("FFmpeg wrote only %1 bytes.").arg(size);
    return {};
}

void ConversionJob::finish(const QString &reason, bool keepPart)
{
    if (isFinal(m_status))
        return;
    QString why = reason;
    if (m_partMade && (why.isEmpty() || keepPart)) {
        // A partial file never takes the place of another file.
        const bool partial = keepPart || m_cancelRequested;
        const Placement placement = partial || m_policy == ExistingFilePolicy::AddNew
                                        ? Placement::NeverReplace
                                        : Placement::Replace;
        if (!partial)
            emit placing(m_command.OutputPath, QFileInfo(m_command.PartPath).size());
        const PlacedOutput placed =
            placeOutput(m_command.PartPath, m_command.OutputPath, placement);
        m_placed = !placed.path.isEmpty();
        m_outputPath = m_placed ? placed.path : m_command.OutputPath;
        if (keepPart)
            why += m_placed ? QStringLiteral(" The part written is ") + placed.path
                            : QStringLiteral(" The part written stays as %1: %2")
                                  .arg(m_command.PartPath, placed.error);
        else if (!m_placed)
            why = placed.error;
        else if (m_cancelRequested)
            why = QStringLiteral("What was converted until the cancel is saved as ") + placed.path;
    }
    if (m_partMade && !m_placed && !keepPart)
        QFile::remove(m_command.PartPath);
    // FFmpeg names the file it writes; the user knows it by its output name.
    if (!keepPart)
        why.replace(m_command.PartPath, m_command.OutputPath);
    m_reason = why.isEmpty() ? m_note : why;
    if (m_cancelRequested)
        setStatus(Status::Cancelled);
    else
        setStatus(why.isEmpty() ? Status::Ok : Status::Failed);
}
