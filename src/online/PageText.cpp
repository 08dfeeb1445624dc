#include "online/PageText.h"

#include <QByteArray>
#include <QRegularExpression>

namespace {

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

std::optional<QString> URLDecode(const QString &text)
{
    const QString str = QString(text).replace(QLatin1Char('+'), QLatin1Char(' '));
    QByteArray bytes;
    bytes.reserve(str.size());
    // Plain characters are collected and converted in runs, so that a
    // surrogate pair is never split.
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        bytes += QStringView(str).mid(runStart, end - runStart).toUtf8();
    };
    for (qsizetype i = 0; i < str.size(); ++i) {
        if (str[i] != QLatin1Char('%'))
            continue;
        flushRun(i);
        if (i + 2 < str.size()) {
            const int high = hexDigit(str[i + 1]);
            const int low = hexDigit(str[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        }
        runStart = i + 1;
    }
    flushRun(str.size());
    return QString::fromUtf8(bytes);
}

QString TextBetween(const QString &text, const QString &start, const QString &end)
{
    const qsizetype found = text.indexOf(start);
    if (found < 0)
        return {};
    const qsizetype from = found + start.size();
    const qsizetype to = text.indexOf(end, from);
    return to < 0 ? QString() : text.mid(from, to - from);
}

QString RegexFirstGroup(const QString &text, const QString &pattern)
{
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}
