// Serves a watch page and a 200 MB stream on loopback, then downloads the
// stream alternately with curl and with `clipwright-cli --fetch` (which also
// looks the page up) into the folder given on the command line, and prints
// the median times and the ratio clipwright / curl.
#include "LoopbackServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 StreamBytes = 200LL << 20;
constexpr int Rounds = 3;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Seconds the program took, or -1 when it failed or wrote the wrong size.
double timeRun(const QString &program, const QStringList &arguments, const QString &output)
{
    QFile::remove(output);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QSignalSpy done(&process, &QProcess::finished);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    // The event loop runs meanwhile: it is what serves the request.
    if (!done.wait(600000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return -1;
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (QFileInfo(output).size() != StreamBytes) {
        std::fprintf(stderr, "%s wrote %lld bytes\n", qPrintable(output), QFileInfo(output).size());
        return -1;
    }
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: download_bench CLIPWRIGHT-CLI FOLDER\n");
        return 2;
    }
    const QString cli = QString::fromLocal8Bit(argv[1]);
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (curl.isEmpty()) {
        std::fprintf(stderr, "curl is not installed (apt-get install curl)\n");
        return 2;
    }

    LoopbackServer server;
    QByteArray stream(StreamBytes, '\0');
    for (qint64 i = 0; i < StreamBytes; ++i)
        stream[i] = char(i * 131 % 251);
    server.serve(QStringLiteral("/video"), stream);
    const QString map =
        QStringLiteral("22|") + server.url(QStringLiteral("/video")) + QStringLiteral(",5|x");
    server.serve(QStringLiteral("/watch"), "<script>'VIDEO_TITLE': 'bench',\n\"fmt_url_map\": \"" +
                                               QUrl::toPercentEncoding(map) + "\",</script>");

    std::vector<double> curlTimes, cliTimes;
    for (int round = 0; round < Rounds; ++round) {
        const QString curlOutput = folder.filePath(QStringLiteral("curl.mp4"));
        curlTimes.push_back(
            timeRun(curl,
                    {QStringLiteral("-s"), QStringLiteral("-f"), QStringLiteral("-o"), curlOutput,
                     server.url(QStringLiteral("/video"))},
                    curlOutput));
        cliTimes.push_back(timeRun(cli,
                                   {QStringLiteral("--fetch"), server.url(QStringLiteral("/watch")),
                                    QStringLiteral("--format"), QStringLiteral("22"),
                                    QStringLiteral("--output-folder"), folder.path()},
                                   folder.filePath(QStringLiteral("bench.mp4"))));
        if (curlTimes.back() < 0 || cliTimes.back() < 0)
            return 1;
    }
    const double curlSeconds = median(curlTimes);
    const double cliSeconds = median(cliTimes);
    std::printf("200 MB from loopback, median of %d runs\n", Rounds);
    std::printf("curl:                    %.3f s\n", curlSeconds);
    std::printf("clipwright-cli --fetch:  %.3f s (page lookup included)\n", cliSeconds);
    std::printf("ratio clipwright / curl: %.2f (goal: at most 1.20)\n", cliSeconds / curlSeconds);
    std::printf("ROW\t200 MB download from loopback\t%.3f s\t%.3f s (curl)\t%.2f\t<= 1.2\t%s\n",
                cliSeconds, curlSeconds, cliSeconds / curlSeconds,
                cliSeconds / curlSeconds <= 1.2 ? "PASS" : "FAIL");
    return 0;
}
