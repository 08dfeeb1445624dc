#include "capture/FfmpegCaptureBackend.h"

#include "capture/CaptureArguments.h"
#include "capture/V4l2CameraControls.h"
#include "process/ChildProcess.h"
#include "process/KeyChannel.h"
#include "process/ResultFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString noFfmpeg()
{
    return QStringLiteral("FFmpeg was not found: install it, or put it in the program folder.");
}

QString endReason(const QProcess &process, const CaptureProgress &output)
{
    if (process.error() == QProcess::FailedToStart)
        return QStringLiteral("FFmpeg could not be started: ") + process.errorString();
    if (!output.errorTail().isEmpty())
        return output.errorTail();
    if (process.exitStatus() == QProcess::CrashExit)
        return QStringLiteral("FFmpeg crashed.");
    return QStringLiteral("FFmpeg ended with exit code %1.").arg(process.exitCode());
}

} // namespace

FfmpegCaptureBackend::FfmpegCaptureBackend(KeyChannel &keys, QString ffmpeg,
                                           QVector<CaptureDevice> devices, QObject *parent)
    : CaptureBackend(parent), m_keys(keys), m_ffmpeg(std::move(ffmpeg)),
      m_devices(std::move(devices))
{
}

FfmpegCaptureBackend::~FfmpegCaptureBackend()
{
    if (!m_process)
        return;
    // The listeners may be half destroyed by now.
    blockSignals(true);
    m_destroying = true;
    m_stopSent = true;
    // Each wait delivers QProcess::finished, and so onEnded(), when it ends.
    stopChildAndWait(*m_process, KeyChannel::keyBytes(KeyChannel::KeyQ), m_graceMs);
}

QString FfmpegCaptureBackend::deviceName(int index) const
{
    return index >= 0 && index < m_devices.size() ? m_devices[index].name : QString();
}

const CaptureDevice *FfmpegCaptureBackend::connectedDevice() const
{
    return m_connected && m_selected >= 0 && m_selected < m_devices.size() ? &m_devices[m_selected]
                                                                           : nullptr;
}

void FfmpegCaptureBackend::selectDevice(int index)
{
    if (index == m_selected)
        return;
    // The recording is finished from the device it came from.
    stopCapture();
    m_selected = index;
    m_controls.reset();
    stopProcess(); // the next one starts on the new device
}

void FfmpegCaptureBackend::setConnected(bool on)
{
    if (on == m_connected)
        return;
    m_connected = on;
    if (on)
        return launchWanted();
    stopCapture();
    m_controls.reset();
    stopProcess();
}

void FfmpegCaptureBackend::setPreview(bool on)
{
    if (on && m_ffmpeg.isEmpty())
        return emit failed(noFfmpeg());
    m_preview = on;
    if (on)
        launchWanted();
    else if (!m_processRecords)
        stopProcess();
}

void FfmpegCaptureBackend::startCapture(const CaptureRequest &request)
{
    if (m_capturing)
        return;
    if (!connectedDevice())
        return emit failed(QStringLiteral("No capture device is connected."));
    if (m_ffmpeg.isEmpty())
        return emit failed(noFfmpeg());
    if (request.file.trimmed().isEmpty())
        return emit failed(QStringLiteral("Give the name of the capture file first."));
    const QFileInfo file(request.file);
    if (file.isDir())
        return emit failed(QStringLiteral("%1 is a folder.").arg(file.absoluteFilePath()));
    if (isPathTaken(file.absoluteFilePath()) && !request.replaceExisting)
        return emit failed(
            QStringLiteral("The capture file %1 exists already.").arg(file.absoluteFilePath()));
    if (!fitsFileName(file.absoluteFilePath()))
        return emit failed(
            QStringLiteral("The capture file name is too long: %1").arg(file.fileName()));
    // FFmpeg picks its format by the extension: the part is an .avi whatever
    // the capture file is called.
    const QString part = partPathFor(file.absoluteFilePath(), QStringLiteral(".avi"));
    const QString problem = createPartFile(part);
    if (!problem.isEmpty())
        return emit failed(problem);

    m_request = request;
    m_request.file = file.absoluteFilePath();
    m_partPath = part;
    m_capturing = true;
    m_recordingLaunched = false;
    m_recordingOutput.reset();
    emit capturingChanged(true);
    if (m_process)
        stopProcess(); // the preview lets the device go; the recording follows
    else
        launchWanted();
}

void FfmpegCaptureBackend::stopCapture()
{
    if (!m_capturing)
        return;
    if (m_recordingLaunched)
        stopProcess();
    else
        dropPendingRecording();
}

void FfmpegCaptureBackend::dropPendingRecording()
{
    QFile::remove(m_partPath);
    m_capturing = false;
    emit capturingChanged(false);
}

void FfmpegCaptureBackend::launchWanted()
{
    if (m_process || m_destroying)
        return;
    const bool record = m_capturing && !m_recordingLaunched;
    const CaptureDevice *device = connectedDevice();
    if (!device || (!record && !m_preview) || m_ffmpeg.isEmpty()) {
        if (record)
            dropPendingRecording();
        return;
    }
    auto *process = new QProcess(this);
    m_process = process;
    m_processRecords = record;
    m_stopSent = false;
    prepareChild(*process);
    connect(process, &QProcess::readyReadStandardOutput, this,
            [this, process] { readPreview(process); });
    connect(process, &QProcess::readyReadStandardError, this,
            [this, process] { readErrors(process); });
    connect(process, &QProcess::finished, this, [this, process] { onEnded(process); });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onEnded(process);
    });
    if (record)
        m_recordingLaunched = true;
    else
        m_previewOutput.reset();
    process->start(m_ffmpeg,
                   captureArguments(*device, record ? m_partPath : QString(), m_preview || !record,
                                    record ? m_request.seconds : 0));
    // The process id is known as soon as the child exists, before started().
    m_keys.registerChild(KeyChannel::Role::Capture, process);
}

void FfmpegCaptureBackend::stopProcess()
{
    if (!m_process || m_stopSent)
        return;
    m_stopSent = true;
    stopChild(*m_process, KeyChannel::keyBytes(KeyChannel::KeyQ), m_graceMs);
}

void FfmpegCaptureBackend::readPreview(QProcess *process)
{
    qint64 frames = process->bytesAvailable() / PreviewFrameBytes;
    if (frames == 0)
        return;
    // Only the newest frame is worth painting.
    for (; frames > 1; --frames)
        process->skip(PreviewFrameBytes);
    QImage frame(PreviewWidth, PreviewHeight, QImage::Format_RGB888);
    Q_ASSERT(frame.sizeInBytes() == PreviewFrameBytes);
    process->read(reinterpret_cast<char *>(frame.bits()), PreviewFrameBytes);
    emit previewFrame(frame);
}

void FfmpegCaptureBackend::readErrors(QProcess *process)
{
    const bool records = process == m_process && m_processRecords;
    (records ? m_recordingOutput : m_previewOutput).feed(process->readAllStandardError());
}

void FfmpegCaptureBackend::onEnded(QProcess *process)
{
    if (process != m_process)
        return;
    readPreview(process);
    readErrors(process);
    const bool recorded = m_processRecords;
    CaptureProgress &output = recorded ? m_recordingOutput : m_previewOutput;
    output.finish();
    const bool askedToStop = m_stopSent;
    const bool cleanExit = process->error() != QProcess::FailedToStart &&
                           process->exitStatus() == QProcess::NormalExit &&
                           process->exitCode() == 0;
    const QString reason = endReason(*process, output);
    m_process = nullptr;
    m_processRecords = false;
    process->disconnect(this);
    process->deleteLater();

    if (recorded) {
        // FFmpeg answers "q" by closing its file and exiting with 0. One that
        // had to be terminated (it exits with 255) or killed after Stop may
        // have left the file without its index.
        const RecordingEnd end = cleanExit     ? RecordingEnd::Finished
                                 : askedToStop ? RecordingEnd::Forced
                                               : RecordingEnd::Failed;
        finishRecording(end, reason);
    } else if (!askedToStop) {
        // Not started again by itself: the next Preview tries again.
        m_preview = false;
        emit failed(QStringLiteral("The live picture stopped: ") + reason);
    }
    launchWanted();
}

void FfmpegCaptureBackend::finishRecording(RecordingEnd end, const QString &reason)
{
    const bool finishedByFfmpeg = end != RecordingEnd::Failed;
    const bool anything =
        m_recordingOutput.statistics().framesCaptured > 0 && QFileInfo(m_partPath).size() > 0;
    QString problem;
    if (!anything) {
        QFile::remove(m_partPath);
        // A device that fails a recording fails its preview too; the next
        // Preview tries again.
        if (!finishedByFfmpeg)
            m_preview = false;
        problem = finishedByFfmpeg
                      ? QStringLiteral("Nothing was recorded: the capture ended before the "
                                       "first frame.")
                      : QStringLiteral("The capture did not start: ") + reason;
    } else {
        const PlacedOutput placed =
            placeOutput(m_partPath, m_request.file,
                        m_request.replaceExisting ? Placement::Replace : Placement::NeverReplace);
        if (placed.path.isEmpty())
            problem = placed.error + QStringLiteral("\nThe recording is kept as ") + m_partPath;
        else if (end == RecordingEnd::Forced)
            problem = QStringLiteral("The recording did not finish cleanly; the file may be "
                                     "damaged: ") +
                      placed.path;
        else if (end == RecordingEnd::Failed)
            problem = QStringLiteral("The capture stopped: %1\nWhat was recorded until then is "
                                     "in %2")
                          .arg(reason, placed.path);
        if (!placed.path.isEmpty())
            emit captureFinished(placed.path);
    }
    m_capturing = false;
    m_recordingLaunched = false;
    if (!problem.isEmpty())
        emit failed(problem);
    emit capturingChanged(false);
}

V4l2CameraControls *FfmpegCaptureBackend::controls()
{
    const CaptureDevice *device = connectedDevice();
    if (!device || device->kind != CaptureDevice::Kind::V4l2)
        return nullptr;
    if (!m_controls)
        m_controls = std::make_unique<V4l2CameraControls>(device->id);
    return m_controls.get();
}

std::optional<CameraControlRange> FfmpegCaptureBackend::cameraControlRange(CameraProperty property)
{
    V4l2CameraControls *camera = controls();
    return camera ? camera->range(property) : std::nullopt;
}

std::optional<int> FfmpegCaptureBackend::cameraControlGet(CameraProperty property)
{
    V4l2CameraControls *camera = controls();
    return camera ? camera->get(property) : std::nullopt;
}

bool FfmpegCaptureBackend::cameraControlSet(CameraProperty property, int value)
{
    V4l2CameraControls *camera = controls();
    return camera && camera->set(property, value);
}
