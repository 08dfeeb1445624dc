#include "../TestSupport.h"
#include "capture/CaptureDevice.h"
#include "capture/FfmpegCaptureBackend.h"
#include "process/KeyChannel.h"
#include "widgets/CapturePreview.h"
#include "widgets/CaptureWindow.h"

namespace {

// The window on the FFmpeg back end, as the main window opens it.
struct Capture
{
    Capture(const QString &file, const QString &graph, const QString &ffmpeg)
        : backend(keys, ffmpeg, {{CaptureDevice::Kind::TestGraph, "lavfi:" + graph, "Test"}}),
          window(backend, file)
    {
        window.show();
    }
    KeyChannel keys;
    FfmpegCaptureBackend backend;
    CaptureWindow window;
    QString status() { return window.findChild<QLabel *>("status")->text(); }
    QString counter() { return window.findChild<QLabel *>("Label2")->text(); }
    int painted() { return window.picture()->paintedFrames(); }
};

} // namespace

class TestCaptureFfmpeg : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file = m_dir.filePath("my capture.avi");
    // The recording's part file; empty when there is none.
    QString part() const
    {
        return QDir(m_dir.path())
            .entryInfoList({".cw-*"}, QDir::Files | QDir::Hidden)
            .value(0)
            .filePath();
    }

private slots:
    // Every row records over an earlier file, which is replaced only by
    // frames recorded; a start that failed leaves nothing, not even a part.
    void recordings_data()
    {
        addColumns<QString, QString, QString, QString>("file", "graph", "ffmpeg", "status");
        const QString ffmpeg = resolveProgram("ffmpeg");
        newRow("saved", m_file, "testsrc", ffmpeg, "Saved as " + m_file);
        newRow("folder missing", "/no such folder/x.avi", "testsrc", ffmpeg,
               "Cannot write in /no such folder: No such file or directory");
        newRow("FFmpeg refuses the input", m_file, "nosuchsource", ffmpeg,
               "The capture did not start: ");
        newRow("no FFmpeg", m_file, "testsrc", "", "FFmpeg was not found");
        // Without standard input FFmpeg never sees "q": only SIGTERM ends it.
        const QString deaf = m_dir.filePath("ffmpeg-without-stdin");
        QVERIFY(writeScript(deaf, "exec '" + ffmpeg.toUtf8() + "' -nostdin \"$@\"\n"));
        newRow("FFmpeg terminated after Stop", m_file, "testsrc", deaf,
               "The recording did not finish cleanly; the file may be damaged: " + m_file);
    }
    void recordings()
    {
        QFETCH(QString, file);
        QFETCH(QString, graph);
        QFETCH(QString, ffmpeg);
        QFETCH(QString, status);
        const bool saved = status.startsWith("Saved as ");
        QVERIFY(writeFile(m_file, "an earlier capture"));
        Capture c(file, graph, ffmpeg);
        c.backend.setGracePeriod(300);
        ModalAnswerer answerer;
        answerer.press = "Yes";
        c.window.startCapture();
        QTRY_VERIFY_WITH_TIMEOUT(
            !c.backend.isCapturing() || c.backend.statistics().framesCaptured >= 25, 30000);
        if (saved) { // the recording goes to its part; the picture is live
            QVERIFY(QFileInfo(part()).size() > 0 && c.painted() > 0);
            QCOMPARE(readFile(m_file), QByteArray("an earlier capture"));
            QTRY_VERIFY(c.counter().contains(" frames (0 dropped) - ")); // it runs
            // A conversion's Cancel never reaches the recording.
            QVERIFY(!c.keys.SendKeyToConverter(KeyChannel::KeyQ));
        }
        c.window.stopCapture();
        QTRY_VERIFY_WITH_TIMEOUT(c.status().startsWith(status), 30000);
        QVERIFY(c.window.findChild<QPushButton *>("Command1")->isEnabled());
        QVERIFY(part().isEmpty());
        QCOMPARE(readFile(m_file) == "an earlier capture", !status.endsWith(m_file));
        QCOMPARE(duration(m_file) > 0, status.endsWith(m_file));
        if (graph == "nosuchsource")
            QVERIFY(c.status().contains("No such filter: 'nosuchsource'"));
        if (!saved)
            return;
        // Every counted frame is in the file, and nothing else.
        const CaptureStatistics figures = c.backend.statistics();
        QCOMPARE(QList<qint64>({figures.framesDropped, qRound(duration(m_file) * 25),
                                qRound(figures.elapsedMs / 40.0)}),
                 QList<qint64>({0, figures.framesCaptured, figures.framesCaptured}));
        QCOMPARE(c.counter(), captureCounterText(figures));
        // The live picture goes on after the recording.
        const int painted = c.painted();
        QTRY_VERIFY_WITH_TIMEOUT(c.painted() > painted + 5, 30000);
    }
};

QTEST_MAIN(TestCaptureFfmpeg)
#include "tst_CaptureFfmpeg.moc"
