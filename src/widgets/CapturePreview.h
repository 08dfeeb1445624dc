#pragma once

#include <QImage>
#include <QWidget>

// The live picture of the capture window: the newest preview frame, scaled
// to fit on black. A frame is kept as it came (shared, not copied) and
// painted at the next paint event.
class CapturePreview : public QWidget
{
    Q_OBJECT

public:
    explicit CapturePreview(QWidget *parent = nullptr);

    void showFrame(const QImage &frame);
    // Frames that reached the screen; frames that came faster than the
    // screen was painted are skipped.
    int paintedFrames() const { return m_painted; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_frame;
    bool m_unpainted = false;
    int m_painted = 0;
};
