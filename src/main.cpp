// Composition root of the window: builds the services, the main window and runs.
#include "engine/SystemServices.h"
#include "settings/ProgramFolders.h"
#include "widgets/MainWindow.h"
#include "widgets/Skin.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clipwright"));
    QApplication::setApplicationVersion(QStringLiteral("4.50"));
    QApplication::setWindowIcon(
        QIcon(QDir(dataFolder()).filePath(QStringLiteral("pictures/clipwright.png"))));
    applySkin(app, QDir(dataFolder()).filePath(QStringLiteral("skins/frmmain.skn")));

    LogindPowerControl power;
    DesktopFolderOpener opener;
    MainWindow::Services services;
    services.dataFolder = dataFolder();
    services.settingsFile = settingsFilePath();
    services.writableFolder = writableFolder();
    services.ffmpeg = resolveProgram(QStringLiteral("ffmpeg"));
    services.mplayer = resolveProgram(QStringLiteral("mplayer"));
    services.power = &power;
    services.opener = &opener;

    MainWindow window(services);
    window.show();
    // Files named on the command line (the desktop's "Open with") are added
    // as if they had been dropped.
    const QStringList files = QApplication::arguments().mid(1);
    for (const QString &file : files)
        window.AddFileToList(QFileInfo(file).absoluteFilePath());
    return app.exec();
}
