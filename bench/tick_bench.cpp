// Writes a 30 MB and a 1 KB statistics file into the folder given on the
// command line, both ending in the middle of a line as FFmpeg leaves them,
// then times batches of ReadLastLineOfFile calls and of progress ticks on each
// and prints the medians and the ratio large / small.
#include "engine/ProgressMonitor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Calls = 1000;
constexpr int Rounds = 15;

// Version-2 lines as FFmpeg 5.1 writes them at 25 frames per second.
bool writeStatistics(const QString &path, qint64 bytes)
{
    QByteArray data;
    data.reserve(bytes + 256);
    for (int frame = 1; data.size() < bytes; ++frame) {
        char line[256];
        std::snprintf(line, sizeof line,
                      "out=  0 st=  0 frame=%6d q= %4.1f f_size=%7d s_size=%8dkB time=%7.3f "
                      "br=%8.1fkbits/s avg_br=%8.1fkbits/s type= %c\n",
                      frame, 2.0 + frame % 29 / 10.0, 400 + frame * 37 % 9000, frame * 3,
                      frame / 25.0, 100.0 + frame % 700, 240.0 + frame % 13,
                      frame % 12 == 1 ? 'I' : 'P');
        data += line;
    }
    data.truncate(bytes); // ends mid-line, as a 4 KiB write leaves it
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Microseconds per call of one batch of Calls.
double batch(const std::function<void()> &call)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Calls; ++i)
        call();
    return clock.nsecsElapsed() / 1e3 / Calls;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: tick_bench FOLDER\n");
        return 2;
    }
    const QDir folder(app.arguments().at(1));
    const QString files[2] = {folder.filePath("large.log"), folder.filePath("small.log")};
    if (!writeStatistics(files[0], 30 * 1000 * 1000) || !writeStatistics(files[1], 1000)) {
        std::fprintf(stderr, "cannot write the statistics files in %s\n",
                     qPrintable(folder.path()));
        return 1;
    }

    bool ok = true;
    for (int i = 0; i < 2; ++i) {
        const double time = statisticsTime(ReadLastLineOfFile(files[i])).value_or(-1);
        std::printf("%s: %lld bytes, last line time %.3f\n", i ? "small" : "large",
                    static_cast<long long>(QFile(files[i]).size()), time);
        ok = ok && time > 0;
    }
    ProgressMonitor large(files[0]), small(files[1]);
    ProgressMonitor *monitors[2] = {&large, &small};
    for (ProgressMonitor *monitor : monitors) {
        monitor->start(100000, false); // a clip length, so that ticks set the bar
        monitor->stop();               // ticks are driven here, not by the timer
    }
    // Rounds alternate between the files, so that other load on the machine
    // falls on both alike.
    std::vector<double> read[2], tick[2];
    for (int round = 0; round < Rounds; ++round) {
        for (int i = 0; i < 2; ++i) {
            QString sink;
            read[i].push_back(batch([&] { sink = ReadLastLineOfFile(files[i]); }));
            tick[i].push_back(batch([&] { monitors[i]->tick(); }));
        }
    }
    std::printf("median of %d rounds of %d calls, microseconds per call\n", Rounds, Calls);
    const auto report = [](const char *what, const std::vector<double>(&times)[2]) {
        const double l = median(times[0]), s = median(times[1]);
        std::printf("%-19s 30 MB %.2f, 1 KB %.2f, ratio %.2f\n", what, l, s, l / s);
    };
    report("ReadLastLineOfFile:", read);
    report("tick:", tick);
    const double l = median(tick[0]), s = median(tick[1]);
    std::printf("ROW\tprogress tick, 30 MB statistics file against 1 KB\t%.2f us\t%.2f us\t%.2f"
                "\tnear 1 (<= 2)\t%s\n",
                l, s, l / s, l / s <= 2 ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
