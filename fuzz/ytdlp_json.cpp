// yt-dlp's JSON, as the online tool maps it onto the facts and the slots.
#include "FuzzSupport.h"
#include "online/OnlineNames.h"
#include "online/YtDlpJson.h"

#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString problem;
    const std::optional<ResolvedVideo> video = ParseYtDlpJson(bytesOf(data, size), &problem);
    if (!video) {
        if (problem.isEmpty())
            __builtin_trap(); // a refusal always says why
        return 0;
    }
    for (const ResolvedStream &stream : video->streams) {
        const QString scheme = QUrl(stream.url).scheme();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
            __builtin_trap(); // only plain GETs are ever kept
    }
    (void)safeFileTitle(video->info.Title);
    return 0;
}
