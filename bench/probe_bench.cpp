// Probes the files given on the command line one at a time with ProbeMedia and
// then all together through MediaProbeQueue, a few rounds each, and prints the
// median times and their ratio. Every probe must find a picture size.
#include "media/MediaProbe.h"
#include "media/MediaProbeQueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 3;

bool found(const MediaFacts &facts, const QString &path)
{
    if (facts.ok() && facts.Width > 0 && facts.Height > 0)
        return true;
    std::fprintf(stderr, "no picture size for %s: %s\n", qPrintable(path), qPrintable(facts.Error));
    return false;
}

double oneAtATime(const QStringList &files, bool &ok)
{
    QElapsedTimer clock;
    clock.start();
    for (const QString &file : files)
        ok = found(ProbeMedia(file), file) && ok;
    return clock.nsecsElapsed() / 1e9;
}

double queued(const QStringList &files, int &atOnce, bool &ok)
{
    QElapsedTimer clock;
    clock.start();
    MediaProbeQueue queue;
    atOnce = queue.maxRunning();
    QEventLoop loop;
    QObject::connect(&queue, &MediaProbeQueue::probed, &queue,
                     [&ok](int, const QString &path, const MediaFacts &facts) {
                         ok = found(facts, path) && ok;
                     });
    QObject::connect(&queue, &MediaProbeQueue::idle, &loop, &QEventLoop::quit);
    for (const QString &file : files)
        queue.add(file);
    loop.exec();
    return clock.nsecsElapsed() / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: probe_bench FILE...\n");
        return 2;
    }
    bool ok = found(ProbeMedia(files.first()), files.first()); // warms the caches
    std::vector<double> serial, parallel;
    int atOnce = 0;
    for (int round = 0; round < Rounds; ++round) {
        serial.push_back(oneAtATime(files, ok));
        parallel.push_back(queued(files, atOnce, ok));
        std::printf("round %d: one at a time %.2f s, queue %.2f s\n", round + 1, serial.back(),
                    parallel.back());
    }
    const double s = median(serial), p = median(parallel);
    std::printf("%lld files, median of %d rounds\n", static_cast<long long>(files.size()), Rounds);
    std::printf("one at a time:        %.2f s\n", s);
    std::printf("queue (%d at once):    %.2f s\n", atOnce, p);
    std::printf("ratio:                %.2fx\n", s / p);
    std::printf("ROW\tprobe queue against one probe at a time\t%.2f s\t%.2f s\t%.2f\t"
                "as many as free cores (>= 1.5)\t%s\n",
                p, s, s / p, s / p >= 1.5 ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
