#pragma once

#include <QRect>
#include <QSize>
#include <QVariantMap>
#include <array>
#include <optional>

// The values and the pixel arithmetic of the dual-thumb range control, with
// no painting: the upper thumb runs along the top edge, the lower one along
// the bottom edge, and the bar between them marks the range. The widget
// forwards its size and mouse events here and paints what this reports.
class RangeToolModel
{
public:
    enum Thumb
    {
        Lower,
        Upper
    };
    enum class Look
    {
        Raised,
        Pressed,
        Etched
    };

    static constexpr int ThumbSize = 15;
    static constexpr int MinimumExtent = 40;
    // "Active caption" as a system colour (high bit set, index in the low byte).
    static constexpr quint32 DefaultColor = 0x80000002u;
    static constexpr int DefaultBorderStyle = 4; // etched

    RangeToolModel();

    int min() const { return m_min; }
    int max() const { return m_max; }
    int lowerValue() const { return m_value[Lower]; }
    int upperValue() const { return m_value[Upper]; }
    int value(Thumb thumb) const { return m_value[thumb]; }
    // The setters keep 0 <= min <= lowerValue <= upperValue <= max.
    void setMin(int value);
    void setMax(int value);
    void setLowerValue(int value);
    void setUpperValue(int value);

    bool isLocked(Thumb thumb) const { return m_locked[thumb]; }
    void setLocked(Thumb thumb, bool locked) { m_locked[thumb] = locked; }
    bool isVisible(Thumb thumb) const { return m_visible[thumb]; }
    void setVisible(Thumb thumb, bool visible) { m_visible[thumb] = visible; }
    // 0 none, 1 raised, 2 sunken, 3 bump, 4 etched; anything else draws none.
    int borderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style) { m_borderStyle = style; }
    // An OLE colour: 0x00BBGGRR, or 0x800000NN for system colour NN.
    quint32 color() const { return m_color; }
    void setColor(quint32 color) { m_color = color; }

    // Below 40 pixels either way the control is enlarged to 40; returns the
    // size it takes.
    QSize setSize(QSize size);
    QSize size() const { return m_size; }

    // Places the thumbs and the bar for the current values and size. Steps
    // that would divide by zero (max == min, or no track) are left out and
    // keep what they gave before.
    void UpdatePosition();
    int trackLength() const { return m_trackLength; }
    float unitsPerPixel() const { return m_unitsPerPixel; }
    QRect thumbRect(Thumb thumb) const;
    QRect barRect() const { return m_bar; }
    QRect trackRect() const;
    // The visible thumb under a point of the control, if any.
    std::optional<Thumb> thumbAt(QPointF point) const;

    // A drag: `x` is the pointer's horizontal position inside the thumb's
    // square. press() refuses a locked thumb (returns false); moveTo()
    // returns true when it moved a dragged thumb, which the control reports
    // as a scroll even when the value stayed; release() ends the drag.
    bool press(Thumb thumb, double x);
    bool moveTo(Thumb thumb, double x);
    void release(Thumb thumb);
    bool isDragging(Thumb thumb) const { return m_dragging[thumb]; }
    int grabOffset() const { return m_grabOffset; }
    int otherValueAtGrab() const { return m_otherValueAtGrab; }
    Look look(Thumb thumb, bool enabled) const;

    // The saved property set: "Min", "Max", "LowerValue", "UpperValue",
    // "Color", "LowerVisible", "UpperVisible", "LowerLocked", "UpperLocked",
    // "BorderStyle". Keys are matched without regard to case, a missing or
    // unreadable key takes its default, and values are taken as they are.
    QVariantMap save() const;
    void load(const QVariantMap &properties);

private:
    // Brings both values into [min, max] after either end moved.
    void clampValues();

    int m_min = 0;
    int m_max = 100;
    std::array<int, 2> m_value = {25, 75};
    std::array<bool, 2> m_locked = {false, false};
    std::array<bool, 2> m_visible = {true, true};
    int m_borderStyle = DefaultBorderStyle;
    quint32 m_color = DefaultColor;

    QSize m_size{MinimumExtent, MinimumExtent};
    int m_trackLength = 0;
    float m_unitsPerPixel = 0;
    std::array<int, 2> m_left = {0, 0};
    QRect m_bar;

    std::array<bool, 2> m_dragging = {false, false};
    int m_grabOffset = 0;
    int m_otherValueAtGrab = 0;
};
