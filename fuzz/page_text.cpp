// A watch page as the online tool cuts it up: the decoder, the marker
// search, the nine facts and the stream map.
#include "FuzzSupport.h"
#include "online/OnlineNames.h"
#include "online/PageText.h"
#include "online/StreamLinks.h"
#include "online/VideoPageInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    const QString page = QString::fromUtf8(bytes);
    (void)URLDecode(page);
    const QList<QByteArray> pieces = piecesOf(bytes);
    if (pieces.size() >= 3)
        (void)TextBetween(QString::fromUtf8(pieces[0]), QString::fromUtf8(pieces[1]),
                          QString::fromUtf8(pieces[2]));
    const VideoPageInfo info = ParsePageInfo(page);
    StreamLinks links;
    GetURLs(page, links);
    (void)info.namedFields();
    // A name made from the page never leaves its folder.
    const QString name = safeFileTitle(info.Title);
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')) ||
        name.startsWith(QLatin1Char('-')) || name.toUtf8().size() > 200)
        __builtin_trap();
    if (isSafeVideoId(info.VideoId) && info.VideoId.contains(QLatin1Char('/')))
        __builtin_trap();
    return 0;
}
