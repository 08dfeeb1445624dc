#include "widgets/PreviewPanel.h"

#include "media/PlayerController.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int MinimumSurfaceWidth = 192;

} // namespace

PreviewSurface::PreviewSurface(QWidget *parent) : QWidget(parent)
{
    // A window of its own, whose id another process can draw into.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setMinimumSize(MinimumSurfaceWidth, MinimumSurfaceWidth * 9 / 16);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

PreviewPanel::PreviewPanel(PlayerController &controller, const QString &surfaceName,
                           const QString &sliderName, QWidget *parent)
    : QGroupBox(QStringLiteral("Privew"), parent), m_controller(controller),
      m_surface(new PreviewSurface(this)), m_slider(new QSlider(Qt::Horizontal, this)),
      m_current(new QLabel(this)), m_total(new QLabel(this))
{
    setObjectName(QStringLiteral("previewPanel"));
    m_surface->setObjectName(surfaceName);
    m_slider->setObjectName(sliderName);
    m_current->setObjectName(QStringLiteral("LblCurTime"));
    m_total->setObjectName(QStringLiteral("SkinLabel10"));
    m_slider->setRange(0, 100);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(5);

    const struct
    {
        const char *name;
        const char *caption;
        void (PlayerController::*action)();
    } buttons[] = {
        {"cmdPlay", "Play", &PlayerController::Play},
        {"cmdPause", "Pause", &PlayerController::Pause},
        {"cmdStop", "Stop", &PlayerController::Stop},
        {"cmdBack", "Back", &PlayerController::Back},
        {"cmdForward", "Forward", &PlayerController::Forward},
        {"Command4", "First Frame", &PlayerController::FirstFrame},
        {"Command5", "Last Frames", &PlayerController::LastFrames},
    };
    auto *grid = new QGridLayout;
    int index = 0;
    for (const auto &b : buttons) {
        auto *button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setObjectName(QString::fromLatin1(b.name));
        connect(button, &QPushButton::clicked, &controller, b.action);
        // Play, Pause, Stop above; Back, Forward, First and Last Frames below.
        grid->addWidget(button, index < 3 ? 0 : 1, index < 3 ? index : index - 3);
        ++index;
    }

    auto *times = new QHBoxLayout;
    times->addWidget(new QLabel(QStringLiteral("Current Time:"), this));
    times->addWidget(m_current);
    times->addStretch();
    times->addWidget(m_total);

    auto *controls = new QVBoxLayout;
    controls->addLayout(grid);
    controls->addWidget(m_slider);
    controls->addLayout(times);
    controls->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_surface);
    layout->addLayout(controls, 1);

    connect(m_slider, &QSlider::sliderReleased, this,
            [this, &controller] { controller.SeekFromSlider(m_slider->value()); });
    connect(&controller, &PlayerController::sliderValueChanged, m_slider, [this](int value) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(value);
    });
    connect(&controller, &PlayerController::currentTimeChanged, m_current, &QLabel::setText);
    connect(&controller, &PlayerController::totalTimeChanged, m_total, &QLabel::setText);
}

void PreviewPanel::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    // 16:9 from the height the panel gets, leaving the buttons their room.
    const QMargins margins = contentsMargins() + layout()->contentsMargins();
    const int height = this->height() - margins.top() - margins.bottom();
    const int room = width() - margins.left() - margins.right() - layout()->spacing() -
                     layout()->itemAt(1)->minimumSize().width();
    m_surface->setFixedWidth(qMax(MinimumSurfaceWidth, qMin(height * 16 / 9, room)));
}

void PreviewPanel::showEvent(QShowEvent *event)
{
    QGroupBox::showEvent(event);
    // The native window exists once the panel is shown.
    m_controller.setSurface(m_surface->winId());
}

QPushButton *PreviewPanel::button(const char *name) const
{
    return findChild<QPushButton *>(QString::fromLatin1(name));
}
