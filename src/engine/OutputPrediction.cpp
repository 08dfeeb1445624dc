#include "engine/OutputPrediction.h"

#include "engine/FfmpegOutput.h"
#include "engine/ProgressMonitor.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Below this share of the asked bitrate in its sample, an encoder is taken
// to need less than it was given. x264 starts a talking head at about 0.7
// of its rate; a still picture stays near 0.4.
constexpr double ReachedShare = 0.6;
// Parts whose pictures take more than this many times the bytes of others:
// an encoder that averages its rate over the file may spend what the quiet
// parts left on the busy ones.
constexpr double UnevenParts = 2;
constexpr int Parts = 3;

QString lastCapture(const QRegularExpression &pattern, const QString &text, int group = 1)
{
    QString last;
    QRegularExpressionMatchIterator it = pattern.globalMatch(text);
    while (it.hasNext())
        last = it.next().captured(group);
    return last;
}

} // namespace

void readProgress(const QByteArray &chunk, double wallSeconds, QVector<ProgressPoint> &points)
{
    static const QRegularExpression pictures(QStringLiteral(R"(frame=\s*(\d+))"));
    for (const QByteArray &line : chunk.split('\r')) {
        const std::optional<double> seconds = line.contains("size=") ? reportedTime(line) : std::nullopt;
        if (seconds)
            points.append({wallSeconds,
                           pictures.match(QString::fromLatin1(line)).captured(1).toInt(), *seconds});
    }
}

bool readSampleOutput(const QByteArray &output, const QVector<ProgressPoint> &points,
                      SampleFigures &figures)
{
    const std::optional<WrittenStreams> streams = writtenStreams(output);
    if (!streams)
        return false;
    // FFmpeg's kB are 1024 bytes.
    figures.videoBytes = streams->videoKb * 1024;
    figures.audioBytes = streams->audioKb * 1024;
    const QString text = QString::fromLatin1(output);
    figures.seconds = reportedTime(output).value_or(0);
    static const QRegularExpression bench(
        QStringLiteral(R"(bench: utime=([0-9.]+)s stime=([0-9.]+)s)"));
    figures.cpuSeconds =
        lastCapture(bench, text).toDouble() + lastCapture(bench, text, 2).toDouble();
    static const QRegularExpression speed(QStringLiteral(R"(speed=\s*([0-9.]+)x)"));
    figures.ffmpegSpeed = lastCapture(speed, text).toDouble();

    // The pace after the first third: the first second of an encoder is slow
    // (its threads and look-ahead fill), and a conversion is mostly the rest.
    // The last line comes once the file is closed, which a conversion does
    // once. Pictures count the picture's progress; the time runs ahead with
    // the sound.
    figures.steadySpeed = 0;
    const QVector<ProgressPoint> running = points.mid(0, points.size() - 1);
    if (running.size() < 2)
        return true;
    const bool byPictures = running.last().pictures > 0;
    const auto progress = [byPictures](const ProgressPoint &p) {
        return byPictures ? double(p.pictures) : p.seconds;
    };
    const double end = progress(running.last());
    const auto settled = std::find_if(running.cbegin(), running.cend(), [&](const ProgressPoint &p) {
        return progress(p) >= end / 3;
    });
    const double wall = running.last().wallSeconds - settled->wallSeconds;
    const double done = byPictures ? points.last().pictures : points.last().seconds;
    if (wall >= 0.2 && done > 0)
        figures.steadySpeed = (end - progress(*settled)) / done * figures.seconds / wall;
    return true;
}

void readSampleStatistics(const QByteArray &statistics, SampleFigures &figures)
{
    static const QRegularExpression line(QStringLiteral(R"(f_size=\s*(\d+).*type=\s*(\w))"));
    QVector<qint64> sizes;
    figures.keyframes = 0;
    figures.keyframeBytes = 0;
    QRegularExpressionMatchIterator it = line.globalMatch(QString::fromLatin1(statistics));
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        sizes << m.captured(1).toLongLong();
        if (m.captured(2) == QLatin1String("I")) {
            ++figures.keyframes;
            figures.keyframeBytes += sizes.last();
        }
    }
    figures.pictures = int(sizes.size());
    figures.partVideoBytes.fill(0, sizes.isEmpty() ? 0 : Parts);
    for (qsizetype i = 0; i < sizes.size(); ++i)
        figures.partVideoBytes[i * Parts / sizes.size()] += sizes[i];
}

std::optional<RowPrediction> predictRow(const SampleFigures &s, double clipSeconds,
                                        double videoBitsPerSecond, double audioBitsPerSecond,
                                        double keyframeDistance)
{
    if (!(s.seconds > 0) || !(clipSeconds > 0))
        return std::nullopt;
    RowPrediction p;
    p.clipSeconds = clipSeconds;
    p.sampleSeconds = s.seconds;
    p.cpuSeconds = s.cpuSeconds * std::max(1.0, clipSeconds / s.seconds);
    p.audioRate = s.audioBytes / s.seconds;
    p.overheadRate = std::max<qint64>(0, s.fileBytes - s.videoBytes - s.audioBytes) / s.seconds;
    if (s.seconds >= clipSeconds - 0.5) {
        p.bytes = p.lowBytes = p.highBytes = s.fileBytes;
        p.seconds = s.wallSeconds;
        return p;
    }
    if (audioBitsPerSecond > 0 && p.audioRate >= ReachedShare * audioBitsPerSecond / 8)
        p.audioRate = audioBitsPerSecond / 8;
    double video = s.videoBytes / s.seconds;
    if (keyframeDistance > 0 && s.keyframes > 0 && s.pictures > 0) {
        const double pictureRate = s.pictures / s.seconds;
        const double keyframes =
            std::max(1.0, std::ceil(clipSeconds * pictureRate / keyframeDistance));
        const double keyRate = s.keyframeBytes / double(s.keyframes) * keyframes / clipSeconds;
        video = (s.videoBytes - s.keyframeBytes) / s.seconds +
                std::min(keyRate, s.keyframeBytes / s.seconds);
    }
    QVector<double> shares;
    for (const qint64 part : s.partVideoBytes)
        shares << (s.videoBytes > 0 ? Parts * double(part) / s.videoBytes : 1.0);
    if (shares.isEmpty())
        shares << 1.0;
    const auto [fewest, most] = std::minmax_element(shares.cbegin(), shares.cend());
    // One part that takes the rate is enough: what the quiet parts leave, a
    // busy one gets.
    const double asked = videoBitsPerSecond / 8;
    const bool reached = asked > 0 && s.videoBytes / s.seconds * *most >= ReachedShare * asked;
    const double beside = p.audioRate + p.overheadRate;
    const auto bytes = [&](double pictureBytes) {
        return qint64(std::llround((pictureBytes + beside) * clipSeconds));
    };
    if (reached) {
        p.bytes = p.lowBytes = p.highBytes = bytes(asked);
        if (*most > UnevenParts * *fewest)
            p.highBytes = bytes(asked * *most);
    } else {
        double sum = 0;
        p.lowBytes = std::numeric_limits<qint64>::max();
        for (const double share : std::as_const(shares)) {
            sum += bytes(video * share);
            p.lowBytes = std::min(p.lowBytes, bytes(video * share));
            p.highBytes = std::max(p.highBytes, bytes(video * share));
        }
        p.bytes = std::llround(sum / shares.size());
    }
    // The sample is how a conversion begins; the rest goes at its pace.
    // Without enough progress lines (a fast encode), FFmpeg's own speed,
    // which leaves out the program's start.
    const double speed = s.steadySpeed > 0   ? s.steadySpeed
                         : s.ffmpegSpeed > 0 ? s.ffmpegSpeed
                                             : s.seconds / s.wallSeconds;
    p.seconds = s.wallSeconds + (clipSeconds - s.seconds) / speed;
    return p;
}

double batchSeconds(const QVector<RowTime> &rows, int laneCount, int cores)
{
    std::vector<double> lanes(std::max(1, laneCount), 0.0);
    double cpu = 0;
    for (const RowTime &row : rows) {
        *std::min_element(lanes.begin(), lanes.end()) += row.seconds;
        cpu += row.cpuSeconds;
    }
    return std::max(*std::max_element(lanes.begin(), lanes.end()), cpu / std::max(1, cores));
}

double bytesBesidePictures(const QVector<RowPrediction> &rows)
{
    return std::accumulate(rows.cbegin(), rows.cend(), 0.0, [](double sum, const RowPrediction &r) {
        return sum + (r.audioRate + r.overheadRate) * r.clipSeconds;
    });
}

std::optional<double> fittingVideoBitrate(const QVector<RowPrediction> &rows, qint64 targetBytes)
{
    double seconds = 0;
    for (const RowPrediction &row : rows)
        seconds += row.clipSeconds;
    const double forPictures = 0.98 * targetBytes - bytesBesidePictures(rows);
    if (rows.isEmpty() || !(seconds > 0) || forPictures <= 0)
        return std::nullopt;
    return 8 * forPictures / seconds;
}

QString sizeText(qint64 bytes)
{
    const auto scaled = [](double value, const char *unit) {
        return (value < 10 ? QString::number(value, 'f', 1) : QString::number(std::llround(value))) +
               QLatin1Char(' ') + QLatin1String(unit);
    };
    if (bytes < 1000 * 1000)
        return QString::number(std::max<qint64>(1, std::llround(bytes / 1000.0))) +
               QStringLiteral(" kB");
    if (bytes < qint64(1000) * 1000 * 1000)
        return scaled(bytes / 1e6, "MB");
    return scaled(bytes / 1e9, "GB");
}

QString durationText(double seconds)
{
    const qint64 s = std::max<qint64>(1, std::llround(seconds));
    if (s < 60)
        return QStringLiteral("%1 s").arg(s);
    if (s < 3600)
        return s % 60 ? QStringLiteral("%1 min %2 s").arg(s / 60).arg(s % 60)
                      : QStringLiteral("%1 min").arg(s / 60);
    const qint64 minutes = (s % 3600 + 30) / 60;
    return minutes ? QStringLiteral("%1 h %2 min").arg(s / 3600).arg(minutes)
                   : QStringLiteral("%1 h").arg(s / 3600);
}

QString predictionText(const RowPrediction &p)
{
    QString size = sizeText(p.bytes);
    if (p.highBytes - p.lowBytes > p.bytes / 10) {
        const QString high = sizeText(p.highBytes);
        const QString unit = high.section(QLatin1Char(' '), 1);
        QString low = sizeText(p.lowBytes);
        if (low.section(QLatin1Char(' '), 1) == unit)
            low = low.section(QLatin1Char(' '), 0, 0);
        size = low + QStringLiteral("\u2013") + high;
    }
    return QStringLiteral("About %1, %2").arg(size, durationText(p.seconds));
}

std::optional<qint64> parseSizeText(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*([0-9]+(?:\.[0-9]+)?)\s*(([kKmMgGtT])(i?)[bB]?|[bB])?\s*$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const double base = m.captured(4).isEmpty() ? 1000 : 1024;
    const QString unit = m.captured(3).toLower();
    const int power = unit.isEmpty() ? 0 : int(QStringLiteral("kmgt").indexOf(unit)) + 1;
    const double bytes = m.captured(1).toDouble() * std::pow(base, power);
    if (!(bytes >= 1) || bytes > 1e15)
        return std::nullopt;
    return std::llround(bytes);
}
