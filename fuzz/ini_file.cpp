// settings.dat as the settings store reads and rewrites it.
#include "FuzzSupport.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("settings.dat"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(bytesOf(data, size));
    file.close();
    const Settings settings(path, QStringLiteral("/default"));
    (void)settings.outputFolder();
    (void)settings.existedFile();
    (void)settings.autoShut();
    const int threads = settings.thread();
    if (threads < 0 || threads > 1024)
        __builtin_trap();
    (void)settings.profile();
    // A write keeps what it does not change readable.
    const QString before = ReadIniValue(path, QStringLiteral("other"), QStringLiteral("key"));
    if (WriteIniValue(path, QStringLiteral("set"), QStringLiteral("thread"), QStringLiteral("2"))) {
        if (ReadIniValue(path, QStringLiteral("set"), QStringLiteral("thread")) !=
            QLatin1String("2"))
            __builtin_trap();
        if (ReadIniValue(path, QStringLiteral("other"), QStringLiteral("key")) != before)
            __builtin_trap();
    }
    return 0;
}
