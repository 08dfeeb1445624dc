#pragma once

#include "app/ConversionList.h"
#include "engine/CommandBuilder.h"
#include "engine/ConversionJob.h"
#include "settings/Settings.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>
#include <vector>

class FolderOpener;
class KeyChannel;
class OptionSheet;
class PowerControl;
class ProgressMonitor;
class RemoteRunner;

enum class MessageIcon
{
    Information,
    Critical
};

// The state of a running batch.
struct ConversionRun
{
    QString CommandLine; // the command of the row started last
    // The FFmpeg of each running row, by row id.
    QMap<ConversionList::RowId, qint64> ConverterProcessId;
    bool CancelRequested = false;
    int TotalPercent = 0; // what the finished rows add to the batch bar
    int rowCount = 0;     // taken once when the run starts
    int slotCount = 1;    // how many rows may convert at once now
};

// How a batch ended.
enum class BatchOutcome
{
    Completed,    // every row was tried; rows may have failed
    Cancelled,    // the user cancelled, or the program is closing
    InvalidInput, // a source was missing; later rows were not tried
};

// Converts the rows of the list with FFmpeg, a ConversionJob per row, up to
// a number of them at once, and reports everything a view shows through
// signals. The batch is the rows listed when it starts, followed by their
// ids: rows added later wait for the next batch, and a row removed meanwhile
// is skipped. Rows start in list order whenever a slot is free: when a job
// signals its end, or a row's probe is done; nothing waits in a loop.
//
// Each slot has its own statistics file: the first FFmpeg writes the one in
// the environment (curconvert.log), the second curconvert-2.log, and so on.
// With one slot the item bar, the caption and the batch bar behave as for a
// plain one-after-the-other batch; with several, the item bar follows the
// row that started first, the batch bar also counts the running rows'
// shares, and each running row reports its own percent.
class ConversionEngine : public QObject
{
    Q_OBJECT

public:
    // What the engine needs beside the list and the sheet.
    struct Environment
    {
        QString ffmpeg;         // the resolved program; empty when not found
        QString ffprobe;        // counts what a doubtful output holds; may be empty
        QString statisticsFile; // curconvert.log in the writable folder, where FFmpeg runs
        QString settingsFile;   // settings.dat
        QString defaultOutputFolder;
        // The text of the chosen profile, read afresh for every row.
        std::function<QString()> profileText;
    };

    ConversionEngine(ConversionList &list, OptionSheet &sheet, KeyChannel &keys,
                     PowerControl &power, FolderOpener &opener, Environment environment,
                     QObject *parent = nullptr);
    // FFmpegs still running end as at program close, and their files are
    // placed, before this returns.
    ~ConversionEngine() override;

    // Used instead of the "outputfolder" setting when not empty.
    void setOutputFolderOverride(const QString &folder) { m_outputFolderOverride = folder; }
    // The number of rows converting at once, 1..8; 0 chooses it from the
    // cores and the rows, and -1 (the default) reads the "jobs" setting.
    void setJobsOverride(int jobs) { m_jobsOverride = jobs; }
    // Rows convert on other computers through `runner` (nullptr: here). The
    // whole batch is handed over as its rows are ready; the runner decides
    // how many run at once, and each row keeps the user's thread count.
    void setRemoteRunner(RemoteRunner *runner) { m_remote = runner; }
    // The cores the automatic count divides; the computer's by default.
    void setCores(int cores) { m_cores = cores; }
    // How long a cancelled FFmpeg gets to finish its file after "q" before it
    // is terminated, then killed.
    void setGracePeriod(int milliseconds) { m_graceMs = milliseconds; }

    // How many rows a batch started now would convert at once at its start.
    int slotsForList() const;

    // The Convert command. False, and nothing happens, while the engine is
    // busy or the list is empty.
    bool BurnNow();
    // The Cancel button: every running row is cancelled at once.
    void cancel();
    // The program is closing: the running rows are cancelled as by Cancel,
    // but without a message. The engine stays busy until their FFmpegs have
    // ended.
    void shutdown();

    bool isRunning() const { return m_running; }
    // True while a batch runs or a cancelled FFmpeg is still finishing its
    // file; a new batch waits until then.
    bool isBusy() const { return m_running || !m_finishing.isEmpty(); }
    const ConversionRun &run() const { return m_run; }

    struct RunningRow
    {
        ConversionList::RowId id = 0;
        int batchRow = 0; // its place in the batch, from 1
        int percent = 0;
    };
    // The converting rows, in the order they started.
    QList<RunningRow> runningRows() const;

    // The statistics file of slot `slot` (from 1) beside `first`:
    // curconvert.log, curconvert-2.log, curconvert-3.log, ...
    static QString statisticsFileOfSlot(const QString &first, int slot);

    // The command the engine would run for `row` with the settings as they
    // are now; FFmpeg would write to a part file, which the text does not show.
    ConvertCommand commandFor(const ConversionItem &row) const;
    // The text of the command a batch runs for `row` to write `output`: a
    // row converted before gives the same text while nothing that shapes its
    // command has changed.
    ConvertCommand commandFor(const ConversionItem &row, const QString &output) const;
    // The command with the settings as they are now that writes `output`
    // itself, over what is there, with its statistics in `statistics`: for
    // trial encodes in the program's own folders.
    ConvertCommand trialCommand(const ConversionItem &row, const QString &output,
                                const QString &statistics) const;

    // The commands a batch started now would run, in list order, with the
    // names it would give (never one name for two rows) and each row's
    // statistics in `statisticsFor(position)`; for a batch run elsewhere.
    // Empty while the engine is busy.
    struct PlannedRow
    {
        QString source;
        ConvertCommand command;
        QString note; // why the row takes another name than its own
    };
    QList<PlannedRow> planBatch(const std::function<QString(int)> &statisticsFor);
    // Whether a batch started now may replace files from before it.
    bool replacesFiles() const { return readSettings().policy == ExistingFilePolicy::Overwrite; }
    // Rows that are not ready yet (their probe runs): the batch waits at such
    // a row until rowReady() is called for it, so that conversions can start
    // while later rows are still being probed.
    void setPendingCheck(std::function<bool(ConversionList::RowId)> isPending);
    void rowReady(ConversionList::RowId id);

signals:
    void panelVisibleChanged(bool visible);
    void captionChanged(const QString &caption);
    void itemProgressChanged(int percent);
    void totalProgressChanged(int percent);
    void busyPointerChanged(bool busy);
    void message(const QString &text, MessageIcon icon);
    void rowStarted(ConversionList::RowId id);
    // The row is about to start: FFmpeg will write `part`, to be renamed to
    // `output` when complete; `commandLine` is the command's text.
    void rowWriting(ConversionList::RowId id, const QString &output, const QString &part,
                    const QString &commandLine);
    // The row's complete file of `size` bytes is about to be renamed to
    // `output`.
    void rowPlacing(ConversionList::RowId id, const QString &output, qint64 size);
    // A row's job ended. `output` is where the file is (a cancelled row's
    // partial file too); `reason` says why a row failed.
    void rowFinished(ConversionList::RowId id, ConversionJob::Status status, const QString &source,
                     const QString &output, const QString &reason);
    // The batch has ended as `outcome`: sent before the message that closes
    // it, which a window shows and waits on, and before batchFinished.
    void batchEnding(BatchOutcome outcome);
    void batchFinished(BatchOutcome outcome);
    void busyChanged(bool busy);
    // Each running row's own percent, while several rows may run at once.
    void rowProgressChanged(ConversionList::RowId id, int percent);
    // The figures of the row that started first among those running.
    void elapsedTextChanged(const QString &text);
    void speedChanged(double speed);
    void remainingChanged(qint64 seconds);

private:
    struct BatchSettings
    {
        QString outputFolder;
        ExistingFilePolicy policy = ExistingFilePolicy::AddNew;
        int threads = 0;
        int jobs = 0; // 0: automatic
    };
    // One running row.
    struct Slot
    {
        int number = 1;   // which statistics file
        int batchRow = 0; // from 1
        ConversionJob *job = nullptr;
        std::unique_ptr<ProgressMonitor> monitor;
        int percent = 0;
        QString caption;
    };
    BatchSettings readSettings() const;
    // A running batch (`toPartFile`) never gives a row a name that another
    // row of the batch has written or writes; `note` then says so.
    // `statistics`: the slot's statistics file; empty for the first.
    ConvertCommand buildCommand(const ConversionItem &row, const BatchSettings &settings,
                                bool toPartFile, QString *note = nullptr,
                                const QString &statistics = QString()) const;
    // The command that writes `output`, through a part file or not.
    // `statistics`: the slot's statistics file; empty for the first.
    ConvertCommand commandTo(const ConversionItem &row, const QString &output,
                             const BatchSettings &settings, bool toPartFile,
                             const QString &statistics = QString()) const;
    // Starts rows while slots are free; ends the batch after its last row.
    void fillSlots();
    int slotLimit(const BatchSettings &settings, const QList<ConversionList::RowId> &batch,
                  int nextBatchRow) const;
    void startSlot(ConversionList::RowId id, const ConversionItem &row);
    Slot *slotOf(const ConversionJob *job) const;
    void onListChanged();
    void onJobStatus(ConversionJob *job, ConversionJob::Status status);
    void finishSlot(Slot *slot);
    void onSlotProgress(Slot *slot, int percent);
    void showTotal();
    void showCaption();
    void releaseName(const ConversionJob *job);
    void finishBatch();
    void stopAtInvalidInput(const QString &path);
    void cancelRows(bool showMessage);
    void enterIdle();
    void setRowStatus(ConversionList::RowId id, ConversionJob::Status status);
    void updateBusy();

    ConversionList &m_list;
    OptionSheet &m_sheet;
    KeyChannel &m_keys;
    PowerControl &m_power;
    FolderOpener &m_opener;
    Environment m_env;
    QString m_outputFolderOverride;
    int m_graceMs = 10000;
    int m_jobsOverride = -1;
    int m_cores = 0;
    RemoteRunner *m_remote = nullptr;

    ConversionRun m_run;
    bool m_running = false;
    bool m_wasBusy = false;
    BatchSettings m_settings;
    QList<ConversionList::RowId> m_batch;
    QSet<QString> m_batchOutputs; // names this batch has written or writes

    std::function<bool(ConversionList::RowId)> m_isPending;
    ConversionList::RowId m_waitingFor = 0; // a row whose probe the batch waits for
    int m_nextRow = 0;                      // the batch row to start next, from 1
    // A source was missing: no row starts, the running ones finish.
    QString m_invalidInput;
    std::vector<std::unique_ptr<Slot>> m_slots; // the running rows, in start order
    int m_shownTotal = 0;
    QList<QPointer<ConversionJob>> m_finishing; // cancelled, closing their files
};
