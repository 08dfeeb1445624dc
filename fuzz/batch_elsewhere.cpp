// What a batch run on other computers reads back: a line of GNU Parallel's
// job log, a hosts file, and a row of a job array's jobs.tsv (a file any
// user of the cluster may have edited). Three texts cut at NUL.
#include "FuzzSupport.h"
#include "cli/JobArray.h"
#include "engine/RemoteHosts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> pieces = piecesOf(bytesOf(data, size));
    if (const std::optional<JobLogEntry> entry =
            parseJobLogLine(QString::fromUtf8(pieces.value(0)));
        entry && entry->seq < 1)
        __builtin_trap();

    // One login a line in, one a line out.
    const SharedHosts hosts = shareConnections(QString::fromUtf8(pieces.value(1)), "/run/c");
    if (hosts.text.count(QLatin1Char('\n')) != hosts.hosts.size() ||
        hosts.error.isEmpty() == hosts.hosts.isEmpty())
        __builtin_trap();

    // A row that reads is written back as the same row.
    if (const std::optional<ArrayRow> row = parseArrayRow(QString::fromUtf8(pieces.value(2)))) {
        const std::optional<ArrayRow> again = parseArrayRow(arrayRowLine(*row));
        if (!again || again->index != row->index || again->source != row->source ||
            again->command.OutputPath != row->command.OutputPath ||
            again->command.Arguments != row->command.Arguments ||
            again->command.ClipSeconds != row->command.ClipSeconds || again->replace != row->replace)
            __builtin_trap();
    }
    return 0;
}
