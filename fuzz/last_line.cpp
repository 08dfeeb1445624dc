// The statistics file, read from its end for its last complete line.
#include "FuzzSupport.h"
#include "engine/ProgressMonitor.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("curconvert.log"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(bytesOf(data, size));
    file.close();
    const QString line = ReadLastLineOfFile(path);
    if (line.contains(QLatin1Char('\n')))
        __builtin_trap(); // one line, never more
    return 0;
}
