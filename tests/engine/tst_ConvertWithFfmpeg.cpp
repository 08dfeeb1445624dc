#include "app/OptionSheet.h"
#include "engine/CommandBuilder.h"
#include "settings/ProgramFolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray run(const QString &program, const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000))
        process.kill();
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAll();
}

QByteArray sha1(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&f);
    return hash.result();
}

QImage frameAt(const QString &ffmpeg, const QString &video, const QString &png, double second)
{
    int rc = -1;
    run(ffmpeg,
        {"-y", "-v", "error", "-ss", QString::number(second), "-i", video, "-frames:v", "1", png},
        &rc);
    return rc == 0 ? QImage(png) : QImage();
}

} // namespace

class TestConvertWithFfmpeg : public QObject
{
    Q_OBJECT

private slots:
    void awkwardSourceWithWatermark();
};

void TestConvertWithFfmpeg::awkwardSourceWithWatermark()
{
    const QString ffmpeg = resolveProgram("ffmpeg");
    const QString ffprobe = resolveProgram("ffprobe");
    if (ffmpeg.isEmpty() || ffprobe.isEmpty())
        QFAIL("ffmpeg and ffprobe are needed for this test");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = dir.filePath("-my \"odd\" clip; été.avi");
    int rc = -1;
    const QByteArray made =
        run(ffmpeg,
            {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-f", "lavfi",
             "-i", "sine=frequency=440", "-t", "5", "-c:v", "mpeg4", "-c:a", "libmp3lame", source},
            &rc);
    QVERIFY2(rc == 0, made.constData());
    const QByteArray sourceHash = sha1(source);

    QImage logo(32, 32, QImage::Format_RGB32);
    logo.fill(QColor(255, 0, 255));
    const QString logoPath = dir.filePath("my logo.png");
    QVERIFY(logo.save(logoPath));

    OptionSheet sheet;
    sheet.prolist();
    QVERIFY(sheet.setValue("Video Options", "Video Codec", "x264"));
    QVERIFY(sheet.setValue("Video Options", "Video Bitrate", "800"));
    QVERIFY(sheet.setValue("Video Options", "Video Framerate", "25"));
    QVERIFY(sheet.setValue("Audio Options", "Audio Codec", "aac"));

    ConversionItem row;
    row.FileName = source;
    row.Start = "0:00:01";
    row.End = "0:00:04";
    row.Watermark = "image;" + logoPath + ";area;Bottom right corner";

    const QString output =
        MakeOutputPath(source, "001.  MP4 H264 (*.mp4)", dir.path(), ExistingFilePolicy::AddNew);
    QCOMPARE(output, dir.filePath("-my \"odd\" clip; été.mp4"));
    const ConvertEnvironment env{ffmpeg, dir.filePath("curconvert.log"), 2,
                                 ExistingFilePolicy::AddNew};
    const ConvertCommand command = BuildConvertCommand(sheet, row, output, env);
    QCOMPARE(command.ClipSeconds, 3);

    const QByteArray log = run(command.Program, command.Arguments, &rc);
    QVERIFY2(rc == 0, log.constData());
    QVERIFY(QFileInfo(output).size() >= 100);
    QVERIFY(QFileInfo(env.statisticsFile).size() > 0);
    QCOMPARE(sha1(source), sourceHash);

    const QByteArray probe =
        run(ffprobe,
            {"-v", "error", "-show_entries", "format=duration:stream=codec_name", "-of",
             "default=noprint_wrappers=1", output},
            &rc);
    QVERIFY2(rc == 0, probe.constData());
    QVERIFY2(probe.contains("codec_name=h264"), probe.constData());
    QVERIFY2(probe.contains("codec_name=aac"), probe.constData());
    const int at = probe.indexOf("duration=");
    QVERIFY(at >= 0);
    const double duration = probe.mid(at + 9).split('\n').first().toDouble();
    QVERIFY2(qAbs(duration - 3.0) <= 0.2, probe.constData());

    // The picture sits 5 pixels from the bottom right corner.
    const QImage frame = frameAt(ffmpeg, output, dir.filePath("frame.png"), 1.0);
    QVERIFY(!frame.isNull());
    const QColor inside = frame.pixelColor(320 - 5 - 16, 240 - 5 - 16);
    QVERIFY2(inside.red() > 200 && inside.green() < 60 && inside.blue() > 200,
             qPrintable(inside.name()));
    const QColor outside = frame.pixelColor(320 - 5 - 40, 240 - 5 - 16);
    QVERIFY(!(outside.red() > 200 && outside.green() < 60 && outside.blue() > 200));
}

QTEST_GUILESS_MAIN(TestConvertWithFfmpeg)
#include "tst_ConvertWithFfmpeg.moc"
