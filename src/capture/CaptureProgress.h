#pragma once

#include "capture/CaptureStatistics.h"

#include <QByteArray>
#include <QStringList>

// Reads the error output of a recording FFmpeg started with
// `-progress pipe:2 -nostats -loglevel error`: blocks of "key=value" lines
// (frame=, drop_frames=, out_time_us=, ...) between FFmpeg's own error
// lines. The statistics come from the former; the last few of the latter
// say why a run failed. Lines may end in LF, CRLF or CR, and a read may end
// in the middle of one.
class CaptureProgress
{
public:
    static constexpr int TailLines = 6;

    void feed(const QByteArray &bytes);
    // The output has ended: a last line without its end counts too.
    void finish();
    void reset() { *this = CaptureProgress(); }

    const CaptureStatistics &statistics() const { return m_statistics; }
    // FFmpeg's last error lines, oldest first, one a line.
    QString errorTail() const { return m_tail.join(QLatin1Char('\n')); }

private:
    void takeLine(const QByteArray &line);

    QByteArray m_partial;
    CaptureStatistics m_statistics;
    QStringList m_tail;
};
