#include "capture/CaptureArguments.h"

QStringList captureArguments(const CaptureDevice &device, const QString &recordPath, bool preview,
                             double seconds)
{
    QStringList arguments{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                          QStringLiteral("error")};
    if (!recordPath.isEmpty())
        arguments << QStringLiteral("-nostats") << QStringLiteral("-progress")
                  << QStringLiteral("pipe:2");

    // On the input, so that the preview output ends too and FFmpeg with it.
    if (!recordPath.isEmpty() && seconds > 0)
        arguments << QStringLiteral("-t") << QString::number(seconds, 'f', 3);
    switch (device.kind) {
    case CaptureDevice::Kind::V4l2:
        arguments << QStringLiteral("-f") << QStringLiteral("v4l2") << QStringLiteral("-i")
                  << device.id;
        break;
    case CaptureDevice::Kind::FireWireDv:
        arguments << QStringLiteral("-f") << QStringLiteral("iec61883") << QStringLiteral("-i")
                  << QStringLiteral("auto");
        break;
    case CaptureDevice::Kind::TestGraph:
        // -re: frames at their own rate, as a camera delivers them.
        arguments << QStringLiteral("-re") << QStringLiteral("-f") << QStringLiteral("lavfi")
                  << QStringLiteral("-i") << device.id.mid(device.id.indexOf(QLatin1Char(':')) + 1);
        break;
    }

    if (!recordPath.isEmpty()) {
        if (device.kind == CaptureDevice::Kind::FireWireDv)
            arguments << QStringLiteral("-map") << QStringLiteral("0") << QStringLiteral("-c")
                      << QStringLiteral("copy");
        else
            arguments << QStringLiteral("-map") << QStringLiteral("0:v") << QStringLiteral("-c:v")
                      << QStringLiteral("mjpeg") << QStringLiteral("-q:v") << QStringLiteral("2")
                      << QStringLiteral("-pix_fmt") << QStringLiteral("yuvj422p");
        // The file is the caller's own fresh part file.
        arguments << QStringLiteral("-y") << recordPath;
    }
    if (preview)
        arguments << QStringLiteral("-map") << QStringLiteral("0:v") << QStringLiteral("-vf")
                  << QStringLiteral("scale=%1:%2:force_original_aspect_ratio=decrease,"
                                    "pad=%1:%2:-1:-1,fps=%3")
                         .arg(PreviewWidth)
                         .arg(PreviewHeight)
                         .arg(PreviewRate)
                  << QStringLiteral("-f") << QStringLiteral("rawvideo")
                  << QStringLiteral("-pix_fmt") << QStringLiteral("rgb24")
                  << QStringLiteral("pipe:1");
    return arguments;
}
