#include "process/ResultFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An AddNew placement gives up after this many names taken one after another.
constexpr int MaxPlacementTries = 100;

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Renames without ever replacing: renameat2 where the file system offers it,
// otherwise a hard link and the removal of the old name.
bool renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}

} // namespace

bool isPathTaken(const QString &path)
{
    struct stat info;
    if (::lstat(nativePath(path).constData(), &info) == 0)
        return true;
    // A name that cannot be looked at is not known to be free.
    return errno != ENOENT && errno != ENOTDIR;
}

QString nextFreeOutputPath(const QString &candidate)
{
    QString path = candidate;
    while (isPathTaken(path)) {
        path = newNameFor(path);
        if (!fitsFileName(path))
            break; // the caller reports the name as too long
    }
    return path;
}

QString newNameFor(const QString &path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    const int dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    return info.dir().filePath(base + QStringLiteral("_New") + extension);
}

bool fitsFileName(const QString &path)
{
    return nativePath(QFileInfo(path).fileName()).size() <= NAME_MAX;
}

QString partPathFor(const QString &output, const QString &partExtension)
{
    const QFileInfo info(output);
    const QString name = info.fileName();
    const int dot = name.indexOf(QLatin1Char('.'));
    const QString extension = !partExtension.isEmpty() ? partExtension
                              : dot < 0                ? QString()
                                                       : name.mid(dot);
    for (;;) {
        const QString candidate = info.dir().filePath(
            QStringLiteral(".cw-%1%2")
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                .arg(extension));
        // Only a name that is there is taken. One that cannot be looked at
        // (a folder that cannot be searched, a path too long) is given as
        // it is: making the file then says why it cannot be.
        struct stat there;
        if (::lstat(nativePath(candidate).constData(), &there) != 0)
            return candidate;
    }
}

QString createPartFile(const QString &part)
{
    const int fd = ::open(nativePath(part).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) {
        ::close(fd);
        return {};
    }
    if (errno == EEXIST)
        return QStringLiteral("The part file %1 exists already.").arg(part);
    return QStringLiteral("Cannot write in %1: %2")
        .arg(QFileInfo(part).absolutePath(), systemError());
}

PlacedOutput placeOutput(const QString &part, const QString &output, Placement placement)
{
    const QByteArray from = nativePath(part);
    if (placement == Placement::Replace) {
        if (std::rename(from.constData(), nativePath(output).constData()) == 0)
            return {output, {}};
        return {{},
                QStringLiteral("Could not move the finished file to %1: %2")
                    .arg(output, systemError())};
    }
    QString path = output;
    for (int tries = 0; tries < MaxPlacementTries; ++tries) {
        if (!fitsFileName(path))
            return {{},
                    QStringLiteral("The output file name is longer than 255 bytes: %1")
                        .arg(QFileInfo(path).fileName())};
        if (renameNoReplace(from, nativePath(path)))
            return {path, {}};
        if (errno != EEXIST)
            return {{},
                    QStringLiteral("Could not move the finished file to %1: %2")
                        .arg(path, systemError())};
        path = nextFreeOutputPath(path);
    }
    return {{}, QStringLiteral("Could not find a free name for %1").arg(output)};
}

QString saveWholeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    // commit() flushes the buffer but does not fail when the flush wrote only
    // part of it (a full disk, a file-size limit) and renames the cut file in:
    // the flush is checked first, and a file not committed is removed.
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush() &&
        file.commit())
        return {};
    return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
}
