#pragma once

#include "online/HttpGet.h"

#include <QFile>
#include <QObject>
#include <QTimer>

class QNetworkAccessManager;

// Downloads one stream to a file. The body is taken in pieces of 1024 bytes,
// each followed by the percentage received; the display of it is repainted
// at most ten times a second, and always at the end.
//
// The file is written to a hidden part file of its own beside the target
// (".cw-XXXXXXXX.mp4") and renamed to the target only when the body is
// complete, replacing a file of that name. A body shorter than its
// Content-Length, an error or a cancel removes the part file and leaves the
// target's name as it was: no file, or the earlier one. Without a Content-Length
// the download runs all the same, with a busy bar and the size received.
class Downloader : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 PieceSize = 1024;
    static constexpr int RepaintIntervalMs = 100;
    // Pieces are read and written in batches of up to this many bytes.
    static constexpr qint64 BatchSize = 256 * PieceSize;

    explicit Downloader(QNetworkAccessManager &manager, QObject *parent = nullptr);
    ~Downloader() override;

    void setTimeout(int milliseconds) { m_get.setTimeout(milliseconds); }

    // Only one download at a time; `headers` go with the request.
    void start(const QUrl &address, const QString &target, const HttpHeaders &headers = {});
    void cancel() { m_get.cancel(); }

    // "41 % ": the label text of a percentage.
    static QString percentText(int percent);

signals:
    // The transfer's states, as HttpGet words them.
    void stateText(const QString &text);
    // After every piece: its percentage of the Content-Length (-1 without
    // one) and the bytes received so far.
    void pieceWritten(int percent, qint64 received);
    // What the label and the bar show: "41 % " and 41, or "1.5 MB received"
    // and -1 (a busy bar) without a Content-Length.
    void progressShown(const QString &text, int value);
    void saved(const QString &path);
    // "Download failed: " and the reason, or "Download cancelled".
    void failed(const QString &text);

private:
    void onData();
    void onFinished(HttpGet::Outcome outcome);
    // Writes the whole pieces the body holds, and at the end of a body
    // without a length the short last one; false when the download failed.
    bool takePieces(bool atEnd);
    void showProgress(bool now);
    // "the transfer ended after N of TOTAL bytes"
    QString endedEarlyText() const;
    void fail(const QString &text);
    // Closes the part file and removes it, if this download created it.
    void removePart();

    HttpGet m_get;
    QFile m_file;
    bool m_partCreated = false;
    QByteArray m_batch;
    QString m_target;
    bool m_running = false;
    bool m_haveLength = false;
    qint64 m_total = -1; // -1 without a Content-Length
    qint64 m_received = 0;
    QTimer m_repaint;
    bool m_repaintPending = false;
};
