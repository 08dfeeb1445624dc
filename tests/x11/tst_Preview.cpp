#include "../SessionSupport.h"
#include "../online/LoopbackServer.h"
#include "../online/WatchPage.h"
#include "media/PlayerController.h"
#include "media/PreviewPlayer.h"
#include "online/OnlineVideoTool.h"
#include "session/Session.h"
#include "widgets/MainWindow.h"
#include "widgets/OnlineVideoWindow.h"
#include "widgets/PreviewPanel.h"

#include <QtWidgets>
#include <csignal>

// The real MPlayer drawing into the main window's preview, and into the
// online-video window's frame, under X.
class TestPreview : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_clip = m_dir.filePath("bars clip.avi");
    QStringList m_calls;
    RecordingServices m_services{m_calls};

    // Pixels of the surface, as the screen shows them: MPlayer draws there,
    // so a grab of the widget itself would hold nothing.
    static int litPixels(QWidget *surface)
    {
        const QPoint at = surface->mapToGlobal(QPoint(0, 0));
        const QImage shot = QGuiApplication::primaryScreen()
                                ->grabWindow(0, at.x(), at.y(), surface->width(), surface->height())
                                .toImage();
        int lit = 0;
        for (int y = 0; y < shot.height(); y += 4)
            for (int x = 0; x < shot.width(); x += 4)
                lit += qGray(shot.pixel(x, y)) > 40;
        return lit;
    }

private slots:
    void initTestCase() { QVERIFY(makeClip(m_clip, 40, "320x240", "mp2")); }

    void playSeekAndExit()
    {
        Session session(sessionSetup(m_dir), m_services, m_services);
        MainWindow window(session);
        window.resize(1280, 760);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy probed(&session, &Session::probesFinished);
        window.AddFileToList(m_clip);
        QVERIFY(probed.wait(20000));
        window.fileView()->selectRow(0);

        auto *play = window.findChild<QAction *>("play");
        QVERIFY(play && play->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_P));
        QWidget *surface = window.previewPanel()->surface();
        QCOMPARE(litPixels(surface), 0);
        QSignalSpy reported(&session.player(), &PreviewPlayer::positionReported);
        play->trigger();
        QVERIFY(reported.wait(10000));
        QTRY_VERIFY_WITH_TIMEOUT(litPixels(surface) > 100, 5000);
        QVERIFY(window.player().isClockRunning());

        // The right arrow through the key channel: MPlayer jumps 10 s ahead,
        // and the position it reports follows.
        const int before = session.player().PositionSeconds();
        window.player().Forward();
        QTRY_VERIFY_WITH_TIMEOUT(session.player().PositionSeconds() >= before + 8, 5000);
        QVERIFY(session.player().PositionSeconds() <= before + 13);

        const qint64 mplayer = session.player().PlayerProcessId();
        QVERIFY(mplayer > 0 && ::kill(pid_t(mplayer), 0) == 0);
        window.exitProgram(); // "q", then the clock stops
        QVERIFY(!window.player().isClockRunning());
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(mplayer), 0) != 0, 5000);
    }

    // The clock ticks while the slider's handle is held: the handle stays
    // under the pointer, and MPlayer starts again where it was let go.
    void sliderHeldAcrossTicks()
    {
        Session session(sessionSetup(m_dir), m_services, m_services);
        MainWindow w(session);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy probed(&session, &Session::probesFinished);
        w.AddFileToList(m_clip);
        QVERIFY(probed.wait(20000) && session.files().select(1));
        w.playSelectedFile();
        QSlider *slider = w.previewPanel()->slider();
        QStyleOptionSlider option;
        option.initFrom(slider); // the handle at 0
        const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                             QStyle::SC_SliderHandle, slider);
        const QPoint to =
            handle.center() + QPoint((slider->width() - handle.width()) * 81 / 100, 0);
        QTest::mousePress(slider, Qt::LeftButton, {}, handle.center());
        QMouseEvent move(QEvent::MouseMove, to, slider->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
        const int dragged = slider->value();
        QSignalSpy ticks(&w.player(), &PlayerController::currentTimeChanged);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 2, 5000); // held for more than a second
        QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
        QVERIFY2(dragged > 70 && slider->value() == dragged, qPrintable(QString::number(dragged)));
        const qint64 mplayer = session.player().PlayerProcessId();
        QTRY_COMPARE(readFile(QString("/proc/%1/cmdline").arg(mplayer)).split('\0').mid(1, 2),
                     QByteArrayList({"-ss", QByteArray::number(qRound(0.4 * dragged))}));
    }

    // "Preview" plays a stream from loopback in the frame; hiding the frame
    // quits that MPlayer.
    void onlinePreview()
    {
        LoopbackServer server;
        server.serve("/stream.avi", readFile(m_clip));
        server.serve("/watch", watchPage("Bars", "v1", "", "35|" + server.url("/stream.avi")));
        Session session(sessionSetup(m_dir), m_services, m_services);
        OnlineVideoWindow window(session);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy looked(&window.tool(), &OnlineVideoTool::lookupFinished);
        QVERIFY(window.tool().lookUp(server.url("/watch")) && looked.wait(20000));

        QSignalSpy reported(&session.player(), &PreviewPlayer::positionReported);
        window.findChild<QPushButton *>("cmdPR")->click();
        QVERIFY(reported.wait(20000));
        QWidget *surface = window.previewPanel()->surface();
        QTRY_VERIFY_WITH_TIMEOUT(litPixels(surface) > 100, 5000);
        QVERIFY(server.requests().contains("/stream.avi"));

        const qint64 mplayer = session.player().PlayerProcessId();
        QVERIFY(mplayer > 0 && ::kill(pid_t(mplayer), 0) == 0);
        QTest::mouseClick(window.findChild<QLabel *>("Label6"), Qt::LeftButton);
        QVERIFY(!window.previewFrame()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(mplayer), 0) != 0, 5000);
    }
};

QTEST_MAIN(TestPreview)
#include "tst_Preview.moc"
