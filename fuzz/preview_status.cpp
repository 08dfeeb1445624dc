// MPlayer's status lines while the preview plays, in reads of any length.
#include "FuzzSupport.h"
#include "media/PreviewPlayer.h"
#include "process/KeyChannel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    KeyChannel keys;
    PreviewPlayer player(QString(), keys);
    player.setStarter([](const QStringList &) { return qint64(1); });
    player.StartPlayer(QStringLiteral("/v.avi"), std::nullopt, 1);
    for (const QByteArray &read : readsOf(bytes))
        player.playerOutput(read);
    if (player.PositionSeconds() < 0)
        __builtin_trap();
    for (const QByteArray &line : bytes.split('\r'))
        (void)statusPosition(line);
    return 0;
}
