#include "../TestSupport.h"
#include "capture/CaptureArguments.h"
#include "capture/CaptureDevice.h"
#include "capture/CaptureProgress.h"

#include <linux/videodev2.h>

class TestCapture : public QObject
{
    Q_OBJECT

private slots:
    // The figures read from FFmpeg's progress lines, as the counter shows
    // them: frames, dropped frames and seconds, in the locale's own way.
    void progress_data()
    {
        // The reads FFmpeg's output arrives in, separated by "|".
        addColumns<QByteArray, QString, QString, QString>("reads", "locale", "counter", "tail");
        newRow("lines split across reads, a last line without its end",
               QByteArray("frame=9000|0\nfps=25.0\ndrop_frames=1|2\nout_time_us=3600039|500\n"
                          "progress=continue\nbitrate=  3.2kbits/s\nframe=90001"),
               "en_US", "90001 frames (12 dropped) - 3600.04 sec.", "");
        newRow("CRLF and CR endings, N/A before the first frame",
               QByteArray("frame=0\r\nout_time_us=N/A\r\nframe=3\rout_time_us=120000\r"), "de_DE",
               "3 frames (0 dropped) - 0,12 sec.", "");
        newRow("FFmpeg's own lines form the tail, the newest six",
               QByteArray("e1\ne2\nframe=4\n[v4l2 @ 0x1] busy\ne4\ne5\ne6\ne7\r\n"), "en_US",
               "4 frames (0 dropped) - 0.00 sec.", "e2\n[v4l2 @ 0x1] busy\ne4\ne5\ne6\ne7");
    }
    void progress()
    {
        QFETCH(QByteArray, reads);
        QFETCH(QString, locale);
        CaptureProgress progress;
        for (const QByteArray &read : reads.split('|'))
            progress.feed(read);
        progress.finish();
        QLocale::setDefault(QLocale(locale));
        QTEST(captureCounterText(progress.statistics()), "counter");
        QLocale::setDefault(QLocale::c());
        QTEST(progress.errorTail(), "tail");
    }

    // Nodes are plain files: the fake stands in for the drivers of the nodes
    // it knows; on the others (video3) the real query runs.
    void listing()
    {
        const quint32 capture = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
        const QMap<QString, V4l2Capability> webcams{
            {"video0", {"HD Webcam", capture}},
            {"video1", {"HD Webcam", V4L2_CAP_META_CAPTURE}},
            {"video2", {"USB Grabber", capture}},
            {"video10", {"HD Webcam", capture}},
            {"video11", {"", capture}}};
        QTemporaryDir dev;
        for (const char *node : {"video10", "video2", "video1", "video0", "video11", "video3",
                                 "videos", "fw1", "fwfoo"})
            QVERIFY(writeFile(dev.filePath(node), ""));
        const CapabilityQuery fake = [&](const QString &path) {
            const QString name = QFileInfo(path).fileName();
            return webcams.contains(name) ? std::optional(webcams[name])
                                          : queryV4l2Capability(path);
        };
        QStringList devices;
        for (const CaptureDevice &d : listCaptureDevices(dev.path(), "testsrc=rate=25", fake))
            devices << QString(d.id + '\t' + d.name).replace(dev.path(), "@");
        QCOMPARE(devices, QStringList({"@/video0\tHD Webcam (@/video0)", "@/video2\tUSB Grabber",
                                       "@/video10\tHD Webcam (@/video10)", "@/video11\t@/video11",
                                       "dv\tFireWire DV camcorder",
                                       "lavfi:testsrc=rate=25\tTest picture (testsrc=rate=25)"}));
        // Without a graph, no test picture.
        QCOMPARE(listCaptureDevices(dev.path(), "", fake).size(), devices.size() - 1);
    }

    void deviceFromCommandLine_data()
    {
        addColumns<QString, QString, QString>("id", "name", "error");
        newRow("dv", "dv", "FireWire DV camcorder", "");
        newRow("graph with colons", "lavfi:testsrc=size=640x480:rate=25",
               "Test picture (testsrc=size=640x480:rate=25)", "");
        newRow("graph missing", "lavfi:", "", "lavfi: needs a filter graph");
        newRow("no such node", "/dev/video99", "", "there is no device /dev/video99");
        newRow("not a device", "/dev/null", "", "/dev/null is not a video capture device");
        newRow("unknown", "camera", "", "unknown device \"camera\"");
    }
    void deviceFromCommandLine()
    {
        QFETCH(QString, id);
        QFETCH(QString, error);
        QString problem;
        const std::optional<CaptureDevice> device = captureDeviceFromId(id, &problem);
        QTEST(device ? device->name : QString(), "name");
        QCOMPARE(problem.left(error.size()), error);
    }

    // The pieces that matter, in this order: the recording is the first
    // output (FFmpeg counts its frames), the preview the second. -t goes on
    // the input: an output's -t would leave the preview, and FFmpeg, running.
    // The preview's own filters are CapturePreview's, and the test graph's
    // input runs in tst_CaptureFfmpeg.
    void arguments()
    {
        const QString part = "/tmp/.a.avi.part.avi";
        const QString camera =
            captureArguments({CaptureDevice::Kind::V4l2, "/dev/video0", ""}, part, true, 2)
                .join(' ');
        QVERIFY2(QRegularExpression("-progress pipe:2 -t 2.000 -f v4l2 -i /dev/video0 -map 0:v "
                                    ".*-c:v mjpeg -q:v 2 .*-y " +
                                    part + " -map 0:v .* pipe:1$")
                     .match(camera)
                     .hasMatch(),
                 qPrintable(camera));
        // DV keeps its stream and sound, and has no preview.
        const QString dv =
            captureArguments({CaptureDevice::Kind::FireWireDv, "dv", ""}, part, false, 0).join(' ');
        QVERIFY2(dv.endsWith("-f iec61883 -i auto -map 0 -c copy -y " + part), qPrintable(dv));
    }
};

QTEST_MAIN(TestCapture)
#include "tst_Capture.moc"
