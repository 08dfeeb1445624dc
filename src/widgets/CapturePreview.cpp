#include "widgets/CapturePreview.h"

#include "capture/CaptureArguments.h"

#include <QPainter>

CapturePreview::CapturePreview(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vcx"));
    setMinimumSize(PreviewWidth, PreviewHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // Every pixel is painted here: no background fill by Qt first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize CapturePreview::sizeHint() const
{
    return {PreviewWidth, PreviewHeight};
}

void CapturePreview::showFrame(const QImage &frame)
{
    m_frame = frame;
    m_unpainted = true;
    update();
}

void CapturePreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_frame.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // Frames carry their own black bars; the rest of a wider or taller
    // widget is black too.
    const QSize size = m_frame.size().scaled(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), size);
    target.moveCenter(rect().center());
    const QRegion outside = QRegion(rect()).subtracted(target);
    for (const QRect &part : outside)
        painter.fillRect(part, Qt::black);
    painter.drawImage(target, m_frame);
    if (m_unpainted) {
        m_unpainted = false;
        ++m_painted;
    }
}
