#include "../SessionSupport.h"
#include "media/PlayerController.h"
#include "media/PreviewPlayer.h"
#include "session/Session.h"
#include "widgets/MainWindow.h"
#include "widgets/PreviewPanel.h"

#include <QtWidgets>
#include <csignal>

// The real MPlayer drawing into the main window's preview, under X.
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

    // The clock ticks while the slider's handle is held: the handle stays
    // under the pointer, and MPlayer starts again where it was let go and
    // draws into the preview. The right arrow then goes through the key
    // channel, and Exit quits MPlayer.
    void playSeekAndExit()
    {
        Session session(sessionSetup(m_dir), m_services, m_services);
        MainWindow window(session);
        window.resize(1280, 760);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy probed(&session, &Session::probesFinished);
        window.AddFileToList(m_clip);
        QVERIFY(probed.wait(20000) && session.files().select(1));
        QWidget *surface = window.previewPanel()->surface();
        QCOMPARE(litPixels(surface), 0);
        window.findChild<QAction *>("play")->trigger();

        QSlider *slider = window.previewPanel()->slider();
        QStyleOptionSlider option;
        option.initFrom(slider); // the handle at 0
        const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                             QStyle::SC_SliderHandle, slider);
        const QPoint to =
            handle.center() + QPoint((slider->width() - handle.width()) * 41 / 100, 0);
        QTest::mousePress(slider, Qt::LeftButton, {}, handle.center());
        QMouseEvent move(QEvent::MouseMove, to, slider->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
        const int dragged = slider->value();
        QSignalSpy ticks(&window.player(), &PlayerController::currentTimeChanged);
        QSignalSpy reported(&session.player(), &PreviewPlayer::positionReported);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 2, 5000); // held for more than a second
        QTest::mouseRelease(slider, Qt::LeftButton, {}, to);
        QVERIFY2(dragged > 30 && slider->value() == dragged, qPrintable(QString::number(dragged)));
        const qint64 mplayer = session.player().PlayerProcessId();
        QTRY_COMPARE(readFile(QString("/proc/%1/cmdline").arg(mplayer)).split('\0').mid(1, 2),
                     QByteArrayList({"-ss", QByteArray::number(qRound(0.4 * dragged))}));
        QVERIFY(reported.wait(10000));
        QTRY_VERIFY_WITH_TIMEOUT(litPixels(surface) > 100, 5000);

        // MPlayer jumps 10 s ahead, and the position it reports follows.
        const int before = session.player().PositionSeconds();
        window.player().Forward();
        QTRY_VERIFY_WITH_TIMEOUT(session.player().PositionSeconds() >= before + 8, 5000);
        QVERIFY(session.player().PositionSeconds() <= before + 13);

        window.exitProgram(); // "q", then the clock stops
        QVERIFY(!window.player().isClockRunning());
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(mplayer), 0) != 0, 5000);
    }
};

QTEST_MAIN(TestPreview)
#include "tst_Preview.moc"
