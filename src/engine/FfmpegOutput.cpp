#include "engine/FfmpegOutput.h"

#include <QRegularExpression>

namespace {

// The escape sequences FFmpeg's log puts around text in its 16-colour form.
const QRegularExpression &colourCode()
{
    static const QRegularExpression code(QStringLiteral("\x1b\\[[0-9;]*m"));
    return code;
}

} // namespace

QProcessEnvironment ffmpegEnvironment(const QProcessEnvironment &base)
{
    QProcessEnvironment environment = base;
    environment.remove(QStringLiteral("AV_LOG_FORCE_NOCOLOR"));
    environment.remove(QStringLiteral("AV_LOG_FORCE_256COLOR"));
    environment.insert(QStringLiteral("AV_LOG_FORCE_COLOR"), QStringLiteral("1"));
    // A terminal name with "256color" in it would switch to other codes.
    environment.insert(QStringLiteral("TERM"), QStringLiteral("dumb"));
    return environment;
}

QStringList ffmpegErrorLines(const QByteArray &output)
{
    // A line: an optional reset left over from the line before, an optional
    // coloured "[name @ 0x...] " context, then the message in the colour of
    // its level: bold red for errors, underlined red for fatal ones.
    static const QRegularExpression line(QStringLiteral(
        R"(^(?:\x1b\[0m)?(?:\x1b\[[0-9;]*m\[([^\] @]+)(?: @ [^\]]*)?\] \x1b\[0m)?\x1b\[[14];31m(.*)$)"));
    QStringList lines;
    for (const QByteArray &raw : output.split('\n')) {
        for (const QByteArray &piece : raw.split('\r')) {
            const QRegularExpressionMatch match = line.match(QString::fromUtf8(piece));
            if (!match.hasMatch())
                continue;
            QString text = match.captured(2);
            text.remove(colourCode());
            text = text.trimmed();
            if (text.isEmpty())
                continue;
            const QString context = match.captured(1);
            lines << (context.isEmpty() ? text : context + QStringLiteral(": ") + text);
        }
    }
    return lines;
}

std::optional<WrittenStreams> writtenStreams(const QByteArray &output)
{
    static const QRegularExpression summary(
        QStringLiteral(R"((?:^|[\r\n])(?:\x1b\[0m)?video:(\d+)kB audio:(\d+)kB )"));
    std::optional<WrittenStreams> last;
    QRegularExpressionMatchIterator it = summary.globalMatch(QString::fromLatin1(output));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        last = WrittenStreams{match.captured(1).toLongLong(), match.captured(2).toLongLong()};
    }
    return last;
}
