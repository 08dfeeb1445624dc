#include "widgets/PreviewPanel.h"

#include "media/PlayerController.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
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
}

void PreviewSurface::setStill(const QImage &picture)
{
    m_still = picture;
    update();
}

void PreviewSurface::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (m_still.isNull())
        return;
    QPainter painter(this);
    const QSize fitted = m_still.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_still);
}

PreviewPanel::PreviewPanel(PlayerController &controller, const QString &title,
                           const QString &surfaceName, const QString &sliderName,
                           Qt::Orientation controlsBeside, QWidget *parent)
    : QGroupBox(title, parent), m_controller(controller), m_surface(new PreviewSurface(this)),
      m_slider(new QSlider(Qt::Horizontal, this)), m_current(new QLabel(this)),
      m_total(new QLabel(this))
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
        // Beside the picture: Play, Pause, Stop above Back, Forward, First and
        // Last Frames; below it: one row.
        if (controlsBeside == Qt::Horizontal)
            grid->addWidget(button, index < 3 ? 0 : 1, index < 3 ? index : index - 3);
        else
            grid->addWidget(button, 0, index);
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
    if (controlsBeside == Qt::Horizontal)
        controls->addStretch();

    // The surface keeps 16:9 inside the room the layout gives it.
    m_holder = new QWidget(this);
    m_holder->setMinimumSize(MinimumSurfaceWidth, MinimumSurfaceWidth * 9 / 16);
    m_holder->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_surface->setParent(m_holder);
    m_holder->installEventFilter(this);
    auto *layout = new QBoxLayout(
        controlsBeside == Qt::Horizontal ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom, this);
    layout->addWidget(m_holder, 3);
    layout->addLayout(controls, controlsBeside == Qt::Horizontal ? 2 : 0);

    // The seek goes where the handle was let go; while the user holds the
    // handle the clock does not move it.
    connect(m_slider, &QSlider::sliderReleased, this,
            [this, &controller] { controller.SeekFromSlider(m_slider->sliderPosition()); });
    connect(&controller, &PlayerController::sliderValueChanged, m_slider, [this](int value) {
        if (m_slider->isSliderDown())
            return;
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(value);
    });
    connect(&controller, &PlayerController::currentTimeChanged, m_current, &QLabel::setText);
    connect(&controller, &PlayerController::totalTimeChanged, m_total, &QLabel::setText);
    // A player drawing here replaces any still picture.
    connect(&controller, &PlayerController::clockRunningChanged, m_surface, [this](bool running) {
        if (running)
            m_surface->setStill({});
    });
}

bool PreviewPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_holder && event->type() == QEvent::Resize) {
        const QSize fitted = QSize(16, 9).scaled(m_holder->size(), Qt::KeepAspectRatio);
        m_surface->setGeometry(QRect(QPoint((m_holder->width() - fitted.width()) / 2,
                                            (m_holder->height() - fitted.height()) / 2),
                                     fitted));
    }
    return QGroupBox::eventFilter(watched, event);
}

void PreviewPanel::showEvent(QShowEvent *event)
{
    QGroupBox::showEvent(event);
    // A style sheet's min-width would let the layout squeeze a caption
    // ("Last Frames") below its own width.
    for (QPushButton *button : findChildren<QPushButton *>()) {
        button->ensurePolished();
        button->setMinimumWidth(button->sizeHint().width());
    }
    // The native window exists once the panel is shown.
    m_controller.setSurface(m_surface->winId());
}

QPushButton *PreviewPanel::button(const char *name) const
{
    return findChild<QPushButton *>(QString::fromLatin1(name));
}
