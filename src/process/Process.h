#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

class QEventLoop;

// Runs one console program with its standard output and error merged, and
// collects everything it writes. Standard input is the null device, so a
// child neither waits for input nor takes over the terminal.
//
// In the waiting mode (Async false, the default) Launch() returns when the
// child has ended, with RC() and StdOut() final. It waits in a local event
// loop, so other events are handled meanwhile. With Async true, Launch()
// returns once the child runs; Finished() says when it has been collected.
//
// A program that cannot be started leaves RC() 0 and StdOut() empty and
// raises no signal; Launch() returns at once and errorString() says why.
//
// Destroying the object ends a child that still runs, without signals. Do not
// delete the object from a slot connected to its own signals; use deleteLater().
class Process : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,          // never launched
        Running,       // started, not yet collected
        Exited,        // ended by itself; RC() is its exit code
        Crashed,       // killed by a signal this object did not send
        Aborted,       // ended by Abort()
        FailedToStart, // see errorString()
    };
    Q_ENUM(State)

    explicit Process(QObject *parent = nullptr);
    ~Process() override;

    QString CmdLine() const { return m_program; }
    void setCmdLine(const QString &program) { m_program = program; }
    QStringList Parameters() const { return m_parameters; }
    void setParameters(const QStringList &arguments) { m_parameters = arguments; }
    bool Async() const { return m_async; }
    void setAsync(bool async) { m_async = async; }
    // A child that takes only the processor time that others leave.
    void setBackground(bool background);

    QDateTime StartTime() const { return m_startTime; }
    // H:MM:SS from StartTime() to now; 0:00:00 before the first Launch().
    QString ElapsedTime() const;
    // The exit code once the child has been collected, 0 before. A child
    // killed by a signal it did not get from Abort() gives 128 + the signal.
    int RC() const { return m_rc; }
    // Everything read since the last Launch(), decoded as a whole.
    QString StdOut() const { return QString::fromLocal8Bit(m_output); }
    QByteArray StdOutBytes() const { return m_output; }
    State state() const { return m_state; }
    // The running child's process id; 0 when none runs.
    qint64 processId() const { return m_process->processId(); }
    QString errorString() const { return m_error; }

    // Takes what the child has written so far into StdOut().
    void Read();
    bool IsActive() const;
    // Ends a running child (terminate, then kill a few seconds later, as
    // stopChildAndWait() does) and collects it at once: RC() becomes `vnRC`, Finished() is raised.
    // Does nothing when no child runs.
    void Abort(int vnRC = 0);
    void Launch();

signals:
    // Once per run, after the child has been collected and its last output read.
    void Finished();
    void StdOutChanged(const QString &vsText);

private:
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void onErrorOccurred(QProcess::ProcessError error);

    QProcess *m_process;
    QString m_program;
    QStringList m_parameters;
    bool m_async = false;

    QDateTime m_startTime;
    int m_rc = 0;
    QByteArray m_output;
    QStringDecoder m_decoder;
    State m_state = State::Idle;
    QString m_error;
    bool m_aborting = false;
    int m_abortRC = 0;
    QEventLoop *m_waitLoop = nullptr;
};
