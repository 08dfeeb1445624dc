#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>

class QProcess;

// The children this program started as MPlayer (the preview player), FFmpeg
// the converter, or FFmpeg the camera recorder, by process id. A key for one of them is written to
// that child's standard input as the bytes a terminal would send; when no
// such child runs, nothing is sent.
class KeyChannel : public QObject
{
    Q_OBJECT

public:
    enum class Role
    {
        Player,
        Converter,
        // Its own role, so that a conversion running beside a capture never
        // receives the capture's "q", nor the other way round.
        Capture
    };

    // Virtual-key codes the program sends.
    static constexpr int KeyLeft = 37;
    static constexpr int KeyRight = 39;
    static constexpr int KeySpace = 32;
    static constexpr int KeyQ = 81;

    explicit KeyChannel(QObject *parent = nullptr);

    // Records a child right after QProcess::start() (its stdin must be a
    // pipe). It stays registered until it ends or is destroyed.
    void registerChild(Role role, QProcess *process);

    // The process id of the last player / converter started; 0 before the
    // first. Not cleared when that child ends.
    qint64 PlayerProcessId() const { return m_lastPid.value(Role::Player); }
    qint64 ConverterProcessId() const { return m_lastPid.value(Role::Converter); }

    // True while a child of that role runs.
    bool isRunning(Role role) const;

    // True when the key reached a running child.
    bool SendKeyToPlayer(int vk);
    // To the last converter started.
    bool SendKeyToConverter(int vk);
    // To the converter with that process id only.
    bool SendKeyToConverter(qint64 processId, int vk);
    bool SendKeyToCapture(int vk);

    // The terminal bytes of a virtual key: 81 -> "q", 32 -> " ",
    // 37 -> ESC [ D, 39 -> ESC [ C; empty for other keys.
    static QByteArray keyBytes(int vk);

private:
    bool send(Role role, int vk);
    bool sendTo(qint64 processId, Role role, int vk);

    struct Child
    {
        Role role;
        QPointer<QProcess> process;
    };
    QHash<qint64, Child> m_children;
    QHash<Role, qint64> m_lastPid;
};

inline size_t qHash(KeyChannel::Role role, size_t seed = 0)
{
    return ::qHash(static_cast<int>(role), seed);
}
