#include "app/OptionSheet.h"
#include "engine/CommandBuilder.h"
#include "settings/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Pairs = std::vector<std::pair<QString, QString>>;

// The options of the worked example: an XviD AVI at 320x240 with MP3 sound.
ConvertCommand build(const Pairs &changes = {}, const QString &source = "/videos/holiday.avi",
                     const QString &watermark = {}, const QString &start = "0:00:00",
                     const QString &end = "0:01:30", int threads = 2,
                     ExistingFilePolicy policy = ExistingFilePolicy::Overwrite)
{
    OptionSheet sheet;
    sheet.prolist();
    const Pairs example = {{"Video Codec", "xvid"},  {"Video Size", "320x240"},
                           {"Video Bitrate", "256"}, {"Video Framerate", "29.97"},
                           {"Aspect Ratio", "4:3"},  {"Audio Codec", "mp3"},
                           {"Audio Bitrate", "128"}, {"Sample Rate", "44100"},
                           {"Audio Channel", "2"},   {"Disable Audio", "No"}};
    for (const Pairs *values : {&example, &changes}) {
        for (const auto &[item, value] : *values) {
            if (!sheet.setValue("Video Options", item, value))
                (void)sheet.setValue("Audio Options", item, value);
        }
    }
    ConversionItem row;
    row.FileName = source;
    row.Start = start;
    row.End = end;
    row.Watermark = watermark;
    return BuildConvertCommand(sheet, row, "/out/holiday.avi",
                               {"/opt/cw/ffmpeg", statisticsFilePath(), threads, policy});
}

QString between(const QString &text, const QString &before, const QString &after)
{
    const int from = text.indexOf(before) + before.size();
    const int end = text.indexOf(after, from);
    return from < before.size() || end < 0 ? QStringLiteral("<not found>")
                                           : text.mid(from, end - from);
}

} // namespace

class TestCommandBuilder : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data();
    void workedExamples();
    void codecTables_data();
    void codecTables();
    void optionPieces_data();
    void optionPieces();
    void clipTimes_data();
    void clipTimes();
    void placements_data();
    void placements();
    void threadsAndPolicy();
    void hostileSourceNames_data();
    void hostileSourceNames();
    void extensionRule();
    void outputPaths();
};

void TestCommandBuilder::workedExamples_data()
{
    const QString stats = QDir(writableFolder()).filePath("curconvert.log");
    const QString tail =
        " -vcodec libxvid  -ab 128000 -ac 2  -ar 44100  -b 256000 -r 29.97  -t 90 -s 320x240  "
        "-aspect 4:3  -acodec libmp3lame  -threads 2 \"/out/holiday.avi\" -vstats_file \"" +
        stats + "\"";
    const QStringList head = {"-y", "-ss", "0", "-i", "/videos/holiday.avi"};
    const QStringList tailArgs = QString("-vcodec libxvid -ab 128000 -ac 2 -ar 44100 -b 256000 "
                                         "-r 29.97 -t 90 -s 320x240 -aspect 4:3 -acodec "
                                         "libmp3lame -threads 2 /out/holiday.avi -vstats_file")
                                     .split(' ') +
                                 QStringList{stats};
    const QString overlay = "overlay=main_w-overlay_w-5:main_h-overlay_h-5";
    QTest::addColumn<QString>("watermark");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("plain") << ""
                           << "\"/opt/cw/ffmpeg\" -y -ss 0 -i \"/videos/holiday.avi\" " + tail
                           << head + tailArgs;
    QTest::newRow("watermark")
        << "image;/pics/logo.png;area;Bottom right corner"
        << "\"/opt/cw/ffmpeg\" -y -ss 0 -i \"/videos/holiday.avi\" -i \"/pics/logo.png\" "
           "-filter_complex " +
               overlay + " " + tail
        << head + QStringList{"-i", "/pics/logo.png", "-filter_complex", overlay} + tailArgs;
}

void TestCommandBuilder::workedExamples()
{
    QFETCH(QString, watermark);
    QFETCH(QString, line);
    QFETCH(QStringList, arguments);
    const ConvertCommand command = build({}, "/videos/holiday.avi", watermark);
    QCOMPARE(command.CommandLine, line);
    QCOMPARE(command.Arguments, arguments);
    QCOMPARE(command.Program, QString("/opt/cw/ffmpeg"));
    QCOMPARE(command.ClipSeconds, 90);
}

void TestCommandBuilder::codecTables_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("piece");
    const Pairs video = {
        {"xvid", " -vcodec libxvid "},
        {"XviD", " -vcodec libxvid "},
        {"x264", " -vcodec libx264 "},
        {"mpeg4", " -vcodec mpeg4 "},
        {"wmv v9", " -vcodec wmv2 "},
        {"WMV V8", " -vcodec wmv2 "},
        {"mjpeg", " -vcodec mjpeg "},
        {"h263", " -vcodec h263p "},
        {"h263p", " -vcodec h263p "},
        {"mpeg1", " -vcodec mpeg1video "},
        {"mpeg2", " -vcodec mpeg2video "},
        {"msmpeg4", " -vcodec msmpeg4 "},
        {"msmpeg4v2", " -vcodec msmpeg4v2 "},
        {"wmv1", " -vcodec wmv1 "},
        {"wmv2", " -vcodec wmv2 "},
        {"huffyuv", " -vcodec huffyuv "},
        {"ffv1", " -vcodec ffv1 "},
        {"vp8", " -vcodec libvpx "},
        {"libtheora", " -vcodec libtheora "},
        {"gif", " -vcodec gif "},
        {"mpeg1video", " -vcodec mpeg1video "},
        {"mpeg2video", " -vcodec mpeg2video "},
        {"flv", " -vcodec flv "},
        {"Original", " "},
        {"N/A", " -vn "},
        {"-vcodec libx265", "-vcodec libx265"},
    };
    const Pairs audio = {
        {"aac", " -acodec aac "},
        {"AAC", " -acodec aac "},
        {"mp3", " -acodec libmp3lame "},
        {"wma 9.2", " -acodec wmav2 "},
        {"wmav1", " -acodec wmav1 "},
        {"wmav2", " -acodec wmav2 "},
        {"pcm", " -acodec pcm_alaw "},
        {"opencore_amrnb", " -acodec libopencore_amrnb "},
        {"faac", " -acodec  aac "},
        {"ac3", " -acodec ac3 "},
        {"ogg", " -acodec libvorbis "},
        {"libvorbis", " -acodec  libvorbis "},
        {"vorbis", " -acodec  libvorbis "},
        {"pcm_s16be", " -acodec pcm_s16be "},
        {"wma", " -acodec wmav2 "},
        {"mp2", " -acodec mp2 "},
        {"aac_low", " -acodec aac "},
        {"aac_main", " -acodec aac "},
        {"aac_ltp", " -acodec aac "},
        {"alac", " -acodec alac "},
        {"flac", " -acodec flac "},
        {"ape", " -acodec aac "},
        {"dca", " -acodec  aac "},
        {"Original", "  "},
        {"N/A", "  "},
    };
    for (const auto &[value, piece] : video)
        QTest::addRow("video %s", qPrintable(value)) << "Video Codec" << value << piece;
    for (const auto &[value, piece] : audio)
        QTest::addRow("audio %s", qPrintable(value)) << "Audio Codec" << value << piece;
}

void TestCommandBuilder::codecTables()
{
    QFETCH(QString, item);
    QFETCH(QString, value);
    QFETCH(QString, piece);
    const ConvertCommand command = build({{item, value}});
    const bool isVideo = item == "Video Codec";
    QCOMPARE(isVideo ? between(command.CommandLine, "\"/videos/holiday.avi\" ", " -ab 128000")
                     : between(command.CommandLine, "-aspect 4:3 ", " -threads 2"),
             piece);
    const QStringList words = piece.split(' ', Qt::SkipEmptyParts);
    const int at = isVideo ? command.Arguments.indexOf("/videos/holiday.avi") + 1
                           : command.Arguments.indexOf("4:3") + 1;
    QCOMPARE(command.Arguments.mid(at, words.size()), words);
    // "N/A" video drops the aspect piece, "N/A" audio the channels piece.
    QCOMPARE(command.Arguments.contains(isVideo ? "-aspect" : "-ac"), value != "N/A");
}

void TestCommandBuilder::optionPieces_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("piece");
    const auto row = [](const char *name, const char *item, const char *value, const char *before,
                        const char *after, const char *piece) {
        QTest::newRow(name) << item << value << before << after << piece;
    };
    row("size Original", "Video Size", "Original", " -t 90", "-aspect", "  ");
    row("size Original in blanks", "Video Size", "  Original ", " -t 90", "-aspect", "  ");
    row("size original lower case", "Video Size", "original", " -t 90", "-aspect",
        " -s original  ");
    row("size N/A", "Video Size", "N/A", " -t 90", "-aspect", "  ");
    row("bitrate 1500k", "Video Bitrate", "1500k", "44100 ", " -r", " -b 1500000");
    row("bitrate abc", "Video Bitrate", "abc", "44100 ", " -r", " -b 0");
    row("bitrate Original", "Video Bitrate", "Original", "44100 ", " -r", " ");
    row("frame rate N/A in blanks", "Video Framerate", " N/A", "256000", " -t 90", " ");
    row("frame rate Auto passes", "Video Framerate", "Auto", "256000", " -t 90", " -r Auto ");
    row("audio bitrate 96.5", "Audio Bitrate", "96.5", "libxvid ", " -ac", " -ab 96500");
    row("audio bitrate N/A", "Audio Bitrate", "N/A", "libxvid ", " -ac", " ");
    row("sample rate Original", "Sample Rate", "Original", "-ac 2 ", " -b 256000", " ");
    row("disable audio Yes", "Disable Audio", "Yes", "libmp3lame ", " -threads", " -an ");
}

void TestCommandBuilder::optionPieces()
{
    QFETCH(QString, item);
    QFETCH(QString, value);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, piece);
    const ConvertCommand command = build({{item, value}});
    QCOMPARE(between(command.CommandLine, before, after), piece);
    if (item == "Disable Audio") { // keeps every other audio piece
        for (const char *kept : {"-acodec", "-ab", "-ar", "-ac"})
            QVERIFY(command.Arguments.contains(kept));
    }
}

void TestCommandBuilder::clipTimes_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<qint64>("clipSeconds");
    QTest::addColumn<QString>("times");
    QTest::newRow("10 to 60") << "0:00:10"
                              << "0:01:00" << qint64(50) << "-ss 10 -t 50";
    QTest::newRow("past a day") << "23:59:00"
                                << "25:00:00" << qint64(3660) << "-ss 86340 -t 3660";
    QTest::newRow("no end: whole file") << "0:00:00"
                                        << "" << qint64(0) << "-ss 0";
    QTest::newRow("empty start") << ""
                                 << "0:00:05" << qint64(5) << "-ss 0 -t 5";
}

void TestCommandBuilder::clipTimes()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(qint64, clipSeconds);
    QFETCH(QString, times);
    const ConvertCommand command = build({}, "/videos/holiday.avi", {}, start, end);
    QCOMPARE(command.ClipSeconds, clipSeconds);
    QStringList found;
    for (int i = 0; i + 1 < command.Arguments.size(); ++i) {
        if (command.Arguments[i] == "-ss" || command.Arguments[i] == "-t")
            found << command.Arguments[i] << command.Arguments[i + 1];
    }
    QCOMPARE(found.join(' '), times);
    // The start seeks the input: it stands right before the source's -i.
    QCOMPARE(command.Arguments.indexOf("-ss"), command.Arguments.indexOf("-i") - 2);
}

void TestCommandBuilder::placements_data()
{
    QTest::addColumn<QString>("watermark");
    QTest::addColumn<QString>("expression");
    QTest::newRow("top left") << "image;/l.png;area;Top left corner"
                              << "overlay=10:10";
    QTest::newRow("top right") << "image;/l.png;area;Top right corner"
                               << "overlay=main_w-overlay_w-10:10";
    QTest::newRow("bottom left") << "image;/l.png;area;Bottom left corner"
                                 << "overlay=10:main_h-overlay_h-10";
    QTest::newRow("bottom right") << "image;/l.png;area;Bottom right corner"
                                  << "overlay=main_w-overlay_w-5:main_h-overlay_h-5";
    QTest::newRow("center") << "image;/l.png;area;Center"
                            << "overlay=(main_w-overlay_w)/2:(main_h-overlay_h)/2";
    QTest::newRow("unknown placement") << "image;/l.png;area;Middle"
                                       << "";
    QTest::newRow("empty picture") << "image;;area;Center"
                                   << "";
}

void TestCommandBuilder::placements()
{
    QFETCH(QString, watermark);
    QFETCH(QString, expression);
    const QStringList args = build({}, "/videos/holiday.avi", watermark).Arguments;
    const QStringList expected =
        expression.isEmpty() ? QStringList{"-i", "/videos/holiday.avi", "-vcodec", "libxvid"}
                             : QStringList{"-i", "/l.png", "-filter_complex", expression};
    QCOMPARE(args.mid(args.lastIndexOf("-i"), 4), expected);
}

void TestCommandBuilder::threadsAndPolicy()
{
    const auto args = [](int threads, ExistingFilePolicy policy) {
        const QStringList a =
            build({}, "/v.avi", {}, "0:00:00", "0:01:30", threads, policy).Arguments;
        return a.first() + " " + a.mid(a.indexOf("-threads"), 3).join(' ');
    };
    QCOMPARE(args(4, ExistingFilePolicy::AddNew), QString("-n -threads 4 /out/holiday.avi"));
    QCOMPARE(args(0, ExistingFilePolicy::Overwrite), QString("-y -threads 0 /out/holiday.avi"));
    QCOMPARE(args(-3, ExistingFilePolicy::Overwrite), QString("-y -threads 0 /out/holiday.avi"));
}

void TestCommandBuilder::hostileSourceNames_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("blanks") << "/videos/my  holiday clip.avi";
    QTest::newRow("double quotes") << "/videos/the \"best\" day.avi";
    QTest::newRow("leading dash") << "-y.avi";
    QTest::newRow("options in name") << "/videos/-i -filter_complex.avi";
    QTest::newRow("semicolon") << "/videos/a;image;b.avi";
    QTest::newRow("shell") << "/videos/$(rm -rf x)`id`.avi";
    QTest::newRow("non-ASCII") << QString::fromUtf8("/vidéos/Ünïcødé 東京 ñ.avi");
    QTest::newRow("only blanks") << "/videos/   .avi";
}

void TestCommandBuilder::hostileSourceNames()
{
    QFETCH(QString, source);
    QStringList expected = build().Arguments;
    expected.replace(expected.indexOf("/videos/holiday.avi"), source);
    const ConvertCommand hostile = build({}, source);
    QCOMPARE(hostile.Arguments, expected);
    QVERIFY(hostile.CommandLine.contains("-i \"" + source + "\""));
}

void TestCommandBuilder::extensionRule()
{
    const Pairs cases = {{"001.  MP4 Movie (*.mp4)", ".mp4"},
                         {"042.  WebM VP8 (*.webm)", ".webm"},
                         {"999.  Phone 3GP H263 (*.3gp)", ".3gp"},
                         {"007.  H.264 (*.mp4)", ".264 (*.mp4"}, // why names hold no other "."
                         {"003.  Plain profile", ""},
                         {"", ""}};
    for (const auto &[text, extension] : cases)
        QCOMPARE(profileExtension(text), extension);
}

void TestCommandBuilder::outputPaths()
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
    for (const char *existing : {"x.mp4", "x_New.mp4"})
        QVERIFY(QFile(out + "/" + existing).open(QIODevice::WriteOnly));
    QCOMPARE(make("/videos/x.avi", out), out + "/x_New_New.mp4");
    QCOMPARE(make("/videos/x.avi", out, ExistingFilePolicy::Overwrite), out + "/x.mp4");
}

QTEST_GUILESS_MAIN(TestCommandBuilder)
#include "tst_CommandBuilder.moc"
