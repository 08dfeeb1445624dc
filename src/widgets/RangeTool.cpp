#include "widgets/RangeTool.h"

#include "editor/ThumbPicture.h"
#include "widgets/SystemColor.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

RangeTool::RangeTool(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(RangeToolModel::MinimumExtent, RangeToolModel::MinimumExtent);
    // For the cursor: a pointing hand over a thumb that can be dragged.
    setMouseTracking(true);
    m_model.setSize(size());
}

void RangeTool::setMin(int value)
{
    m_model.setMin(value);
    update();
}

void RangeTool::setMax(int value)
{
    m_model.setMax(value);
    update();
}

void RangeTool::setLowerValue(int value)
{
    m_model.setLowerValue(value);
    update();
}

void RangeTool::setUpperValue(int value)
{
    m_model.setUpperValue(value);
    update();
}

void RangeTool::setLocked(Thumb thumb, bool locked)
{
    m_model.setLocked(thumb, locked);
    changed();
}

void RangeTool::setThumbVisible(Thumb thumb, bool visible)
{
    m_model.setVisible(thumb, visible);
    changed();
}

void RangeTool::setBorderStyle(int style)
{
    m_model.setBorderStyle(style);
    update();
}

void RangeTool::setColor(quint32 oleColor)
{
    m_model.setColor(oleColor);
    update();
}

QColor RangeTool::barColor() const
{
    return systemColor(m_model.color(), systemPalette());
}

QPalette RangeTool::systemPalette() const
{
    // System colours have no disabled shades: a disabled control shows its
    // state by the etched looks alone.
    QPalette active = palette();
    active.setCurrentColorGroup(QPalette::Active);
    return active;
}

void RangeTool::loadProperties(const QVariantMap &properties)
{
    m_model.load(properties);
    changed();
}

void RangeTool::UpdatePosition()
{
    m_model.UpdatePosition();
    update();
}

QSize RangeTool::sizeHint() const
{
    return {200, 45};
}

QSize RangeTool::minimumSizeHint() const
{
    return {RangeToolModel::MinimumExtent, RangeToolModel::MinimumExtent};
}

void RangeTool::changed()
{
    updateCursor(mapFromGlobal(QCursor::pos()));
    update();
}

void RangeTool::updateCursor(QPointF position)
{
    if (m_pressed)
        return; // a drag keeps the cursor it started with
    const std::optional<Thumb> thumb = m_model.thumbAt(position);
    if (thumb && !m_model.isLocked(*thumb))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

double RangeTool::insideThumb(Thumb thumb, QPointF position) const
{
    return position.x() - m_model.thumbRect(thumb).left();
}

void RangeTool::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_model.setSize(size());
}

void RangeTool::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    // A disabled widget hears no release: the drag ends here, unreported.
    if (!isEnabled() && m_pressed) {
        m_model.release(*m_pressed);
        m_pressed.reset();
    }
    update();
}

void RangeTool::mousePressEvent(QMouseEvent *event)
{
    if (m_pressed)
        return; // a further button during a press changes nothing
    m_pressed = m_model.thumbAt(event->position());
    if (m_pressed && m_model.press(*m_pressed, insideThumb(*m_pressed, event->position())))
        update();
}

void RangeTool::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressed && m_model.moveTo(*m_pressed, insideThumb(*m_pressed, event->position()))) {
        update();
        emit Scroll();
    }
    updateCursor(event->position());
}

void RangeTool::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressed || event->buttons() != Qt::NoButton)
        return;
    const Thumb thumb = *m_pressed;
    m_pressed.reset();
    m_model.release(thumb);
    update();
    updateCursor(event->position());
    emit Change();
}

void RangeTool::paintEvent(QPaintEvent *)
{
    // The container's background shows through wherever nothing is drawn.
    QPainter painter(this);
    paintBorder(painter);
    painter.fillRect(m_model.barRect(), barColor());
    for (Thumb thumb : {RangeToolModel::Upper, RangeToolModel::Lower}) {
        if (m_model.isVisible(thumb))
            paintThumb(painter, thumb);
    }
}

void RangeTool::paintBorder(QPainter &painter) const
{
    const QRect track = m_model.trackRect();
    const QPalette pal = systemPalette();
    const QBrush face = pal.button();
    switch (isEnabled() ? m_model.borderStyle() : 4) {
    case 1:
        qDrawWinPanel(&painter, track, pal, false, &face);
        break;
    case 2:
        qDrawWinPanel(&painter, track, pal, true, &face);
        break;
    case 3:
        qDrawShadeRect(&painter, track, pal, false, 1, 0);
        break;
    case 4:
        qDrawShadeRect(&painter, track, pal, true, 1, 0);
        break;
    default:
        break;
    }
}

void RangeTool::paintThumb(QPainter &painter, Thumb thumb) const
{
    const QPalette pal = systemPalette();
    // The face in Midlight, not Button: where Button is as light as the
    // window (Fusion and most current themes) the white highlight edge that
    // shapes a raised thumb would vanish into it, and the upper thumb would
    // show as a lone dark stroke.
    const QRgb colours[] = {0, pal.color(QPalette::Midlight).rgba(),
                            pal.color(QPalette::Light).rgba(), pal.color(QPalette::Dark).rgba(),
                            pal.color(QPalette::Shadow).rgba()};
    const ThumbPicture picture = thumbPicture(thumb, m_model.look(thumb, isEnabled()));
    QImage image(RangeToolModel::ThumbSize, RangeToolModel::ThumbSize, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, colours[int(inkAt(picture, x, y))]);
    }
    painter.drawImage(m_model.thumbRect(thumb).topLeft(), image);
}
