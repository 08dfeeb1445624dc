#pragma once

#include "capture/CaptureBackend.h"
#include "cli/StatusLine.h"

#include <QObject>
#include <QString>
#include <QTimer>

struct CliOptions;
class SignalWatcher;

// clipwright-cli --list-devices, and --capture: checks the device and the
// output, records, and returns the exit status.
int runCaptureCommand(const CliOptions &options);

// One recording from the command line: starts it on the back end's first
// device, shows the counter on a terminal, stops on SIGINT / SIGTERM (the
// file is finished), prints the file and its figures and ends the event
// loop with 0, or 1 when anything failed.
class CaptureRun : public QObject
{
    Q_OBJECT

public:
    CaptureRun(CaptureBackend &backend, SignalWatcher &signalWatcher, CaptureRequest request,
               QObject *parent = nullptr);

    void start();

private:
    void onCapturingChanged(bool capturing);
    void onFailed(const QString &reason);
    void finish();
    void drawCounter();

    CaptureBackend &m_backend;
    CaptureRequest m_request;
    QString m_file;
    QString m_problem;
    QTimer m_counterTimer;
    StatusLine m_counter;
};
