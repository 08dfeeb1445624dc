#include "../TestSupport.h"
#include "app/OptionSheet.h"
#include "engine/CommandBuilder.h"

#include <QImage>

class TestConvertWithFfmpeg : public QObject
{
    Q_OBJECT

private slots:
    void awkwardSourceWithWatermark()
    {
        const QString ffmpeg = resolveProgram("ffmpeg");
        if (ffmpeg.isEmpty() || resolveProgram("ffprobe").isEmpty())
            QFAIL("ffmpeg and ffprobe are needed for this test");
        QTemporaryDir dir;
        const QString source = dir.filePath("-my \"odd\" clip; été.avi");
        QVERIFY(makeClip(source, 5));
        const QByteArray sourceBytes = readFile(source);
        QImage logo(32, 32, QImage::Format_RGB32);
        logo.fill(QColor(255, 0, 255));
        QVERIFY(logo.save(dir.filePath("my logo.png")));

        OptionSheet sheet;
        sheet.prolist();
        QVERIFY(sheet.setValue("Video Options", "Video Codec", "x264") &&
                sheet.setValue("Video Options", "Video Bitrate", "800") &&
                sheet.setValue("Video Options", "Video Framerate", "25") &&
                sheet.setValue("Audio Options", "Audio Codec", "aac"));
        const QString output = MakeOutputPath(source, "001.  MP4 H264 (*.mp4)", dir.path(),
                                              ExistingFilePolicy::AddNew);
        QCOMPARE(output, dir.filePath("-my \"odd\" clip; été.mp4"));
        const ConversionItem row{
            source,    "0:00:01",
            "0:00:04", {},
            {},        {},
            {},        "image;" + dir.filePath("my logo.png") + ";area;Bottom right corner"};
        const ConvertEnvironment env{ffmpeg, dir.filePath("curconvert.log"), 2,
                                     ExistingFilePolicy::AddNew};
        const ConvertCommand command = BuildConvertCommand(sheet, row, output, {}, env);
        QCOMPARE(command.ClipSeconds, 3);

        const RunResult converted = run(command.Program, command.Arguments);
        QVERIFY2(converted.exitCode == 0, converted.output.constData());
        QVERIFY(QFileInfo(output).size() >= 100 && QFileInfo(env.statisticsFile).size() > 0);
        QVERIFY(readFile(source) == sourceBytes); // the source is left alone
        const QByteArray probed = probe(output);
        QVERIFY2(probed.contains("codec_name=h264") && probed.contains("codec_name=aac") &&
                     qAbs(duration(output) - 3.0) <= 0.2,
                 probed.constData());

        // The picture sits 5 pixels from the bottom right corner.
        const QString png = dir.filePath("frame.png");
        QCOMPARE(run(ffmpeg, {"-y", "-v", "error", "-ss", "1", "-i", output, "-frames:v", "1", png})
                     .exitCode,
                 0);
        const QImage frame(png);
        const auto magenta = [&frame](int x, int y) {
            const QColor c = frame.pixelColor(x, y);
            return c.red() > 200 && c.green() < 60 && c.blue() > 200;
        };
        QVERIFY(!frame.isNull());
        QVERIFY2(magenta(320 - 5 - 16, 240 - 5 - 16),
                 qPrintable(frame.pixelColor(299, 219).name()));
        QVERIFY(!magenta(320 - 5 - 40, 240 - 5 - 16));
    }
};

QTEST_GUILESS_MAIN(TestConvertWithFfmpeg)
#include "tst_ConvertWithFfmpeg.moc"
