#include "../SessionSupport.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/SingleInstance.h"
#include "settings/IniFile.h"
#include "widgets/MainWindow.h"

#include <QtDBus>
#include <csignal>

// A notification service as a desktop runs one, on the private session bus
// that dbus-run-session gives this test.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList calls; // "application|icon|summary|body|actions", and whether a box was open
    std::function<void()> called = [] {};

public slots:
    uint Notify(const QString &application, uint, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &, int)
    {
        const char *box = QApplication::activeModalWidget() ? "box open" : "no box";
        calls << QStringList{application, icon, summary, body, actions.join(','), box}.join('|');
        called();
        return 41;
    }
};

class TestDesktop : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    // A batch that ends behind other windows is told of, and "Show" brings
    // the window to the front.
    void notificationAtTheEnd()
    {
        QDBusConnection server =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "server");
        QVERIFY2(server.isConnected(), "run under dbus-run-session");
        NotificationServer service;
        QVERIFY(server.registerObject("/org/freedesktop/Notifications", &service,
                                      QDBusConnection::ExportAllSlots) &&
                server.registerService("org.freedesktop.Notifications"));

        QVERIFY(QDir().mkpath(path("out")) &&
                WriteIniValue(path("settings.dat"), "set", "outputfolder", path("out")));
        QVERIFY(makeClip(path("good.avi"), 1, "64x48") && writeFile(path("bad.avi"), "no video"));
        QStringList calls;
        RecordingServices services(calls);
        const std::unique_ptr<Session> session = readySession(m_dir, services);
        MainWindow window(*session);
        QVERIFY(session->isReady());
        DesktopNotifier notifier;
        window.setNotifier(&notifier);
        window.selectProfile(2);
        window.AddFileToList(path("good.avi"));
        window.AddFileToList(path("bad.avi"));
        // "Conversion completed!" waits for the user; the notification
        // must not wait for it (it is answered 20 s later at the latest).
        ModalAnswerer answerer;
        answerer.press = "none";
        service.called = [&] { answerer.press = "OK"; };
        QTimer::singleShot(20000, &answerer, [&] { answerer.press = "OK"; });
        QSignalSpy ended(&session->engine(), &ConversionEngine::batchFinished);
        window.BurnNow(); // the window is not shown, so not active
        QVERIFY(ended.wait(60000));
        QCOMPARE(service.calls, QStringList("Clipwright|clipwright|Conversion finished|"
                                            "1 file converted, 1 failed|show,Show|box open"));
        QVERIFY(answerer.texts.contains("Clipwright i Conversion completed!"));

        QVERIFY(!window.isVisible());
        QDBusMessage show = QDBusMessage::createSignal(
            "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
        show << 41u << QString("show");
        QVERIFY(server.send(show));
        QTRY_VERIFY(window.isVisible());
        QDBusConnection::disconnectFromBus("server");
    }

    // A second start hands its files, relative names made absolute, to the
    // window already open for the same writable folder, and ends.
    void secondStartHandsOver()
    {
        const QString bin = path("bin");
        QVERIFY(QDir().mkpath(bin) &&
                QFile::copy(CLIPWRIGHT_BIN_DIR "/clipwright", bin + "/clipwright") &&
                QFile::copy(CLIPWRIGHT_BIN_DIR "/ct.s3db", bin + "/ct.s3db"));
        QProcess first;
        first.setStandardInputFile(QProcess::nullDevice());
        first.start(bin + "/clipwright", {path("good.avi")});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(SingleInstance::socketPath(bin)), 20000);

        for (const QStringList &files : {QStringList{"bad.avi", path("a b.avi")}, QStringList{}}) {
            QProcess second;
            second.setWorkingDirectory(m_dir.path());
            second.start(bin + "/clipwright", files);
            QVERIFY(second.waitForFinished(20000));
            QCOMPARE(second.exitCode(), 0);
        }
        const QStringList query = {"-readonly", bin + "/queue.db",
                                   "SELECT source FROM rows ORDER BY id"};
        const QString sources = path("good.avi") + '\n' + path("bad.avi") + '\n' + path("a b.avi");
        QTRY_COMPARE_WITH_TIMEOUT(run("sqlite3", query, 10000).output, (sources + '\n').toUtf8(),
                                  10000);
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_Desktop.moc"
