#include "online/OnlineNames.h"

#include "online/StreamLinks.h"

#include <QDir>
#include <QRegularExpression>

namespace {

// Leaves room for the longest suffix within 255 bytes.
constexpr qsizetype MaxTitleBytes = 200;

} // namespace

bool isSafeVideoId(const QString &videoId)
{
    static const QRegularExpression pattern(QStringLiteral("\\A[A-Za-z0-9_-]{1,64}\\z"));
    return pattern.match(videoId).hasMatch();
}

QString safeFileTitle(const QString &title)
{
    QString name;
    for (const QChar c : title) {
        if (c != QLatin1Char('/') && c.category() != QChar::Other_Control)
            name += c;
    }
    qsizetype first = 0;
    while (first < name.size() &&
           (name[first] == QLatin1Char('.') || name[first] == QLatin1Char('-')))
        ++first;
    name.remove(0, first);

    qsizetype bytes = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const bool pair = name[i].isHighSurrogate() && i + 1 < name.size();
        const qsizetype width = QStringView(name).mid(i, pair ? 2 : 1).toUtf8().size();
        if (bytes + width > MaxTitleBytes) {
            name.truncate(i);
            break;
        }
        bytes += width;
        i += pair ? 1 : 0;
    }
    return name.isEmpty() ? QStringLiteral("video") : name;
}

QString downloadFileName(const QString &title, int code)
{
    const StreamFormat *format = findStreamFormat(code);
    return format ? safeFileTitle(title) + QLatin1String(format->suffix) : QString();
}

QString thumbnailPath(const QString &writableFolder, const QString &videoId)
{
    if (!isSafeVideoId(videoId))
        return {};
    return QDir(writableFolder)
        .filePath(QStringLiteral("Cache/") + videoId + QStringLiteral(".jpg"));
}
