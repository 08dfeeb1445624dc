// Composition root of the window: builds the session, the main window and
// the services they need, and runs.
#include "engine/SystemServices.h"
#include "process/SignalWatcher.h"
#include "session/Session.h"
#include "settings/ProgramFolders.h"
#include "widgets/MainWindow.h"
#include "widgets/ShutdownCountdown.h"
#include "widgets/Skin.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

int main(int argc, char *argv[])
{
    // SIGINT and SIGTERM (a Ctrl+C in the terminal, a logout) close the
    // window as its close button does, so that a running conversion keeps
    // its file, but keep the unfinished rows for the next start. Blocked
    // before any thread starts, so that all inherit it.
    SignalWatcher::blockTerminationSignals();
    // The preview draws into an X window (MPlayer's -wid); on a Wayland
    // desktop that works through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Clipwright"));
    QApplication::setApplicationVersion(QStringLiteral(CLIPWRIGHT_VERSION));
    const QString data = dataFolder();
    QApplication::setWindowIcon(
        QIcon(QDir(data).filePath(QStringLiteral("pictures/clipwright.png"))));
    applySkin(app, QDir(data).filePath(QStringLiteral("skins/frmmain.skn")));

    LogindPowerControl power;
    CountdownPowerControl countdown(power, nullptr);
    DesktopFolderOpener opener;
    Session session(
        {data, settingsFilePath(), writableFolder(), resolveProgram(QStringLiteral("ffmpeg")),
         resolveProgram(QStringLiteral("mplayer")), resolveProgram(QStringLiteral("ffprobe")), 0,
         QDir(writableFolder()).filePath(QStringLiteral("queue.db"))},
        countdown, opener);
    session.start();

    MainWindow window(session);
    countdown.setParentWidget(&window);
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::received, &window,
                     &MainWindow::closeKeepingList);
    window.show();
    // Files named on the command line (the desktop's "Open with") are added
    // as if they had been dropped.
    for (int i = 1; i < argc; ++i)
        window.addFileBytes(QByteArray(argv[i]));
    return app.exec();
}
