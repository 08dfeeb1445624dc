#pragma once

#include "app/ConversionList.h"
#include "engine/CommandBuilder.h"
#include "engine/FfmpegOutput.h"
#include "engine/RemoteRunner.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QTimer>

class KeyChannel;
class Process;

// One row's conversion. It owns the FFmpeg process, the part file FFmpeg
// writes and the tail of FFmpeg's error output, and decides how the row
// ended. Normal end, cancel, program close and destruction all end in one
// place, finish(), which places the part file under the output name or
// removes it and sets the final status.
//
// Only a file FFmpeg finished (exit 0, also after "q") is placed; the part
// file of an FFmpeg that failed, crashed or had to be killed is removed. A
// cancelled row's file, and a finished one shorter than asked, are partial:
// they take a free name and never replace a file, whatever the policy.
class ConversionJob : public QObject
{
    Q_OBJECT

public:
    enum class Status
    {
        Waiting,
        Running,
        FinishingAfterCancel, // "q" sent; FFmpeg is closing its file
        Ok,
        Failed,
        Cancelled,
    };
    Q_ENUM(Status)

    ConversionJob(ConversionList::RowId rowId, QString sourcePath, ConvertCommand command,
                  ExistingFilePolicy policy, QString workingFolder, QObject *parent = nullptr);
    // A job that still runs ends as at program close, with nobody told:
    // "q", the grace period, then terminate and kill; its file is placed.
    ~ConversionJob() override;

    ConversionList::RowId rowId() const { return m_rowId; }
    Status status() const { return m_status; }
    static bool isFinal(Status status) { return status >= Status::Ok; }
    const ConvertCommand &command() const { return m_command; }
    QString sourcePath() const { return m_source; }
    // Where the file ended up: the command's output path, or the next
    // "_New" name when that was taken while FFmpeg ran.
    QString outputPath() const { return m_outputPath; }
    // Why the row failed, where a cancelled row's partial file is, or the
    // note given to an OK row; empty otherwise.
    QString reason() const { return m_reason; }
    // True when a file was moved to outputPath().
    bool placed() const { return m_placed; }
    // The running FFmpeg's process id; 0 when none runs.
    qint64 processId() const;

    // How long a cancelled FFmpeg gets to close its file after "q" before it
    // is terminated, and killed a few seconds later.
    void setGracePeriod(int milliseconds) { m_graceMs = milliseconds; }
    // ffprobe, asked when FFmpeg's own summary cannot tell whether the file
    // holds sound or picture, or hints that it is shorter than asked; empty
    // when there is none.
    void setCountProgram(const QString &ffprobe) { m_ffprobe = ffprobe; }
    // FFmpeg runs on another computer through `runner`: the file that comes
    // back is judged and placed as a local one.
    void setRemote(RemoteRunner *runner) { m_remote = runner; }
    // What an OK row says, such as why it took another name.
    void setNote(const QString &note) { m_note = note; }

    // Checks what can be known before FFmpeg runs and starts it, registered
    // with `keys` as the converter. A row that cannot start fails from the
    // event loop, never inside start().
    void start(KeyChannel &keys);
    // Sends "q", buffered when FFmpeg has not started yet. A job that has
    // not started is cancelled at once.
    void cancel();

signals:
    void statusChanged(ConversionJob::Status status);
    // A complete file of `size` bytes is about to be renamed to `output`;
    // whoever keeps track of the row can write that down first.
    void placing(const QString &output, qint64 size);
    // FFmpeg's error output as it arrives.
    void converterOutput(const QByteArray &chunk);

private:
    void setStatus(Status status);
    void failBeforeStart(const QString &reason);
    void onOutput();
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onErrorOccurred(QProcess::ProcessError error);
    // Why the run did not give a usable file; empty when it did.
    QString judge(int exitCode, QProcess::ExitStatus exitStatus) const;
    void countPackets();
    void onCounted();
    void startRemote();
    void onRemoteEnded(const RemoteRunner::Outcome &outcome);
    // Judges a finished file by what FFmpeg and, when asked, ffprobe said.
    void finishCounted(const std::optional<CountedOutput> &counted);
    // `keepPart`: the file is partial but worth keeping; the reason then
    // says where it went.
    void finish(const QString &reason, bool keepPart = false);

    ConversionList::RowId m_rowId;
    QString m_source;
    ConvertCommand m_command;
    ExistingFilePolicy m_policy;
    QString m_workingFolder;
    QString m_outputPath;
    QString m_reason;
    QString m_note;
    QString m_ffprobe;
    Process *m_count = nullptr; // ffprobe counting the finished file
    RemoteRunner *m_remote = nullptr;
    bool m_remoteRunning = false; // submitted, its outcome not here yet
    bool m_partMade = false;      // FFmpeg was given the part file
    bool m_placed = false;
    Status m_status = Status::Waiting;
    bool m_cancelRequested = false;
    int m_graceMs = 10000;
    QProcess *m_process = nullptr;
    QByteArray m_errorTail;
};

// The text a row shows for a status: "Processing", "OK", "Fail", "Cancel";
// empty for a job that has not started.
QString statusText(ConversionJob::Status status);
