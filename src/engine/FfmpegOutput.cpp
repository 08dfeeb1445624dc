#include "engine/FfmpegOutput.h"

#include <QRegularExpression>
#include <cmath>

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

QStringList countPacketsArguments(const QString &file)
{
    return {QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-count_packets"),
            QStringLiteral("-show_entries"),
            QStringLiteral("stream=codec_type,nb_read_packets:format=duration"),
            QStringLiteral("-of"),
            QStringLiteral("default=noprint_wrappers=1"),
            QStringLiteral("-i"),
            file};
}

CountedOutput countedOutput(const QByteArray &output)
{
    // Each stream prints its codec_type before its nb_read_packets.
    CountedOutput counted;
    QByteArray type;
    for (const QByteArray &raw : output.split('\n')) {
        const QByteArray line = raw.trimmed();
        const int equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        bool ok = false;
        if (key == "codec_type") {
            type = value;
        } else if (key == "nb_read_packets") {
            if ((type == "video" || type == "audio") && value.toLongLong(&ok) > 0 && ok)
                counted.hasPackets = true;
        } else if (key == "duration") {
            const double seconds = value.toDouble(&ok);
            if (ok && std::isfinite(seconds) && seconds >= 0)
                counted.durationSeconds = seconds;
        }
    }
    return counted;
}
