#include "cli/CliRun.h"

#include "app/ConversionList.h"
#include "cli/JobArray.h"
#include "engine/ConversionEngine.h"
#include "engine/OutputEstimator.h"
#include "engine/ProgressMonitor.h"
#include "engine/RemoteHosts.h"
#include "engine/RemoteRunner.h"
#include "media/MediaProbeQueue.h"
#include "process/SignalWatcher.h"
#include "process/TimeText.h"
#include "settings/NumberValue.h"
#include "session/Session.h"
#include "store/QueueRecorder.h"
#include "store/QueueStore.h"

#include <QCoreApplication>
#include <cmath>

CliRun::CliRun(Session &session, SignalWatcher &signalWatcher, const CliOptions &options,
               QStringList files, RowDefaults defaults, QueueStore *queue,
               RemoteRunner *remote, QObject *parent)
    : QObject(parent), m_session(session), m_options(options), m_files(std::move(files)),
      m_defaults(std::move(defaults)), m_queue(queue), m_remote(remote)
{
    ConversionEngine &engine = m_session.engine();
    connect(&signalWatcher, &SignalWatcher::received, this, &CliRun::onSignal);
    connect(&m_session, &Session::ready, this, &CliRun::onReady);
    connect(&m_session, &Session::probesFinished, this, &CliRun::onProbesDone);
    connect(&engine, &ConversionEngine::rowFinished, this, &CliRun::onRowFinished);
    connect(&engine, &ConversionEngine::message, this, &CliRun::onMessage);
    connect(&engine, &ConversionEngine::batchFinished, this, &CliRun::onBatchFinished);
    connect(&engine, &ConversionEngine::busyChanged, this, &CliRun::exitWhenIdle);
    if (!m_line.isTerminal())
        return;
    if (m_remote) {
        // The rows' FFmpegs run elsewhere: what is known here is which ended.
        connect(m_remote, &RemoteRunner::runningChanged, this, &CliRun::drawHostsProgress);
        connect(&engine, &ConversionEngine::rowFinished, this, &CliRun::drawHostsProgress);
        return;
    }
    connect(&engine, &ConversionEngine::itemProgressChanged, this, [this](int percent) {
        m_itemPercent = percent;
        drawProgress();
    });
    connect(&engine, &ConversionEngine::totalProgressChanged, this, [this](int percent) {
        m_totalPercent = percent;
        drawProgress();
    });
    connect(&engine, &ConversionEngine::rowProgressChanged, this, &CliRun::drawProgress);
    connect(&engine, &ConversionEngine::elapsedTextChanged, this, [this](const QString &text) {
        m_elapsed = text;
        drawProgress();
    });
    connect(&engine, &ConversionEngine::speedChanged, this,
            [this](double speed) { m_speed = speed; });
    connect(&engine, &ConversionEngine::remainingChanged, this,
            [this](qint64 seconds) { m_remaining = seconds; });
}

CliRun::~CliRun()
{
    if (m_recorder)
        m_recorder->stop(true);
}

void CliRun::start()
{
    // The files are probed while FFmpeg tells its encoders. With --queue
    // they wait for the profile: what was done before is known by its
    // command.
    if (!m_queue)
        addFiles();
    if (m_session.isReady())
        onReady();
}

void CliRun::addFiles()
{
    for (const QString &file : std::as_const(m_files))
        addFile(file);
}

int CliRun::addFile(const QString &file)
{
    // --clip and --watermark are the user's choice for every row: set at
    // once, they stay whenever its probe ends.
    using Field = ConversionList::Field;
    ConversionList &list = m_session.files();
    const int position = list.positionOf(m_session.AddFileToList(file));
    if (!m_defaults.start.isEmpty()) {
        (void)list.setChosen(position, Field::Start, m_defaults.start);
        (void)list.setChosen(position, Field::End, m_defaults.end);
    }
    if (!m_defaults.watermark.isEmpty())
        (void)list.setChosen(position, Field::Watermark, m_defaults.watermark);
    return position;
}

void CliRun::addQueuedFiles()
{
    // A run that ended abnormally left its converting rows as "running":
    // their part files go; a row whose file was renamed just before the
    // end is done.
    QHash<QString, QueueRecord> bySource;
    QueueChanges settled;
    for (QueueRecord record : m_queue->records()) {
        if (record.status == QLatin1String("running")) {
            settleRunning(record);
            settled.written << record;
        }
        bySource.insert(record.source, record);
    }
    if (!settled.isEmpty() && !m_queue->apply(settled))
        printLine(stderr, QStringLiteral("clipwright-cli: ") + m_queue->error());

    m_recorder = std::make_unique<QueueRecorder>(*m_queue, m_session.files(), m_session.engine(),
                                                 false);
    connect(m_recorder.get(), &QueueRecorder::writeFailed, this,
            [this](const QString &text) { printLine(stderr, QStringLiteral("clipwright-cli: ") + text); });
    for (const QString &file : std::as_const(m_files)) {
        const std::optional<QueueRecord> record = bySource.contains(file)
                                                      ? std::optional(bySource.take(file))
                                                      : std::nullopt;
        if (record && record->status == QLatin1String("ok") && outputStillThere(*record) &&
            sourceUnchanged(*record)) {
            ConversionItem item = itemFromRecord(*record);
            if (!m_defaults.start.isEmpty()) {
                item.Start = m_defaults.start;
                item.End = m_defaults.end;
            }
            if (!m_defaults.watermark.isEmpty())
                item.Watermark = m_defaults.watermark;
            // Run beside others, the row had a share of the threads and a
            // statistics file of its slot.
            if (commandWithoutRunDetails(
                    m_session.engine().commandFor(item, record->output).CommandLine) ==
                commandWithoutRunDetails(record->command)) {
                printResult(ConversionJob::Status::Ok, file, record->output,
                            QStringLiteral("(done before)"));
                continue;
            }
        }
        const int position = addFile(file);
        if (record) { // converted again under its record
            QueueRecord again;
            again.id = record->id;
            m_recorder->adopt(position, again);
        }
    }
}

void CliRun::onReady()
{
    if (m_exitStatus || m_setUp)
        return;
    const QString error = setUpSheet();
    if (!error.isEmpty()) {
        printLine(stderr, QStringLiteral("clipwright-cli: ") + error);
        printLine(stderr, QStringLiteral("Try 'clipwright-cli --help'."));
        return finish(UsageOrInput);
    }
    m_setUp = true;
    if (plansOnly())
        return onProbesDone(); // printed or written once every row is probed
    if (m_options.estimate || m_options.fitSize) {
        OutputEstimator &estimator = m_session.estimator();
        connect(&estimator, &OutputEstimator::completed, this, &CliRun::onEstimated);
        connect(&estimator, &OutputEstimator::fitFinished, this, &CliRun::onFitted);
        estimator.setDelay(0);
        estimator.setActive(true);
        return;
    }
    startBatch();
}

void CliRun::startBatch()
{
    if (m_queue) {
        addQueuedFiles();
        if (m_session.files().count() == 0) // every file was done before
            return finish(AllOk);
    }
    // Each row converts as soon as its probe is done; the others are probed
    // meanwhile.
    const ConversionList &list = m_session.files();
    m_order.clear();
    for (int position = 1; position <= list.count(); ++position)
        m_order << list.idAt(position);
    if (!m_session.engine().BurnNow()) {
        printLine(stderr, QStringLiteral("clipwright-cli: the batch did not start"));
        finish(SomeFailed);
    }
}

QString CliRun::setUpSheet()
{
    const QVector<ProfileEntry> &entries = m_session.profileEntries();
    const std::optional<int> stored = m_session.settings().profile();
    const int wanted = m_options.profile.value_or(stored.value_or(1));
    if (wanted < 1 || wanted > entries.size())
        return QStringLiteral("profile position %1%2 is outside 1..%3 (see --list-profiles)")
            .arg(wanted)
            .arg(m_options.profile || !stored ? QString() : QStringLiteral(" (stored setting)"))
            .arg(entries.size());
    const Session::ProfileChoice choice = m_session.selectProfile(wanted);
    if (!choice.problem.isEmpty())
        return QStringLiteral("profile %1 cannot be used: %2").arg(wanted).arg(choice.problem);
    if (m_session.profileText().isEmpty())
        return QStringLiteral("entry %1 is a category without a profile after it").arg(wanted);

    OptionSheet &sheet = m_session.sheet();
    for (const SheetAssignment &a : m_options.assignments) {
        const OptionItem *item = sheet.item(a.group, a.item);
        if (!item)
            return QStringLiteral("the option sheet has no item \"%1/%2\"").arg(a.group, a.item);
        if (item->readOnly)
            return QStringLiteral("\"%1/%2\" cannot be set").arg(a.group, a.item);
        (void)sheet.setValue(a.group, a.item, a.value);
    }
    return {};
}

void CliRun::onProbesDone()
{
    if (!plansOnly() || m_exitStatus || !m_setUp || m_session.pendingProbes() > 0)
        return;
    if (!m_options.arrayFolder.isEmpty())
        return writeArray();
    for (int position = 1; position <= m_session.files().count(); ++position) {
        const ConvertCommand command = m_session.commandFor(position);
        printLine(stdout, escapeField(command.CommandLine) + QLatin1Char('\t') +
                              escapeField(command.OutputPath));
    }
    printLine(stderr, QStringLiteral("clipwright-cli: %1 conversions at once")
                          .arg(m_session.engine().slotsForList()));
    finish(AllOk);
}

void CliRun::onEstimated()
{
    if (m_exitStatus || m_fitting)
        return;
    if (!m_options.fitSize) {
        printEstimates();
        return finish(m_session.estimator().total(1).rowsWithout > 0 ? SomeFailed : AllOk);
    }
    const QString problem = m_session.estimator().fitToSize(*m_options.fitSize);
    if (!problem.isEmpty()) {
        printEstimates();
        printLine(stderr, QStringLiteral("clipwright-cli: ") + problem);
        return finish(SomeFailed);
    }
    m_fitting = true;
}

void CliRun::onFitted(bool ok, const QString &message)
{
    printLine(stderr, QStringLiteral("clipwright-cli: ") + message);
    if (m_options.estimate || !ok) {
        printEstimates();
        return finish(ok ? AllOk : SomeFailed);
    }
    m_session.estimator().setActive(false);
    startBatch();
}

void CliRun::printEstimates()
{
    const OutputEstimator &estimator = m_session.estimator();
    const ConversionList &list = m_session.files();
    const auto seconds = [](double s) { return plainNumber(std::round(s * 10) / 10); };
    for (int position = 1; position <= list.count(); ++position) {
        const OutputEstimator::Estimate e = estimator.estimate(list.idAt(position));
        const QString source = escapeField(list.row(position)->FileName);
        if (!e.prediction) {
            printLine(stdout, QStringLiteral("-\t-\t") + source);
            printLine(stderr, QStringLiteral("clipwright-cli: ") + estimator.rowText(list.idAt(position)) +
                                  QStringLiteral(": ") + source);
            continue;
        }
        printLine(stdout, QStringLiteral("%1\t%2\t%3")
                              .arg(e.prediction->bytes)
                              .arg(seconds(e.prediction->seconds), source));
    }
    const OutputEstimator::Total total = estimator.total(m_session.engine().slotsForList());
    printLine(stdout, QStringLiteral("total\t%1\t%2\t%3")
                          .arg(total.bytes)
                          .arg(seconds(total.seconds))
                          .arg(total.rowsWithout));
}

void CliRun::onSignal(int)
{
    if (m_exitStatus || m_cancelRequested)
        return; // already ending; a cancelled FFmpeg is finishing its file
    m_cancelRequested = true;
    if (m_session.engine().isRunning())
        m_session.engine().cancel();
    else
        finish(Cancelled); // not converting yet: nothing has been written
}

void CliRun::onRowFinished(ConversionList::RowId id, ConversionJob::Status status,
                           const QString &source, const QString &output, const QString &reason)
{
    ++m_rowsDone;
    if (status != ConversionJob::Status::Ok)
        ++m_rowsFailed;
    // The next row starts its figures afresh.
    m_elapsed.clear();
    m_speed = -1;
    m_remaining = -1;
    // Rows converting side by side finish in any order; their lines come in
    // list order, so that scripts can pair them with the files they gave.
    m_results.insert(id, {status, source, output, reason});
    printResultsInOrder(false);
}

void CliRun::printResultsInOrder(bool all)
{
    while (!m_order.isEmpty() && (all || m_results.contains(m_order.first()))) {
        const ConversionList::RowId id = m_order.takeFirst();
        if (!m_results.contains(id))
            continue; // never started: the batch was cancelled or stopped
        const Result result = m_results.take(id);
        printResult(result.status, result.source, result.output, result.reason);
    }
}

void CliRun::printResult(ConversionJob::Status status, const QString &source,
                         const QString &output, const QString &reason)
{
    printLine(stdout, statusText(status) + QLatin1Char('\t') + escapeField(source) +
                          QLatin1Char('\t') + escapeField(output));
    // Why a row failed, where a cancelled row's part went, or why an OK row
    // took another name.
    if (!reason.isEmpty())
        printLine(stderr,
                  (status == ConversionJob::Status::Failed      ? QStringLiteral("Failed: ")
                   : status == ConversionJob::Status::Cancelled ? QStringLiteral("Cancelled: ")
                                                                : QStringLiteral("Note: ")) +
                      escapeField(source) + QLatin1Char('\n') + reason.trimmed());
}

void CliRun::onMessage(const QString &text, MessageIcon icon)
{
    printLine(icon == MessageIcon::Critical ? stderr : stdout, text);
}

void CliRun::onBatchFinished(BatchOutcome outcome)
{
    switch (outcome) {
    case BatchOutcome::Completed:
        finish(m_rowsFailed > 0 ? SomeFailed : AllOk);
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
    m_line.clear();
    if (!m_exitStatus)
        m_exitStatus = status;
    exitWhenIdle();
}

void CliRun::exitWhenIdle()
{
    // A cancelled FFmpeg still closes its file; leaving now would cut it off.
    if (m_exitStatus && !m_session.engine().isBusy()) {
        printResultsInOrder(true);
        QCoreApplication::exit(*m_exitStatus);
    }
}

void CliRun::drawProgress()
{
    const ConversionEngine &engine = m_session.engine();
    const QList<ConversionEngine::RunningRow> rows = engine.runningRows();
    if (m_exitStatus || !engine.isRunning() || rows.isEmpty())
        return;
    // One running row reads as it always has; several show each row's percent.
    const int rowCount = engine.run().rowCount;
    QString line;
    if (rows.size() == 1) {
        line = QStringLiteral("Row %1/%2  %3%").arg(rows[0].batchRow).arg(rowCount).arg(m_itemPercent, 3);
    } else {
        QStringList each;
        for (const ConversionEngine::RunningRow &row : rows)
            each << QStringLiteral("%1: %2%").arg(row.batchRow).arg(row.percent);
        line = QStringLiteral("Rows %1 of %2").arg(each.join(QStringLiteral(", "))).arg(rowCount);
    }
    line += QStringLiteral("  total %1%").arg(m_totalPercent, 3);
    if (!m_elapsed.isEmpty())
        line += QStringLiteral("  ") + m_elapsed;
    if (m_speed > 0)
        line += QStringLiteral("  %1x").arg(m_speed, 0, 'f', 2);
    if (m_remaining >= 0)
        line += QStringLiteral("  %1 left").arg(formatTimeText(m_remaining));
    m_line.draw(line);
}

void CliRun::drawHostsProgress()
{
    const ConversionEngine &engine = m_session.engine();
    if (m_exitStatus || !engine.isRunning())
        return;
    m_line.draw(QStringLiteral("Rows %1 done, %2 running, %3 failed of %4")
                    .arg(m_rowsDone)
                    .arg(m_remote->jobsRunning())
                    .arg(m_rowsFailed)
                    .arg(engine.run().rowCount));
}

void CliRun::writeArray()
{
    // Names are fixed now, by the rules of a batch started here; paths are
    // absolute, as they are on the shared storage.
    const QString folder = m_options.arrayFolder;
    const QList<ConversionEngine::PlannedRow> plan = m_session.engine().planBatch(
        [&folder](int position) { return folder + QStringLiteral("/stats/%1.log").arg(position); });
    const bool replace = m_session.engine().replacesFiles();
    QList<ArrayRow> rows;
    for (const ConversionEngine::PlannedRow &planned : plan) {
        // Each try of the row writes a part file of its own in the output's place.
        ArrayRow row{int(rows.size()) + 1, planned.source, planned.command, replace};
        row.command.Arguments[outputArgumentIndex(row.command.Arguments)] = row.command.OutputPath;
        rows << row;
        if (!planned.note.isEmpty())
            printLine(stderr, QStringLiteral("Note: ") + escapeField(row.source) +
                                  QLatin1Char('\n') + planned.note);
    }
    const QString problem = writeJobArray(folder, rows, QCoreApplication::applicationFilePath(),
                                          m_options.jobs.value_or(0));
    if (!problem.isEmpty()) {
        printLine(stderr, QStringLiteral("clipwright-cli: ") + problem);
        return finish(SomeFailed);
    }
    printLine(stdout, QStringLiteral("%1 rows written to %2").arg(rows.size()).arg(folder));
    printLine(stdout, QStringLiteral("Submit with: sbatch %1")
                          .arg(shellQuoted(folder + QStringLiteral("/clipwright.sbatch"))));
    printLine(stdout, QStringLiteral("Collect with: clipwright-cli --collect %1").arg(shellQuoted(folder)));
    finish(AllOk);
}
