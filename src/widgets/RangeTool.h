#pragma once

#include "editor/RangeToolModel.h"

#include <QWidget>
#include <optional>

// The dual-thumb range control: paints what its RangeToolModel lays out and
// hands it the mouse. Change and Scroll come only from the user's drags;
// setting values in code emits neither.
class RangeTool : public QWidget
{
    Q_OBJECT

public:
    using Thumb = RangeToolModel::Thumb;

    explicit RangeTool(QWidget *parent = nullptr);

    int min() const { return m_model.min(); }
    int max() const { return m_model.max(); }
    int lowerValue() const { return m_model.lowerValue(); }
    int upperValue() const { return m_model.upperValue(); }
    void setMin(int value);
    void setMax(int value);
    void setLowerValue(int value);
    void setUpperValue(int value);

    bool isLocked(Thumb thumb) const { return m_model.isLocked(thumb); }
    void setLocked(Thumb thumb, bool locked);
    bool isThumbVisible(Thumb thumb) const { return m_model.isVisible(thumb); }
    void setThumbVisible(Thumb thumb, bool visible);
    int borderStyle() const { return m_model.borderStyle(); }
    void setBorderStyle(int style);
    // The bar's colour as an OLE colour (0x00BBGGRR or 0x800000NN for a
    // system colour), and the colour it is painted in.
    quint32 color() const { return m_model.color(); }
    void setColor(quint32 oleColor);
    QColor barColor() const;

    // The saved property set (see RangeToolModel::load).
    QVariantMap saveProperties() const { return m_model.save(); }
    void loadProperties(const QVariantMap &properties);

    // Lays the thumbs and the bar out again.
    void UpdatePosition();
    const RangeToolModel &model() const { return m_model; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A mouse button pressed on a thumb was released (also on a locked one).
    void Change();
    // A dragged thumb was moved, once per mouse movement.
    void Scroll();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void changed();
    QPalette systemPalette() const;
    void updateCursor(QPointF position);
    void paintBorder(QPainter &painter) const;
    void paintThumb(QPainter &painter, Thumb thumb) const;
    double insideThumb(Thumb thumb, QPointF position) const;

    RangeToolModel m_model;
    // The thumb the mouse button went down on, until every button is up.
    std::optional<Thumb> m_pressed;
};
