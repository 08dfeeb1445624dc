#include "../TestSupport.h"
#include "engine/FfmpegOutput.h"
#include "engine/ProgressMonitor.h"

#include <climits>

namespace {

// The last complete line, found by splitting the whole text.
QString wholeFileRule(const QByteArray &data)
{
    const QList<QByteArray> pieces = data.split('\n');
    QByteArray line = pieces.size() < 2 ? QByteArray() : pieces[pieces.size() - 2];
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

QByteArray v1(const QByteArray &time, const char *end = "\r\n")
{
    return "frame=   25 q= 31.0 f_size=   2048 s_size=      57kB time=" + time + " br= 16k" + end;
}

QByteArray v2(const QByteArray &time, const char *end = "\n")
{
    return "out=  0 st=  0 frame=    73 q= 3.0 s_size=       88kB time=" + time + " br= 1k" + end;
}

// file: a null array for no file at all; percent: -1 when the bar is left alone.
void row(const char *name, const QByteArray &file, qint64 clip, int percent,
         const QByteArrayList &reports = {}, bool useReported = true)
{
    QTest::newRow(name) << file << clip << percent << reports << useReported;
}

} // namespace

class TestProgressMonitor : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;

private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    void tick_data()
    {
        addColumns<QByteArray, qint64, int, QByteArrayList, bool>("file", "clip", "percent",
                                                                  "reports", "useReported");
        const QByteArray over = v2(" 10.000") + "out=  0 st=  0 frame=   9";
        const QByteArrayList late = {"time=00:00:30.00 \r"};
        row("45 of 90, partial last line", v2(" 45.000") + v2(" 60.0", ""), 90, 50);
        row("no file", QByteArray(), 90, 0);
        row("half to even", v1("1.000", "\n"), 8, 12);
        row("clip 0", v2(" 45.000"), 0, -1);
        row("over 100", v1(" 120.000"), 90, 133);
        row("v2 CRLF", v2("\t61.500", "\r\n"), 123, 50);
        row("no value", v2(""), 9, 0);
        row("negative", v2(" -0.040"), 1, 0);
        row("huge", v2(" 99999999999999999999.000"), 1, INT_MAX);
        row("report wins", over, 60, 50, late);
        row("report off", over, 60, 17, late, false);
        row("file wins", v2(" 30.000"), 60, 50, {"time=00:00:10.00\n"});
        row("split report", QByteArray(), 100, 50,
            {"time=00:00:45.00 a\rsize= 1kB time=00:00:5", "0.00 b\rtime=00:00:0"});
        row("N/A, negative", QByteArray(), 40, 50,
            {"time=00:00:20.00 a\rtime=N/A b\ntime=-00:00:00.04 c\r"});
        row("plain seconds", QByteArray(), 25, 50, {"time=12.5 x\n", "time=00:00:3"});
    }

    void tick()
    {
        QFETCH(QByteArray, file);
        QFETCH(qint64, clip);
        QFETCH(QByteArrayList, reports);
        QFETCH(bool, useReported);
        const QString path = m_dir->filePath("curconvert.log");
        if (!file.isNull())
            QVERIFY(writeFile(path, file));
        ProgressMonitor monitor(path);
        QSignalSpy bar(&monitor, &ProgressMonitor::itemProgressChanged);
        // An earlier run's reports, the last one cut: the start forgets them.
        monitor.converterOutput("time=99:00:00.00\rtime=00:0");
        monitor.start(clip, useReported);
        for (const QByteArray &chunk : reports)
            monitor.converterOutput(chunk);
        monitor.tick();
        QTEST(bar.isEmpty() ? -1 : bar.last().at(0).toInt(), "percent");
    }

    void lastLineMatchesWholeFile()
    {
        const QString path = m_dir->filePath("shape.log");
        QCOMPARE(ReadLastLineOfFile(m_dir->path()), QString()); // a folder
        // Line lengths and rests around the 4 KiB blocks read from the end.
        for (const char *first : {"", "first\r\n"})
            for (int length : {0, 1, 4089, 4090, 4094, 4095, 4096, 8183, 8190, 10000, 70000})
                for (const char *end : {"", "\n", "\r\n", "\r\r\n"})
                    for (const QByteArray &rest :
                         {QByteArray(), QByteArray("\r"), QByteArray("é\n"), QByteArray(4095, 'p'),
                          QByteArray(4096, 'p')}) {
                        const QByteArray data = first + QByteArray(length, 'x') + end + rest;
                        QVERIFY(writeFile(path, data));
                        QCOMPARE(ReadLastLineOfFile(path), wholeFileRule(data));
                    }
    }

    void speedAndRemaining()
    {
        const QString path = m_dir->filePath("curconvert.log");
        QVERIFY(writeFile(path, v2(" 30.000")));
        ProgressMonitor monitor(path);
        QString text;
        double speed = -1;
        qint64 left = -2;
        connect(&monitor, &ProgressMonitor::elapsedTextChanged,
                [&](const QString &t) { text = t; });
        connect(&monitor, &ProgressMonitor::speedChanged, [&](double s) { speed = s; });
        connect(&monitor, &ProgressMonitor::remainingChanged, [&](qint64 r) { left = r; });
        // clip, ticks, then the elapsed text, speed and seconds left shown
        const std::tuple<qint64, int, QString, double, qint64> cases[] = {
            {90, 3, "00:00:03", 10, 6},
            {20, 1, "00:00:01", 30, 0},
            {0, 75, "00:01:15", 0.4, -1},
            {90, 90061, "25:01:01", 30.0 / 90061, 180122}};
        for (const auto &[clip, ticks, elapsed, expectedSpeed, expectedLeft] : cases) {
            monitor.start(clip, false);
            for (int i = 0; i < ticks; ++i)
                monitor.tick();
            QCOMPARE(std::make_tuple(text, speed, left),
                     std::make_tuple(elapsed, expectedSpeed, expectedLeft));
        }
        // Nothing encoded: no speed, no time left.
        QVERIFY(writeFile(path, ""));
        monitor.start(90, false);
        speed = -1;
        monitor.tick();
        QCOMPARE(std::make_tuple(text, speed, left),
                 std::make_tuple(QString("00:00:01"), -1.0, -1LL));
    }

    // FFmpeg's error output with its level colours, as FFmpeg 5.1 writes it:
    // the error lines, and the video/audio kilobytes of the closing summary.
    void ffmpegOutput_data()
    {
        addColumns<QString, QString, QString>("output", "errors", "written");
        const QString summary = "video:8kB audio:9kB subtitle:0kB other streams:0kB global "
                                "headers:0kB muxing overhead: 13.278324%\n";
        newRow("odd size for x264",
               "Stream mapping:\n  Stream #0:0 -> #0:0 (mpeg4 -> h264 (libx264))\n"
               "\x1b[1;36m[libx264 @ 0x557f578ce040] \x1b[0m\x1b[1;31mwidth not divisible by 2 "
               "(33x33)\n\x1b[0m\x1b[1;31mError initializing output stream 0:0\n\x1b[0m\x1b[1;36m"
               "[aac @ 0x55] \x1b[0mQavg: 102.584\n\x1b[1;36m[aac @ 0x55] \x1b[0m\x1b[0;33m2 "
               "frames left in the queue\n\x1b[0mConversion failed!\n",
               "libx264: width not divisible by 2 (33x33)|Error initializing output stream 0:0",
               "-");
        newRow("fatal",
               "\x1b[0;39m[Eval @ 0x7ffc] \x1b[0m\x1b[1;31mUndefined constant in 'Original'\n"
               "\x1b[0m\x1b[4;31mInvalid aspect ratio: Original\n\x1b[0m",
               "Eval: Undefined constant in 'Original'|Invalid aspect ratio: Original", "-");
        newRow("finished",
               "frame=   25 q=-1.0 Lsize=  19kB time=00:00:01.02 speed=12x    \n" + summary +
                   "\x1b[1;36m[libx264 @ 0x5] \x1b[0mkb/s:58.92\n",
               "", "8/9");
        newRow("empty output",
               "Lsize=  0kB time=00:00:00.00 bitrate=N/A\nvideo:0kB audio:0kB subtitle:0kB other "
               "streams:0kB global headers:0kB muxing overhead: unknown\n",
               "", "0/0");
        newRow("summary after a warning",
               "\x1b[0;33mbuffer underflow\n\x1b[0m" + summary.mid(0, 20) + "\r\n", "", "8/9");
        newRow("no colours", "junk.avi: Invalid data found when processing input\n", "", "-");
    }
    void ffmpegOutput()
    {
        QFETCH(QString, output);
        QTEST(ffmpegErrorLines(output.toUtf8()).join('|'), "errors");
        const std::optional<WrittenStreams> written = writtenStreams(output.toUtf8());
        QTEST(written ? QString("%1/%2").arg(written->videoKb).arg(written->audioKb) : "-",
              "written");
    }
};

QTEST_GUILESS_MAIN(TestProgressMonitor)
#include "tst_ProgressMonitor.moc"
