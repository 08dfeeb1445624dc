#include "app/FileName.h"

#include <QUtf8StringView>

std::optional<QString> fileNameFromBytes(const QByteArray &bytes, QString *problem)
{
    if (QUtf8StringView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    if (problem)
        *problem = QStringLiteral("The file name is not valid UTF-8: ") + escapedBytes(bytes);
    return std::nullopt;
}

QString escapedBytes(const QByteArray &bytes)
{
    QString text;
    for (qsizetype i = 0; i < bytes.size();) {
        // The first valid prefix is the whole character: a valid character
        // has no shorter valid start.
        qsizetype length = 1;
        while (length <= 4 && i + length <= bytes.size() &&
               !QUtf8StringView(bytes.constData() + i, length).isValidUtf8())
            ++length;
        if (length <= 4 && i + length <= bytes.size()) {
            text += QString::fromUtf8(bytes.constData() + i, length);
            i += length;
        } else {
            text += QStringLiteral("\\x%1").arg(uchar(bytes[i]), 2, 16, QLatin1Char('0'));
            ++i;
        }
    }
    return text;
}
