#pragma once

#include "capture/CaptureBackend.h"
#include "capture/CaptureDevice.h"
#include "capture/CaptureProgress.h"

#include <QTimer>
#include <QVector>
#include <memory>

class KeyChannel;
class QProcess;
class V4l2CameraControls;

// The capture layer on FFmpeg: one FFmpeg reads the connected device and
// writes the recording (first output) and the preview frames (second output,
// raw RGB on its standard output). A device can be opened only once, so the
// preview alone runs an FFmpeg with just the preview output, and a recording
// replaces it with one that writes both. Whatever FFmpeg is wanted next
// starts when the previous one has let the device go.
//
// A recording goes to a hidden part file beside the capture file
// (".cw-XXXXXXXX.avi") and is moved to the capture file when FFmpeg has
// finished it: after stop ("q" through the key channel), after the request's
// seconds, or when FFmpeg ends by itself with frames recorded (they are
// kept, and the failure is reported). A file whose FFmpeg had to be
// terminated or killed after stop is kept too, reported as possibly damaged.
class FfmpegCaptureBackend : public CaptureBackend
{
    Q_OBJECT

public:
    // `ffmpeg` is the resolved program; empty when there is none.
    FfmpegCaptureBackend(KeyChannel &keys, QString ffmpeg, QVector<CaptureDevice> devices,
                         QObject *parent = nullptr);
    // A recording that still runs is finished and placed, with nobody told.
    ~FfmpegCaptureBackend() override;

    int deviceCount() const override { return int(m_devices.size()); }
    QString deviceName(int index) const override;
    void selectDevice(int index) override;
    void setConnected(bool on) override;
    void setPreview(bool on) override;
    void startCapture(const CaptureRequest &request) override;
    void stopCapture() override;
    bool isCapturing() const override { return m_capturing; }
    CaptureStatistics statistics() const override { return m_recordingOutput.statistics(); }
    std::optional<CameraControlRange> cameraControlRange(CameraProperty property) override;
    std::optional<int> cameraControlGet(CameraProperty property) override;
    bool cameraControlSet(CameraProperty property, int value) override;

    // How long FFmpeg gets to close its file after "q" before it is
    // terminated, and killed a few seconds later.
    void setGracePeriod(int milliseconds) { m_graceMs = milliseconds; }

private:
    const CaptureDevice *connectedDevice() const;
    V4l2CameraControls *controls();
    // Starts the FFmpeg that is wanted now, when none runs.
    void launchWanted();
    void stopProcess();
    void readPreview(QProcess *process);
    void readErrors(QProcess *process);
    void onEnded(QProcess *process);
    // How the FFmpeg that recorded ended: by itself or after "q" with exit
    // code 0; terminated or killed after Stop; or by itself with an error.
    enum class RecordingEnd
    {
        Finished,
        Forced,
        Failed
    };
    void finishRecording(RecordingEnd end, const QString &reason);
    // Drops a recording that never reached FFmpeg.
    void dropPendingRecording();

    KeyChannel &m_keys;
    QString m_ffmpeg;
    QVector<CaptureDevice> m_devices;
    int m_selected = -1;
    bool m_connected = false;
    bool m_preview = false;
    std::unique_ptr<V4l2CameraControls> m_controls;

    QProcess *m_process = nullptr;
    bool m_processRecords = false;
    bool m_stopSent = false;
    bool m_destroying = false;
    int m_graceMs = 5000;

    bool m_capturing = false;
    bool m_recordingLaunched = false;
    CaptureRequest m_request; // its file made absolute
    QString m_partPath;
    CaptureProgress m_recordingOutput;
    CaptureProgress m_previewOutput;
};
