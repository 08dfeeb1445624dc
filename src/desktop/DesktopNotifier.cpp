#include "desktop/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString ShowAction = QStringLiteral("show");
const QString DefaultAction = QStringLiteral("default"); // a click on the notification

QString files(int count)
{
    return count == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(count);
}

} // namespace

BatchEndText batchEndText(BatchOutcome outcome, int converted, int failed)
{
    QString body = files(converted) + QStringLiteral(" converted");
    if (failed > 0)
        body += QStringLiteral(", %1 failed").arg(failed);
    switch (outcome) {
    case BatchOutcome::Completed:
        return {QStringLiteral("Conversion finished"), body};
    case BatchOutcome::Cancelled:
        return {QStringLiteral("Conversion cancelled"), body};
    case BatchOutcome::InvalidInput:
        return {QStringLiteral("Conversion stopped: a source file is missing"), body};
    }
    return {};
}

DesktopNotifier::DesktopNotifier(QObject *parent) : QObject(parent) {}

void DesktopNotifier::notify(const BatchEndText &text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    if (!m_listening) {
        bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                    SLOT(onActionInvoked(uint, QString)));
        bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                    SLOT(onClosed(uint, uint)));
        m_listening = true;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("clipwright")}};
    call << QStringLiteral("Clipwright") << 0u << QStringLiteral("clipwright") << text.summary
         << text.body << QStringList{ShowAction, QStringLiteral("Show")} << hints << -1;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &DesktopNotifier::onNotifyReply);
}

void DesktopNotifier::onNotifyReply(QDBusPendingCallWatcher *call)
{
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isValid())
        m_shown.insert(reply.value());
    call->deleteLater();
}

void DesktopNotifier::onActionInvoked(uint id, const QString &action)
{
    if (m_shown.contains(id) && (action == ShowAction || action == DefaultAction))
        emit showRequested();
}

void DesktopNotifier::onClosed(uint id, uint)
{
    m_shown.remove(id);
}
