#include "engine/CommandBuilder.h"

#include "app/OptionSheet.h"
#include "app/WatermarkText.h"
#include "process/ResultFile.h"
#include "process/TimeText.h"
#include "settings/NumberValue.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <utility>
#include <vector>

namespace {

using Table = std::vector<std::pair<const char *, const char *>>;

const Table &videoCodecTable()
{
    static const Table table = {
        {"xvid", " -vcodec libxvid "},
        {"x264", " -vcodec libx264 "},
        {"mpeg4", " -vcodec mpeg4 "},
        {"wmv v9", " -vcodec wmv2 "},
        {"wmv v8", " -vcodec wmv2 "},
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
        {"original", " "},
        // A profile without video rows is an audio-only profile.
        {"n/a", " -vn "},
    };
    return table;
}

// libvo_aacenc is gone from FFmpeg; the native "aac" encoder takes its place.
// Some pieces carry two blanks after -acodec; the blanks stay as they were.
const Table &audioCodecTable()
{
    static const Table table = {
        {"aac", " -acodec aac "},
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
        {"original", "  "},
        {"n/a", "  "},
    };
    return table;
}

QString codecPiece(const Table &table, const QString &value)
{
    const QString key = value.toLower();
    for (const auto &[name, piece] : table) {
        if (key == QLatin1String(name))
            return QString::fromLatin1(piece);
    }
    return value;
}

QString encoderIn(const Table &table, const QString &value)
{
    const QStringList words = codecPiece(table, value).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words.size() == 2 && words[0].endsWith(QLatin1String("codec")) ? words[1] : QString();
}

bool isLeftOut(const QString &value)
{
    const QString t = value.trimmed();
    return t == QLatin1String("Original") || t == QLatin1String("N/A");
}

QString kiloPiece(const char *option, const QString &value)
{
    if (isLeftOut(value))
        return QStringLiteral(" ");
    return QLatin1String(option) + plainNumber(numberValue(value) * 1000);
}

QString valuePiece(const char *option, const QString &value)
{
    if (isLeftOut(value))
        return QStringLiteral(" ");
    return QLatin1String(option) + value + QLatin1Char(' ');
}

// The multiple that an encoder needs the frame size to be. For "Original"
// (no -vcodec) FFmpeg picks the container's default, which for MP4, MKV and
// MOV is libx264; rounding down to even is harmless for the others.
int sizeMultiple(const QString &encoder)
{
    static const QStringList even = {"",     "libx264", "libx265", "libxvid",
                                     "wmv1", "wmv2",    "huffyuv"};
    if (encoder == QLatin1String("h263p") || encoder == QLatin1String("h263"))
        return 4;
    return even.contains(encoder) ? 2 : 1;
}

// The size piece when the sheet asks for the source's own size: the probed
// "WxH" rounded down to what the encoder takes, or nothing when it fits.
QString originalSizePiece(const QString &probedSize, const QString &encoder)
{
    const QStringList parts = probedSize.split(QLatin1Char('x'));
    const int multiple = sizeMultiple(encoder);
    bool widthOk = false, heightOk = false;
    const int width = parts.value(0).toInt(&widthOk), height = parts.value(1).toInt(&heightOk);
    if (parts.size() != 2 || !widthOk || !heightOk || width < multiple || height < multiple ||
        (width % multiple == 0 && height % multiple == 0))
        return QStringLiteral(" ");
    return QStringLiteral(" -s %1x%2 ")
        .arg(width - width % multiple)
        .arg(height - height % multiple);
}

// Collects the command as pieces of option text (split at blanks for the
// process) and paths (always one argument, quoted in the display text).
class CommandPieces
{
public:
    void text(const QString &piece)
    {
        m_line += piece;
        const auto words = piece.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        m_arguments += words;
    }
    void path(const QString &path) { path2(path, path); }
    // A path that reads as `shown` in the display text.
    void path2(const QString &shown, const QString &path)
    {
        m_line += QLatin1Char('"') + shown + QLatin1Char('"');
        m_arguments.append(path);
    }
    QString line() const { return m_line; }
    QStringList arguments() const { return m_arguments; }

private:
    QString m_line;
    QStringList m_arguments;
};

QString sheetValue(const OptionSheet &sheet, const QString &group, const char *item)
{
    return sheet.value(group, QLatin1String(item)).value_or(QString());
}

} // namespace

QString videoEncoderFor(const QString &codecValue)
{
    return encoderIn(videoCodecTable(), codecValue);
}

QString audioEncoderFor(const QString &codecValue)
{
    return encoderIn(audioCodecTable(), codecValue);
}

QString profileExtension(const QString &profileText)
{
    // Positions 1 to 4 hold the running number and its point.
    const int p = profileText.indexOf(QLatin1Char('.'), 4);
    const int q = profileText.indexOf(QLatin1Char(')'), qMax(0, profileText.size() - 9));
    if (p < 0 || q < 0 || q < p)
        return {};
    return profileText.mid(p, q - p);
}

QString MakeOutputPath(const QString &sourcePath, const QString &profileText,
                       const QString &outputFolder, ExistingFilePolicy policy)
{
    const QString name = QFileInfo(sourcePath).fileName();
    const int dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString candidate =
        QDir::cleanPath(outputFolder + QLatin1Char('/') + base + profileExtension(profileText));
    return policy == ExistingFilePolicy::AddNew ? nextFreeOutputPath(candidate) : candidate;
}

QString overlayExpression(const QString &placement)
{
    static const Table placements = {
        {"Top left corner", "overlay=10:10"},
        {"Top right corner", "overlay=main_w-overlay_w-10:10"},
        {"Bottom left corner", "overlay=10:main_h-overlay_h-10"},
        {"Bottom right corner", "overlay=main_w-overlay_w-5:main_h-overlay_h-5"},
        {"Center", "overlay=(main_w-overlay_w)/2:(main_h-overlay_h)/2"},
    };
    for (const auto &[name, expression] : placements) {
        if (placement == QLatin1String(name))
            return QString::fromLatin1(expression);
    }
    return {};
}

ConvertCommand BuildConvertCommand(const OptionSheet &sheet, const ConversionItem &row,
                                   const QString &outputPath, const QString &partPath,
                                   const ConvertEnvironment &env)
{
    const QString &video = OptionSheet::VideoOptions;
    const QString &audio = OptionSheet::AudioOptions;
    const QString videoCodec = sheetValue(sheet, video, "Video Codec");
    const QString aspect = sheetValue(sheet, video, "Aspect Ratio");
    const QString videoSize = sheetValue(sheet, video, "Video Size");
    const QString videoBitrate = sheetValue(sheet, video, "Video Bitrate");
    const QString frameRate = sheetValue(sheet, video, "Video Framerate");
    const QString disableAudio = sheetValue(sheet, audio, "Disable Audio");
    const QString audioCodec = sheetValue(sheet, audio, "Audio Codec");
    const QString audioBitrate = sheetValue(sheet, audio, "Audio Bitrate");
    const QString sampleRate = sheetValue(sheet, audio, "Sample Rate");
    const QString channels = sheetValue(sheet, audio, "Audio Channel");

    ConvertCommand command;
    command.Program = env.program;
    command.OutputPath = outputPath;
    command.PartPath = partPath.isEmpty() ? outputPath : partPath;
    command.hasVideo = videoCodec.toLower() != QLatin1String("n/a"); // the " -vn " row
    command.ClipStartSeconds = parseTimeText(row.Start).value_or(0);
    const std::optional<qint64> end = parseTimeText(row.End);
    command.SourceSeconds = parseTimeText(row.VideoTime);
    if (end)
        command.ClipSeconds = *end - command.ClipStartSeconds;

    const WatermarkText watermark = WatermarkText::parse(row.Watermark);
    const QString overlay = overlayExpression(watermark.placement);
    const bool useWatermark = !watermark.picturePath.isEmpty() && !overlay.isEmpty();

    CommandPieces pieces;
    QString line = QLatin1Char('"') + env.program + QLatin1Char('"');
    // Never a prompt: FFmpeg would wait for an answer on its stdin forever.
    // A part file is made empty for FFmpeg alone, which then writes over it.
    const bool toPart = !partPath.isEmpty() && partPath != outputPath;
    pieces.text(env.policy == ExistingFilePolicy::Overwrite || toPart ? QStringLiteral(" -y")
                                                                      : QStringLiteral(" -n"));
    pieces.text(QStringLiteral(" -hide_banner"));
    // Seeking on the input is fast and, when transcoding, frame-accurate. A
    // start of 0 is no seek at all: "-ss 0" would drop the sound that some
    // files carry before their first picture.
    if (command.ClipStartSeconds > 0)
        pieces.text(QStringLiteral(" -ss ") + QString::number(command.ClipStartSeconds));
    pieces.text(QStringLiteral(" -i "));
    pieces.path(row.FileName);
    if (useWatermark) {
        pieces.text(QStringLiteral(" -i "));
        pieces.path(watermark.picturePath);
        pieces.text(QStringLiteral(" -filter_complex ") + overlay + QLatin1Char(' '));
    } else {
        pieces.text(QStringLiteral(" "));
    }
    const QString encoder = videoEncoderFor(videoCodec);
    pieces.text(codecPiece(videoCodecTable(), videoCodec));
    // libvpx's default is its slowest, best mode: a quarter of real time at 720p.
    if (encoder == QLatin1String("libvpx"))
        pieces.text(QStringLiteral("-deadline good -cpu-used 4 "));
    pieces.text(kiloPiece(" -ab ", audioBitrate));
    pieces.text(audioCodec == QLatin1String("N/A")
                    ? QStringLiteral(" ")
                    : QStringLiteral(" -ac ") + channels + QLatin1Char(' '));
    pieces.text(valuePiece(" -ar ", sampleRate));
    pieces.text(kiloPiece(" -b:v ", videoBitrate));
    // "Auto" is offered as a frame rate: FFmpeg keeps the source's own rate
    // when -r is left out, and refuses "-r Auto".
    pieces.text(frameRate.trimmed() == QLatin1String("Auto") ? QStringLiteral(" ")
                                                             : valuePiece(" -r ", frameRate));
    // An end the user has not moved is the whole rest of the file: a -t of
    // the rounded length would cut its last fraction of a second.
    if (end && row.End != row.VideoTime)
        pieces.text(QStringLiteral(" -t ") + QString::number(command.ClipSeconds));
    pieces.text(isLeftOut(videoSize) && command.hasVideo ? originalSizePiece(row.Size, encoder)
                                                         : valuePiece(" -s ", videoSize));
    pieces.text(videoCodec == QLatin1String("N/A") || isLeftOut(aspect)
                    ? QStringLiteral(" ")
                    : QStringLiteral(" -aspect ") + aspect + QLatin1Char(' '));
    pieces.text(codecPiece(audioCodecTable(), audioCodec));
    pieces.text(disableAudio == QLatin1String("No") ? QString() : QStringLiteral(" -an "));
    // FFmpeg ignores options that follow the last output file.
    pieces.text(QStringLiteral(" -threads ") + QString::number(qMax(0, env.threads)));
    pieces.text(QStringLiteral(" "));
    pieces.path2(outputPath, command.PartPath);
    pieces.text(QStringLiteral(" -vstats_file "));
    pieces.path(env.statisticsFile);

    command.CommandLine = line + pieces.line();
    command.Arguments = pieces.arguments();
    return command;
}

QString commandWithoutRunDetails(const QString &commandLine)
{
    static const QRegularExpression threads(QStringLiteral(" -threads [0-9]+ "));
    QString text = commandLine;
    const qsizetype statistics = text.lastIndexOf(QLatin1String(" -vstats_file "));
    if (statistics >= 0)
        text.truncate(statistics);
    return text.replace(threads, QStringLiteral(" -threads "));
}

qsizetype outputArgumentIndex(const QStringList &arguments)
{
    const qsizetype statistics = arguments.lastIndexOf(QStringLiteral("-vstats_file"));
    return statistics >= 1 && statistics + 1 < arguments.size() ? statistics - 1 : -1;
}
