#include "engine/ConversionEngine.h"

#include "app/OptionSheet.h"
#include "engine/JobCount.h"
#include "engine/ProgressMonitor.h"
#include "engine/RemoteRunner.h"
#include "engine/SystemServices.h"
#include "process/KeyChannel.h"
#include "process/ResultFile.h"
#include "process/TimeText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cmath>

ConversionEngine::ConversionEngine(ConversionList &list, OptionSheet &sheet, KeyChannel &keys,
                                   PowerControl &power, FolderOpener &opener,
                                   Environment environment, QObject *parent)
    : QObject(parent), m_list(list), m_sheet(sheet), m_keys(keys), m_power(power), m_opener(opener),
      m_env(std::move(environment))
{
    connect(&m_list, &ConversionList::rowRemoved, this, &ConversionEngine::onListChanged);
    connect(&m_list, &ConversionList::cleared, this, &ConversionEngine::onListChanged);
}

QString ConversionEngine::statisticsFileOfSlot(const QString &first, int slot)
{
    if (slot <= 1)
        return first;
    const QFileInfo info(first);
    const QString suffix = info.suffix();
    const QString name = suffix.isEmpty() ? info.fileName() : info.completeBaseName();
    return info.dir().filePath(name + QStringLiteral("-%1").arg(slot) +
                               (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
}

void ConversionEngine::setPendingCheck(std::function<bool(ConversionList::RowId)> isPending)
{
    m_isPending = std::move(isPending);
}

void ConversionEngine::rowReady(ConversionList::RowId id)
{
    if (m_running && m_waitingFor != 0 && m_waitingFor == id) {
        m_waitingFor = 0;
        fillSlots();
    }
}

void ConversionEngine::onListChanged()
{
    // The row the batch waits for is gone: it is passed over.
    if (m_running && m_waitingFor != 0 && m_list.positionOf(m_waitingFor) == 0) {
        m_waitingFor = 0;
        fillSlots();
    }
}

ConversionEngine::~ConversionEngine()
{
    // Each job's destructor lets its FFmpeg finish and places the file.
    for (const std::unique_ptr<Slot> &slot : m_slots)
        delete slot->job;
    for (const QPointer<ConversionJob> &job : std::as_const(m_finishing))
        delete job.data();
}

QList<ConversionEngine::RunningRow> ConversionEngine::runningRows() const
{
    QList<RunningRow> rows;
    for (const std::unique_ptr<Slot> &slot : m_slots)
        rows << RunningRow{slot->job->rowId(), slot->batchRow, slot->percent};
    return rows;
}

ConversionEngine::BatchSettings ConversionEngine::readSettings() const
{
    const Settings settings(m_env.settingsFile, m_env.defaultOutputFolder);
    return {m_outputFolderOverride.isEmpty() ? settings.outputFolder() : m_outputFolderOverride,
            settings.existedFile(), settings.thread(),
            m_jobsOverride >= 0 ? m_jobsOverride : settings.jobs()};
}

ConvertCommand ConversionEngine::buildCommand(const ConversionItem &row,
                                              const BatchSettings &settings, bool toPartFile,
                                              QString *note, const QString &statistics) const
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
    return commandTo(row, output, settings, toPartFile, statistics);
}

ConvertCommand ConversionEngine::commandTo(const ConversionItem &row, const QString &output,
                                           const BatchSettings &settings, bool toPartFile,
                                           const QString &statistics) const
{
    return BuildConvertCommand(
        m_sheet, row, output, toPartFile ? partPathFor(output) : QString(),
        {m_env.ffmpeg, statistics.isEmpty() ? m_env.statisticsFile : statistics, settings.threads,
         settings.policy});
}

ConvertCommand ConversionEngine::commandFor(const ConversionItem &row) const
{
    return buildCommand(row, readSettings(), false);
}

ConvertCommand ConversionEngine::commandFor(const ConversionItem &row, const QString &output) const
{
    return commandTo(row, output, readSettings(), true); // as a batch runs it
}

ConvertCommand ConversionEngine::trialCommand(const ConversionItem &row, const QString &output,
                                              const QString &statistics) const
{
    return BuildConvertCommand(m_sheet, row, output, QString(),
                               {m_env.ffmpeg, statistics, readSettings().threads,
                                ExistingFilePolicy::Overwrite});
}

QList<ConversionEngine::PlannedRow>
ConversionEngine::planBatch(const std::function<QString(int)> &statisticsFor)
{
    QList<PlannedRow> plan;
    if (isBusy())
        return plan;
    const BatchSettings settings = readSettings();
    m_batchOutputs.clear();
    for (int position = 1; position <= m_list.count(); ++position) {
        const ConversionItem row = *m_list.row(position);
        PlannedRow planned;
        planned.source = row.FileName;
        planned.command = buildCommand(row, settings, true, &planned.note, statisticsFor(position));
        m_batchOutputs.insert(planned.command.OutputPath);
        plan << planned;
    }
    m_batchOutputs.clear();
    return plan;
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
    m_nextRow = 1;
    fillSlots();
    return true;
}

void ConversionEngine::cancel()
{
    if (!m_running)
        return;
    m_run.CancelRequested = true;
    cancelRows(true);
}

void ConversionEngine::shutdown()
{
    if (m_running)
        cancelRows(false);
}

int ConversionEngine::slotsForList() const
{
    QList<ConversionList::RowId> ids;
    for (int position = 1; position <= m_list.count(); ++position)
        ids << m_list.idAt(position);
    return slotLimit(readSettings(), ids, 1);
}

int ConversionEngine::slotLimit(const BatchSettings &settings,
                                const QList<ConversionList::RowId> &batch, int nextBatchRow) const
{
    if (m_remote)
        return std::max(1, int(batch.size()));
    if (settings.jobs > 0)
        return settings.jobs;
    // The option sheet is one for the batch: the next row's command tells
    // the encoder of every row.
    JobLoad load;
    load.cores = m_cores > 0 ? m_cores : QThread::idealThreadCount();
    load.previewPlaying = m_keys.isRunning(KeyChannel::Role::Player);
    bool first = true;
    for (int batchRow = nextBatchRow;
         batchRow <= batch.size() && load.seconds.size() < 2 * load.cores; ++batchRow) {
        const ConversionList::RowId id = batch.value(batchRow - 1);
        const ConversionItem *row = m_list.row(m_list.positionOf(id));
        if (!row)
            continue;
        if (first) {
            const ConvertCommand command = commandTo(*row, QString(), settings, false);
            load.hasVideo = command.hasVideo;
            const qsizetype codec = command.Arguments.indexOf(QStringLiteral("-vcodec"));
            if (codec >= 0)
                load.videoEncoder = command.Arguments.value(codec + 1);
            first = false;
        }
        const std::optional<qint64> end = parseTimeText(row->End.isEmpty() ? row->VideoTime
                                                                            : row->End);
        const qint64 start = parseTimeText(row->Start).value_or(0);
        if (end && *end > start && !(m_isPending && m_isPending(id)))
            load.seconds << *end - start;
        if (load.pixelsPerFrame == 0) {
            const QStringList size = row->Size.split(QLatin1Char('x'));
            if (size.size() == 2)
                load.pixelsPerFrame = size[0].toLongLong() * size[1].toLongLong();
        }
    }
    return automaticJobs(load);
}

void ConversionEngine::fillSlots()
{
    while (m_running && m_waitingFor == 0 && m_invalidInput.isEmpty()) {
        if (m_nextRow > m_run.rowCount) {
            if (m_remote)
                m_remote->endOfInput();
            if (m_slots.empty())
                finishBatch();
            return;
        }
        const ConversionList::RowId id = m_batch.value(m_nextRow - 1);
        const ConversionItem *row = m_list.row(m_list.positionOf(id));
        if (!row) {
            // Removed since the batch started: passed over, but it still
            // counts towards the batch bar.
            if (m_slots.empty())
                emit itemProgressChanged(0);
            ++m_nextRow;
            m_run.TotalPercent =
                int(std::nearbyint(m_run.TotalPercent + 100.0 / double(m_run.rowCount)));
            showTotal();
            continue;
        }
        m_run.slotCount = slotLimit(m_settings, m_batch, m_nextRow);
        if (int(m_slots.size()) >= m_run.slotCount)
            return;
        if (m_isPending && m_isPending(id)) {
            m_waitingFor = id;
            return;
        }
        if (!QFileInfo::exists(row->FileName))
            return stopAtInvalidInput(row->FileName);
        const ConversionItem copy = *row;
        startSlot(id, copy);
        ++m_nextRow;
    }
}

void ConversionEngine::startSlot(ConversionList::RowId id, const ConversionItem &row)
{
    auto slot = std::make_unique<Slot>();
    // The lowest statistics file no running row writes.
    const auto taken = [this](int number) {
        return std::any_of(m_slots.begin(), m_slots.end(),
                           [number](const std::unique_ptr<Slot> &s) { return s->number == number; });
    };
    while (taken(slot->number))
        ++slot->number;
    slot->batchRow = m_nextRow;
    const QString statistics = statisticsFileOfSlot(m_env.statisticsFile, slot->number);
    if (m_slots.empty())
        emit itemProgressChanged(0);
    // A tick must never show the previous row's progress.
    QFile::remove(statistics);

    // The user's thread count is shared by the rows that run side by side.
    BatchSettings settings = m_settings;
    if (settings.threads > 0 && !m_remote)
        settings.threads = std::max(1, settings.threads / m_run.slotCount);
    QString note;
    ConvertCommand command = buildCommand(row, settings, true, &note, statistics);
    m_batchOutputs.insert(command.OutputPath);
    m_run.CommandLine = command.CommandLine;
    slot->caption =
        QStringLiteral("Progress....") + row.FileName + QStringLiteral(" To ") + command.OutputPath;
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
    job->setRemote(m_remote);
    slot->job = job;
    slot->monitor = std::make_unique<ProgressMonitor>(statistics);
    Slot *raw = slot.get();
    m_slots.push_back(std::move(slot));
    connect(job, &ConversionJob::statusChanged, this,
            [this, job](ConversionJob::Status status) { onJobStatus(job, status); });
    connect(job, &ConversionJob::converterOutput, raw->monitor.get(),
            &ProgressMonitor::converterOutput);
    connect(job, &ConversionJob::placing, this, [this, id](const QString &output, qint64 size) {
        emit rowPlacing(id, output, size);
    });
    ProgressMonitor *monitor = raw->monitor.get();
    connect(monitor, &ProgressMonitor::itemProgressChanged, this,
            [this, raw](int percent) { onSlotProgress(raw, percent); });
    const auto lead = [this, raw] { return !m_slots.empty() && m_slots.front().get() == raw; };
    connect(monitor, &ProgressMonitor::elapsedTextChanged, this, [this, lead](const QString &text) {
        if (lead())
            emit elapsedTextChanged(text);
    });
    connect(monitor, &ProgressMonitor::speedChanged, this, [this, lead](double speed) {
        if (lead())
            emit speedChanged(speed);
    });
    connect(monitor, &ProgressMonitor::remainingChanged, this, [this, lead](qint64 seconds) {
        if (lead())
            emit remainingChanged(seconds);
    });
    showCaption();
    job->start(m_keys);
    m_run.ConverterProcessId.insert(id, job->processId());
    monitor->start(clipSeconds, hasVideo);
    emit rowStarted(id);
}

ConversionEngine::Slot *ConversionEngine::slotOf(const ConversionJob *job) const
{
    for (const std::unique_ptr<Slot> &slot : m_slots) {
        if (slot->job == job)
            return slot.get();
    }
    return nullptr;
}

void ConversionEngine::onSlotProgress(Slot *slot, int percent)
{
    slot->percent = percent;
    if (m_run.slotCount > 1) {
        emit rowProgressChanged(slot->job->rowId(), percent);
        showTotal();
    }
    if (m_slots.front().get() == slot)
        emit itemProgressChanged(percent);
}

void ConversionEngine::showTotal()
{
    // With several slots the running rows' shares count too; the bar never
    // goes back when a row ends and its share becomes a whole step.
    double total = m_run.TotalPercent;
    if (m_run.slotCount > 1) {
        for (const std::unique_ptr<Slot> &slot : m_slots)
            total += std::clamp(slot->percent, 0, 100) / double(m_run.rowCount);
    }
    // With one slot this is the finished rows' steps alone, as one row after
    // the other.
    m_shownTotal = std::max(m_shownTotal, std::min(100, int(total)));
    emit totalProgressChanged(m_shownTotal);
}

void ConversionEngine::showCaption()
{
    if (m_slots.size() == 1)
        emit captionChanged(m_slots.front()->caption);
    else if (m_slots.size() > 1)
        emit captionChanged(QStringLiteral("Progress....Converting %1 files at once")
                                .arg(m_slots.size()));
}

void ConversionEngine::onJobStatus(ConversionJob *job, ConversionJob::Status status)
{
    if (!ConversionJob::isFinal(status))
        return;
    if (Slot *slot = slotOf(job)) {
        finishSlot(slot);
        return;
    }
    // A cancelled job has closed its file: the row already shows "Cancel".
    releaseName(job);
    emit rowFinished(job->rowId(), status, job->sourcePath(), job->outputPath(), job->reason());
    m_finishing.removeAll(job);
    job->deleteLater();
    updateBusy();
}

void ConversionEngine::finishSlot(Slot *slot)
{
    ConversionJob *job = slot->job;
    const bool wasLead = m_slots.front().get() == slot;
    const auto it = std::find_if(m_slots.begin(), m_slots.end(),
                                 [slot](const std::unique_ptr<Slot> &s) { return s.get() == slot; });
    std::unique_ptr<Slot> owned = std::move(*it);
    m_slots.erase(it);
    owned->monitor->stop();
    job->deleteLater();
    releaseName(job);
    m_run.ConverterProcessId.remove(job->rowId());
    if (m_slots.empty() || m_run.slotCount <= 1)
        emit itemProgressChanged(100);
    else if (wasLead)
        emit itemProgressChanged(m_slots.front()->percent);
    setRowStatus(job->rowId(), job->status());
    emit rowFinished(job->rowId(), job->status(), job->sourcePath(), job->outputPath(),
                     job->reason());
    m_run.TotalPercent = int(std::nearbyint(m_run.TotalPercent + 100.0 / double(m_run.rowCount)));
    showTotal();
    if (!m_slots.empty())
        showCaption();

    if (!m_invalidInput.isEmpty()) {
        if (m_slots.empty())
            stopAtInvalidInput(m_invalidInput);
        return;
    }
    fillSlots();
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
    emit batchEnding(BatchOutcome::Completed);
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
    // The message shows at once; rows already converting finish first.
    const bool first = m_invalidInput.isEmpty();
    m_invalidInput = path;
    if (m_remote)
        m_remote->endOfInput();
    if (first)
        emit message(QStringLiteral("Invalid input file name. ") + path, MessageIcon::Critical);
    if (!m_slots.empty())
        return;
    emit batchEnding(BatchOutcome::InvalidInput);
    emit busyPointerChanged(false);
    enterIdle();
    emit batchFinished(BatchOutcome::InvalidInput);
}

void ConversionEngine::cancelRows(bool showMessage)
{
    if (m_waitingFor != 0) // it had not started: it takes the cancel at once
        setRowStatus(std::exchange(m_waitingFor, 0), ConversionJob::Status::Cancelled);
    emit batchEnding(BatchOutcome::Cancelled);
    std::vector<std::unique_ptr<Slot>> running = std::move(m_slots);
    m_slots.clear();
    for (const std::unique_ptr<Slot> &slot : running) {
        slot->monitor->stop();
        setRowStatus(slot->job->rowId(), ConversionJob::Status::Cancelled);
        m_finishing << slot->job;
    }
    // "q" to each now; a job ends from the event loop when its FFmpeg has
    // closed its file, and the engine stays busy until then.
    for (const std::unique_ptr<Slot> &slot : running)
        slot->job->cancel();
    emit busyPointerChanged(false);
    if (showMessage)
        emit message(QStringLiteral("Conversion Canceled by the user!"), MessageIcon::Critical);
    m_run.CancelRequested = false;
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
    m_run.ConverterProcessId.clear();
    m_shownTotal = 0;
    m_invalidInput.clear();
    m_nextRow = 0;
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
