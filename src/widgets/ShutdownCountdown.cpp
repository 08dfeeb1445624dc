#include "widgets/ShutdownCountdown.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

ShutdownCountdownDialog::ShutdownCountdownDialog(int seconds, QWidget *parent)
    : QDialog(parent), m_remaining(seconds), m_label(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Clipwright"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(buttons);
    showRemaining();
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (--m_remaining <= 0) {
            m_timer.stop();
            accept();
        } else {
            showRemaining();
        }
    });
    m_timer.start();
}

void ShutdownCountdownDialog::showRemaining()
{
    m_label->setText(QStringLiteral("Shutting down in %1 seconds").arg(m_remaining));
}

void CountdownPowerControl::powerOff()
{
    ShutdownCountdownDialog dialog(m_seconds, m_parent);
    if (dialog.exec() == QDialog::Accepted)
        m_real.powerOff();
}
