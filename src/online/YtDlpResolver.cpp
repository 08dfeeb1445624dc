#include "online/YtDlpResolver.h"

#include "process/ChildProcess.h"
#include "settings/ProgramFolders.h"

#include <QProcess>

namespace {

constexpr qsizetype MaxErrorTail = 8192;

// The last "ERROR: " line yt-dlp wrote, without the prefix.
QString lastErrorLine(const QByteArray &errors)
{
    const QList<QByteArray> lines = errors.split('\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QByteArray line = it->trimmed();
        if (line.startsWith("ERROR: "))
            return QString::fromUtf8(line.mid(7));
    }
    return {};
}

} // namespace

YtDlpResolver::YtDlpResolver(QObject *parent) : QObject(parent)
{
    m_limit.setSingleShot(true);
    m_limit.setInterval(DefaultTimeLimitMs);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        m_timedOut = true;
        stop();
    });
}

YtDlpResolver::~YtDlpResolver()
{
    if (m_process) {
        m_process->disconnect(this);
        stopChildAndWait(*m_process, QByteArray(), 0);
    }
}

QString YtDlpResolver::program()
{
    return resolveProgram(QStringLiteral("yt-dlp"));
}

QStringList YtDlpResolver::arguments(const QString &address)
{
    // "--" keeps any address from being read as an option.
    return {QStringLiteral("-J"), QStringLiteral("--no-playlist"), QStringLiteral("--no-warnings"),
            QStringLiteral("--"), address};
}

void YtDlpResolver::start(const QString &address)
{
    Q_ASSERT(!m_process);
    m_output.clear();
    m_errors.clear();
    m_cancelled = m_timedOut = m_tooLarge = false;
    m_result = {};
    m_problem.clear();
    const QString ytDlp = program();
    if (ytDlp.isEmpty()) {
        m_problem = QStringLiteral("yt-dlp is not installed");
        QTimer::singleShot(0, this, [this] { emit finished(Outcome::Failed); });
        return;
    }

    auto *process = new QProcess(this);
    m_process = process;
    prepareChild(*process);
    process->setStandardInputFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardOutput, this, [this, process] {
        const QByteArray more = process->readAllStandardOutput();
        if (m_tooLarge)
            return;
        m_output += more;
        if (m_output.size() > MaxOutputBytes) {
            m_tooLarge = true;
            m_output.clear();
            stop();
        }
    });
    connect(process, &QProcess::readyReadStandardError, this, [this, process] {
        m_errors += process->readAllStandardError();
        if (m_errors.size() > MaxErrorTail)
            m_errors.remove(0, m_errors.size() - MaxErrorTail);
    });
    connect(process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        onFinished(exitCode, status == QProcess::CrashExit);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        m_problem = QStringLiteral("yt-dlp could not be started: ") + process->errorString();
        end(Outcome::Failed);
    });
    m_limit.start();
    process->start(ytDlp, arguments(address));
}

void YtDlpResolver::cancel()
{
    if (!m_process)
        return;
    m_cancelled = true;
    stop();
}

void YtDlpResolver::stop()
{
    // It has nothing to finish: SIGTERM to its group at once.
    if (m_process)
        stopChild(*m_process, QByteArray(), 0);
}

void YtDlpResolver::onFinished(int exitCode, bool crashed)
{
    const QByteArray rest = m_process->readAllStandardOutput();
    if (!m_tooLarge)
        m_output += rest;
    m_errors += m_process->readAllStandardError();
    if (m_cancelled)
        return end(Outcome::Cancelled);
    if (m_timedOut) {
        m_problem = QStringLiteral("yt-dlp gave no answer within %1 seconds")
                        .arg(m_limit.interval() / 1000.0);
        return end(Outcome::Failed);
    }
    if (m_tooLarge || m_output.size() > MaxOutputBytes) {
        m_problem =
            QStringLiteral("yt-dlp's answer was larger than %1 MiB").arg(MaxOutputBytes >> 20);
        return end(Outcome::Failed);
    }
    if (crashed || exitCode != 0) {
        const QString reason = lastErrorLine(m_errors);
        m_problem = !reason.isEmpty() ? QStringLiteral("yt-dlp: ") + reason
                    : crashed         ? QStringLiteral("yt-dlp stopped unexpectedly")
                              : QStringLiteral("yt-dlp ended with exit code %1").arg(exitCode);
        return end(Outcome::Failed);
    }
    std::optional<ResolvedVideo> video = ParseYtDlpJson(m_output, &m_problem);
    if (!video)
        return end(Outcome::Failed);
    m_result = std::move(*video);
    end(Outcome::Resolved);
}

void YtDlpResolver::end(Outcome outcome)
{
    m_limit.stop();
    if (m_process) {
        m_process->disconnect(this);
        m_process->deleteLater();
        m_process = nullptr;
    }
    m_output.clear();
    m_errors.clear();
    emit finished(outcome);
}
