// Composition root of the window: builds the session, the main window and
// the services they need, and runs.
#include "desktop/DesktopNotifier.h"
#include "desktop/SingleInstance.h"
#include "engine/SystemServices.h"
#include "process/SignalWatcher.h"
#include "session/Session.h"
#include "settings/ProgramFolders.h"
#include "widgets/MainWindow.h"
#include "widgets/ShutdownCountdown.h"
#include "widgets/Skin.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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
    // One window per user and writable folder: a later start hands its
    // files (the desktop's "Open with") to the window already open.
    QList<QByteArray> files;
    const QByteArray here = QFile::encodeName(QDir::currentPath());
    for (int i = 1; i < argc; ++i) {
        const QByteArray name(argv[i]);
        files << (name.startsWith('/') ? name : here + '/' + name);
    }
    const QString writable = writableFolder();
    if (SingleInstance::handOver(writable, files))
        return 0;
    SingleInstance instance(writable);
    if (!instance.listen() && SingleInstance::handOver(writable, files))
        return 0;

    const QString data = dataFolder();
    QApplication::setWindowIcon(
        QIcon(QDir(data).filePath(QStringLiteral("pictures/clipwright.png"))));
    applySkin(app, QDir(data).filePath(QStringLiteral("skins/frmmain.skn")));

    LogindPowerControl power;
    CountdownPowerControl countdown(power, nullptr);
    DesktopFolderOpener opener;
    Session session({data, settingsFilePath(), writable, resolveProgram(QStringLiteral("ffmpeg")),
                     resolveProgram(QStringLiteral("mplayer")),
                     resolveProgram(QStringLiteral("ffprobe")), 0,
                     QDir(writable).filePath(QStringLiteral("queue.db"))},
                    countdown, opener);
    session.start();

    MainWindow window(session);
    countdown.setParentWidget(&window);
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::received, &window,
                     &MainWindow::closeKeepingList);
    DesktopNotifier notifier;
    window.setNotifier(&notifier);
    window.show();
    // Files named on the command line, this start's or a later one's, are
    // added one by one; a later start also brings the window to the front.
    for (const QByteArray &file : std::as_const(files))
        window.addFileBytes(file);
    QObject::connect(&instance, &SingleInstance::filesReceived, &window,
                     [&window](const QList<QByteArray> &received) {
                         for (const QByteArray &file : received)
                             window.addFileBytes(file);
                         window.bringToFront();
                     });
    QObject::connect(&window, &MainWindow::closing, &instance, &SingleInstance::stopListening);
    return app.exec();
}
