#include "engine/JobCount.h"

#include <QSet>
#include <algorithm>

namespace {

// A file this long or longer, at 1080p, keeps a multi-threaded encoder busy
// on every core for most of its run, and a second FFmpeg beside it would only
// delay the first file's result. Below it, FFmpeg's start-up, the demuxer,
// the audio encoder and the muxer (each on one core) take a large share, and
// a second FFmpeg fills the cores the first leaves idle: on 2 cores, three
// 10-s 720p clips through x264 take 0.90 of the time two at a time.
constexpr double BusyPixelSeconds = 30.0 * 1920 * 1080;
// A picture size to assume while a row is not probed yet.
constexpr qint64 AssumedPixels = 640 * 360;

} // namespace

bool encoderUsesEveryCore(const QString &encoder)
{
    // Frame or slice threading that scales with the cores. Xvid, the
    // MPEG-1/2 family, the Windows Media and Flash encoders, H.263, Theora and
    // every audio encoder use one core in FFmpeg 5.1.
    static const QSet<QString> threaded = {
        QStringLiteral("libx264"),    QStringLiteral("libx264rgb"), QStringLiteral("libx265"),
        QStringLiteral("libvpx-vp9"), QStringLiteral("libaom-av1"), QStringLiteral("libsvtav1"),
        QStringLiteral("mpeg4"),      QStringLiteral("prores_ks"),  QStringLiteral("ffv1"),
        QStringLiteral("dnxhd"),      QStringLiteral("mjpeg")};
    return threaded.contains(encoder);
}

int automaticJobs(const JobLoad &load)
{
    // A playing preview decodes and draws on one core of its own.
    const int cores = std::max(1, load.cores - (load.previewPlaying ? 1 : 0));
    const bool threaded = load.hasVideo && encoderUsesEveryCore(load.videoEncoder);
    if (!threaded)
        return std::clamp(cores, 1, 8); // one core per FFmpeg: one FFmpeg per core

    // A threaded encoder on a long, large file wants every core; on a short
    // or small one it uses about one. The count is the cores divided by what
    // the next rows want on average; rows of unknown length are not counted.
    const double pixels = double(load.pixelsPerFrame > 0 ? load.pixelsPerFrame : AssumedPixels);
    double wanted = 0;
    for (const qint64 seconds : load.seconds)
        wanted += double(seconds) * pixels >= BusyPixelSeconds ? cores : 1;
    const double average = load.seconds.isEmpty() ? 1.0 : wanted / double(load.seconds.size());
    return std::clamp(int(double(cores) / average), 1, 8);
}
