#pragma once

#include "engine/CommandBuilder.h"
#include "settings/Settings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <functional>
#include <memory>

class ConversionList;
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
    int currentRow = 0; // position of the row being converted; 0 between rows
};

// How a batch ended.
enum class BatchOutcome
{
    Completed,    // every row was tried; rows may have failed
    Cancelled,    // the user cancelled
    InvalidInput, // a source was missing; later rows were not tried
};

// Converts every row of the list with FFmpeg, one after the other, and
// reports everything a view shows through signals. It reacts to the child's
// signals and a timer; nothing waits in a loop.
class ConversionEngine : public QObject
{
    Q_OBJECT

public:
    // What the engine needs beside the list and the sheet.
    struct Environment
    {
        QString ffmpeg;         // the resolved program; empty when not found
        QString statisticsFile; // curconvert.log in the writable folder
        QString settingsFile;   // settings.dat
        QString defaultOutputFolder;
        // The text of the chosen profile, read afresh for every row.
        std::function<QString()> profileText;
    };

    ConversionEngine(ConversionList &list, OptionSheet &sheet, KeyChannel &keys,
                     PowerControl &power, FolderOpener &opener, Environment environment,
                     QObject *parent = nullptr);
    ~ConversionEngine() override;

    // Used instead of the "outputfolder" setting when not empty.
    void setOutputFolderOverride(const QString &folder) { m_outputFolderOverride = folder; }
    // How long a cancelled or abandoned FFmpeg gets to finish its file after
    // "q" before it is terminated, then killed.
    void setGracePeriod(int milliseconds) { m_graceMs = milliseconds; }

    // The Convert command. Does nothing while a batch runs or the list is empty.
    void BurnNow();
    // The Cancel button: the running row is cancelled at once.
    void cancel();

    bool isRunning() const { return m_running; }
    // True while a batch runs or a cancelled FFmpeg is still finishing its file.
    bool isBusy() const { return m_running || !m_lingering.isEmpty(); }
    const ConversionRun &run() const { return m_run; }
    ProgressMonitor &monitor() { return *m_monitor; }

    // Ends a running batch as the program closes: FFmpeg gets "q", then the
    // grace period, then terminate and kill. No message is shown.
    void shutdown();

signals:
    void panelVisibleChanged(bool visible);
    void captionChanged(const QString &caption);
    void itemProgressChanged(int percent);
    void totalProgressChanged(int percent);
    void busyPointerChanged(bool busy);
    void message(const QString &text, MessageIcon icon);
    // A row ended: status is "OK", "Fail" or "Cancel".
    void rowFinished(int position, const QString &status, const QString &source,
                     const QString &output, const QString &reason);
    void batchFinished(BatchOutcome outcome);
    // A cancelled FFmpeg has ended and its partial file is in place.
    void idle();

private:
    void startRow();
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onErrorOccurred(QProcess::ProcessError error);
    void onOutput();
    void finishRow(const QString &status, const QString &reason);
    void finishBatch();
    void stopAtInvalidInput(const QString &path);
    void enterIdle();
    void cancelRow();
    // Sends the running converter "q" and lets it finish on its own.
    void handOffConverter();
    // Lets a converter that is no longer followed finish on its own: "q"
    // first, then terminate and kill after the grace period. Its partial
    // file is put under the output name once it has ended.
    void letFinish(QProcess *process, const QString &partial, const QString &output);
    bool placeOutput(const QString &partial, const QString &output, QString *reason) const;

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
    QString m_outputFolder;
    ExistingFilePolicy m_policy = ExistingFilePolicy::AddNew;
    int m_threads = 0;

    // The row being converted.
    QPointer<QProcess> m_process;
    ConvertCommand m_command;
    QString m_partialPath; // where FFmpeg writes until the row is judged
    QByteArray m_errorTail;
    QString m_startError;

    QList<QPointer<QProcess>> m_lingering;
    std::unique_ptr<ProgressMonitor> m_monitor;
};
