#include "../TestSupport.h"
#include "media/MediaProbe.h"
#include "media/MediaProbeQueue.h"

namespace {

// "width height length format", "-" for what was not found, " error" on failure.
QString describe(const MediaFacts &f)
{
    return QStringLiteral("%1 %2 %3 %4%5")
        .arg(f.Width)
        .arg(f.Height)
        .arg(f.LengthSeconds ? QString::number(*f.LengthSeconds, 'f', 1) : "-")
        .arg(f.VideoFormat.value_or("-"), f.ok() ? "" : " error");
}

} // namespace

class TestMediaProbe : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_mplayer = resolveProgram("mplayer"), m_ffprobe = resolveProgram("ffprobe");

private slots:
    void initTestCase()
    {
        const QString ffmpeg = resolveProgram("ffmpeg");
        QVERIFY2(!ffmpeg.isEmpty() && !m_mplayer.isEmpty(), "ffmpeg and mplayer are needed");
        for (const QString clip :
             {"-odd \"clip\" é.avi|-i testsrc=size=320x240 -f lavfi -i sine -t "
              "5 -c:v mpeg4 -c:a libmp3lame",
              "h264 clip.mp4|-i testsrc=size=160x120 -t 3 -c:v libx264",
              "sound only.mp3|-i sine -t 2",
              "clip.ts|-i testsrc=size=320x240 -t 4 -c:v mpeg2video"}) {
            const RunResult made = run(ffmpeg, QStringList{"-v", "error", "-f", "lavfi"}
                                                   << clip.section('|', 1).split(' ')
                                                   << m_dir.filePath(clip.section('|', 0, 0)));
            QVERIFY2(made.exitCode == 0, made.output.constData());
        }
    }

    void parse_data()
    {
        addColumns<QByteArray, QString>("output", "facts");
        for (const QByteArray eol : {"\n", "\r\n"}) {
            const auto row = [&eol](const char *name, QByteArray lines, const char *facts) {
                QTest::addRow("%s %s", name, eol.size() == 1 ? "LF" : "CRLF")
                    << lines.replace('|', eol) << QString(facts);
            };
            row("worked example",
                "ID_VIDEO_WIDTH=640|ID_VIDEO_HEIGHT=480|ID_LENGTH=83.70|ID_VIDEO_FORMAT=XVID",
                "640 480 83.7 XVID");
            row("n/a length", "ID_LENGTH=n/a|", "0 0 - -");
            row("MPEG-TS length", "ID_LENGTH=0.00|", "0 0 - -");
            row("AVI without index", "ID_LENGTH=5|ID_LENGTH=-2.00|", "0 0 - -");
            row("length prefix", "ID_LENGTH= 12.5s", "0 0 12.5 -");
            row("key not exact", "id_video_width=640| ID_VIDEO_HEIGHT=480|ID_LENGTH =3", "0 0 - -");
            row("format verbatim, ends at a second =", "ID_VIDEO_FORMAT=avc1=b|", "0 0 - avc1");
            row("later number wins, not a number keeps",
                "ID_VIDEO_WIDTH=704|ID_VIDEO_WIDTH=720|ID_VIDEO_WIDTH=abc|ID_VIDEO_HEIGHT=1e3|ID_"
                "VIDEO_HEIGHT="
                "9999999999",
                "720 0 - -");
            row("blanks and fraction", "ID_VIDEO_WIDTH= 639.6 |ID_VIDEO_HEIGHT=\t-2", "640 -2 - -");
            row("no = and no ID lines", "ID_VIDEO_WIDTH|ID_VIDEO_HEIGHT 480|Exiting...", "0 0 - -");
            row("after status line",
                "V:  0.0  1/  1 \x1b[J\rID_VIDEO_WIDTH=320|ID_VIDEO_FORMAT=FMP4\r", "320 0 - FMP4");
        }
    }
    void parse()
    {
        QFETCH(QByteArray, output);
        QTEST(describe(parseProbeOutput(output)), "facts");
    }

    void probe_data()
    {
        // file: relative to the clip folder
        addColumns<QString, QString, QString>("file", "program", "facts");
        newRow("avi, leading dash", "-odd \"clip\" é.avi", m_mplayer, "320 240 5.0 FMP4");
        newRow("no video stream", "sound only.mp3", m_mplayer, "0 0 2.0 -");
        newRow("no such file", "missing.avi", m_mplayer, "0 0 - -");
        newRow("MPEG-TS: ffprobe's length", "clip.ts", m_mplayer, "320 240 4.0 0x10000002");
        newRow("mplayer missing", "h264 clip.mp4", "/nonexistent/mplayer", "0 0 3.0 - error");
    }
    void probe()
    {
        QFETCH(QString, file);
        QFETCH(QString, program);
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QTEST(describe(ProbeMedia(file, program, m_ffprobe)), "facts");
        MediaProbeQueue queue(program, m_ffprobe, 2);
        QSignalSpy probed(&queue, &MediaProbeQueue::probed);
        const int id = queue.add(file);
        QDir::setCurrent(before);
        QCOMPARE(probed.count(), 0); // never inside add()
        QVERIFY(probed.wait(10000));
        QCOMPARE(probed[0].mid(0, 2), QVariantList({id, file}));
        QTEST(describe(probed[0][2].value<MediaFacts>()), "facts");
    }

    void queue()
    {
        auto *queue = new MediaProbeQueue(m_mplayer, m_ffprobe, 2);
        QSignalSpy probed(queue, &MediaProbeQueue::probed);
        QSignalSpy idle(queue, &MediaProbeQueue::idle);
        QList<int> ids;
        for (int i = 0; i < 6; ++i)
            ids << queue->add(m_dir.filePath("h264 clip.mp4"));
        queue->cancel(ids.takeLast()); // waiting
        QTRY_COMPARE(queue->runningCount(), 2);
        queue->cancel(ids.takeFirst()); // running
        QVERIFY(idle.wait(20000));
        QCOMPARE(idle.count(), 1);
        QList<int> reported = firstArguments(probed);
        std::sort(reported.begin(), reported.end());
        QCOMPARE(reported, ids);
        // The first result deletes the queue while the second MPlayer runs.
        connect(queue, &MediaProbeQueue::probed, queue, [queue] { delete queue; });
        for (int i = 0; i < 2; ++i)
            queue->add(m_dir.filePath("h264 clip.mp4"));
        QTRY_COMPARE(probed.count(), ids.size() + 1);
        QTest::qWait(300);
        QCOMPARE(probed.count(), ids.size() + 1);
    }
};

QTEST_GUILESS_MAIN(TestMediaProbe)
#include "tst_MediaProbe.moc"
