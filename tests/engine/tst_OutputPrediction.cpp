#include "../TestSupport.h"
#include "engine/OutputPrediction.h"

Q_DECLARE_METATYPE(SampleFigures)
Q_DECLARE_METATYPE(QVector<RowTime>)

class TestOutputPrediction : public QObject
{
    Q_OBJECT

    // A sample of `seconds` holding `video` and `audio` bytes in a file of
    // `file`, taking `wall` seconds and running at `steady` once under way.
    static SampleFigures sample(double seconds, qint64 file, qint64 video, qint64 audio,
                                double wall, double steady, QVector<qint64> parts = {},
                                int pictures = 0, int keyframes = 0, qint64 keyBytes = 0)
    {
        return {seconds, file, video, audio, pictures, keyframes, keyBytes, parts, wall, 0, steady};
    }

private slots:
    // The rates asked for are "video audio keyframe-distance"; the outcome is
    // "bytes low high seconds", or "none".
    void predict_data()
    {
        addColumns<SampleFigures, double, QString, QString>("sample", "clip", "asked", "outcome");
        const QVector<qint64> even = {360000, 360000, 360000};
        const QString video = "1200000 0 250"; // 150 kB/s asked, a keyframe every 250 pictures
        // 180 kB/s of pictures against 150 kB/s asked: the encoder's start;
        // 16 kB/s of sound, 4 kB/s of container. The rest goes at 8x.
        newRow("bitrate reached: the asked rate", sample(6, 1200000, 1080000, 96000, 1.2, 8, even),
               60.0, video, "10200000 10200000 10200000 7.95");
        // A busy third among quiet ones: the encoder may spend there what the
        // others left, up to the busy third's rate.
        newRow("bitrate reached, uneven parts: the range",
               sample(6, 1200000, 1080000, 96000, 1.2, 8, {100000, 100000, 880000}), 60.0, video,
               "10200000 10200000 23200000 7.95");
        newRow("one busy third reaches it: the asked rate",
               sample(6, 420000, 300000, 96000, 1.2, 8, {20000, 20000, 260000}), 60.0, video,
               "10200000 10200000 24600000 7.95");
        // 50 kB/s of 150 asked: the picture needs less. Three keyframes of
        // 40 kB in 6 s; the conversion has six in 60 s (one per 250 pictures).
        newRow("bitrate not reached: sampled, keyframes spread",
               sample(6, 420000, 300000, 96000, 1.2, 8, {100000, 100000, 100000}, 150, 3, 120000),
               60.0, video, "3240000 3240000 3240000 7.95");
        // No speed under way: the sample's own (3x).
        newRow("quality-driven: the thirds give the range",
               sample(6, 600000, 600000, 0, 2, 0, {100000, 200000, 300000}), 30.0, "0 0 0",
               "3000000 1500000 4500000 10");
        newRow("whole clip: the sample is the conversion", sample(4, 500000, 400000, 90000, 0.7, 9),
               4.2, "1200000 128000 250", "500000 500000 500000 0.7");
        // Too fast for progress lines: FFmpeg's own speed.
        SampleFigures sound = sample(6, 50000, 0, 48000, 0.3, 0);
        sound.ffmpegSpeed = 40;
        newRow("sound only", sound, 120.0, "0 0 0", "1000000 1000000 1000000 3.15");
        // 9 kB/s of sound sampled against 8 asked: the parts' lead-ins; 4 kB/s
        // against 8: the sound needs less.
        newRow("sound above its bitrate: the asked rate", sample(6, 54000, 0, 54000, 0.3, 40),
               120.0, "0 64000 0", "960000 960000 960000 3.15");
        newRow("sound well below it: sampled", sample(6, 24000, 0, 24000, 0.3, 40), 120.0,
               "0 64000 0", "480000 480000 480000 3.15");
        newRow("nothing written", sample(0, 0, 0, 0, 0.1, 0), 60.0, "0 0 0", "none");
    }
    void predict()
    {
        QFETCH(SampleFigures, sample);
        QFETCH(double, clip);
        QFETCH(QString, asked);
        const QStringList rates = asked.split(' ');
        const std::optional<RowPrediction> p =
            predictRow(sample, clip, rates[0].toDouble(), rates[1].toDouble(), rates[2].toDouble());
        // Seconds to six digits.
        QTEST(p ? QString::asprintf("%lld %lld %lld %g", p->bytes, p->lowBytes, p->highBytes,
                                    p->seconds)
                : "none",
              "outcome");
    }

    void batchTime_data()
    {
        addColumns<QVector<RowTime>, int, double>("rows", "lanes", "seconds");
        const QVector<RowTime> singleThreaded = {{10, 10}, {20, 20}, {5, 5}};
        newRow("one lane: one after the other", singleThreaded, 1, 35.0);
        newRow("two lanes: the longer lane", singleThreaded, 2, 20.0);
        // Encoders that use both cores gain nothing from a second lane.
        newRow("two lanes, every core busy", QVector<RowTime>{{10, 19}, {10, 19}}, 2, 19.0);
    }
    void batchTime()
    {
        QFETCH(QVector<RowTime>, rows);
        QFETCH(int, lanes);
        QTEST(batchSeconds(rows, lanes, 2), "seconds");
    }

    void fitting()
    {
        // A minute and half a minute with 16 kB/s of sound and 4 kB/s of
        // container: 98 % of 10 MB, less 1.8 MB of both, over 90 s.
        const QVector<RowPrediction> rows = {{60, 0, 0, 0, 0, 0, 0, 16000, 4000},
                                             {30, 0, 0, 0, 0, 0, 0, 16000, 4000}};
        QCOMPARE(fittingVideoBitrate(rows, 10000000), 8 * 8000000 / 90.0);
        QCOMPARE(fittingVideoBitrate(rows, 1800000), std::nullopt);
        QCOMPARE(fittingVideoBitrate({}, 1800000), std::nullopt);
    }

    void texts_data()
    {
        addColumns<QString, qint64>("text", "bytes"); // -1: not a size
        newRow("M", QString("700M"), qint64(700000000));
        newRow("MiB", QString("650MiB"), qint64(650) << 20);
        newRow("blank and B", QString(" 1.5 GB "), qint64(1500000000));
        newRow("bytes", QString("123456"), qint64(123456));
        newRow("unit alone", QString("M"), qint64(-1));
        newRow("negative", QString("-5M"), qint64(-1));
        newRow("words", QString("12 apples"), qint64(-1));
        newRow("nothing", QString("0"), qint64(-1));
    }
    void texts()
    {
        QFETCH(QString, text);
        QTEST(parseSizeText(text).value_or(-1), "bytes");
    }

    void shownTexts()
    {
        QCOMPARE(QStringList({sizeText(820000), sizeText(4800000), sizeText(48000000),
                              sizeText(1200000000)}),
                 QStringList({"820 kB", "4.8 MB", "48 MB", "1.2 GB"}));
        QCOMPARE(QStringList(
                     {durationText(45), durationText(80), durationText(120), durationText(3900)}),
                 QStringList({"45 s", "1 min 20 s", "2 min", "1 h 5 min"}));
        RowPrediction p{0, 0, 48000000, 48000000, 48000000, 80};
        QCOMPARE(predictionText(p), QString("About 48 MB, 1 min 20 s"));
        p.lowBytes = 40000000;
        p.highBytes = 55000000;
        QCOMPARE(predictionText(p), QString("About 40\u201355 MB, 1 min 20 s"));
    }

    // FFmpeg's output as it came in four reads, and its statistics file.
    void readFfmpeg()
    {
        QVector<ProgressPoint> points;
        const std::pair<const char *, double> reads[] = {
            {"frame=   30 fps=0.0 q=27.0 size=     100kB time=00:00:01.20 speed=2x\r", 0.3},
            {"frame=   75 fps=75 q=27.0 size=     300kB time=00:00:03.00 speed=3x\r", 0.6},
            {"frame=  120 fps=80 q=27.0 size=     700kB time=00:00:04.80 speed=4x\r", 0.9}};
        for (const auto &[text, at] : reads)
            readProgress(text, at, points);
        const QByteArray last =
            "frame=  150 fps=85 q=-1.0 Lsize=    1035kB time=00:00:06.00 bitrate=1.0kbits/s "
            "speed=5.86x    \nvideo:923kB audio:104kB subtitle:0kB other streams:0kB global "
            "headers:0kB muxing overhead: 0.654563%\nbench: utime=1.555s stime=0.188s "
            "rtime=1.091s\n";
        readProgress(last, 1.1, points);
        SampleFigures s;
        QVERIFY(readSampleOutput(last, points, s));
        QCOMPARE(s.seconds, 6.0);
        QCOMPARE(QList<qint64>({s.videoBytes, s.audioBytes}),
                 QList<qint64>({923 * 1024, 104 * 1024}));
        QVERIFY(qAbs(s.cpuSeconds - 1.743) < 1e-9);
        // From picture 75 to 120 (the last line closes the file): 45 of 150
        // pictures, 1.8 s, in 0.3 s.
        QVERIFY(qAbs(s.steadySpeed - 6) < 1e-9);
        QCOMPARE(s.ffmpegSpeed, 5.86);
        QVERIFY(!readSampleOutput("Conversion failed!\n", points, s));

        readSampleStatistics("frame= 0 f_size= 900 type= I\nframe= 1 f_size= 100 type= P\n"
                             "frame= 2 f_size= 50 type= B\nframe= 3 f_size= 700 type= I\n"
                             "frame= 4 f_size= 100 type= P\nframe= 5 f_size= 100 type= P\n",
                             s);
        QCOMPARE(QList<qint64>({s.pictures, s.keyframes, s.keyframeBytes}),
                 QList<qint64>({6, 2, 1600}));
        QCOMPARE(s.partVideoBytes, QVector<qint64>({1000, 750, 200}));
    }
};

QTEST_GUILESS_MAIN(TestOutputPrediction)
#include "tst_OutputPrediction.moc"
