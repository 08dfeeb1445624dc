#include "media/MediaProbe.h"

#include "process/Process.h"
#include "settings/NumberValue.h"
#include "settings/ProgramFolders.h"

#include <QFileInfo>
#include <climits>
#include <cmath>

namespace {

// A decimal number with blanks around it, rounded to an int; nothing for any
// other text (exponents, "inf" and values beyond the int range included).
std::optional<int> wholeNumber(const QByteArray &value)
{
    const QByteArray text = value.trimmed();
    int i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    int digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        ++digits;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            ++digits;
    }
    if (digits == 0 || i != text.size())
        return std::nullopt;
    const double rounded = std::round(text.toDouble());
    if (rounded < INT_MIN || rounded > INT_MAX)
        return std::nullopt;
    return static_cast<int>(rounded);
}

void applyLine(MediaFacts &facts, const QByteArray &line)
{
    const int equals = line.indexOf('=');
    if (equals < 0)
        return;
    const QByteArray key = line.left(equals);
    const int second = line.indexOf('=', equals + 1);
    const QByteArray value = line.mid(equals + 1, second < 0 ? -1 : second - equals - 1);
    if (key == "ID_VIDEO_WIDTH") {
        if (const auto width = wholeNumber(value))
            facts.Width = *width;
    } else if (key == "ID_VIDEO_HEIGHT") {
        if (const auto height = wholeNumber(value))
            facts.Height = *height;
    } else if (key == "ID_LENGTH") {
        // MPlayer says 0.00 for MPEG-TS, MPEG-PS and raw streams, and -2.00
        // for an AVI without index: it does not know.
        const double seconds = numberValue(QString::fromLatin1(value));
        facts.LengthSeconds =
            seconds > 0 ? std::optional<double>(seconds) : std::optional<double>();
    } else if (key == "ID_VIDEO_FORMAT") {
        facts.VideoFormat = QString::fromLocal8Bit(value);
    }
}

} // namespace

QStringList probeArguments(const QString &path)
{
    return {QStringLiteral("-identify"),  QStringLiteral("-benchmark"),
            QStringLiteral("-nosound"),   QStringLiteral("-vo"),
            QStringLiteral("null"),       QStringLiteral("-vf"),
            QStringLiteral("cropdetect"), QStringLiteral("-endpos"),
            QStringLiteral("1"),          QFileInfo(path).absoluteFilePath()};
}

MediaFacts parseProbeOutput(const QByteArray &output)
{
    MediaFacts facts;
    // Splitting at LF and then at CR leaves an empty piece for each CR LF,
    // which has no "=" and is skipped.
    for (const QByteArray &line : output.split('\n')) {
        for (const QByteArray &piece : line.split('\r'))
            applyLine(facts, piece);
    }
    return facts;
}

QStringList durationArguments(const QString &path)
{
    return {QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-show_entries"),
            QStringLiteral("format=duration"),
            QStringLiteral("-of"),
            QStringLiteral("default=noprint_wrappers=1:nokey=1"),
            QFileInfo(path).absoluteFilePath()};
}

std::optional<double> parseDuration(const QByteArray &output)
{
    const QByteArray text = output.trimmed();
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    return ok && seconds > 0 && std::isfinite(seconds) ? std::optional<double>(seconds)
                                                       : std::nullopt;
}

MediaFacts ProbeMedia(const QString &path)
{
    return ProbeMedia(path, resolveProgram(QStringLiteral("mplayer")),
                      resolveProgram(QStringLiteral("ffprobe")));
}

MediaFacts ProbeMedia(const QString &path, const QString &mplayer, const QString &ffprobe)
{
    Process process;
    process.setCmdLine(mplayer);
    process.setParameters(probeArguments(path));
    process.Launch();
    MediaFacts facts = probeResult(process);
    if (!facts.LengthSeconds && !ffprobe.isEmpty()) {
        Process duration;
        duration.setCmdLine(ffprobe);
        duration.setParameters(durationArguments(path));
        duration.Launch();
        facts.LengthSeconds = parseDuration(duration.StdOutBytes());
    }
    return facts;
}

MediaFacts probeResult(const Process &process)
{
    MediaFacts facts = parseProbeOutput(process.StdOutBytes());
    switch (process.state()) {
    case Process::State::Exited:
        break;
    case Process::State::FailedToStart:
        facts.Error =
            process.CmdLine().isEmpty()
                ? QStringLiteral("MPlayer was not found in the program folder or on PATH.")
                : QStringLiteral("MPlayer (%1) could not be started: %2")
                      .arg(process.CmdLine(), process.errorString());
        break;
    case Process::State::Crashed:
        facts.Error =
            QStringLiteral("MPlayer ended abnormally (signal %1).").arg(process.RC() - 128);
        break;
    case Process::State::Aborted:
        facts.Error = QStringLiteral("The probe was cancelled.");
        break;
    case Process::State::Idle:
    case Process::State::Running:
        facts.Error = QStringLiteral("MPlayer has not finished.");
        break;
    }
    return facts;
}
