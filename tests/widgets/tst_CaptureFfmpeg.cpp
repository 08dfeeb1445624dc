#include "../TestSupport.h"
#include "capture/CaptureDevice.h"
#include "capture/FfmpegCaptureBackend.h"
#include "process/KeyChannel.h"
#include "widgets/CapturePreview.h"
#include "widgets/CaptureWindow.h"

namespace {

CaptureDevice testCamera(const QString &graph = "testsrc=size=640x480:rate=25")
{
    return {CaptureDevice::Kind::TestGraph, "lavfi:" + graph, "Test picture"};
}

// The window on the FFmpeg back end, as the main window opens it.
struct Capture
{
    explicit Capture(const QString &file, const CaptureDevice &device = testCamera(),
                     const QString &ffmpeg = resolveProgram("ffmpeg"))
        : backend(keys, ffmpeg, {device}), window(backend, file)
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
    void init() { QFile::remove(m_file); }

    // An earlier file is replaced only when the recording is finished.
    void recordReplacingAnEarlierFile()
    {
        QVERIFY(writeFile(m_file, "an earlier capture"));
        Capture c(m_file);
        ModalAnswerer answerer;
        answerer.press = "Yes";
        c.window.startCapture();
        QVERIFY(c.backend.isCapturing());
        QTRY_VERIFY_WITH_TIMEOUT(c.backend.statistics().framesCaptured >= 25, 30000);
        QVERIFY(QFileInfo(part()).size() > 0);
        QCOMPARE(readFile(m_file), QByteArray("an earlier capture"));
        QVERIFY(c.painted() > 0);
        // A conversion's Cancel never reaches the recording.
        QVERIFY(!c.keys.SendKeyToConverter(KeyChannel::KeyQ));
        c.window.stopCapture();
        QTRY_VERIFY_WITH_TIMEOUT(!c.backend.isCapturing(), 30000);

        const CaptureStatistics figures = c.backend.statistics();
        const QString dropped = QString::number(figures.framesDropped);
        QCOMPARE(QStringList({c.counter(), dropped, part(), c.status()}),
                 QStringList({captureCounterText(figures), "0", "", "Saved as " + m_file}));
        QVERIFY(probe(m_file).contains("codec_name=mjpeg"));
        // Every counted frame is in the file, and nothing else.
        QCOMPARE(qRound(duration(m_file) * 25), int(figures.framesCaptured));
        QCOMPARE(qRound(figures.elapsedMs / 40.0), int(figures.framesCaptured));

        // The live picture goes on after the recording.
        const int painted = c.painted();
        QTRY_VERIFY_WITH_TIMEOUT(c.painted() > painted + 5, 30000);
    }

    // Frames already recorded are kept; a start that failed leaves nothing.
    void failuresSayWhy_data()
    {
        addColumns<QString, QString, QString, QString>("file", "graph", "ffmpeg", "reason");
        const QString ffmpeg = resolveProgram("ffmpeg");
        newRow("folder missing", "/no such folder/x.avi", "testsrc", ffmpeg,
               "Cannot write in /no such folder: No such file or directory");
        newRow("FFmpeg refuses the input", m_file, "nosuchsource", ffmpeg,
               "The capture did not start: ");
        newRow("no FFmpeg", m_file, "testsrc", "", "FFmpeg was not found");
        // Without standard input FFmpeg never sees "q": only SIGTERM ends it.
        const QString deaf = m_dir.filePath("ffmpeg-without-stdin");
        QVERIFY(writeFile(deaf, "#!/bin/sh\nexec '" + ffmpeg.toUtf8() + "' -nostdin \"$@\"\n"));
        QVERIFY(QFile::setPermissions(deaf, QFile::ReadOwner | QFile::ExeOwner));
        newRow("FFmpeg terminated after Stop", m_file, "testsrc", deaf,
               "The recording did not finish cleanly; the file may be damaged: " + m_file);
    }
    void failuresSayWhy()
    {
        QFETCH(QString, file);
        QFETCH(QString, graph);
        QFETCH(QString, ffmpeg);
        QFETCH(QString, reason);
        Capture c(file, testCamera(graph), ffmpeg);
        c.backend.setGracePeriod(300);
        c.window.startCapture();
        QTRY_VERIFY_WITH_TIMEOUT(
            !c.backend.isCapturing() || c.backend.statistics().framesCaptured >= 10, 30000);
        c.window.stopCapture();
        QTRY_VERIFY_WITH_TIMEOUT(c.status().startsWith(reason), 30000);
        QTRY_VERIFY(!c.backend.isCapturing());
        QVERIFY(c.window.findChild<QPushButton *>("Command1")->isEnabled());
        QVERIFY(part().isEmpty());
        QCOMPARE(QFile::exists(file) && duration(file) > 0, reason.endsWith(m_file));
        if (graph == "nosuchsource")
            QVERIFY(c.status().contains("No such filter: 'nosuchsource'"));
    }
};

QTEST_MAIN(TestCaptureFfmpeg)
#include "tst_CaptureFfmpeg.moc"
