// Time texts (H:MM:SS) as rows, the editor and the command line carry them.
#include "FuzzSupport.h"
#include "process/TimeText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(bytesOf(data, size));
    if (const std::optional<qint64> seconds = parseTimeText(text)) {
        if (*seconds < 0)
            __builtin_trap();
        // What is written reads back the same.
        if (parseTimeText(formatTimeText(*seconds)) != seconds)
            __builtin_trap();
    }
    return 0;
}
