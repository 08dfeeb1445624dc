#include "desktop/SingleInstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace {

// What the window answers once it has the files.
constexpr char Taken = '1';

} // namespace

SingleInstance::SingleInstance(const QString &writableFolder, QObject *parent)
    : QObject(parent), m_writableFolder(writableFolder), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
}

QString SingleInstance::socketPath(const QString &writableFolder)
{
    const QFileInfo folder(writableFolder);
    const QString key = folder.exists() ? folder.canonicalFilePath() : folder.absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    // The runtime folder is the user's own (mode 0700), so nobody else can
    // take the name; in the shared temporary folder the user id keeps users
    // apart.
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QFileInfo(base).isDir())
        base = QDir::tempPath();
    return QDir(base).filePath(
        QStringLiteral("clipwright-%1-%2.socket").arg(::getuid()).arg(QString::fromLatin1(hash)));
}

bool SingleInstance::handOver(const QString &writableFolder, const QList<QByteArray> &files,
                              int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(writableFolder));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << files;
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // Taken only when the window says so: one that closes meanwhile has not.
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.read(1) == QByteArray(1, Taken);
}

bool SingleInstance::listen()
{
    const QString path = socketPath(m_writableFolder);
    if (m_server->listen(path))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // In use: by a window that answers, or left behind by one that crashed.
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000))
        return false;
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

void SingleInstance::stopListening()
{
    m_server->close();
}

void SingleInstance::onConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.setVersion(QDataStream::Qt_6_0);
            in.startTransaction();
            QList<QByteArray> files;
            in >> files;
            if (in.status() == QDataStream::ReadCorruptData) {
                socket->abort();
                return;
            }
            if (!in.commitTransaction())
                return; // the rest is still on its way
            socket->write(QByteArray(1, Taken));
            socket->disconnectFromServer();
            emit filesReceived(files);
        });
    }
}
