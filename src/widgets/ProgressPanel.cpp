#include "widgets/ProgressPanel.h"

#include "widgets/MessageBoxes.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QProgressBar *makeBar(QWidget *parent)
{
    auto *bar = new QProgressBar(parent);
    // The bars show what the engine says, which may exceed 100 for a moment.
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(true);
    return bar;
}

} // namespace

ProgressPanel::ProgressPanel(QWidget *parent)
    : QFrame(parent), m_frame(new QGroupBox(QStringLiteral("Progress...."), this)),
      m_itemBar(makeBar(this)), m_totalBar(makeBar(this)),
      m_elapsed(new QLabel(QStringLiteral("00:00:00"), this)), m_rate(new QLabel(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)),
      m_caption(QStringLiteral("Progress...."))
{
    setObjectName(QStringLiteral("progressPanel"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setCursor(Qt::SizeAllCursor);

    auto *current = new QGroupBox(QStringLiteral("Currently Conversion"), m_frame);
    auto *currentLayout = new QVBoxLayout(current);
    currentLayout->addWidget(m_itemBar);
    currentLayout->addWidget(m_rate);
    auto *total = new QGroupBox(QStringLiteral("Total Conversion"), m_frame);
    auto *totalLayout = new QVBoxLayout(total);
    totalLayout->addWidget(m_totalBar);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Current video Time:"), m_frame));
    bottom->addWidget(m_elapsed);
    bottom->addStretch();
    bottom->addWidget(m_cancel);
    m_cancel->setCursor(Qt::ArrowCursor);

    auto *frameLayout = new QVBoxLayout(m_frame);
    frameLayout->addWidget(current);
    frameLayout->addWidget(total);
    frameLayout->addLayout(bottom);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame);
    m_elapsed->setObjectName(QStringLiteral("elapsedLabel"));
    m_rate->setObjectName(QStringLiteral("rateLabel"));
    m_elapsed->setTextFormat(Qt::PlainText);
    m_rate->setTextFormat(Qt::PlainText);

    connect(m_cancel, &QPushButton::clicked, this, &ProgressPanel::cancelClicked);
}

void ProgressPanel::setCaption(const QString &caption)
{
    m_caption = caption;
    m_frame->setToolTip(plainToolTip(caption));
    showCaption();
}

void ProgressPanel::showCaption()
{
    // Long paths are shortened in the middle; the whole text is the tooltip.
    const int room = qMax(80, width() - 60);
    m_frame->setTitle(m_frame->fontMetrics().elidedText(m_caption, Qt::ElideMiddle, room));
}

void ProgressPanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    showCaption();
}

void ProgressPanel::setItemProgress(int percent)
{
    m_itemBar->setValue(qBound(0, percent, 100));
}

void ProgressPanel::setTotalProgress(int percent)
{
    m_totalBar->setValue(qBound(0, percent, 100));
}

void ProgressPanel::setElapsed(const QString &text)
{
    m_elapsed->setText(text);
}

void ProgressPanel::setRate(const QString &text)
{
    m_rate->setText(text);
    m_rate->setVisible(!text.isEmpty());
}

QString ProgressPanel::caption() const
{
    return m_caption;
}

QString ProgressPanel::elapsed() const
{
    return m_elapsed->text();
}

QString ProgressPanel::rate() const
{
    return m_rate->text();
}

void ProgressPanel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QFrame::mousePressEvent(event);
    m_dragging = true;
    m_grab = event->position().toPoint();
    grabMouse();
}

void ProgressPanel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return QFrame::mouseMoveEvent(event);
    move(mapToParent(event->position().toPoint()) - m_grab);
}

void ProgressPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return QFrame::mouseReleaseEvent(event);
    m_dragging = false;
    releaseMouse();
}
