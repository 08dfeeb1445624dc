// clipwright-cli's command line: the arguments as bytes (cut at NUL), each
// checked as a file name, then parsed.
#include "FuzzSupport.h"
#include "app/FileName.h"
#include "cli/CliOptions.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList arguments = {QStringLiteral("clipwright-cli")};
    for (const QByteArray &piece : piecesOf(bytesOf(data, size))) {
        QString problem;
        const std::optional<QString> text = fileNameFromBytes(piece, &problem);
        if (!text) {
            if (!problem.startsWith(QLatin1String("The file name is not valid UTF-8: ")))
                __builtin_trap();
            return 0; // refused before the parser sees it
        }
        arguments << *text;
    }
    const CliParseResult parsed = parseCliArguments(arguments);
    (void)escapeField(parsed.error);
    return 0;
}
