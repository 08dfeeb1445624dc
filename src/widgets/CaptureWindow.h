#pragma once

#include <QDialog>
#include <array>

class CaptureBackend;
class CapturePreview;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTimer;
class Session;

// "Capture Video From DV": records from a camera into an AVI file through a
// capture back end, with the device list, the capture file, Start / Stop /
// Preview / Exit, the camera-control sliders and the capture counter.
//
// Beyond the plain button rules: a start that fails says why in the window;
// an existing capture file is replaced only when the user agrees; choosing
// another device or closing the window finishes a running recording first;
// after a recording the live picture stays on.
class CaptureWindow : public QDialog
{
    Q_OBJECT

public:
    CaptureWindow(CaptureBackend &backend, const QString &captureFile, QWidget *parent = nullptr);

    // Shows the window modally on this machine's devices (and the test
    // graph CLIPWRIGHT_TEST_CAMERA names), with FFmpeg from the session.
    static void execFor(Session &session, QWidget *parent);
    // dvcapture.avi in the user's Videos folder, else in the home folder.
    static QString defaultCaptureFile();

    // The buttons' commands.
    void startCapture();
    void stopCapture();
    void preview();
    void browse();
    // "Exit" and the window's close: a running recording is finished first.
    void reject() override;

    CapturePreview *picture() const { return m_picture; }

private:
    void chooseDevice(int index);
    // Start and Preview do nothing without a device, and stop a recording;
    // false when they go on.
    bool stopsInstead();
    void refreshButtons();
    void refreshCounter();
    void onCapturingChanged(bool capturing);
    void onFailed(const QString &reason);
    void showStatus(const QString &text);

    CaptureBackend &m_backend;
    QComboBox *m_devices = nullptr;
    QLineEdit *m_file = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_preview = nullptr;
    std::array<QSlider *, 4> m_sliders{};
    QLabel *m_counter = nullptr;
    QLabel *m_status = nullptr;
    CapturePreview *m_picture = nullptr;
    QTimer *m_timer = nullptr;
    bool m_closing = false; // waiting for the recording to finish before closing
};
