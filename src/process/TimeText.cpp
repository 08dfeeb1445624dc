#include "process/TimeText.h"

#include <QStringList>

QString formatTimeText(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

std::optional<qint64> parseTimeText(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    qint64 values[3];
    for (int i = 0; i < 3; ++i) {
        const QString &part = parts[i];
        if (part.isEmpty() || part.size() > 9)
            return std::nullopt;
        for (QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        }
        values[i] = part.toLongLong();
    }
    if (values[1] > 59 || values[2] > 59)
        return std::nullopt;
    return values[0] * 3600 + values[1] * 60 + values[2];
}
