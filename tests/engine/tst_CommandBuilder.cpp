#include "app/OptionSheet.h"
#include "engine/CommandBuilder.h"
#include "settings/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The option values of the worked example: an XviD AVI at 320x240.
void setExampleOptions(OptionSheet &sheet)
{
    sheet.prolist();
    const std::pair<const char *, const char *> video[] = {
        {"Video Codec", "xvid"},       {"Video Size", "320x240"}, {"Video Bitrate", "256"},
        {"Video Framerate", "29.97"}, {"Aspect Ratio", "4:3"},
    };
    const std::pair<const char *, const char *> audio[] = {
        {"Audio Codec", "mp3"},   {"Audio Bitrate", "128"},  {"Sample Rate", "44100"},
        {"Audio Channel", "2"},   {"Disable Audio", "No"},
    };
    for (const auto &[item, value] : video)
        QVERIFY(sheet.setValue("Video Options", item, value));
    for (const auto &[item, value] : audio)
        QVERIFY(sheet.setValue("Audio Options", item, value));
}

ConversionItem exampleRow(const QString &source = "/videos/holiday.avi")
{
    ConversionItem row;
    row.FileName = source;
    row.Start = "0:00:00";
    row.End = "0:01:30";
    return row;
}

ConvertEnvironment exampleEnvironment()
{
    return {"/opt/cw/ffmpeg", statisticsFilePath(), 2, ExistingFilePolicy::Overwrite};
}

ConvertCommand build(const OptionSheet &sheet, const ConversionItem &row,
                     const ConvertEnvironment &env = exampleEnvironment())
{
    return BuildConvertCommand(sheet, row, "/out/holiday.avi", env);
}

QString between(const QString &text, const QString &before, const QString &after)
{
    const int start = text.indexOf(before);
    if (start < 0)
        return QStringLiteral("<no '%1'>").arg(before);
    const int from = start + before.size();
    const int end = text.indexOf(after, from);
    if (end < 0)
        return QStringLiteral("<no '%1'>").arg(after);
    return text.mid(from, end - from);
}

} // namespace

class TestCommandBuilder : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data();
    void workedExamples();
    void videoCodecTable_data();
    void videoCodecTable();
    void audioCodecTable_data();
    void audioCodecTable();
    void optionPieces_data();
    void optionPieces();
    void clipTimes_data();
    void clipTimes();
    void placements_data();
    void placements();
    void threadsAndPolicy();
    void hostileSourceNames_data();
    void hostileSourceNames();
    void extensionRule_data();
    void extensionRule();
    void outputPaths();
};

void TestCommandBuilder::workedExamples_data()
{
    const QString stats = QDir(writableFolder()).filePath("curconvert.log");
    const QString tail = QStringLiteral(
        " -vcodec libxvid  -ab 128000 -ac 2  -ar 44100  -b 256000 -r 29.97  -t 90 -s 320x240  "
        "-aspect 4:3  -acodec libmp3lame  -threads 2 \"/out/holiday.avi\" -vstats_file \"%1\"")
                             .arg(stats);
    const QStringList tailArgs = {"-vcodec", "libxvid", "-ab",    "128000",    "-ac",
                                  "2",       "-ar",     "44100",  "-b",        "256000",
                                  "-r",      "29.97",   "-t",     "90",        "-s",
                                  "320x240", "-aspect", "4:3",    "-acodec",   "libmp3lame",
                                  "-threads", "2",      "/out/holiday.avi", "-vstats_file",
                                  stats};
    const QStringList head = {"-y", "-ss", "0", "-i", "/videos/holiday.avi"};

    QTest::addColumn<QString>("watermark");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("plain")
        << "" << "\"/opt/cw/ffmpeg\" -y -ss 0 -i \"/videos/holiday.avi\" " + tail
        << head + tailArgs;
    QTest::newRow("watermark")
        << "image;/pics/logo.png;area;Bottom right corner"
        << "\"/opt/cw/ffmpeg\" -y -ss 0 -i \"/videos/holiday.avi\" -i \"/pics/logo.png\" "
           "-filter_complex overlay=main_w-overlay_w-5:main_h-overlay_h-5 " +
               tail
        << head + QStringList{"-i", "/pics/logo.png", "-filter_complex",
                              "overlay=main_w-overlay_w-5:main_h-overlay_h-5"} +
               tailArgs;
}

void TestCommandBuilder::workedExamples()
{
    QFETCH(QString, watermark);
    QFETCH(QString, line);
    QFETCH(QStringList, arguments);
    OptionSheet sheet;
    setExampleOptions(sheet);
    ConversionItem row = exampleRow();
    row.Watermark = watermark;
    const ConvertCommand command = build(sheet, row);
    QCOMPARE(command.CommandLine, line);
    QCOMPARE(command.Arguments, arguments);
    QCOMPARE(command.Program, QString("/opt/cw/ffmpeg"));
    QCOMPARE(command.OutputPath, QString("/out/holiday.avi"));
    QCOMPARE(command.ClipStartSeconds, 0);
    QCOMPARE(command.ClipSeconds, 90);
}

void TestCommandBuilder::videoCodecTable_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("piece");
    const std::pair<const char *, const char *> rows[] = {
        {"xvid", " -vcodec libxvid "},        {"XviD", " -vcodec libxvid "},
        {"x264", " -vcodec libx264 "},        {"mpeg4", " -vcodec mpeg4 "},
        {"wmv v9", " -vcodec wmv2 "},         {"WMV V8", " -vcodec wmv2 "},
        {"mjpeg", " -vcodec mjpeg "},         {"h263", " -vcodec h263p "},
        {"h263p", " -vcodec h263p "},         {"mpeg1", " -vcodec mpeg1video "},
        {"mpeg2", " -vcodec mpeg2video "},    {"msmpeg4", " -vcodec msmpeg4 "},
        {"msmpeg4v2", " -vcodec msmpeg4v2 "}, {"wmv1", " -vcodec wmv1 "},
        {"wmv2", " -vcodec wmv2 "},           {"huffyuv", " -vcodec huffyuv "},
        {"ffv1", " -vcodec ffv1 "},           {"vp8", " -vcodec libvpx "},
        {"libtheora", " -vcodec libtheora "}, {"gif", " -vcodec gif "},
        {"mpeg1video", " -vcodec mpeg1video "}, {"mpeg2video", " -vcodec mpeg2video "},
        {"flv", " -vcodec flv "},             {"Original", " "},
        {"N/A", " "},                         {"-vcodec libx265", "-vcodec libx265"},
    };
    for (const auto &[value, piece] : rows)
        QTest::newRow(value) << value << piece;
}

void TestCommandBuilder::videoCodecTable()
{
    QFETCH(QString, value);
    QFETCH(QString, piece);
    OptionSheet sheet;
    setExampleOptions(sheet);
    QVERIFY(sheet.setValue("Video Options", "Video Codec", value));
    const ConvertCommand command = build(sheet, exampleRow());
    QCOMPARE(between(command.CommandLine, "\"/videos/holiday.avi\" ", " -ab 128000"), piece);
    const QStringList words = piece.split(' ', Qt::SkipEmptyParts);
    const int at = command.Arguments.indexOf("/videos/holiday.avi") + 1;
    QCOMPARE(command.Arguments.mid(at, words.size()), words);
    QCOMPARE(command.Arguments.contains("-aspect"), value != "N/A");
}

void TestCommandBuilder::audioCodecTable_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("piece");
    const std::pair<const char *, const char *> rows[] = {
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
    for (const auto &[value, piece] : rows)
        QTest::newRow(value) << value << piece;
}

void TestCommandBuilder::audioCodecTable()
{
    QFETCH(QString, value);
    QFETCH(QString, piece);
    OptionSheet sheet;
    setExampleOptions(sheet);
    QVERIFY(sheet.setValue("Audio Options", "Audio Codec", value));
    const ConvertCommand command = build(sheet, exampleRow());
    QCOMPARE(between(command.CommandLine, "-aspect 4:3 ", " -threads 2"), piece);
    QVERIFY(!command.CommandLine.contains("libvo_aacenc"));
    // Channels go with every audio codec but "N/A".
    QCOMPARE(command.Arguments.contains("-ac"), value != "N/A");
}

void TestCommandBuilder::optionPieces_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("piece");

    const QString v = "Video Options", a = "Audio Options";
    QTest::newRow("size Original") << v << "Video Size" << "Original" << " -t 90" << "-aspect"
                                   << "  ";
    QTest::newRow("size Original in blanks")
        << v << "Video Size" << "  Original " << " -t 90" << "-aspect" << "  ";
    QTest::newRow("size original lower case")
        << v << "Video Size" << "original" << " -t 90" << "-aspect" << " -s original  ";
    QTest::newRow("size N/A") << v << "Video Size" << "N/A" << " -t 90" << "-aspect" << "  ";
    QTest::newRow("bitrate 1500k") << v << "Video Bitrate" << "1500k" << "44100 " << " -r"
                                   << " -b 1500000";
    QTest::newRow("bitrate abc") << v << "Video Bitrate" << "abc" << "44100 " << " -r"
                                 << " -b 0";
    QTest::newRow("bitrate Original") << v << "Video Bitrate" << "Original" << "44100 "
                                      << " -r" << " ";
    QTest::newRow("frame rate N/A") << v << "Video Framerate" << " N/A" << "256000"
                                    << " -t 90" << " ";
    QTest::newRow("frame rate Auto passes") << v << "Video Framerate" << "Auto" << "256000"
                                            << " -t 90" << " -r Auto ";
    QTest::newRow("audio bitrate 96.5") << a << "Audio Bitrate" << "96.5" << "libxvid "
                                        << " -ac" << " -ab 96500";
    QTest::newRow("audio bitrate N/A") << a << "Audio Bitrate" << "N/A" << "libxvid "
                                       << " -ac" << " ";
    QTest::newRow("sample rate Original") << a << "Sample Rate" << "Original" << "-ac 2 "
                                          << " -b 256000" << " ";
    QTest::newRow("disable audio Yes") << a << "Disable Audio" << "Yes" << "libmp3lame "
                                       << " -threads" << " -an ";
}

void TestCommandBuilder::optionPieces()
{
    QFETCH(QString, group);
    QFETCH(QString, item);
    QFETCH(QString, value);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, piece);
    OptionSheet sheet;
    setExampleOptions(sheet);
    QVERIFY(sheet.setValue(group, item, value));
    const ConvertCommand command = build(sheet, exampleRow());
    QCOMPARE(between(command.CommandLine, before, after), piece);
    // Disabling audio keeps every other audio piece.
    if (item == "Disable Audio") {
        for (const char *kept : {"-acodec", "-ab", "-ar", "-ac"})
            QVERIFY(command.Arguments.contains(kept));
    }
}

void TestCommandBuilder::clipTimes_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<qint64>("startSeconds");
    QTest::addColumn<qint64>("clipSeconds");
    QTest::addColumn<QStringList>("timeArguments");
    QTest::newRow("10 to 60") << "0:00:10" << "0:01:00" << qint64(10) << qint64(50)
                              << QStringList{"-ss", "10", "-t", "50"};
    QTest::newRow("past a day") << "23:59:00" << "25:00:00" << qint64(86340) << qint64(3660)
                                << QStringList{"-ss", "86340", "-t", "3660"};
    QTest::newRow("no end: whole file") << "0:00:00" << "" << qint64(0) << qint64(0)
                                        << QStringList{"-ss", "0"};
    QTest::newRow("empty start") << "" << "0:00:05" << qint64(0) << qint64(5)
                                 << QStringList{"-ss", "0", "-t", "5"};
}

void TestCommandBuilder::clipTimes()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(qint64, startSeconds);
    QFETCH(qint64, clipSeconds);
    QFETCH(QStringList, timeArguments);
    OptionSheet sheet;
    setExampleOptions(sheet);
    ConversionItem row = exampleRow();
    row.Start = start;
    row.End = end;
    const ConvertCommand command = build(sheet, row);
    QCOMPARE(command.ClipStartSeconds, startSeconds);
    QCOMPARE(command.ClipSeconds, clipSeconds);
    QStringList found;
    for (int i = 0; i < command.Arguments.size() - 1; ++i) {
        if (command.Arguments[i] == "-ss" || command.Arguments[i] == "-t")
            found << command.Arguments[i] << command.Arguments[i + 1];
    }
    QCOMPARE(found, timeArguments);
    // The start is an input option: it stands before the source's -i.
    QCOMPARE(command.Arguments.indexOf("-ss"), command.Arguments.indexOf("-i") - 2);
}

void TestCommandBuilder::placements_data()
{
    QTest::addColumn<QString>("watermark");
    QTest::addColumn<QString>("expression");
    QTest::newRow("top left") << "image;/l.png;area;Top left corner" << "overlay=10:10";
    QTest::newRow("top right") << "image;/l.png;area;Top right corner"
                               << "overlay=main_w-overlay_w-10:10";
    QTest::newRow("bottom left") << "image;/l.png;area;Bottom left corner"
                                 << "overlay=10:main_h-overlay_h-10";
    QTest::newRow("bottom right") << "image;/l.png;area;Bottom right corner"
                                  << "overlay=main_w-overlay_w-5:main_h-overlay_h-5";
    QTest::newRow("center") << "image;/l.png;area;Center"
                            << "overlay=(main_w-overlay_w)/2:(main_h-overlay_h)/2";
    QTest::newRow("unknown placement") << "image;/l.png;area;Middle" << "";
    QTest::newRow("empty picture") << "image;;area;Center" << "";
    QTest::newRow("none") << "" << "";
}

void TestCommandBuilder::placements()
{
    QFETCH(QString, watermark);
    QFETCH(QString, expression);
    OptionSheet sheet;
    setExampleOptions(sheet);
    ConversionItem row = exampleRow();
    row.Watermark = watermark;
    const ConvertCommand command = build(sheet, row);
    const QStringList &args = command.Arguments;
    if (expression.isEmpty()) {
        QCOMPARE(args.count("-i"), 1);
        QVERIFY(!args.contains("-filter_complex"));
        return;
    }
    const int second = args.lastIndexOf("-i");
    QVERIFY(second > args.indexOf("/videos/holiday.avi"));
    QCOMPARE(args.mid(second, 4),
             QStringList({"-i", "/l.png", "-filter_complex", expression}));
}

void TestCommandBuilder::threadsAndPolicy()
{
    OptionSheet sheet;
    setExampleOptions(sheet);
    ConvertEnvironment env = exampleEnvironment();
    env.threads = 4;
    env.policy = ExistingFilePolicy::AddNew;
    ConvertCommand command = build(sheet, exampleRow(), env);
    QCOMPARE(command.Arguments.first(), QString("-n"));
    const int threads = command.Arguments.indexOf("-threads");
    QCOMPARE(command.Arguments.mid(threads, 3), QStringList({"-threads", "4", "/out/holiday.avi"}));
    env.threads = -3;
    command = build(sheet, exampleRow(), env);
    QVERIFY(command.CommandLine.contains(" -threads 0 \"/out/holiday.avi\""));
}

void TestCommandBuilder::hostileSourceNames_data()
{
    QTest::addColumn<QString>("source");
    QTest::newRow("blanks") << "/videos/my  holiday clip.avi";
    QTest::newRow("double quotes") << "/videos/the \"best\" day.avi";
    QTest::newRow("leading dash") << "-y.avi";
    QTest::newRow("leading dash in folder") << "/videos/-i -filter_complex.avi";
    QTest::newRow("semicolon") << "/videos/a;image;b.avi";
    QTest::newRow("shell") << "/videos/$(rm -rf x)`id`.avi";
    QTest::newRow("non-ASCII") << QString::fromUtf8("/vidéos/Ünïcødé 東京 ñ.avi");
    QTest::newRow("only blanks") << "/videos/   .avi";
}

void TestCommandBuilder::hostileSourceNames()
{
    QFETCH(QString, source);
    OptionSheet sheet;
    setExampleOptions(sheet);
    const ConvertCommand plain = build(sheet, exampleRow());
    const ConvertCommand hostile = build(sheet, exampleRow(source));
    QStringList expected = plain.Arguments;
    expected.replace(expected.indexOf("/videos/holiday.avi"), source);
    QCOMPARE(hostile.Arguments, expected);
    QVERIFY(hostile.CommandLine.contains("-i \"" + source + "\""));
}

void TestCommandBuilder::extensionRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("extension");
    QTest::newRow("mp4") << "001.  MP4 Movie (*.mp4)" << ".mp4";
    QTest::newRow("webm") << "042.  WebM VP8 (*.webm)" << ".webm";
    QTest::newRow("3gp") << "999.  Phone 3GP H263 (*.3gp)" << ".3gp";
    QTest::newRow("point in name") << "007.  H.264 (*.mp4)" << ".264 (*.mp4";
    QTest::newRow("no extension") << "003.  Plain profile" << "";
    QTest::newRow("empty") << "" << "";
}

void TestCommandBuilder::extensionRule()
{
    QFETCH(QString, text);
    QFETCH(QString, extension);
    QCOMPARE(profileExtension(text), extension);
}

void TestCommandBuilder::outputPaths()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString out = dir.path();
    const QString profile = "001.  MP4 Movie (*.mp4)";
    const auto make = [&](const QString &source, ExistingFilePolicy policy) {
        return MakeOutputPath(source, profile, out, policy);
    };
    QCOMPARE(make("/videos/a.b.avi", ExistingFilePolicy::AddNew), out + "/a.mp4");
    QCOMPARE(make("/videos/noext", ExistingFilePolicy::AddNew), out + "/noext.mp4");
    QCOMPARE(MakeOutputPath("/v/x.avi", profile, out + "/", ExistingFilePolicy::AddNew),
             out + "/x.mp4");
    QCOMPARE(MakeOutputPath("/v/x.avi", profile, "/", ExistingFilePolicy::AddNew),
             QString("/x.mp4"));

    for (const char *existing : {"x.mp4", "x_New.mp4"}) {
        QFile f(out + "/" + existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(make("/videos/x.avi", ExistingFilePolicy::AddNew), out + "/x_New_New.mp4");
    QCOMPARE(make("/videos/x.avi", ExistingFilePolicy::Overwrite), out + "/x.mp4");
}

QTEST_GUILESS_MAIN(TestCommandBuilder)
#include "tst_CommandBuilder.moc"
