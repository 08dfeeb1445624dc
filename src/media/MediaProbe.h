#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class Process;

// What MPlayer's identify mode tells about a file. Width and Height are 0 when
// no line gave them; LengthSeconds and VideoFormat are empty when not found.
struct MediaFacts
{
    int Width = 0;
    int Height = 0;
    std::optional<double> LengthSeconds;
    std::optional<QString> VideoFormat;
    // Why MPlayer could not do its work (not found, not startable, crashed,
    // cancelled); empty when it ran to its end. A file that is not media is
    // no error: MPlayer then simply prints no video lines.
    QString Error;

    bool ok() const { return Error.isEmpty(); }
};

// MPlayer's arguments for probing `path`: identify, decode at most one second
// as fast as possible, no picture, no sound. The path is made absolute, so a
// name that starts with "-" cannot be read as an option.
QStringList probeArguments(const QString &path);

// The facts in MPlayer's output. Lines end at CR LF, LF or a lone CR (its
// status lines). Of a line "KEY=VALUE=..." the key must match exactly and the
// value runs to the second "="; later lines replace earlier ones. A length of
// 0 or less is no length.
MediaFacts parseProbeOutput(const QByteArray &output);

// ffprobe's arguments for the container's duration of `path`, and that
// duration from its output; nullopt when it gives none above 0.
QStringList durationArguments(const QString &path);
std::optional<double> parseDuration(const QByteArray &output);

// Probes `path` with MPlayer and waits for it (other events are handled
// meanwhile). When MPlayer finds no length, ffprobe is asked for the
// container's. Empty programs mean not found.
MediaFacts ProbeMedia(const QString &path);
MediaFacts ProbeMedia(const QString &path, const QString &mplayer, const QString &ffprobe);

// The facts of a finished probe run (used by the synchronous and queued forms).
MediaFacts probeResult(const Process &process);
