#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal, read from a signalfd in the
// event loop, so nothing but a kernel read happens at signal time.
//
// Both signals stay blocked in the whole process, so that they wait in the
// signalfd. Children must not inherit the mask (see prepareChild()).
class SignalWatcher : public QObject
{
    Q_OBJECT

public:
    // Call first in main(), before any thread or child exists, so that every
    // thread inherits the mask. False when the mask cannot be set.
    static bool blockTerminationSignals();

    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool isValid() const { return m_fd >= 0; }

signals:
    void received(int signalNumber);

private:
    void readSignals();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
