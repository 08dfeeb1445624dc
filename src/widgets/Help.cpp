#include "widgets/Help.h"

#include "settings/ProgramFolders.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

bool openHelp()
{
    const QString page = QDir(dataFolder()).filePath(QStringLiteral("help/index.html"));
    if (!QFileInfo(page).isFile())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}
