#include "../TestSupport.h"
#include "app/OptionSheet.h"
#include "engine/CommandBuilder.h"
#include "engine/JobCount.h"
#include "process/ResultFile.h"

namespace {

using Pairs = std::vector<std::pair<QString, QString>>;

// The options of the worked example, an XviD AVI at 320x240 with MP3 sound,
// then `changes` ("ITEM=VALUE;...").
ConvertCommand build(const QString &changes = {}, const QString &source = "/videos/holiday.avi",
                     const QString &watermark = {}, const QString &start = "0:00:00",
                     const QString &end = "0:01:30", int threads = 2,
                     ExistingFilePolicy policy = ExistingFilePolicy::Overwrite,
                     const QString &videoTime = "0:02:00", const QString &size = "320x240")
{
    OptionSheet sheet;
    sheet.prolist();
    const QString example = "Video Codec=xvid;Video Size=320x240;Video Bitrate=256;"
                            "Video Framerate=29.97;Aspect Ratio=4:3;Audio Codec=mp3;"
                            "Audio Bitrate=128;Sample Rate=44100;Audio Channel=2;Disable Audio=No;";
    for (const QString &change : (example + changes).split(';', Qt::SkipEmptyParts)) {
        const QString item = change.section('=', 0, 0), value = change.section('=', 1);
        if (!sheet.setValue("Video Options", item, value))
            (void)sheet.setValue("Audio Options", item, value);
    }
    const ConversionItem row{source, start, end, size, {}, {}, videoTime, watermark};
    return BuildConvertCommand(sheet, row, "/out/holiday.avi", "/out/.cw-1.avi",
                               {"/opt/cw/ffmpeg", statisticsFilePath(), threads, policy});
}

} // namespace

class TestCommandBuilder : public QObject
{
    Q_OBJECT

private slots:
    // The worked example's command line, and how a change of the options
    // ("ITEM=VALUE;..."), a mark or the probed size edits it: each "from"
    // piece of `edits` becomes the "to" after it. The seek and length pieces
    // are clipTimes' rows.
    void workedExamples_data()
    {
        addColumns<QString, QStringList, QString, QString>("changes", "edits", "watermark",
                                                           "probed");
        const auto add = [](const char *tag, const QString &changes, const QStringList &edits,
                            const QString &watermark = {}, const QString &probed = "320x240") {
            newRow(tag, changes, edits, watermark, probed);
        };
        add("plain", "", {});
        add("watermark", "",
            {"avi\"  -vcodec", "avi\" -i \"/pics/logo.png\" -filter_complex "
                               "overlay=main_w-overlay_w-5:main_h-overlay_h-5  -vcodec"},
            "image;/pics/logo.png;area;Bottom right corner");
        // A mark without a known place or a picture is left out.
        add("unknown placement", "", {}, "image;/l.png;area;Middle");
        add("empty picture", "", {}, "image;;area;Center");
        // Codec values are matched without regard to case.
        add("video codec XviD", "Video Codec=XviD", {});
        add("audio codec AAC", "Audio Codec=AAC", {" -acodec libmp3lame ", " -acodec aac "});
        add("video codec Original", "Video Codec=Original", {" -vcodec libxvid ", " "});
        add("video codec N/A: no aspect", "Video Codec=N/A",
            {" -vcodec libxvid ", " -vn ", " -aspect 4:3 ", " "});
        add("video codec vp8", "Video Codec=vp8",
            {" -vcodec libxvid ", " -vcodec libvpx -deadline good -cpu-used 4 "});
        add("video codec passed as it is", "Video Codec=-vcodec libx265",
            {" -vcodec libxvid ", "-vcodec libx265"});
        add("audio codec Original", "Audio Codec=Original", {" -acodec libmp3lame ", "  "});
        add("audio codec N/A: no channels", "Audio Codec=N/A",
            {" -ac 2 ", " ", " -acodec libmp3lame ", "  "});
        add("size Original in blanks", "Video Size=  Original ", {" -s 320x240 ", " "});
        add("bitrate 1500k", "Video Bitrate=1500k", {" -b:v 256000", " -b:v 1500000"});
        add("bitrate abc", "Video Bitrate=abc", {" -b:v 256000", " -b:v 0"});
        add("bitrate Original", "Video Bitrate=Original", {" -b:v 256000", " "});
        add("aspect Original", "Aspect Ratio=Original", {" -aspect 4:3 ", " "});
        add("frame rate N/A in blanks", "Video Framerate= N/A", {" -r 29.97 ", " "});
        add("frame rate Auto", "Video Framerate=Auto", {" -r 29.97 ", " "});
        add("audio bitrate 96.5", "Audio Bitrate=96.5", {" -ab 128000", " -ab 96500"});
        add("disable audio Yes", "Disable Audio=Yes",
            {" -acodec libmp3lame ", " -acodec libmp3lame  -an "});
        // Video Size "Original": the probed size, rounded down where the
        // encoder needs it.
        add("size Original, XviD, odd height", "Video Size=Original",
            {" -s 320x240 ", " -s 640x360 "}, {}, "640x361");
        add("size Original, FFmpeg's default (x264 for MP4), odd",
            "Video Codec=Original;Video Size=Original",
            {" -vcodec libxvid ", " ", " -s 320x240 ", " -s 480x268 "}, {}, "481x269");
        add("size Original, h263p needs 4", "Video Codec=h263p;Video Size=Original",
            {" -vcodec libxvid ", " -vcodec h263p ", " -s 320x240 ", " -s 480x268 "}, {},
            "482x270");
        add("size Original, MPEG-4 takes odd", "Video Codec=mpeg4;Video Size=Original",
            {" -vcodec libxvid ", " -vcodec mpeg4 ", " -s 320x240 ", " "}, {}, "481x269");
        add("size Original, not probed", "Video Size=Original", {" -s 320x240 ", " "}, {}, "0x0");
        add("size asked for", "Video Size=640x360", {" -s 320x240 ", " -s 640x360 "}, {},
            "481x269");
        add("size Original, no video", "Video Codec=N/A;Video Size=Original",
            {" -vcodec libxvid ", " -vn ", " -s 320x240 ", " ", " -aspect 4:3 ", " "}, {},
            "481x269");
    }
    void workedExamples()
    {
        QFETCH(QString, changes);
        QFETCH(QStringList, edits);
        QFETCH(QString, watermark);
        QFETCH(QString, probed);
        const ConvertCommand command =
            build(changes, "/videos/holiday.avi", watermark, "0:00:00", "0:01:30", 2,
                  ExistingFilePolicy::Overwrite, "0:02:00", probed);
        QString line =
            "\"/opt/cw/ffmpeg\" -y -hide_banner -i \"/videos/holiday.avi\"  -vcodec libxvid  -ab "
            "128000 -ac 2  -ar 44100  -b:v 256000 -r 29.97  -t 90 -s 320x240  -aspect 4:3  -acodec "
            "libmp3lame  -threads 2 \"/out/holiday.avi\" -vstats_file \"" +
            QDir(writableFolder()).filePath("curconvert.log") + "\"";
        for (int i = 0; i + 1 < edits.size(); i += 2)
            line.replace(edits[i], edits[i + 1]);
        QCOMPARE(command.CommandLine, line);
        // Every path is one argument, without the quotes of the shown line;
        // FFmpeg writes the part file where the line shows the output.
        QCOMPARE(QStringList(command.Program) + command.Arguments,
                 QProcess::splitCommand(line.replace("/out/holiday.avi", "/out/.cw-1.avi")));
    }

    void clipTimes_data()
    {
        // The row's probed length (Video Time) is 0:02:00.
        addColumns<QString, QString, qint64, QString>("start", "end", "clipSeconds", "times");
        newRow("10 to 60", "0:00:10", "0:01:00", qint64(50), "-ss 10 -t 50");
        newRow("past a day", "23:59:00", "25:00:00", qint64(3660), "-ss 86340 -t 3660");
        newRow("no end: whole file", "0:00:00", "", qint64(0), "");
        newRow("empty start", "", "0:00:05", qint64(5), "-t 5");
        newRow("end not moved", "0:00:10", "0:02:00", qint64(110), "-ss 10");
    }
    void clipTimes()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        const ConvertCommand command = build({}, "/videos/holiday.avi", {}, start, end);
        const QStringList &args = command.Arguments;
        QTEST(command.ClipSeconds, "clipSeconds");
        // The start seeks the input: only an -ss right before the source's -i counts.
        QStringList found;
        for (int i = 0; i + 1 < args.size(); ++i)
            if (args[i] == "-t" || (args[i] == "-ss" && args.value(i + 2) == "-i"))
                found << args[i] << args[i + 1];
        QTEST(found.join(' '), "times");
    }

    void threadsAndPolicy()
    {
        const auto args = [](int threads, ExistingFilePolicy policy) {
            const QStringList a =
                build({}, "/v.avi", {}, "0:00:00", "0:01:30", threads, policy).Arguments;
            return a.first() + " " + a.mid(a.indexOf("-threads"), 3).join(' ');
        };
        // FFmpeg writes over the empty part file made for it, whatever the policy.
        QCOMPARE(args(4, ExistingFilePolicy::AddNew), QString("-y -threads 4 /out/.cw-1.avi"));
        QCOMPARE(args(-3, ExistingFilePolicy::Overwrite), QString("-y -threads 0 /out/.cw-1.avi"));
    }

    void hostileSourceNames_data()
    {
        QTest::addColumn<QString>("source");
        for (const char *name : {"/videos/my  holiday clip.avi", "/videos/the \"best\" day.avi",
                                 "-y.avi", "/videos/$(rm -rf x)`id`.avi", "/vidéos/東京 ñ.avi"})
            QTest::newRow(name) << QString::fromUtf8(name);
    }
    void hostileSourceNames()
    {
        QFETCH(QString, source);
        QStringList expected = build().Arguments;
        expected.replace(expected.indexOf("/videos/holiday.avi"), source);
        const ConvertCommand hostile = build({}, source);
        QCOMPARE(hostile.Arguments, expected);
        QVERIFY(hostile.CommandLine.contains("-i \"" + source + "\""));
    }

    void outputPaths()
    {
        QTemporaryDir dir;
        const QString out = dir.path(), profile = "001.  MP4 Movie (*.mp4)";
        const auto make = [&](const QString &source, const QString &folder,
                              ExistingFilePolicy policy = ExistingFilePolicy::AddNew) {
            return MakeOutputPath(source, profile, folder, policy);
        };
        QCOMPARE(make("/videos/a.b.avi", out), out + "/a.mp4");
        QCOMPARE(make("/videos/noext", out), out + "/noext.mp4");
        QCOMPARE(make("/v/x.avi", out + "/"), out + "/x.mp4");
        QCOMPARE(make("/v/x.avi", "/"), QString("/x.mp4"));
        // The extension is what the profile's text holds between the point
        // after its number and the closing bracket.
        const Pairs extensions = {
            {"007.  H.264 (*.mp4)", "/x.264 (*.mp4"}, {"003.  Plain profile", "/x"}, {"", "/x"}};
        for (const auto &[text, name] : extensions)
            QCOMPARE(MakeOutputPath("/v/x.avi", text, out, ExistingFilePolicy::Overwrite),
                     out + name);
        QVERIFY(writeFile(out + "/x.mp4", "") && writeFile(out + "/x_New.mp4", ""));
        QCOMPARE(make("/videos/x.avi", out), out + "/x_New_New.mp4");
        QCOMPARE(make("/videos/x.avi", out, ExistingFilePolicy::Overwrite), out + "/x.mp4");
        // A link takes its name, also one that points nowhere.
        QVERIFY(QFile::link(out + "/nowhere/planted.mp4", out + "/y.mp4"));
        QCOMPARE(make("/videos/y.avi", out), out + "/y_New.mp4");
        // The part file: short, hidden, the same extension, free.
        const QString part = partPathFor(out + "/" + QString(251, 'n') + ".mp4");
        QVERIFY2(QRegularExpression("/\\.cw-[0-9a-f]{8}\\.mp4$").match(part).hasMatch(),
                 qPrintable(part));
        // A folder whose path leaves no room for the part file's name: a
        // name is still given (no endless search), and making it says why.
        QString deep = out;
        while (deep.size() < 4086)
            deep += "/" + QString(200, 'd');
        deep = QDir::cleanPath(deep.left(4086));
        QVERIFY(QDir().mkpath(deep));
        const QString refused = createPartFile(partPathFor(deep + "/clip.mp4"));
        QVERIFY2(refused.endsWith("File name too long"), qPrintable(refused));
    }

    void placement_data()
    {
        // What is at clip.mp4 before the finished part file is placed: a
        // file "keep", or a link to /elsewhere/target.mp4 (holding "keep",
        // or missing); where the new file must end up.
        addColumns<QString, bool, QString>("before", "overwrite", "placedAs");
        newRow("taken meanwhile", QString("file"), false, QString("clip_New.mp4"));
        newRow("dangling link", QString("dangling"), false, QString("clip_New.mp4"));
        newRow("link to a file, overwrite", QString("link"), true, QString("clip.mp4"));
    }
    void placement()
    {
        QFETCH(QString, before);
        QFETCH(bool, overwrite);
        QFETCH(QString, placedAs);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("out") && QDir(dir.path()).mkpath("elsewhere"));
        const QString out = dir.filePath("out/clip.mp4"), part = dir.filePath("out/.cw-1.mp4");
        const QString target = dir.filePath("elsewhere/target.mp4");
        QVERIFY(writeFile(part, "new"));
        if (before == "file")
            QVERIFY(writeFile(out, "keep"));
        if (before == "link")
            QVERIFY(writeFile(target, "keep"));
        if (before == "link" || before == "dangling")
            QVERIFY(QFile::link(target, out));

        const PlacedOutput placed =
            placeOutput(part, out, overwrite ? Placement::Replace : Placement::NeverReplace);
        QCOMPARE(placed.path, dir.filePath("out/" + placedAs));
        QVERIFY(placed.error.isEmpty() && !QFile::exists(part));
        QCOMPARE(readFile(placed.path), QByteArray("new"));
        // Nothing is ever written through a link, nor is the result one.
        QCOMPARE(readFile(target), QByteArray(before == "link" ? "keep" : ""));
        QCOMPARE(QFile::exists(target), before == "link");
    }

    // How many rows convert at once when the count is left to the program.
    void automaticCount_data()
    {
        addColumns<int, QString, QList<qint64>, qint64, bool, int>("cores", "encoder", "seconds",
                                                                   "pixels", "preview", "jobs");
        const qint64 p360 = 640 * 360, p720 = 1280 * 720, p1080 = 1920 * 1080;
        newRow("one-core encoder, long 720p", 4, "libxvid", QList<qint64>{600}, p720, false, 4);
        newRow("x264, 10-s 720p", 2, "libx264", QList<qint64>{10, 10, 10}, p720, false, 2);
        newRow("x264, 30-s 1080p", 2, "libx264", QList<qint64>{30, 60}, p1080, false, 1);
        newRow("x264, lengths unknown", 2, "libx264", QList<qint64>{}, 0LL, false, 2);
        newRow("preview takes a core", 2, "libmp3lame", QList<qint64>{30}, 0LL, true, 1);
        newRow("never above 8", 32, "libx264", QList<qint64>{1}, p360, false, 8);
    }
    void automaticCount()
    {
        QFETCH(int, cores);
        QFETCH(QString, encoder);
        QFETCH(QList<qint64>, seconds);
        QFETCH(qint64, pixels);
        QFETCH(bool, preview);
        QTEST(automaticJobs({cores, !encoder.isEmpty(), encoder, seconds, pixels, preview}),
              "jobs");
    }
};

QTEST_GUILESS_MAIN(TestCommandBuilder)
#include "tst_CommandBuilder.moc"
