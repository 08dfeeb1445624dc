#include "process/Process.h"

#include "process/ChildProcess.h"
#include "process/TimeText.h"

#include <QEventLoop>
#include <QPointer>

Process::Process(QObject *parent)
    : QObject(parent), m_process(new QProcess(this)), m_decoder(QStringDecoder::System)
{
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    prepareChild(*m_process);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &Process::Read);
    connect(m_process, &QProcess::finished, this, &Process::onFinished);
    connect(m_process, &QProcess::errorOccurred, this, &Process::onErrorOccurred);
}

Process::~Process()
{
    // Listeners may be half destroyed themselves by now: no signal leaves
    // this object while the child is ended.
    disconnect(m_process, nullptr, this, nullptr);
    if (m_waitLoop)
        m_waitLoop->quit();
    stopChildAndWait(*m_process, {}, 0);
}

QString Process::ElapsedTime() const
{
    if (!m_startTime.isValid())
        return formatTimeText(0);
    return formatTimeText(m_startTime.secsTo(QDateTime::currentDateTime()));
}

void Process::Read()
{
    const QByteArray chunk = m_process->readAll();
    if (chunk.isEmpty())
        return;
    // Appended before the signal, so a listener sees StdOut() complete. The
    // decoder keeps a character split between two reads for the next one.
    m_output += chunk;
    const QString text = m_decoder.decode(chunk);
    if (!text.isEmpty())
        emit StdOutChanged(text);
}

void Process::setBackground(bool background)
{
    prepareChild(*m_process, background ? ChildPriority::Background : ChildPriority::Normal);
}

bool Process::IsActive() const
{
    return m_state == State::Running;
}

void Process::Abort(int vnRC)
{
    if (m_state != State::Running)
        return;
    m_aborting = true;
    m_abortRC = vnRC;
    // The wait inside delivers QProcess::finished, which collects the child.
    stopChildAndWait(*m_process, {}, 0);
}

void Process::Launch()
{
    Abort();
    m_rc = 0;
    m_output.clear();
    m_decoder = QStringDecoder(QStringDecoder::System);
    m_error.clear();
    m_aborting = false;
    m_startTime = QDateTime::currentDateTime();
    m_state = State::Running;

    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->start(m_program, m_parameters);
    // Only as long as fork and exec take: afterwards the child runs, or
    // onErrorOccurred has recorded why it could not start.
    m_process->waitForStarted();
    if (m_async || m_state != State::Running)
        return;

    QEventLoop loop;
    m_waitLoop = &loop;
    const QPointer<Process> alive(this);
    loop.exec();
    if (alive)
        m_waitLoop = nullptr;
}

void Process::onFinished(int exitCode, QProcess::ExitStatus status)
{
    Read();
    if (m_aborting) {
        m_state = State::Aborted;
        // A child that catches SIGTERM reports its own code.
        m_rc = m_abortRC != 0 ? m_abortRC : (status == QProcess::NormalExit ? exitCode : 0);
    } else if (status == QProcess::CrashExit) {
        m_state = State::Crashed;
        m_rc = 128 + exitCode; // QProcess gives the signal number here
    } else {
        m_state = State::Exited;
        m_rc = exitCode;
    }
    m_aborting = false;
    if (m_waitLoop)
        m_waitLoop->quit();
    emit Finished();
}

void Process::onErrorOccurred(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || m_state != State::Running)
        return;
    m_state = State::FailedToStart;
    m_error = m_process->errorString();
    m_output.clear();
    if (m_waitLoop)
        m_waitLoop->quit();
}
