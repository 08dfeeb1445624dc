#pragma once

#include "app/ConversionList.h"
#include "engine/CommandBuilder.h"
#include "engine/ConversionJob.h"
#include "settings/Settings.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>

class FolderOpener;
class KeyChannel;
class OptionSheet;
class PowerControl;
class ProgressMonitor;

enum class MessageIcon
{
    Information,
    Critical
};

// The state of a running batch.
struct ConversionRun
{
    QString CommandLine;
    qint64 ConverterProcessId = 0;
    bool CancelRequested = false;
    int TotalPercent = 0;
    int rowCount = 0;   // taken once when the run starts
    int currentRow = 0; // which of the batch's rows runs, from 1; 0 when idle
};

// How a batch ended.
enum class BatchOutcome
{
    Completed,    // every row was tried; rows may have failed
    Cancelled,    // the user cancelled, or the program is closing
    InvalidInput, // a source was missing; later rows were not tried
};

// Converts the rows of the list with FFmpeg, one ConversionJob after the
// other, and reports everything a view shows through signals. The batch is
// the rows listed when it starts, followed by their ids: rows added later
// wait for the next batch, and a row removed meanwhile is skipped. The next
// row starts when the previous job signals its end; nothing waits in a loop.
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
    // How long a cancelled FFmpeg gets to finish its file after "q" before it
    // is terminated, then killed.
    void setGracePeriod(int milliseconds) { m_graceMs = milliseconds; }

    // The Convert command. False, and nothing happens, while the engine is
    // busy or the list is empty.
    bool BurnNow();
    // The Cancel button: the running row is cancelled at once.
    void cancel();
    // The program is closing: the running row is cancelled as by Cancel, but
    // without a message. The engine stays busy until its FFmpeg has ended.
    void shutdown();

    bool isRunning() const { return m_running; }
    // True while a batch runs or a cancelled FFmpeg is still finishing its
    // file; a new batch waits until then.
    bool isBusy() const { return m_running || !m_finishing.isEmpty(); }
    const ConversionRun &run() const { return m_run; }
    ProgressMonitor &monitor() { return *m_monitor; }

    // The command the engine would run for `row` with the settings as they
    // are now; FFmpeg would write to a part file, which the text does not show.
    ConvertCommand commandFor(const ConversionItem &row) const;
    // The text of the command a batch runs for `row` to write `output`: a
    // row converted before gives the same text while nothing that shapes its
    // command has changed.
    ConvertCommand commandFor(const ConversionItem &row, const QString &output) const;

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
    void batchFinished(BatchOutcome outcome);
    void busyChanged(bool busy);

private:
    struct BatchSettings
    {
        QString outputFolder;
        ExistingFilePolicy policy = ExistingFilePolicy::AddNew;
        int threads = 0;
    };
    BatchSettings readSettings() const;
    // A running batch (`toPartFile`) never gives a row a name that another
    // row of the batch has written or writes; `note` then says so.
    ConvertCommand buildCommand(const ConversionItem &row, const BatchSettings &settings,
                                bool toPartFile, QString *note = nullptr) const;
    // The command that writes `output`, through a part file or not.
    ConvertCommand commandTo(const ConversionItem &row, const QString &output,
                             const BatchSettings &settings, bool toPartFile) const;
    void startRow();
    void onListChanged();
    void onJobStatus(ConversionJob *job, ConversionJob::Status status);
    void finishRow(ConversionJob *job);
    void releaseName(const ConversionJob *job);
    void finishBatch();
    void stopAtInvalidInput(const QString &path);
    void cancelRow(bool showMessage);
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

    ConversionRun m_run;
    bool m_running = false;
    bool m_wasBusy = false;
    BatchSettings m_settings;
    QList<ConversionList::RowId> m_batch;
    QSet<QString> m_batchOutputs; // names this batch has written or writes

    std::function<bool(ConversionList::RowId)> m_isPending;
    ConversionList::RowId m_waitingFor = 0;     // a row whose probe the batch waits for
    ConversionJob *m_job = nullptr;             // the running row
    QList<QPointer<ConversionJob>> m_finishing; // cancelled, closing their files
    std::unique_ptr<ProgressMonitor> m_monitor;
};
