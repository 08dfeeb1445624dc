#pragma once

#include "engine/ConversionEngine.h"

#include <QObject>
#include <QSet>

class QDBusPendingCallWatcher;

// What the notification at a batch's end says: a title by how the batch
// ended, and the counts ("12 files converted, 1 failed").
struct BatchEndText
{
    QString summary;
    QString body;
};
BatchEndText batchEndText(BatchOutcome outcome, int converted, int failed);

// Desktop notifications through the freedesktop notification service on
// the session bus. Without a session bus, or with no service on it, a
// notification is simply not shown: nothing waits and nothing is reported.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotifier(QObject *parent = nullptr);

    // Sends one notification with a "Show" action; returns at once.
    void notify(const BatchEndText &text);

signals:
    // The user chose "Show", or clicked one of this program's notifications.
    void showRequested();

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onClosed(uint id, uint reason);

private:
    void onNotifyReply(QDBusPendingCallWatcher *call);

    bool m_listening = false;
    QSet<uint> m_shown; // the ids of this program's notifications on screen
};
