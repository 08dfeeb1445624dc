// A recording FFmpeg's -progress output, in reads of any length.
#include "FuzzSupport.h"
#include "capture/CaptureProgress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CaptureProgress progress;
    for (const QByteArray &read : readsOf(bytesOf(data, size)))
        progress.feed(read);
    progress.finish();
    (void)progress.errorTail();
    (void)progress.statistics();
    return 0;
}
