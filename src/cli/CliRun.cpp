#include "cli/CliRun.h"

#include "app/ConversionList.h"
#include "app/ProbedRow.h"
#include "app/TimeText.h"
#include "cli/SignalWatcher.h"
#include "engine/ConversionEngine.h"
#include "engine/ProgressMonitor.h"
#include "media/MediaProbeQueue.h"

#include <QCoreApplication>
#include <unistd.h>

CliRun::CliRun(ConversionList &list, ConversionEngine &engine, MediaProbeQueue &probes,
               SignalWatcher &signalWatcher, RowDefaults defaults,
               std::function<ConvertCommand(int)> dryRunCommand, QObject *parent)
    : QObject(parent), m_list(list), m_engine(engine), m_probes(probes),
      m_defaults(std::move(defaults)), m_dryRunCommand(std::move(dryRunCommand)),
      m_showProgress(::isatty(STDERR_FILENO) == 1)
{
    connect(&signalWatcher, &SignalWatcher::received, this, &CliRun::onSignal);
    connect(&m_probes, &MediaProbeQueue::probed, this,
            [this](int id, const QString &, const MediaFacts &facts) { onProbed(id, facts); });
    connect(&m_probes, &MediaProbeQueue::idle, this, &CliRun::onProbesDone);

    connect(&m_engine, &ConversionEngine::rowFinished, this,
            [this](int, const QString &status, const QString &source, const QString &output,
                   const QString &reason) { onRowFinished(status, source, output, reason); });
    connect(&m_engine, &ConversionEngine::message, this, &CliRun::onMessage);
    connect(&m_engine, &ConversionEngine::batchFinished, this, &CliRun::onBatchFinished);
    connect(&m_engine, &ConversionEngine::idle, this, &CliRun::exitWhenIdle);
    if (!m_showProgress)
        return;
    connect(&m_engine, &ConversionEngine::itemProgressChanged, this, [this](int percent) {
        m_itemPercent = percent;
        drawProgress();
    });
    connect(&m_engine, &ConversionEngine::totalProgressChanged, this, [this](int percent) {
        m_totalPercent = percent;
        drawProgress();
    });
    ProgressMonitor &monitor = m_engine.monitor();
    connect(&monitor, &ProgressMonitor::elapsedTextChanged, this, [this](const QString &text) {
        m_elapsed = text;
        drawProgress();
    });
    connect(&monitor, &ProgressMonitor::speedChanged, this,
            [this](double speed) { m_speed = speed; });
    connect(&monitor, &ProgressMonitor::remainingChanged, this,
            [this](qint64 seconds) { m_remaining = seconds; });
}

void CliRun::start()
{
    for (int position = 1; position <= m_list.count(); ++position)
        m_probePositions.insert(m_probes.add(m_list.row(position)->FileName), position);
}

void CliRun::onProbed(int id, const MediaFacts &facts)
{
    using Field = ConversionList::Field;
    const int position = m_probePositions.value(id);
    if (!fillProbedRow(m_list, position, facts))
        return;
    if (!m_defaults.start.isEmpty()) {
        (void)m_list.setField(position, Field::Start, m_defaults.start);
        (void)m_list.setField(position, Field::End, m_defaults.end);
    }
    if (!m_defaults.watermark.isEmpty())
        (void)m_list.setField(position, Field::Watermark, m_defaults.watermark);
}

void CliRun::onProbesDone()
{
    if (m_batchStarted || m_exitStatus)
        return;
    if (m_dryRunCommand) {
        printDryRun();
        finish(AllOk);
        return;
    }
    m_batchStarted = true;
    m_engine.BurnNow();
    // BurnNow refuses only an empty list or a second batch; neither can be here.
    if (!m_exitStatus && !m_engine.isRunning()) {
        printLine(stderr, QStringLiteral("clipwright-cli: the batch did not start"));
        finish(SomeFailed);
    }
}

void CliRun::printDryRun()
{
    for (int position = 1; position <= m_list.count(); ++position) {
        const ConvertCommand command = m_dryRunCommand(position);
        printLine(stdout, command.CommandLine + QLatin1Char('\t') + command.OutputPath);
    }
}

void CliRun::onSignal(int)
{
    if (m_exitStatus || m_cancelRequested)
        return; // already ending; a cancelled FFmpeg is finishing its file
    m_cancelRequested = true;
    if (m_engine.isRunning())
        m_engine.cancel();
    else
        finish(Cancelled); // still probing: nothing has been written
}

void CliRun::onRowFinished(const QString &status, const QString &source, const QString &output,
                           const QString &reason)
{
    if (status != QLatin1String("OK"))
        m_anyFailed = true;
    // The next row starts its figures afresh.
    m_elapsed.clear();
    m_speed = -1;
    m_remaining = -1;
    printLine(stdout, status + QLatin1Char('\t') + source + QLatin1Char('\t') + output);
    if (status == QLatin1String("Fail") && !reason.isEmpty())
        printLine(stderr,
                  QStringLiteral("Failed: ") + source + QLatin1Char('\n') + reason.trimmed());
}

void CliRun::onMessage(const QString &text, MessageIcon icon)
{
    printLine(icon == MessageIcon::Critical ? stderr : stdout, text);
}

void CliRun::onBatchFinished(BatchOutcome outcome)
{
    switch (outcome) {
    case BatchOutcome::Completed:
        finish(m_anyFailed ? SomeFailed : AllOk);
        break;
    case BatchOutcome::Cancelled:
        finish(Cancelled);
        break;
    case BatchOutcome::InvalidInput:
        finish(UsageOrInput);
        break;
    }
}

void CliRun::finish(int status)
{
    clearProgress();
    if (!m_exitStatus)
        m_exitStatus = status;
    exitWhenIdle();
}

void CliRun::exitWhenIdle()
{
    // A cancelled FFmpeg still finishes the partial file; leaving now would
    // cut it off.
    if (m_exitStatus && !m_engine.isBusy())
        QCoreApplication::exit(*m_exitStatus);
}

void CliRun::printLine(std::FILE *stream, const QString &text)
{
    clearProgress();
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void CliRun::drawProgress()
{
    const ConversionRun &run = m_engine.run();
    if (!m_showProgress || m_exitStatus || !m_engine.isRunning() || run.currentRow == 0)
        return;
    QString line = QStringLiteral("Row %1/%2  %3%  total %4%")
                       .arg(run.currentRow)
                       .arg(run.rowCount)
                       .arg(m_itemPercent, 3)
                       .arg(m_totalPercent, 3);
    if (!m_elapsed.isEmpty())
        line += QStringLiteral("  ") + m_elapsed;
    if (m_speed > 0)
        line += QStringLiteral("  %1x").arg(m_speed, 0, 'f', 2);
    if (m_remaining >= 0)
        line += QStringLiteral("  %1 left").arg(formatTimeText(m_remaining));
    const QByteArray bytes = "\r" + line.toLocal8Bit() + "\033[K";
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    m_progressShown = true;
}

void CliRun::clearProgress()
{
    if (!m_progressShown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_progressShown = false;
}
