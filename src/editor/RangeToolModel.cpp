#include "editor/RangeToolModel.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Halves go to the even neighbour, and the result stays inside int even for
// values loaded unclamped from a saved set.
int roundToInt(double value)
{
    return int(std::nearbyint(std::clamp(value, double(INT_MIN), double(INT_MAX))));
}

RangeToolModel::Thumb other(RangeToolModel::Thumb thumb)
{
    return thumb == RangeToolModel::Lower ? RangeToolModel::Upper : RangeToolModel::Lower;
}

// The entry whose key equals `key` without regard to case.
QVariant property(const QVariantMap &properties, const QString &key)
{
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        if (it.key().compare(key, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return {};
}

int intProperty(const QVariantMap &properties, const QString &key, int fallback)
{
    bool ok = false;
    const int value = property(properties, key).toInt(&ok);
    return ok ? value : fallback;
}

bool boolProperty(const QVariantMap &properties, const QString &key, bool fallback)
{
    const QVariant value = property(properties, key);
    return value.canConvert<bool>() ? value.toBool() : fallback;
}

} // namespace

RangeToolModel::RangeToolModel()
{
    UpdatePosition();
}

void RangeToolModel::setMin(int value)
{
    m_min = qMax(value, 0);
    m_max = qMax(m_max, m_min);
    clampValues();
}

void RangeToolModel::setMax(int value)
{
    m_max = qMax(value, 0);
    m_min = qMin(m_min, m_max);
    clampValues();
}

void RangeToolModel::clampValues()
{
    for (int &v : m_value)
        v = qBound(m_min, v, m_max);
    UpdatePosition();
}

void RangeToolModel::setLowerValue(int value)
{
    m_value[Lower] = qBound(m_min, value, m_max);
    m_value[Upper] = qMax(m_value[Upper], m_value[Lower]);
    UpdatePosition();
}

void RangeToolModel::setUpperValue(int value)
{
    m_value[Upper] = qBound(m_min, value, m_max);
    m_value[Lower] = qMin(m_value[Lower], m_value[Upper]);
    UpdatePosition();
}

QSize RangeToolModel::setSize(QSize size)
{
    m_size = size.expandedTo({MinimumExtent, MinimumExtent});
    UpdatePosition();
    return m_size;
}

void RangeToolModel::UpdatePosition()
{
    m_trackLength = m_size.width() - 17;
    // In 64 bits: values loaded unclamped may span more than an int.
    const double range = double(qint64(m_max) - m_min);
    if (m_trackLength != 0)
        m_unitsPerPixel = float(range / m_trackLength);
    // With max == min the thumbs stay where they were.
    if (range != 0) {
        for (Thumb thumb : {Lower, Upper})
            m_left[thumb] = roundToInt((m_value[thumb] - double(m_min)) / range * m_trackLength);
    }
    m_bar = QRect(m_left[Lower] + 7, ThumbSize + 4, qMax(m_left[Upper] - m_left[Lower], 2),
                  m_size.height() - 2 * ThumbSize - 7);
}

QRect RangeToolModel::thumbRect(Thumb thumb) const
{
    // The vertical place follows the height even when max == min, so that
    // the lower thumb stays on the bottom edge of a resized control.
    const int top = thumb == Upper ? 0 : m_size.height() - ThumbSize;
    return QRect(m_left[thumb], top, ThumbSize, ThumbSize);
}

QRect RangeToolModel::trackRect() const
{
    return QRect(4, ThumbSize, m_size.width() - 8, m_size.height() - 2 * ThumbSize);
}

std::optional<RangeToolModel::Thumb> RangeToolModel::thumbAt(QPointF point) const
{
    for (Thumb thumb : {Upper, Lower}) {
        if (m_visible[thumb] && QRectF(thumbRect(thumb)).contains(point))
            return thumb;
    }
    return std::nullopt;
}

bool RangeToolModel::press(Thumb thumb, double x)
{
    if (m_locked[thumb])
        return false;
    m_dragging[thumb] = true;
    m_otherValueAtGrab = m_value[other(thumb)];
    m_grabOffset = roundToInt(x);
    return true;
}

bool RangeToolModel::moveTo(Thumb thumb, double x)
{
    if (!m_dragging[thumb])
        return false;
    int p = roundToInt(m_left[thumb] + x - m_grabOffset);
    if (p < 0)
        p = 0;
    if (p > m_trackLength)
        p = m_trackLength;
    const int moved = roundToInt(double(m_unitsPerPixel) * p + m_min);
    // The other thumb is pushed ahead while this one passes it and falls
    // back to where it was as this one returns; a locked one stops it.
    if (thumb == Lower) {
        setLowerValue(moved);
        if (m_locked[Upper])
            setLowerValue(qMin(m_otherValueAtGrab, m_value[Lower]));
        setUpperValue(qMax(m_otherValueAtGrab, m_value[Lower]));
    } else {
        setUpperValue(moved);
        if (m_locked[Lower])
            setUpperValue(qMax(m_otherValueAtGrab, m_value[Upper]));
        setLowerValue(qMin(m_otherValueAtGrab, m_value[Upper]));
    }
    UpdatePosition();
    return true;
}

void RangeToolModel::release(Thumb thumb)
{
    m_dragging[thumb] = false;
    UpdatePosition();
}

RangeToolModel::Look RangeToolModel::look(Thumb thumb, bool enabled) const
{
    if (m_locked[thumb] || !enabled)
        return Look::Etched;
    return m_dragging[thumb] ? Look::Pressed : Look::Raised;
}

QVariantMap RangeToolModel::save() const
{
    return {{"Min", m_min},
            {"Max", m_max},
            {"LowerValue", m_value[Lower]},
            {"UpperValue", m_value[Upper]},
            {"Color", m_color},
            {"LowerVisible", m_visible[Lower]},
            {"UpperVisible", m_visible[Upper]},
            {"LowerLocked", m_locked[Lower]},
            {"UpperLocked", m_locked[Upper]},
            {"BorderStyle", m_borderStyle}};
}

void RangeToolModel::load(const QVariantMap &properties)
{
    m_min = intProperty(properties, "Min", 0);
    m_max = intProperty(properties, "Max", 100);
    m_value[Lower] = intProperty(properties, "LowerValue", 25);
    m_value[Upper] = intProperty(properties, "UpperValue", 75);
    // A colour may come as the signed number 0x80000002 reads as in 32 bits.
    bool ok = false;
    const qint64 color = property(properties, "Color").toLongLong(&ok);
    m_color = ok ? quint32(color) : DefaultColor;
    m_visible[Lower] = boolProperty(properties, "LowerVisible", true);
    m_visible[Upper] = boolProperty(properties, "UpperVisible", true);
    m_locked[Lower] = boolProperty(properties, "LowerLocked", false);
    m_locked[Upper] = boolProperty(properties, "UpperLocked", false);
    m_borderStyle = intProperty(properties, "BorderStyle", DefaultBorderStyle);
    UpdatePosition();
}
