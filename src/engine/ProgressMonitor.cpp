#include "engine/ProgressMonitor.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// FFmpeg writes the statistics file in blocks of this size, so the last
// complete line almost always lies in the last block.
constexpr qint64 TailBlock = 4096;
// A report is about 100 bytes; output that never ends a line is not kept whole.
constexpr qsizetype MaxPartialLine = 4096;

// Rounds half to even and saturates, so a wild value cannot overflow the cast.
template <typename Int> Int roundedTo(double value)
{
    const double rounded = std::nearbyint(value);
    if (rounded >= static_cast<double>(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    return static_cast<Int>(rounded);
}

std::optional<double> finiteNumber(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString clockText(int seconds)
{
    return QString::asprintf("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

} // namespace

QString ReadLastLineOfFile(const QString &sFileName)
{
    QFile file(sFileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QString();
    // Bytes behind `size` may arrive while we read; they belong to the next tick.
    const qint64 size = file.size();
    for (qint64 block = TailBlock;; block *= 2) {
        const qint64 from = std::max<qint64>(0, size - block);
        if (!file.seek(from))
            return QString();
        const QByteArray tail = file.read(size - from);
        const qsizetype end = tail.lastIndexOf('\n');
        // lastIndexOf(c, -1) would search the whole array again.
        const qsizetype begin = end > 0 ? tail.lastIndexOf('\n', end - 1) + 1 : 0;
        if (end >= 0 && (begin > 0 || from == 0)) {
            QByteArray line = tail.mid(begin, end - begin);
            if (line.endsWith('\r'))
                line.chop(1);
            return QString::fromUtf8(line);
        }
        if (from == 0)
            return QString();
    }
}

std::optional<double> statisticsTime(const QString &line)
{
    static const QRegularExpression time(
        QStringLiteral(R"((?<!\S)time=[ \t]*(-?[0-9]+(?:\.[0-9]*)?)(?!\S))"));
    const QRegularExpressionMatch match = time.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    return finiteNumber(match.captured(1));
}

std::optional<double> reportedTime(const QByteArray &errorOutput)
{
    // "time=HH:MM:SS.xx" or plain seconds; "time=N/A" and negative times
    // (FFmpeg prints them before the first frame) do not match.
    static const QRegularExpression time(QStringLiteral(
        R"((?<!\S)time=[ \t]*(?:([0-9]+):([0-9]{1,2}):)?([0-9]+(?:\.[0-9]*)?)(?!\S))"));
    std::optional<double> last;
    QRegularExpressionMatchIterator it = time.globalMatch(QString::fromLatin1(errorOutput));
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const double seconds = match.captured(1).toDouble() * 3600 +
                               match.captured(2).toDouble() * 60 + match.captured(3).toDouble();
        if (std::isfinite(seconds))
            last = seconds;
    }
    return last;
}

ProgressMonitor::ProgressMonitor(QString statisticsFile, QObject *parent)
    : QObject(parent), m_file(std::move(statisticsFile)), m_timer(this)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ProgressMonitor::tick);
}

void ProgressMonitor::start(qint64 clipSeconds, bool useReportedTime)
{
    m_elapsed = 0;
    m_clipSeconds = clipSeconds;
    m_useReportedTime = useReportedTime;
    m_reported.reset();
    m_partialLine.clear();
    emit elapsedTextChanged(clockText(0));
    m_timer.start();
}

void ProgressMonitor::stop()
{
    m_timer.stop();
}

void ProgressMonitor::converterOutput(const QByteArray &chunk)
{
    // Only whole reports are read: a report cut in the middle of its time
    // would give a wrong value.
    m_partialLine += chunk;
    const qsizetype end =
        std::max(m_partialLine.lastIndexOf('\r'), m_partialLine.lastIndexOf('\n'));
    if (end >= 0) {
        if (const std::optional<double> time = reportedTime(m_partialLine.left(end)))
            m_reported = time;
        m_partialLine.remove(0, end + 1);
    }
    if (m_partialLine.size() > MaxPartialLine)
        m_partialLine = m_partialLine.right(MaxPartialLine);
}

void ProgressMonitor::tick()
{
    ++m_elapsed;
    emit elapsedTextChanged(clockText(m_elapsed));

    // No file, a short line or a frame before the start all count as nothing
    // encoded yet.
    double encoded = std::max(0.0, statisticsTime(ReadLastLineOfFile(m_file)).value_or(0));
    if (m_useReportedTime && m_reported)
        encoded = std::max(encoded, *m_reported);

    // A clip that ends before it starts has no length to measure against.
    if (m_clipSeconds > 0)
        emit itemProgressChanged(roundedTo<int>(encoded / m_clipSeconds * 100));

    const double speed = encoded / m_elapsed;
    if (encoded > 0)
        emit speedChanged(speed);
    qint64 remaining = -1;
    if (speed > 0 && m_clipSeconds > 0)
        remaining = std::max<qint64>(0, roundedTo<qint64>((m_clipSeconds - encoded) / speed));
    emit remainingChanged(remaining);
}
