#pragma once

#include <QGroupBox>

class PlayerController;
class QLabel;
class QPushButton;
class QSlider;

// The black native window MPlayer draws into (-wid), kept at 16:9.
class PreviewSurface : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewSurface(QWidget *parent = nullptr);
    QSize sizeHint() const override { return {384, 216}; }
};

// A host's preview: the surface, the seven buttons, the position slider and
// the time labels, all driven by the host's PlayerController.
class PreviewPanel : public QGroupBox
{
    Q_OBJECT

public:
    // `surfaceName` and `sliderName` tell the host's controls apart ("Text2"
    // and "Slider1" in the main window).
    PreviewPanel(PlayerController &controller, const QString &surfaceName,
                 const QString &sliderName, QWidget *parent = nullptr);

    PreviewSurface *surface() const { return m_surface; }
    QSlider *slider() const { return m_slider; }
    QLabel *currentTime() const { return m_current; }
    QLabel *totalTime() const { return m_total; }
    QPushButton *button(const char *name) const;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    PlayerController &m_controller;
    PreviewSurface *m_surface;
    QSlider *m_slider;
    QLabel *m_current;
    QLabel *m_total;
};
