#pragma once

#include "capture/CaptureStatistics.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <optional>

// The camera controls a capture window offers, numbered as its sliders.
enum class CameraProperty
{
    Pan = 0,
    Tilt = 1,
    Roll = 2,
    Zoom = 3
};

struct CameraControlRange
{
    int minimum = 0;
    int maximum = 0;
    int step = 1;
};

struct CaptureRequest
{
    QString file;                 // where the finished recording goes
    bool replaceExisting = false; // the user agreed to replace what is there
    double seconds = 0;           // stop by itself after this long; 0: only on stop
};

// What the capture window needs from a capture layer: the devices, one of
// them connected, its live preview, a recording into a file, the running
// statistics and the camera controls. The window drives it; tests give it a
// fake.
//
// Starting, stopping and failing take time (a device must be let go before
// it can be opened again), so their outcome comes as signals.
class CaptureBackend : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~CaptureBackend() override;

    virtual int deviceCount() const = 0;
    // The display name of device `index` (from 0).
    virtual QString deviceName(int index) const = 0;
    virtual void selectDevice(int index) = 0;
    virtual void setConnected(bool on) = 0;
    // The live image of the connected device, delivered as previewFrame().
    virtual void setPreview(bool on) = 0;

    // Starts recording from the connected device. A start that cannot
    // happen says why in failed(); capturingChanged(true) says it began.
    virtual void startCapture(const CaptureRequest &request) = 0;
    // Ends the recording; capturingChanged(false) follows once the file is
    // finished, and captureFinished() once it is in place.
    virtual void stopCapture() = 0;
    // True from the start of a recording until its file is finished.
    virtual bool isCapturing() const = 0;
    // Of the running or the last recording.
    virtual CaptureStatistics statistics() const = 0;

    // nullopt when the connected device does not offer the control.
    virtual std::optional<CameraControlRange> cameraControlRange(CameraProperty property) = 0;
    virtual std::optional<int> cameraControlGet(CameraProperty property) = 0;
    virtual bool cameraControlSet(CameraProperty property, int value) = 0;

signals:
    void capturingChanged(bool capturing);
    void captureFinished(const QString &file);
    // Why a start, a recording or the preview failed, in words for the user.
    void failed(const QString &reason);
    void previewFrame(const QImage &frame);
};
