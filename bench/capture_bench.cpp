// Records SECONDS of a 640x480, 25 fps test picture twice: first with FFmpeg
// alone (its preview frames read and dropped), then through the capture
// window with the preview painted. FFmpeg stops after SECONDS of recording
// by itself, so the frame count shows frames lost, and the wall time shows
// whether the recording kept up with the picture (a preview that is not read
// fast enough holds FFmpeg up). Prints frames, dropped frames, FFmpeg's and
// the window's CPU time as a share of one core, and the ratios.
//   capture_bench FOLDER [SECONDS]

#include "capture/CaptureArguments.h"
#include "capture/CaptureProgress.h"
#include "capture/FfmpegCaptureBackend.h"
#include "process/KeyChannel.h"
#include "settings/ProgramFolders.h"
#include "widgets/CapturePreview.h"
#include "widgets/CaptureWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <cstdio>
#include <sys/resource.h>

namespace {

struct Figures
{
    CaptureStatistics statistics;
    double wallSeconds = 0;
    double ffmpegCpu = 0; // seconds
    double ownCpu = 0;
    int painted = 0;
};

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// FFmpeg ends before RUSAGE_CHILDREN counts it, so each run measures from
// before its start to after its end.
struct CpuClock
{
    double self = cpuSeconds(RUSAGE_SELF);
    double children = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer wall;
    CpuClock() { wall.start(); }
    void stop(Figures &f) const
    {
        f.wallSeconds = double(wall.elapsed()) / 1000.0;
        f.ownCpu = cpuSeconds(RUSAGE_SELF) - self;
        f.ffmpegCpu = cpuSeconds(RUSAGE_CHILDREN) - children;
    }
};

Figures runBare(const QString &ffmpeg, const CaptureDevice &device, const QString &file,
                int seconds)
{
    Figures figures;
    CaptureProgress progress;
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [&] { process.readAll(); });
    QObject::connect(&process, &QProcess::readyReadStandardError,
                     [&] { progress.feed(process.readAllStandardError()); });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    const CpuClock clock;
    process.start(ffmpeg, captureArguments(device, file, true, seconds));
    loop.exec();
    progress.feed(process.readAllStandardError());
    progress.finish();
    clock.stop(figures);
    figures.statistics = progress.statistics();
    return figures;
}

Figures runWindow(const QString &ffmpeg, const CaptureDevice &device, const QString &file,
                  int seconds)
{
    Figures figures;
    KeyChannel keys;
    FfmpegCaptureBackend backend(keys, ffmpeg, {device});
    CaptureWindow window(backend, file);
    window.show();
    QEventLoop loop;
    QObject::connect(&backend, &CaptureBackend::capturingChanged, [&](bool on) {
        if (!on)
            loop.quit();
    });
    const CpuClock clock;
    // As the window's Start does, with the seconds it has no box for.
    backend.setPreview(true);
    backend.startCapture({file, false, double(seconds)});
    loop.exec();
    clock.stop(figures);
    figures.statistics = backend.statistics();
    figures.painted = window.picture()->paintedFrames();
    return figures;
}

void print(const char *name, const Figures &f)
{
    std::printf("%-40s %4lld frames, %lld dropped, %.1f s wall; FFmpeg CPU %.1f %%, this "
                "process %.2f %% of one core",
                name, f.statistics.framesCaptured, f.statistics.framesDropped, f.wallSeconds,
                100 * f.ffmpegCpu / f.wallSeconds, 100 * f.ownCpu / f.wallSeconds);
    if (f.painted > 0)
        std::printf(", %d preview frames painted (%.1f per second)", f.painted,
                    f.painted / f.wallSeconds);
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return std::fprintf(stderr, "usage: capture_bench FOLDER [SECONDS]\n"), 2;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    const QString ffmpeg = resolveProgram(QStringLiteral("ffmpeg"));
    const CaptureDevice device{CaptureDevice::Kind::TestGraph,
                               QStringLiteral("lavfi:testsrc=size=640x480:rate=25"),
                               QStringLiteral("Test picture")};
    const int expected = 25 * seconds;

    const Figures bare = runBare(ffmpeg, device, folder.filePath("bare.avi"), seconds);
    print("baseline: FFmpeg alone, preview dropped", bare);
    const Figures window = runWindow(ffmpeg, device, folder.filePath("window.avi"), seconds);
    print("capture window, preview painted", window);

    const double ownShare = 100 * window.ownCpu / window.wallSeconds;
    const double frameRatio = double(window.statistics.framesCaptured) / expected;
    std::printf("frames / %d: %.4f (goal within 1 %%); against the baseline: %.4f; wall time "
                "/ %d s: %.3f, baseline %.3f\n",
                expected, frameRatio,
                double(window.statistics.framesCaptured) /
                    double(qMax<qint64>(1, bare.statistics.framesCaptured)),
                seconds, window.wallSeconds / seconds, bare.wallSeconds / seconds);
    std::printf("dropped: %lld (goal 0); window CPU %.2f %% of one core (goal <= 5 %%); FFmpeg "
                "CPU against the baseline: %.2f\n",
                window.statistics.framesDropped, ownShare,
                (window.ffmpegCpu / window.wallSeconds) / (bare.ffmpegCpu / bare.wallSeconds));
    const bool met =
        window.statistics.framesDropped == 0 && ownShare <= 5 && qAbs(frameRatio - 1) <= 0.01;
    std::printf("%s\n", met ? "all goals met" : "GOAL MISSED");
    const auto pass = [](bool ok) { return ok ? "PASS" : "FAIL"; };
    std::printf("ROW\tcapture 30 s, frames recorded\t%lld\t%d\t%.4f\twithin 1 %%\t%s\n",
                window.statistics.framesCaptured, expected, frameRatio,
                pass(qAbs(frameRatio - 1) <= 0.01));
    std::printf("ROW\tcapture 30 s, frames dropped\t%lld\t-\t-\t0\t%s\n",
                window.statistics.framesDropped, pass(window.statistics.framesDropped == 0));
    std::printf("ROW\tcapture window's own CPU\t%.2f %%\t-\t-\t<= 5 %%\t%s\n", ownShare,
                pass(ownShare <= 5));
    return met ? 0 : 1;
}
