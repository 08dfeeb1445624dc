#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>
#include <optional>

// What FFmpeg's error output tells about a run.
//
// FFmpeg prints its errors among a lot of information (stream lists, encoder
// statistics, warnings). Run with ffmpegEnvironment(), it colours each line
// by its level, and the colour of an error or fatal line is the one reliable
// mark of it: errorLines() keeps those, without the colour codes.

// The caller's environment with FFmpeg's level colours on, in their
// 16-colour form.
QProcessEnvironment ffmpegEnvironment(const QProcessEnvironment &base);

// FFmpeg's error and fatal lines, in order, as "libx264: width not divisible
// by 2 (33x33)" (the "[libx264 @ 0x...]" context turned into a name).
QStringList ffmpegErrorLines(const QByteArray &output);

// The closing summary, "video:46kB audio:9kB subtitle:0kB ...": the
// kilobytes of video and audio written; nullopt when the output has none.
struct WrittenStreams
{
    qint64 videoKb = 0;
    qint64 audioKb = 0;
};
std::optional<WrittenStreams> writtenStreams(const QByteArray &output);

// What ffprobe counted in a finished output: whether any audio or video
// stream holds a packet, and the container's length.
struct CountedOutput
{
    bool hasPackets = false;
    std::optional<double> durationSeconds;
};
// The arguments that make ffprobe count `file`'s packets and print its length.
QStringList countPacketsArguments(const QString &file);
// Reads what ffprobe printed for countPacketsArguments().
CountedOutput countedOutput(const QByteArray &output);
