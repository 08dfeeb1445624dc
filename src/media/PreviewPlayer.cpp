#include "media/PreviewPlayer.h"

#include "process/ChildProcess.h"
#include "process/KeyChannel.h"

#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// How long a player that was told to quit gets before it is terminated.
constexpr int QuitGraceMs = 2000;
constexpr int MaxPartialLine = 4096;

std::optional<double> numberAfter(const QByteArray &line, const char *name)
{
    const qsizetype at = line.indexOf(name);
    if (at < 0 || (at > 0 && line[at - 1] != ' '))
        return std::nullopt;
    const QByteArray rest = line.mid(at + qstrlen(name)).trimmed();
    qsizetype end = 0;
    while (end < rest.size() &&
           (std::isdigit(uchar(rest[end])) || rest[end] == '.' || (end == 0 && rest[end] == '-')))
        ++end;
    bool ok = false;
    const double value = rest.left(end).toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// MPlayer opens http and https addresses itself; anything else is a file
// and made absolute, so that it can never be read as an option.
bool isStreamAddress(const QString &file)
{
    return file.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           file.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace

std::optional<double> statusPosition(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith("A:") && !trimmed.startsWith("V:"))
        return std::nullopt;
    if (const std::optional<double> video = numberAfter(trimmed, "V:"))
        return video;
    return numberAfter(trimmed, "A:");
}

PreviewPlayer::PreviewPlayer(QString mplayer, KeyChannel &keys, QObject *parent)
    : QObject(parent), m_program(std::move(mplayer)), m_keys(keys)
{
}

PreviewPlayer::~PreviewPlayer()
{
    QList<QPointer<QProcess>> players = m_retiring;
    players << m_current;
    for (QProcess *process : players) {
        if (!process || process->state() == QProcess::NotRunning)
            continue;
        process->disconnect(this);
        stopChildAndWait(*process, KeyChannel::keyBytes(KeyChannel::KeyQ), QuitGraceMs);
    }
}

QStringList PreviewPlayer::arguments(const QString &file, std::optional<int> startSecond,
                                     quint64 surface)
{
    QStringList arguments;
    if (startSecond)
        arguments << QStringLiteral("-ss") << QString::number(*startSecond);
    // -priority exists only on Windows builds, and "gl2" was renamed long
    // ago: MPlayer on Linux rejects both and exits. -identify makes it tell
    // the file's start time, which its status lines count from.
    arguments << QStringLiteral("-wid") << QString::number(surface) << QStringLiteral("-framedrop")
              << QStringLiteral("-colorkey") << QStringLiteral("0")
              << QStringLiteral("-nokeepaspect") << QStringLiteral("-framedrop")
              << QStringLiteral("-autosync") << QStringLiteral("100") << QStringLiteral("-vo")
              << QStringLiteral("gl,xv,x11,") << QStringLiteral("-vf")
              << QStringLiteral("screenshot") << QStringLiteral("-identify")
              << (isStreamAddress(file) ? file : QFileInfo(file).absoluteFilePath());
    return arguments;
}

void PreviewPlayer::StartPlayer(const QString &file, std::optional<int> startSecond,
                                quint64 surface)
{
    QuitPlayer();
    if (m_current)
        retire(m_current);
    m_current = nullptr;
    m_partialLine.clear();
    m_startTime = 0;
    m_reported = false;
    const QStringList args = arguments(file, startSecond, surface);
    if (m_starter) {
        m_processId = m_starter(args);
        return;
    }
    if (m_program.isEmpty())
        return;
    auto *process = new QProcess(this);
    prepareChild(*process);
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardOutput, this,
            [this, process] { playerOutput(process->readAllStandardOutput()); });
    connect(process, &QProcess::finished, this, [this, process] {
        if (process != m_current)
            return;
        m_current = nullptr;
        process->deleteLater();
        emit playerEnded();
    });
    process->start(m_program, args);
    m_keys.registerChild(KeyChannel::Role::Player, process);
    m_processId = process->processId();
    m_current = process;
}

void PreviewPlayer::retire(QProcess *process)
{
    // It has been told to quit (QuitPlayer); it is stopped if it does not.
    process->disconnect(this);
    m_retiring << process;
    connect(process, &QProcess::readyReadStandardOutput, process,
            [process] { process->readAllStandardOutput(); });
    connect(process, &QProcess::finished, this, [this, process] {
        m_retiring.removeAll(process);
        process->deleteLater();
    });
    stopChild(*process, QByteArray(), QuitGraceMs);
}

void PreviewPlayer::QuitPlayer()
{
    sendKey(KeyChannel::KeyQ);
}

void PreviewPlayer::sendKey(int vk)
{
    m_keys.SendKeyToPlayer(vk);
}

void PreviewPlayer::playerOutput(const QByteArray &chunk)
{
    m_partialLine += chunk;
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_partialLine.size(); ++i) {
        if (m_partialLine[i] != '\r' && m_partialLine[i] != '\n')
            continue;
        const QByteArray line = m_partialLine.mid(start, i - start);
        start = i + 1;
        if (line.startsWith("ID_START_TIME=")) {
            bool ok = false;
            const double value = line.mid(14).toDouble(&ok);
            m_startTime = ok && std::isfinite(value) ? value : 0;
        } else if (const std::optional<double> seconds = statusPosition(line)) {
            const double position = std::floor(*seconds - m_startTime);
            m_position = int(std::clamp(position, 0.0, 1e9));
            m_reported = true;
            emit positionReported(m_position);
        }
    }
    m_partialLine.remove(0, start);
    if (m_partialLine.size() > MaxPartialLine)
        m_partialLine.clear();
}

bool PreviewPlayer::takeReportedPosition()
{
    return std::exchange(m_reported, false);
}
