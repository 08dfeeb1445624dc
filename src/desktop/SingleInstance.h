#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

class QLocalServer;

// One window per user and writable folder. The first window listens on a
// local socket named after both; a later start hands its command line's
// files to it and ends. Windows with other writable folders (a portable copy,
// the tests) never meet.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &writableFolder, QObject *parent = nullptr);

    // The socket's path: in the user's runtime folder (or the temporary
    // folder), named by the user id and a hash of the writable folder.
    static QString socketPath(const QString &writableFolder);

    // Hands `files` (the command line's names as the system gave them,
    // made absolute against the current folder) to the window already
    // running; false when none answers. Blocks for at most `timeoutMs`.
    static bool handOver(const QString &writableFolder, const QList<QByteArray> &files,
                         int timeoutMs = 5000);

    // Starts listening; a socket nobody answers on (left by a crash) is
    // replaced. False when another window answers on it after all.
    bool listen();
    // Stops taking files, so that a later start opens a window of its own
    // (this one is closing).
    void stopListening();

signals:
    // A later start's files; none when it was started without files.
    void filesReceived(const QList<QByteArray> &files);

private:
    void onConnection();

    QString m_writableFolder;
    QLocalServer *m_server;
};
