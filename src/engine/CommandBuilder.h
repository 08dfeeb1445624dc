#pragma once

#include "app/ConversionItem.h"
#include "settings/Settings.h"

#include <QString>
#include <QStringList>
#include <optional>

class OptionSheet;

// One row's FFmpeg command. `Arguments` is what the process gets: FFmpeg
// writes to the part file, and a path is always exactly one argument.
// `CommandLine` is the text shown and logged, built from the same pieces with
// double quotes around the paths and the output path where the part file is
// passed, so that it reads as the command that makes the output.
struct ConvertCommand
{
    QString Program;
    QStringList Arguments;
    QString CommandLine;
    QString OutputPath;
    QString PartPath;
    qint64 ClipStartSeconds = 0;
    // 0 when the row has no end time: the whole file from the start.
    qint64 ClipSeconds = 0;
    // The source's probed length (Video Time); nullopt when unknown.
    std::optional<qint64> SourceSeconds;
    // False for an audio-only profile: FFmpeg then writes no statistics lines.
    bool hasVideo = true;
};

// What a command needs beside the option sheet and the row.
struct ConvertEnvironment
{
    QString program;        // the resolved ffmpeg
    QString statisticsFile; // where FFmpeg writes its -vstats_file lines
    int threads = 0;
    ExistingFilePolicy policy = ExistingFilePolicy::AddNew;
};

// The output extension carried by a profile's combo text, such as
// "001.  MP4 Movie (*.mp4)" -> ".mp4"; empty when the text carries none.
QString profileExtension(const QString &profileText);

// The output path for a source: the source's name up to its first ".", the
// profile's extension, in the output folder. With AddNew, "_New" is appended
// until the name is free (x.mp4, x_New.mp4, x_New_New.mp4, ...); a link at a
// name takes it, also a link that points nowhere.
QString MakeOutputPath(const QString &sourcePath, const QString &profileText,
                       const QString &outputFolder, ExistingFilePolicy policy);

// `partPath` is where FFmpeg writes; empty means the output path itself.
ConvertCommand BuildConvertCommand(const OptionSheet &sheet, const ConversionItem &row,
                                   const QString &outputPath, const QString &partPath,
                                   const ConvertEnvironment &env);

// A command's text without what only says how it ran beside others: the
// thread count and the statistics file (it is the last piece). Commands that
// make the same file from the same source give the same text.
QString commandWithoutRunDetails(const QString &commandLine);

// Where a built command's output file is in its argument list (the argument
// before -vstats_file); -1 when the list has none.
qsizetype outputArgumentIndex(const QStringList &arguments);

// The FFmpeg encoder a codec value of the option sheet asks for ("xvid" ->
// "libxvid", "aac" -> "aac"); empty for "Original", "N/A" and unknown values.
QString videoEncoderFor(const QString &codecValue);
QString audioEncoderFor(const QString &codecValue);

// The overlay expression for a placement name; empty for an unknown name.
QString overlayExpression(const QString &placement);
