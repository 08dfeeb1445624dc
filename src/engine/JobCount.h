#pragma once

#include <QList>
#include <QString>

// What the automatic count of simultaneous conversions looks at.
struct JobLoad
{
    int cores = 1;          // processor cores of this computer
    bool hasVideo = true;   // false for an audio-only profile
    QString videoEncoder;   // FFmpeg's encoder name, such as "libx264"; empty for copy or none
    // The next rows' lengths in seconds, in list order; unknown lengths are
    // left out.
    QList<qint64> seconds;
    qint64 pixelsPerFrame = 0; // the rows' picture size; 0 when unknown
    bool previewPlaying = false;
};

// How many conversions to run at once (1..8) when the user left the count
// to the program.
int automaticJobs(const JobLoad &load);

// True for the encoders that spread one file's work over every core.
bool encoderUsesEveryCore(const QString &encoder);
