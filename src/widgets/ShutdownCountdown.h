#pragma once

#include "engine/SystemServices.h"

#include <QDialog>
#include <QTimer>

class QLabel;

// "Shutting down in N seconds" with Cancel, counting down once a second.
// Accepted when the count reaches 0, rejected by Cancel.
class ShutdownCountdownDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ShutdownCountdownDialog(int seconds, QWidget *parent = nullptr);
    int remaining() const { return m_remaining; }

private:
    void showRemaining();

    int m_remaining;
    QLabel *m_label;
    QTimer m_timer;
};

// Asks the user first: the real power-off runs only when the countdown
// runs out.
class CountdownPowerControl : public PowerControl
{
public:
    CountdownPowerControl(PowerControl &real, QWidget *parent, int seconds = 60)
        : m_real(real), m_parent(parent), m_seconds(seconds)
    {
    }
    // The window the countdown dialog belongs to.
    void setParentWidget(QWidget *parent) { m_parent = parent; }
    void powerOff() override;

private:
    PowerControl &m_real;
    QWidget *m_parent;
    int m_seconds;
};
