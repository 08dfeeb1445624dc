// Builds watch pages whose description is 1 MB and 2 MB of one character
// ("&", "<" or a double quote), times the page parser (the nine facts and
// the stream map) on each and prints the medians and the ratio large / small.
// A parser that reads its text once stays near 2.
#include "WatchPage.h"
#include "online/StreamLinks.h"
#include "online/VideoPageInfo.h"

#include <QElapsedTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 7;
constexpr qsizetype Small = 1 << 20;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds the parser takes on `page`.
double parseTime(const QString &page)
{
    QElapsedTimer clock;
    clock.start();
    const VideoPageInfo info = ParsePageInfo(page);
    StreamLinks links;
    GetURLs(page, links);
    const double ms = clock.nsecsElapsed() / 1e6;
    if (info.Rating != QLatin1String("4.5"))
        std::fprintf(stderr, "the page was not read to its end\n");
    return ms;
}

} // namespace

int main()
{
    bool ok = true;
    for (const char character : {'&', '<', '"'}) {
        const QString pages[2] = {
            QString::fromUtf8(watchPage("t", "id", "", "", QString(Small, QChar(character)))),
            QString::fromUtf8(watchPage("t", "id", "", "", QString(2 * Small, QChar(character))))};
        // Rounds alternate between the sizes, so that other load on the
        // machine falls on both alike.
        std::vector<double> times[2];
        for (int round = 0; round < Rounds; ++round)
            for (int i = 0; i < 2; ++i)
                times[i].push_back(parseTime(pages[i]));
        const double s = median(times[0]), l = median(times[1]);
        const bool met = l / s <= 2.5;
        ok = ok && met;
        std::printf("%c: 1 MB %.2f ms, 2 MB %.2f ms, ratio %.2f\n", character, s, l, l / s);
        std::printf("ROW\tpage parser, 2 MB of '%c' against 1 MB\t%.2f ms\t%.2f ms\t%.2f"
                    "\tlinear (<= 2.5)\t%s\n",
                    character, l, s, l / s, met ? "PASS" : "FAIL");
    }
    return ok ? 0 : 1;
}
