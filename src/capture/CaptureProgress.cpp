#include "capture/CaptureProgress.h"

namespace {

// The longest line kept for the tail; FFmpeg's own lines are much shorter.
constexpr int MaxLineBytes = 400;

// A statistics line is a lower-case key, "=" and a value ("bitrate= 3.2kbits/s").
bool isStatisticsLine(const QByteArray &line, QByteArray &key, QByteArray &value)
{
    const qsizetype equals = line.indexOf('=');
    if (equals <= 0)
        return false;
    for (qsizetype i = 0; i < equals; ++i) {
        const char c = line[i];
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    }
    key = line.left(equals);
    value = line.mid(equals + 1).trimmed();
    return true;
}

} // namespace

void CaptureProgress::feed(const QByteArray &bytes)
{
    m_partial += bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_partial.size(); ++i) {
        if (m_partial[i] != '\n' && m_partial[i] != '\r')
            continue;
        takeLine(m_partial.mid(start, i - start));
        start = i + 1;
    }
    m_partial.remove(0, start);
    // A run-away line without an end must not grow without bound.
    if (m_partial.size() > MaxLineBytes)
        m_partial = m_partial.right(MaxLineBytes);
}

void CaptureProgress::finish()
{
    takeLine(m_partial);
    m_partial.clear();
}

void CaptureProgress::takeLine(const QByteArray &line)
{
    if (line.trimmed().isEmpty())
        return;
    QByteArray key, value;
    if (isStatisticsLine(line, key, value)) {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        if (!ok) // "N/A" before the first frame
            return;
        if (key == "frame")
            m_statistics.framesCaptured = number;
        else if (key == "drop_frames")
            m_statistics.framesDropped = number;
        else if (key == "out_time_us")
            m_statistics.elapsedMs = qMax<qint64>(0, number / 1000);
        return;
    }
    m_tail << QString::fromLocal8Bit(line.left(MaxLineBytes)).trimmed();
    if (m_tail.size() > TailLines)
        m_tail.removeFirst();
}
