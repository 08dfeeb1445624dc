#pragma once

#include "capture/CaptureDevice.h"

#include <QStringList>

// The live preview FFmpeg writes to its standard output: raw RGB frames of
// one fixed size, the picture letterboxed into it.
constexpr int PreviewWidth = 320;
constexpr int PreviewHeight = 240;
constexpr int PreviewRate = 15;
constexpr int PreviewFrameBytes = PreviewWidth * PreviewHeight * 3;

// FFmpeg's arguments for reading `device`, recording into `recordPath`
// (an absolute path; none when empty) and writing the preview (when
// `preview`). The recording is the first output, since FFmpeg's statistics
// count the frames of that one; it stops by itself after `seconds` when
// that is above 0. A camera's picture is kept as high-quality MJPEG, a DV
// stream as it comes, with its sound.
QStringList captureArguments(const CaptureDevice &device, const QString &recordPath, bool preview,
                             double seconds = 0);
