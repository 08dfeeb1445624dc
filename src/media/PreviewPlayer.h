#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class KeyChannel;
class QProcess;

// MPlayer's position in one line of its status output: the seconds after
// "V:" ("A:" for a file without picture); nullopt for any other line.
std::optional<double> statusPosition(const QByteArray &line);

// The program's one preview player and the state its hosts (the main window,
// the clip editor, the online-video window) share: the running MPlayer and
// PositionSeconds. The length of what plays belongs to each host's
// controller, so that no host plays by another's length. MPlayer draws into
// a host's native window (-wid) and is steered only by keys written to its
// standard input.
//
// MPlayer reports where it is in status lines on its standard output; each
// one sets PositionSeconds, so that the hosts' clocks follow seeks and the
// end of the file instead of counting on their own.
class PreviewPlayer : public QObject
{
    Q_OBJECT

public:
    // Starts a player from an argument list and returns its process id;
    // tests put one in place of MPlayer.
    using Starter = std::function<qint64(const QStringList &arguments)>;

    // `mplayer` empty means it was not found: nothing can be played.
    PreviewPlayer(QString mplayer, KeyChannel &keys, QObject *parent = nullptr);
    // Every MPlayer still running gets "q", then is terminated after a
    // short grace and killed if it must be: none outlives the program.
    ~PreviewPlayer() override;

    void setStarter(Starter starter) { m_starter = std::move(starter); }
    bool isAvailable() const { return !m_program.isEmpty() || m_starter; }

    // MPlayer's arguments: the start second when given, the surface, the
    // preview options and the file (one argument, made absolute) or the
    // http or https address of a stream (as it is).
    static QStringList arguments(const QString &file, std::optional<int> startSecond,
                                 quint64 surface);
    // Quits the running player and starts a new one.
    void StartPlayer(const QString &file, std::optional<int> startSecond, quint64 surface);
    void QuitPlayer();
    void sendKey(int vk);

    // The process id of the last player started; 0 before the first.
    qint64 PlayerProcessId() const { return m_processId; }
    int PositionSeconds() const { return m_position; }
    void setPositionSeconds(int seconds) { m_position = seconds; }

    // The running player's standard output, as it arrives.
    void playerOutput(const QByteArray &chunk);
    // True when a status line has set PositionSeconds since the last call.
    bool takeReportedPosition();

signals:
    void positionReported(int seconds);
    // The current player has ended by itself (the end of the file, an error).
    void playerEnded();

private:
    void retire(QProcess *process);

    QString m_program;
    KeyChannel &m_keys;
    Starter m_starter;
    QPointer<QProcess> m_current;
    QList<QPointer<QProcess>> m_retiring;
    qint64 m_processId = 0;
    int m_position = 0;
    bool m_reported = false;
    double m_startTime = 0; // ID_START_TIME: MPEG-TS files start late
    QByteArray m_partialLine;
};
