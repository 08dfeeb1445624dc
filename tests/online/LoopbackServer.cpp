#include "LoopbackServer.h"

#include <QTcpSocket>
#include <memory>

// Body bytes queued per write and kept queued at most, so that a large body
// streams instead of being copied into the socket at once.
constexpr qint64 Slice = 1 << 20;
constexpr qint64 Queued = 4 * Slice;

LoopbackServer::LoopbackServer()
{
    m_server.listen(QHostAddress::LocalHost);
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto head = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, head] {
                const bool complete = head->contains("\r\n\r\n");
                *head += socket->readAll();
                if (!complete && head->contains("\r\n\r\n"))
                    answer(socket, head->left(head->indexOf("\r\n\r\n")));
            });
        }
    });
}

QString LoopbackServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

void LoopbackServer::answer(QTcpSocket *socket, const QByteArray &head)
{
    const QString path = QString::fromLatin1(head.split(' ').value(1));
    m_requests << path;
    m_heads.insert(path, head);
    const Reply reply = m_replies.value(path, Reply("no such page", 404, "Not Found"));
    if (reply.stall && reply.end < 0)
        return;
    QByteArray answerHead = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reply.reason +
                            "\r\nConnection: close\r\n" + reply.headers;
    if (reply.contentLength)
        answerHead += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    socket->write(answerHead + "\r\n");
    const qint64 size = reply.body.size();
    const qint64 end = reply.end < 0 ? size : qMin(size, reply.end);
    const auto offset = std::make_shared<qint64>(0);
    const auto pump = [socket, body = reply.body, end, close = !reply.stall, offset] {
        while (*offset < end && socket->bytesToWrite() < Queued) {
            const qint64 n = qMin(Slice, end - *offset);
            socket->write(body.constData() + *offset, n);
            *offset += n;
        }
        if (*offset == end && close)
            socket->disconnectFromHost();
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, pump);
    pump();
}
