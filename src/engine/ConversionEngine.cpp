#include "engine/ConversionEngine.h"

#include "app/OptionSheet.h"
#include "engine/ProgressMonitor.h"
#include "engine/SystemServices.h"
#include "process/KeyChannel.h"
#include "process/ResultFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

ConversionEngine::ConversionEngine(ConversionList &list, OptionSheet &sheet, KeyChannel &keys,
                                   PowerControl &power, FolderOpener &opener,
                                   Environment environment, QObject *parent)
    : QObject(parent), m_list(list), m_sheet(sheet), m_keys(keys), m_power(power), m_opener(opener),
      m_env(std::move(environment)),
      m_monitor(std::make_unique<ProgressMonitor>(m_env.statisticsFile))
{
    connect(m_monitor.get(), &ProgressMonitor::itemProgressChanged, this,
            &ConversionEngine::itemProgressChanged);
    connect(&m_list, &ConversionList::rowRemoved, this, &ConversionEngine::onListChanged);
    connect(&m_list, &ConversionList::cleared, this, &ConversionEngine::onListChanged);
}

void ConversionEngine::setPendingCheck(std::function<bool(ConversionList::RowId)> isPending)
{
    m_isPending = std::move(isPending);
}

void ConversionEngine::rowReady(ConversionList::RowId id)
{
    if (m_running && m_waitingFor != 0 && m_waitingFor == id) {
        m_waitingFor = 0;
        startRow();
    }
}

void ConversionEngine::onListChanged()
{
    // The row the batch waits for is gone: it is passed over.
    if (m_running && m_waitingFor != 0 && m_list.positionOf(m_waitingFor) == 0) {
        m_waitingFor = 0;
        startRow();
    }
}

ConversionEngine::~ConversionEngine()
{
    // Each job's destructor lets its FFmpeg finish and places the file.
    delete m_job;
    for (const QPointer<ConversionJob> &job : std::as_const(m_finishing))
        delete job.data();
}

ConversionEngine::BatchSettings ConversionEngine::readSettings() const
{
    const Settings settings(m_env.settingsFile, m_env.defaultOutputFolder);
    return {m_outputFolderOverride.isEmpty() ? settings.outputFolder() : m_outputFolderOverride,
            settings.existedFile(), settings.thread()};
}

ConvertCommand ConversionEngine::buildCommand(const ConversionItem &row,
                                              const BatchSettings &settings, bool toPartFile,
                                              QString *note) const
{
    QString output =
        MakeOutputPath(row.FileName, m_env.profileText ? m_env.profileText() : QString(),
                       settings.outputFolder, settings.policy);
    // Sources such as a.mkv and a.mp4 give one output name. "Overwrite" means
    // files from before the batch, never a result the batch has just made.
    if (toPartFile && m_batchOutputs.contains(output)) {
        const QString first = output;
        while (m_batchOutputs.contains(output) && fitsFileName(output))
            output = nextFreeOutputPath(newNameFor(output));
        if (note)
            *note = QStringLiteral("Another row of this batch writes %1, so this row is saved "
                                   "as %2.")
                        .arg(first, output);
    }
    return commandTo(row, output, settings, toPartFile);
}

ConvertCommand ConversionEngine::commandTo(const ConversionItem &row, const QString &output,
                                           const BatchSettings &settings, bool toPartFile) const
{
    return BuildConvertCommand(
        m_sheet, row, output, toPartFile ? partPathFor(output) : QString(),
        {m_env.ffmpeg, m_env.statisticsFile, settings.threads, settings.policy});
}

ConvertCommand ConversionEngine::commandFor(const ConversionItem &row) const
{
    return buildCommand(row, readSettings(), false);
}

ConvertCommand ConversionEngine::commandFor(const ConversionItem &row, const QString &output) const
{
    return commandTo(row, output, readSettings(), true); // as a batch runs it
}

bool ConversionEngine::BurnNow()
{
    if (isBusy() || m_list.count() == 0)
        return false;
    m_run = ConversionRun();
    m_running = true;
    updateBusy();
    if (m_keys.PlayerProcessId() != 0)
        m_keys.SendKeyToPlayer(KeyChannel::KeyQ);

    emit panelVisibleChanged(true);
    emit totalProgressChanged(0);
    emit busyPointerChanged(true);

    m_settings = readSettings();
    m_batch.clear();
    m_batchOutputs.clear();
    for (int position = 1; position <= m_list.count(); ++position)
        m_batch << m_list.idAt(position);
    m_run.rowCount = int(m_batch.size());
    m_run.currentRow = 1;
    startRow();
    return true;
}

void ConversionEngine::cancel()
{
    if (!m_running)
        return;
    m_run.CancelRequested = true;
    cancelRow(true);
}

void ConversionEngine::shutdown()
{
    if (m_running)
        cancelRow(false);
}

void ConversionEngine::startRow()
{
    // Rows removed since the batch started are passed over; each still
    // counts towards the batch bar.
    for (;;) {
        emit itemProgressChanged(0);
        const ConversionList::RowId id = m_batch.value(m_run.currentRow - 1);
        const ConversionItem *row = m_list.row(m_list.positionOf(id));
        if (row)
            break;
        m_run.TotalPercent =
            int(std::nearbyint(m_run.TotalPercent + 100.0 / double(m_run.rowCount)));
        emit totalProgressChanged(m_run.TotalPercent);
        if (m_run.currentRow == m_run.rowCount)
            return finishBatch();
        ++m_run.currentRow;
    }
    const ConversionList::RowId id = m_batch.value(m_run.currentRow - 1);
    if (m_isPending && m_isPending(id)) {
        m_waitingFor = id;
        return;
    }
    const ConversionItem row = *m_list.row(m_list.positionOf(id));
    if (!QFileInfo::exists(row.FileName))
        return stopAtInvalidInput(row.FileName);

    // A tick must never show the previous row's progress.
    QFile::remove(m_env.statisticsFile);
    QString note;
    ConvertCommand command = buildCommand(row, m_settings, true, &note);
    m_batchOutputs.insert(command.OutputPath);
    m_run.CommandLine = command.CommandLine;
    emit captionChanged(QStringLiteral("Progress....") + row.FileName + QStringLiteral(" To ") +
                        command.OutputPath);
    setRowStatus(id, ConversionJob::Status::Running);

    // Written down before the part file exists, so that a crash never leaves
    // one nobody knows of.
    emit rowWriting(id, command.OutputPath, command.PartPath, command.CommandLine);
    const qint64 clipSeconds = command.ClipSeconds;
    const bool hasVideo = command.hasVideo;
    auto *job = new ConversionJob(id, row.FileName, std::move(command), m_settings.policy,
                                  QFileInfo(m_env.statisticsFile).absolutePath(), this);
    job->setGracePeriod(m_graceMs);
    job->setCountProgram(m_env.ffprobe);
    job->setNote(note);
    m_job = job;
    connect(job, &ConversionJob::statusChanged, this,
            [this, job](ConversionJob::Status status) { onJobStatus(job, status); });
    connect(job, &ConversionJob::converterOutput, m_monitor.get(),
            &ProgressMonitor::converterOutput);
    connect(job, &ConversionJob::placing, this, [this, id](const QString &output, qint64 size) {
        emit rowPlacing(id, output, size);
    });
    job->start(m_keys);
    m_run.ConverterProcessId = job->processId();
    m_monitor->start(clipSeconds, hasVideo);
    emit rowStarted(id);
}

void ConversionEngine::onJobStatus(ConversionJob *job, ConversionJob::Status status)
{
    if (!ConversionJob::isFinal(status))
        return;
    if (job == m_job) {
        finishRow(job);
        return;
    }
    // A cancelled job has closed its file: the row already shows "Cancel".
    releaseName(job);
    emit rowFinished(job->rowId(), status, job->sourcePath(), job->outputPath(), job->reason());
    m_finishing.removeAll(job);
    job->deleteLater();
    updateBusy();
}

void ConversionEngine::finishRow(ConversionJob *job)
{
    m_job = nullptr;
    job->deleteLater();
    releaseName(job);
    m_monitor->stop();
    emit itemProgressChanged(100);
    setRowStatus(job->rowId(), job->status());
    emit rowFinished(job->rowId(), job->status(), job->sourcePath(), job->outputPath(),
                     job->reason());
    m_run.TotalPercent = int(std::nearbyint(m_run.TotalPercent + 100.0 / double(m_run.rowCount)));
    emit totalProgressChanged(m_run.TotalPercent);

    if (m_run.currentRow < m_run.rowCount) {
        ++m_run.currentRow;
        startRow();
    } else {
        finishBatch();
    }
}

void ConversionEngine::releaseName(const ConversionJob *job)
{
    // A row that wrote nothing leaves its name free; one that had to take
    // another name at the end holds that one too.
    if (!job->placed())
        m_batchOutputs.remove(job->command().OutputPath);
    else
        m_batchOutputs.insert(job->outputPath());
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
    m_opener.openFolder(m_settings.outputFolder);
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

void ConversionEngine::cancelRow(bool showMessage)
{
    ConversionJob *job = m_job;
    m_job = nullptr;
    if (m_waitingFor != 0) // it had not started: it takes the cancel at once
        setRowStatus(std::exchange(m_waitingFor, 0), ConversionJob::Status::Cancelled);
    if (job) {
        setRowStatus(job->rowId(), ConversionJob::Status::Cancelled);
        m_finishing << job;
        // "q" now; the job ends from the event loop when FFmpeg has closed
        // its file, and the engine stays busy until then.
        job->cancel();
    }
    emit busyPointerChanged(false);
    if (showMessage)
        emit message(QStringLiteral("Conversion Canceled by the user!"), MessageIcon::Critical);
    m_run.CancelRequested = false;
    m_monitor->stop();
    enterIdle();
    emit batchFinished(BatchOutcome::Cancelled);
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
    updateBusy();
}

void ConversionEngine::setRowStatus(ConversionList::RowId id, ConversionJob::Status status)
{
    (void)m_list.setField(m_list.positionOf(id), ConversionItem::Field::Status, statusText(status));
}

void ConversionEngine::updateBusy()
{
    const bool busy = isBusy();
    if (busy == m_wasBusy)
        return;
    m_wasBusy = busy;
    emit busyChanged(busy);
}
