#pragma once

#include "online/YtDlpJson.h"

#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QTimer>

// Asks yt-dlp for what a watch page offers: `yt-dlp -J --no-playlist
// --no-warnings -- URL`, the address one argument. yt-dlp runs in a process
// group of its own; a cancel, the time limit or the end of this object stop
// the whole group (stopChild(): SIGTERM, and SIGKILL if it must be).
class YtDlpResolver : public QObject
{
    Q_OBJECT

public:
    enum class Outcome
    {
        Resolved,  // result() holds the video
        Failed,    // problem() says why
        Cancelled, // by cancel()
    };
    Q_ENUM(Outcome)

    static constexpr int DefaultTimeLimitMs = 60000;
    // More output than any video description needs; past it yt-dlp is
    // stopped and its output dropped.
    static constexpr qint64 MaxOutputBytes = 8 << 20;

    explicit YtDlpResolver(QObject *parent = nullptr);
    ~YtDlpResolver() override;

    // yt-dlp in the program folder, else on PATH, as found now; empty when
    // there is none.
    static QString program();
    static QStringList arguments(const QString &address);

    void setTimeLimit(int milliseconds) { m_limit.setInterval(milliseconds); }
    // Starts yt-dlp on `address`; finished() follows, also when it cannot
    // be started. One at a time.
    void start(const QString &address);
    void cancel();

    const ResolvedVideo &result() const { return m_result; }
    // "yt-dlp gave no answer within 60 seconds", "yt-dlp: Unsupported URL:
    // ...", "yt-dlp gave no readable answer: ..." and the like.
    QString problem() const { return m_problem; }

signals:
    void finished(YtDlpResolver::Outcome outcome);

private:
    void onFinished(int exitCode, bool crashed);
    void stop();
    void end(Outcome outcome);

    QPointer<QProcess> m_process;
    QTimer m_limit;
    QByteArray m_output;
    QByteArray m_errors; // the tail of yt-dlp's error output
    bool m_cancelled = false;
    bool m_timedOut = false;
    bool m_tooLarge = false;
    ResolvedVideo m_result;
    QString m_problem;
};
