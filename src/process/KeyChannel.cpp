#include "process/KeyChannel.h"

#include <QProcess>

KeyChannel::KeyChannel(QObject *parent) : QObject(parent) {}

void KeyChannel::registerChild(Role role, QProcess *process)
{
    const qint64 pid = process->processId();
    if (pid <= 0)
        return;
    m_children.insert(pid, {role, process});
    m_lastPid.insert(role, pid);
    const auto forget = [this, pid] { m_children.remove(pid); };
    connect(process, &QProcess::finished, this, forget);
    connect(process, &QObject::destroyed, this, forget);
}

QByteArray KeyChannel::keyBytes(int vk)
{
    switch (vk) {
    case KeyQ:
        return QByteArrayLiteral("q");
    case KeySpace:
        return QByteArrayLiteral(" ");
    case KeyLeft:
        return QByteArrayLiteral("\x1b[D");
    case KeyRight:
        return QByteArrayLiteral("\x1b[C");
    default:
        return {};
    }
}

bool KeyChannel::send(Role role, int vk)
{
    return sendTo(m_lastPid.value(role), role, vk);
}

bool KeyChannel::sendTo(qint64 processId, Role role, int vk)
{
    const auto it = m_children.constFind(processId);
    // A child that is still starting buffers the key until its pipe is open.
    if (it == m_children.cend() || it->role != role || !it->process ||
        it->process->state() == QProcess::NotRunning)
        return false;
    const QByteArray bytes = keyBytes(vk);
    return !bytes.isEmpty() && it->process->write(bytes) == bytes.size();
}

bool KeyChannel::SendKeyToPlayer(int vk)
{
    return send(Role::Player, vk);
}

bool KeyChannel::SendKeyToConverter(int vk)
{
    return send(Role::Converter, vk);
}

bool KeyChannel::SendKeyToConverter(qint64 processId, int vk)
{
    return sendTo(processId, Role::Converter, vk);
}

bool KeyChannel::isRunning(Role role) const
{
    for (const Child &child : m_children) {
        if (child.role == role && child.process && child.process->state() != QProcess::NotRunning)
            return true;
    }
    return false;
}

bool KeyChannel::SendKeyToCapture(int vk)
{
    return send(Role::Capture, vk);
}
