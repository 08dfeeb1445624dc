#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>

// A small HTTP server on 127.0.0.1, run by the event loop of the test (or
// benchmark) that owns it. Every answer closes its connection.
class LoopbackServer
{
public:
    struct Reply
    {
        Reply(QByteArray content = {}, int code = 200, QByteArray text = "OK")
            : body(std::move(content)), status(code), reason(std::move(text))
        {
        }
        Reply header(const QByteArray &line)
        {
            headers += line + "\r\n";
            return *this;
        }
        Reply withoutLength()
        {
            contentLength = false;
            return *this;
        }
        // Nothing more after `bytes` of the body, for ever; -1: no answer at all.
        Reply stallAfter(qint64 bytes)
        {
            end = bytes;
            stall = true;
            return *this;
        }

        QByteArray body;
        int status;
        QByteArray reason;
        QByteArray headers;
        bool contentLength = true;
        qint64 end = -1; // body bytes sent before the stall; -1: all
        bool stall = false;
    };

    LoopbackServer();

    // http://127.0.0.1:PORT + path
    QString url(const QString &path) const;
    void serve(const QString &path, const Reply &reply) { m_replies.insert(path, reply); }
    // The paths asked for, in order.
    QStringList requests() const { return m_requests; }
    // The request line and header lines of the last request for `path`.
    QByteArray head(const QString &path) const { return m_heads.value(path); }

private:
    void answer(QTcpSocket *socket, const QByteArray &head);

    QTcpServer m_server;
    QHash<QString, Reply> m_replies;
    QStringList m_requests;
    QHash<QString, QByteArray> m_heads;
};
