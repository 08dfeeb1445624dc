#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

// The last complete line of a text file ("" when there is none or the file
// cannot be read). Lines end at LF or CR LF; a line still being written (no
// line end yet) is not complete. Only the end of the file is read.
QString ReadLastLineOfFile(const QString &sFileName);

// The encoded time of one statistics line: the number after "time=" (FFmpeg's
// -vstats_file lines, version 1 and 2); nullopt when the line has none.
std::optional<double> statisticsTime(const QString &line);

// The last "time=HH:MM:SS.xx" in a piece of FFmpeg's error output; nullopt
// when the piece holds none (or only "time=N/A").
std::optional<double> reportedTime(const QByteArray &errorOutput);

// Follows one FFmpeg run: once a second it counts the elapsed time and sets
// the item bar from the encoded time against the clip length.
class ProgressMonitor : public QObject
{
    Q_OBJECT

public:
    explicit ProgressMonitor(QString statisticsFile, QObject *parent = nullptr);

    // ElapsedSeconds := 0, ClipSeconds := clipSeconds, timer on (1000 ms);
    // shows "00:00:00" and forgets what FFmpeg reported for the last row.
    // With `useReportedTime`, a tick takes the later of the statistics file's
    // time and the time FFmpeg last reported on its error output.
    void start(qint64 clipSeconds, bool useReportedTime);
    void stop();
    bool isActive() const { return m_timer.isActive(); }

    // FFmpeg's error output as it arrives; keeps the last reported time.
    void converterOutput(const QByteArray &chunk);

    // One timer tick (public so it can be driven directly).
    void tick();

    int ElapsedSeconds() const { return m_elapsed; }
    qint64 ClipSeconds() const { return m_clipSeconds; }

signals:
    // The elapsed time as HH:MM:SS ("00:01:15" after 75 ticks).
    void elapsedTextChanged(const QString &text);
    // The item bar: encoded time / clip length * 100, rounded half to even,
    // not limited to 100; not emitted when the clip length is 0.
    void itemProgressChanged(int percent);
    // Encoded seconds per elapsed second; emitted when it can be known.
    void speedChanged(double speed);
    // Seconds left for the row at the current speed; -1 when unknown.
    void remainingChanged(qint64 seconds);

private:
    QString m_file;
    QTimer m_timer;
    int m_elapsed = 0;
    qint64 m_clipSeconds = 0;
    bool m_useReportedTime = false;
    std::optional<double> m_reported;
    QByteArray m_partialLine;
};
