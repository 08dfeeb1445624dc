#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>

class QProcess;

// Decodes one picture of a video with FFmpeg (-ss S -i FILE -frames:v 1, as
// PNG through a pipe), so that a window can show where a clip starts or
// ends. A newer request replaces one that is still running.
class FrameGrabber : public QObject
{
    Q_OBJECT

public:
    // `ffmpeg` empty means it was not found: nothing is grabbed.
    explicit FrameGrabber(QString ffmpeg, QObject *parent = nullptr);
    ~FrameGrabber() override;

    void grab(const QString &file, int second);

signals:
    // The picture at `second`; a null image when there is none.
    void grabbed(int second, const QImage &frame);

private:
    QString m_program;
    QPointer<QProcess> m_running;
};
