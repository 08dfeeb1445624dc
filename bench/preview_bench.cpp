// Starts the preview of one file ten times through the program's player and
// ten times as a bare MPlayer with the same arguments into the same window,
// and prints the median time from the start to MPlayer's first status line
// for both and their ratio; then lets the program's preview play for a while
// and prints the program's own CPU time as a share of the wall time.
// Needs an X server (bench/preview runs it under xvfb-run).
#include "media/PlayerController.h"
#include "media/PreviewPlayer.h"
#include "process/KeyChannel.h"
#include "settings/ProgramFolders.h"
#include "widgets/PreviewPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int Starts = 10;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs the event loop until `done` says so after one of the sender's
// signals, or 10 s have passed.
template <typename Signal>
bool waitFor(const typename QtPrivate::FunctionPointer<Signal>::Object *sender, Signal signal,
             const std::function<bool()> &done)
{
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    const auto connection = QObject::connect(sender, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    if (!done())
        loop.exec();
    QObject::disconnect(connection);
    return done();
}

void pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: preview_bench FILE\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString mplayer = resolveProgram(QStringLiteral("mplayer"));
    KeyChannel keys;
    PreviewPlayer player(mplayer, keys);
    PlayerController controller(player);
    controller.setFile(file, QStringLiteral("0:00:30"));
    PreviewPanel panel(controller, QStringLiteral("Privew"), QStringLiteral("Text2"),
                       QStringLiteral("Slider1"), Qt::Horizontal);
    panel.resize(900, 260);
    panel.show();
    pause(500);

    std::vector<double> ours, bare;
    for (int i = 0; i < Starts; ++i) {
        bool reported = false;
        const auto noted = QObject::connect(&player, &PreviewPlayer::positionReported,
                                            [&reported] { reported = true; });
        QElapsedTimer clock;
        clock.start();
        controller.Play();
        const bool arrived =
            waitFor(&player, &PreviewPlayer::positionReported, [&] { return reported; });
        QObject::disconnect(noted);
        if (!arrived)
            return std::fprintf(stderr, "no status line from the program's MPlayer\n"), 1;
        ours.push_back(clock.nsecsElapsed() / 1e6);
        controller.Stop();
        pause(300);

        QProcess plain;
        plain.setStandardErrorFile(QProcess::nullDevice());
        clock.restart();
        plain.start(mplayer,
                    PreviewPlayer::arguments(file, std::nullopt, panel.surface()->winId()));
        QByteArray output;
        if (!waitFor(&plain, &QProcess::readyReadStandardOutput, [&] {
                output += plain.readAllStandardOutput();
                return output.contains("\nV:") || output.contains("\rV:") ||
                       output.contains("\nA:") || output.contains("\rA:");
            }))
            return std::fprintf(stderr, "no status line from the bare MPlayer\n"), 1;
        bare.push_back(clock.nsecsElapsed() / 1e6);
        plain.write("q");
        plain.waitForFinished(3000);
        pause(300);
    }
    const double a = median(ours), b = median(bare);
    std::printf("first status line, program: median %.0f ms of %d starts\n", a, Starts);
    std::printf("first status line, bare:    median %.0f ms of %d starts\n", b, Starts);
    std::printf("ratio %.3f (goal <= 1.2)\n", a / b);
    std::printf("ROW\tpreview, Play to first status line (720p)\t%.0f ms\t%.0f ms (bare MPlayer)"
                "\t%.3f\t<= 1.2\t%s\n",
                a, b, a / b, a / b <= 1.2 ? "PASS" : "FAIL");

    controller.Play();
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    pause(10000);
    const double share = (cpuSeconds() - cpu0) / (wall.nsecsElapsed() / 1e9) * 100;
    std::printf("program's own CPU while the preview plays: %.2f %% (goal <= 1 %%)\n", share);
    std::printf("ROW\tprogram's own CPU while the preview plays\t%.2f %%\t-\t-\t<= 1 %%\t%s\n",
                share, share <= 1 ? "PASS" : "FAIL");
    controller.Stop();
    return 0;
}
