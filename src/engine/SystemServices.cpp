#include "engine/SystemServices.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

void LogindPowerControl::powerOff()
{
    QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}

void DesktopFolderOpener::openFolder(const QString &folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
