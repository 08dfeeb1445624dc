#include "engine/ConversionEngine.h"

#include "app/ConversionList.h"
#include "app/OptionSheet.h"
#include "engine/KeyChannel.h"
#include "engine/ProgressMonitor.h"
#include "engine/SystemServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr int ErrorTailBytes = 16 * 1024;
constexpr int ReasonLines = 4;
constexpr int KillAfterTerminateMs = 3000;
constexpr qint64 MinimumOutputBytes = 100;

const QString StatusProcessing = QStringLiteral("Processing");
const QString StatusOk = QStringLiteral("OK");
const QString StatusFail = QStringLiteral("Fail");
const QString StatusCancel = QStringLiteral("Cancel");

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa, sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// A free name beside the output, with the same extension so that FFmpeg picks
// the same format: "clip.mp4" -> ".clip.part-3f9a1c.mp4".
QString partialPathFor(const QString &output)
{
    const QFileInfo info(output);
    const QString name = info.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    for (;;) {
        const QString candidate = info.dir().filePath(
            QStringLiteral(".%1.part-%2%3")
                .arg(stem)
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                .arg(extension));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

// FFmpeg's last lines of error output, without its progress reports.
QString lastLines(const QByteArray &tail)
{
    QStringList lines;
    for (const QByteArray &raw : tail.split('\n')) {
        for (const QByteArray &piece : raw.split('\r')) {
            const QString line = QString::fromLocal8Bit(piece).trimmed();
            if (!line.isEmpty() && !line.startsWith(QLatin1String("frame=")) &&
                !line.startsWith(QLatin1String("size=")))
                lines << line;
        }
    }
    return lines.mid(qMax(0, int(lines.size()) - ReasonLines)).join(QLatin1Char('\n'));
}

} // namespace

ConversionEngine::ConversionEngine(ConversionList &list, OptionSheet &sheet, KeyChannel &keys,
                                   PowerControl &power, FolderOpener &opener,
                                   Environment environment, QObject *parent)
    : QObject(parent), m_list(list), m_sheet(sheet), m_keys(keys), m_power(power), m_opener(opener),
      m_env(std::move(environment)),
      m_monitor(std::make_unique<ProgressMonitor>(m_env.statisticsFile))
{
    connect(m_monitor.get(), &ProgressMonitor::itemProgressChanged, this,
            &ConversionEngine::itemProgressChanged);
}

ConversionEngine::~ConversionEngine()
{
    // The program is closing: every FFmpeg still running gets "q" and the
    // grace period to finish its file, then it is terminated and killed.
    QList<QPointer<QProcess>> children = m_lingering;
    children << m_process;
    for (QProcess *process : children) {
        if (!process || process->state() == QProcess::NotRunning)
            continue;
        process->disconnect(this);
        process->write(KeyChannel::keyBytes(KeyChannel::KeyQ));
        if (!process->waitForFinished(m_graceMs)) {
            process->terminate();
            if (!process->waitForFinished(KillAfterTerminateMs)) {
                process->kill();
                process->waitForFinished(KillAfterTerminateMs);
            }
        }
    }
}

void ConversionEngine::BurnNow()
{
    if (m_running || m_list.count() == 0)
        return;
    m_run = ConversionRun();
    m_running = true;
    if (m_keys.PlayerProcessId() != 0)
        m_keys.SendKeyToPlayer(KeyChannel::KeyQ);

    emit panelVisibleChanged(true);
    emit totalProgressChanged(0);
    emit busyPointerChanged(true);

    const Settings settings(m_env.settingsFile, m_env.defaultOutputFolder);
    m_outputFolder =
        m_outputFolderOverride.isEmpty() ? settings.outputFolder() : m_outputFolderOverride;
    m_policy = settings.existedFile();
    m_threads = settings.thread();
    m_run.rowCount = m_list.count();
    m_run.currentRow = 1;
    startRow();
}

void ConversionEngine::cancel()
{
    if (!m_running)
        return;
    m_run.CancelRequested = true;
    if (m_process)
        cancelRow();
    // Between two rows the next row takes the cancel path before it starts.
}

void ConversionEngine::startRow()
{
    const int position = m_run.currentRow;
    emit itemProgressChanged(0);
    if (m_run.CancelRequested) {
        cancelRow();
        return;
    }
    const ConversionItem *row = m_list.row(position);
    if (!row) { // removed while the batch ran
        finishRow(QString(), QString());
        return;
    }
    const QString source = row->FileName;
    if (!QFileInfo::exists(source)) {
        stopAtInvalidInput(source);
        return;
    }

    // A tick must never show the previous row's progress.
    QFile::remove(m_env.statisticsFile);
    const QString output = MakeOutputPath(
        source, m_env.profileText ? m_env.profileText() : QString(), m_outputFolder, m_policy);
    m_command = BuildConvertCommand(m_sheet, *row, output,
                                    {m_env.ffmpeg, m_env.statisticsFile, m_threads, m_policy});
    m_run.CommandLine = m_command.CommandLine;
    emit captionChanged(QStringLiteral("Progress....") + source + QStringLiteral(" To ") + output);
    (void)m_list.setField(position, ConversionItem::Field::Status, StatusProcessing);

    const auto failNow = [this](const QString &reason) {
        // Later, so that a batch of such rows never nests calls.
        QTimer::singleShot(0, this, [this, reason] { finishRow(StatusFail, reason); });
    };
    if (m_env.ffmpeg.isEmpty())
        return failNow(QStringLiteral("FFmpeg was not found in the program folder or on PATH."));
    if (sameFile(source, output))
        return failNow(QStringLiteral("The output file would replace the source file: ") + output);
    if (!QFileInfo(m_outputFolder).isDir())
        return failNow(QStringLiteral("The output folder does not exist: ") + m_outputFolder);

    m_partialPath = partialPathFor(output);
    QStringList arguments = m_command.Arguments;
    arguments[arguments.lastIndexOf(output)] = m_partialPath;

    m_errorTail.clear();
    m_startError.clear();
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setWorkingDirectory(QFileInfo(m_env.statisticsFile).absolutePath());
    connect(m_process, &QProcess::readyRead, this, &ConversionEngine::onOutput);
    connect(m_process, &QProcess::finished, this, &ConversionEngine::onFinished);
    connect(m_process, &QProcess::errorOccurred, this, &ConversionEngine::onErrorOccurred);
    connect(m_process, &QProcess::started, this, [this] {
        m_keys.registerChild(KeyChannel::Role::Converter, m_process);
        m_run.ConverterProcessId = m_process->processId();
    });
    m_process->start(m_env.ffmpeg, arguments);
    m_monitor->start(m_command.ClipSeconds, !arguments.contains(QStringLiteral("-vn")));
}

void ConversionEngine::onOutput()
{
    auto *process = qobject_cast<QProcess *>(sender());
    const QByteArray chunk = process->readAll();
    if (process != m_process)
        return;
    m_monitor->converterOutput(chunk);
    m_errorTail += chunk;
    if (m_errorTail.size() > ErrorTailBytes)
        m_errorTail.remove(0, m_errorTail.size() - ErrorTailBytes);
}

void ConversionEngine::onErrorOccurred(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || sender() != m_process)
        return;
    m_startError = QStringLiteral("FFmpeg could not be started: ") + m_process->errorString();
    onFinished(-1, QProcess::CrashExit);
}

void ConversionEngine::onFinished(int exitCode, QProcess::ExitStatus status)
{
    if (sender() != m_process)
        return;
    onOutput();
    m_monitor->stop();
    emit itemProgressChanged(100);

    const QString output = m_command.OutputPath;
    const qint64 size = QFileInfo(m_partialPath).size();
    QString reason;
    if (!m_startError.isEmpty())
        reason = m_startError;
    else if (status != QProcess::NormalExit)
        reason = QStringLiteral("FFmpeg crashed.\n") + lastLines(m_errorTail);
    else if (exitCode != 0)
        reason = lastLines(m_errorTail);
    else if (size < MinimumOutputBytes)
        reason = QStringLiteral("FFmpeg wrote only %1 bytes.").arg(size);
    if (reason.isEmpty() && exitCode != 0)
        reason = QStringLiteral("FFmpeg ended with exit code %1.").arg(exitCode);

    if (reason.isEmpty() && placeOutput(m_partialPath, output, &reason)) {
        finishRow(StatusOk, QString());
    } else {
        QFile::remove(m_partialPath);
        finishRow(StatusFail, reason.trimmed());
    }
}

bool ConversionEngine::placeOutput(const QString &partial, const QString &output,
                                   QString *reason) const
{
    bool placed;
    if (m_policy == ExistingFilePolicy::Overwrite) {
        // rename(2) replaces an existing file in one step.
        placed = std::rename(QFile::encodeName(partial).constData(),
                             QFile::encodeName(output).constData()) == 0;
    } else {
        // Never replaces a file that appeared under the chosen name meanwhile.
        placed = QFile::rename(partial, output);
    }
    if (!placed && reason)
        *reason = QStringLiteral("Could not move the converted file to ") + output;
    return placed;
}

void ConversionEngine::finishRow(const QString &status, const QString &reason)
{
    const int position = m_run.currentRow;
    if (m_process) {
        m_process->disconnect(this);
        m_process->deleteLater();
        m_process = nullptr;
    }
    if (!status.isEmpty()) {
        const ConversionItem *row = m_list.row(position);
        const QString source = row ? row->FileName : QString();
        (void)m_list.setField(position, ConversionItem::Field::Status, status);
        emit rowFinished(position, status, source, m_command.OutputPath, reason);
    }
    m_run.TotalPercent = int(std::nearbyint(m_run.TotalPercent + 100.0 / double(m_run.rowCount)));
    emit totalProgressChanged(m_run.TotalPercent);

    if (position < m_run.rowCount) {
        ++m_run.currentRow;
        startRow();
    } else {
        finishBatch();
    }
}

void ConversionEngine::finishBatch()
{
    m_monitor->stop();
    emit totalProgressChanged(100);
    emit busyPointerChanged(false);
    if (Settings(m_env.settingsFile, m_env.defaultOutputFolder).autoShut())
        m_power.powerOff();
    emit message(QStringLiteral("Conversion completed!"), MessageIcon::Information);
    enterIdle();
    m_opener.openFolder(m_outputFolder);
    emit batchFinished(BatchOutcome::Completed);
}

void ConversionEngine::stopAtInvalidInput(const QString &path)
{
    m_monitor->stop();
    emit message(QStringLiteral("Invalid input file name. ") + path, MessageIcon::Critical);
    emit busyPointerChanged(false);
    enterIdle();
    emit batchFinished(BatchOutcome::InvalidInput);
}

void ConversionEngine::cancelRow()
{
    const int position = m_run.currentRow;
    const ConversionItem *row = m_list.row(position);
    (void)m_list.setField(position, ConversionItem::Field::Status, StatusCancel);
    emit busyPointerChanged(false);
    handOffConverter();
    emit message(QStringLiteral("Conversion Canceled by the user!"), MessageIcon::Critical);
    m_run.CancelRequested = false;
    m_monitor->stop();
    emit rowFinished(position, StatusCancel, row ? row->FileName : QString(), m_command.OutputPath,
                     QString());
    enterIdle();
    emit batchFinished(BatchOutcome::Cancelled);
    if (m_lingering.isEmpty())
        emit idle();
}

void ConversionEngine::handOffConverter()
{
    if (!m_process)
        return;
    m_keys.SendKeyToConverter(KeyChannel::KeyQ);
    QProcess *process = m_process;
    m_process = nullptr;
    process->disconnect(this);
    letFinish(process, m_partialPath, m_command.OutputPath);
}

void ConversionEngine::letFinish(QProcess *process, const QString &partial, const QString &output)
{
    m_lingering << process;
    // Its output is still read, so that a full pipe never stops it.
    connect(process, &QProcess::readyRead, process, [process] { process->readAll(); });
    connect(process, &QProcess::finished, this, [this, process, partial, output] {
        // What FFmpeg finished stays under the output name.
        if (QFileInfo(partial).size() >= MinimumOutputBytes)
            placeOutput(partial, output, nullptr);
        QFile::remove(partial);
        m_lingering.removeAll(process);
        process->deleteLater();
        if (m_lingering.isEmpty() && !m_running)
            emit idle();
    });
    QTimer::singleShot(m_graceMs, process, [process] {
        if (process->state() == QProcess::NotRunning)
            return;
        process->terminate();
        QTimer::singleShot(KillAfterTerminateMs, process, [process] {
            if (process->state() != QProcess::NotRunning)
                process->kill();
        });
    });
}

void ConversionEngine::shutdown()
{
    if (!m_running)
        return;
    handOffConverter();
    m_monitor->stop();
    enterIdle();
}

void ConversionEngine::enterIdle()
{
    emit itemProgressChanged(0);
    emit totalProgressChanged(0);
    emit panelVisibleChanged(false);
    emit captionChanged(QStringLiteral("Progress...."));
    m_run.TotalPercent = 0;
    m_run.currentRow = 0;
    m_running = false;
}
