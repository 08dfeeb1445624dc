// MPlayer's identify output, as the media probe reads it.
#include "FuzzSupport.h"
#include "media/MediaProbe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    const MediaFacts facts = parseProbeOutput(bytes);
    if (facts.LengthSeconds && !(*facts.LengthSeconds > 0))
        __builtin_trap(); // a length is never 0 or less
    (void)parseDuration(bytes);
    return 0;
}
