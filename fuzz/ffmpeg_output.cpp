// FFmpeg's output as the engine reads it: statistics lines, the time= of its
// reports, its coloured error lines and its closing summary; and ffprobe's
// count of what a finished file holds.
#include "FuzzSupport.h"
#include "engine/FfmpegOutput.h"
#include "engine/ProgressMonitor.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    if (const std::optional<double> time = statisticsTime(QString::fromUtf8(bytes)))
        if (!std::isfinite(*time))
            __builtin_trap();
    if (const std::optional<double> time = reportedTime(bytes))
        if (!std::isfinite(*time) || *time < 0)
            __builtin_trap();
    (void)ffmpegErrorLines(bytes);
    (void)writtenStreams(bytes);
    if (const std::optional<double> length = countedOutput(bytes).durationSeconds)
        if (!std::isfinite(*length) || *length < 0)
            __builtin_trap();
    ProgressMonitor monitor(QStringLiteral("/nonexistent/curconvert.log"));
    monitor.start(90, true);
    for (const QByteArray &read : readsOf(bytes))
        monitor.converterOutput(read);
    monitor.tick();
    monitor.stop();
    return 0;
}
