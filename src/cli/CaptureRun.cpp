#include "cli/CaptureRun.h"

#include "capture/CaptureDevice.h"
#include "capture/FfmpegCaptureBackend.h"
#include "cli/CliOptions.h"
#include "process/ResultFile.h"
#include "process/KeyChannel.h"
#include "process/SignalWatcher.h"
#include "settings/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr int CounterIntervalMs = 500;

int failWith(const QString &reason)
{
    writeLine(stderr, QStringLiteral("clipwright-cli: ") + reason);
    return 1;
}

} // namespace

int runCaptureCommand(const CliOptions &options)
{
    if (options.listDevices) {
        for (const CaptureDevice &device : availableCaptureDevices())
            writeLine(stdout, device.id + QLatin1Char('\t') + device.name);
        return 0;
    }
    QString error;
    const std::optional<CaptureDevice> device = captureDeviceFromId(options.captureDevice, &error);
    if (!device)
        return failWith(error);
    const QString output = QDir::cleanPath(QFileInfo(options.captureOutput).absoluteFilePath());
    if (isPathTaken(output))
        return failWith(QStringLiteral("%1 exists already; give another --output").arg(output));

    SignalWatcher signalWatcher;
    if (!signalWatcher.isValid())
        return failWith(QStringLiteral("cannot watch SIGINT and SIGTERM"));
    KeyChannel keys;
    FfmpegCaptureBackend backend(keys, resolveProgram(QStringLiteral("ffmpeg")), {*device});
    CaptureRun run(backend, signalWatcher, {output, false, options.captureSeconds});
    // From the event loop, so that a start that fails at once can end it.
    QTimer::singleShot(0, &run, &CaptureRun::start);
    return QCoreApplication::exec();
}

CaptureRun::CaptureRun(CaptureBackend &backend, SignalWatcher &signalWatcher,
                       CaptureRequest request, QObject *parent)
    : QObject(parent), m_backend(backend), m_request(std::move(request))
{
    connect(&signalWatcher, &SignalWatcher::received, &m_backend, &CaptureBackend::stopCapture);
    connect(&m_backend, &CaptureBackend::capturingChanged, this, &CaptureRun::onCapturingChanged);
    connect(&m_backend, &CaptureBackend::failed, this, &CaptureRun::onFailed);
    connect(&m_backend, &CaptureBackend::captureFinished, this,
            [this](const QString &file) { m_file = file; });
    connect(&m_counterTimer, &QTimer::timeout, this, &CaptureRun::drawCounter);
}

void CaptureRun::start()
{
    m_backend.selectDevice(0);
    m_backend.setConnected(true);
    m_backend.startCapture(m_request);
    if (!m_backend.isCapturing())
        return finish(); // refused before anything started
    if (m_counter.isTerminal())
        m_counterTimer.start(CounterIntervalMs);
}

void CaptureRun::onCapturingChanged(bool capturing)
{
    if (!capturing)
        finish();
}

void CaptureRun::onFailed(const QString &reason)
{
    m_problem = reason;
}

void CaptureRun::finish()
{
    m_counterTimer.stop();
    m_counter.clear();
    if (!m_file.isEmpty()) {
        writeLine(stdout, m_file);
        writeLine(stdout, captureCounterText(m_backend.statistics()));
    }
    if (m_file.isEmpty() && m_problem.isEmpty())
        m_problem = QStringLiteral("nothing was recorded");
    if (!m_problem.isEmpty())
        writeLine(stderr, QStringLiteral("clipwright-cli: ") + m_problem);
    QCoreApplication::exit(m_problem.isEmpty() && !m_file.isEmpty() ? 0 : 1);
}

void CaptureRun::drawCounter()
{
    m_counter.draw(captureCounterText(m_backend.statistics()));
}
