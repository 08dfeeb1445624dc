#include "widgets/CaptureWindow.h"

#include "capture/CaptureBackend.h"
#include "capture/CaptureDevice.h"
#include "capture/FfmpegCaptureBackend.h"
#include "process/ResultFile.h"
#include "session/Session.h"
#include "widgets/CapturePreview.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int CounterIntervalMs = 500;

const char *const controlNames[] = {"pan", "tilt", "roll", "zoom"};

QPushButton *button(const char *text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(QString::fromLatin1(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

CaptureWindow::CaptureWindow(CaptureBackend &backend, const QString &captureFile, QWidget *parent)
    : QDialog(parent), m_backend(backend)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Capture Video From DV"));
    setModal(true);

    m_picture = new CapturePreview(this);
    m_devices = new QComboBox(this);
    m_devices->setObjectName(QStringLiteral("Combo1"));
    m_devices->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto *fileFrame = new QGroupBox(QStringLiteral("Capture File"), this);
    m_file = new QLineEdit(captureFile, fileFrame);
    m_file->setObjectName(QStringLiteral("Text1"));
    QPushButton *browseButton = button("Browse...", "Command5", fileFrame);
    auto *fileLayout = new QGridLayout(fileFrame);
    fileLayout->addWidget(new QLabel(QStringLiteral("Capture File:"), fileFrame), 0, 0, 1, 2);
    fileLayout->addWidget(m_file, 1, 0);
    fileLayout->addWidget(browseButton, 1, 1);

    m_start = button("Start capture", "Command1", this);
    m_stop = button("Stop capture", "Command2", this);
    m_preview = button("Preview", "Command3", this);
    QPushButton *exitButton = button("Exit", "Command4", this);
    auto *buttons = new QGridLayout;
    buttons->addWidget(m_start, 0, 0);
    buttons->addWidget(m_stop, 0, 1);
    buttons->addWidget(m_preview, 1, 0);
    buttons->addWidget(exitButton, 1, 1);

    auto *controlFrame = new QGroupBox(QStringLiteral("Camera Control"), this);
    auto *controlLayout = new QFormLayout(controlFrame);
    const char *const captions[] = {"Pan:", "Tilt:", "Roll:", "Zoom:"};
    for (int i = 0; i < 4; ++i) {
        auto *slider = new QSlider(Qt::Horizontal, controlFrame);
        slider->setObjectName(QStringLiteral("Slider%1").arg(i));
        slider->setEnabled(false);
        connect(slider, &QSlider::valueChanged, this, [this, i](int value) {
            (void)m_backend.cameraControlSet(CameraProperty(i), value);
        });
        controlLayout->addRow(QString::fromLatin1(captions[i]), slider);
        m_sliders[size_t(i)] = slider;
    }

    m_counter = new QLabel(QStringLiteral("00:00:00"), this);
    m_counter->setObjectName(QStringLiteral("Label2"));
    auto *counterRow = new QHBoxLayout;
    counterRow->addWidget(new QLabel(QStringLiteral("Capture Time:"), this));
    counterRow->addWidget(m_counter, 1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText); // FFmpeg's reasons and file names
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *side = new QVBoxLayout;
    auto *cameraRow = new QHBoxLayout;
    cameraRow->addWidget(new QLabel(QStringLiteral("Camera"), this));
    cameraRow->addWidget(m_devices, 1);
    side->addLayout(cameraRow);
    side->addWidget(fileFrame);
    side->addLayout(buttons);
    side->addWidget(controlFrame);
    side->addLayout(counterRow);
    side->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(m_picture, 1);
    top->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_status);

    connect(m_start, &QPushButton::clicked, this, &CaptureWindow::startCapture);
    connect(m_stop, &QPushButton::clicked, this, &CaptureWindow::stopCapture);
    connect(m_preview, &QPushButton::clicked, this, &CaptureWindow::preview);
    connect(exitButton, &QPushButton::clicked, this, &CaptureWindow::reject);
    connect(browseButton, &QPushButton::clicked, this, &CaptureWindow::browse);
    connect(&m_backend, &CaptureBackend::previewFrame, m_picture, &CapturePreview::showFrame);
    connect(&m_backend, &CaptureBackend::capturingChanged, this,
            &CaptureWindow::onCapturingChanged);
    connect(&m_backend, &CaptureBackend::failed, this, &CaptureWindow::onFailed);
    connect(&m_backend, &CaptureBackend::captureFinished, this, [this](const QString &file) {
        showStatus(QStringLiteral("Saved as %1").arg(QDir::toNativeSeparators(file)));
        // The live picture stays on (no-op while closing, which turned it off).
        if (!m_closing)
            m_backend.setPreview(true);
    });

    for (int i = 0; i < m_backend.deviceCount(); ++i)
        m_devices->addItem(m_backend.deviceName(i));
    connect(m_devices, &QComboBox::currentIndexChanged, this, &CaptureWindow::chooseDevice);
    if (m_devices->count() > 0)
        chooseDevice(0);
    else
        showStatus(QStringLiteral("No capture device was found."));
    refreshButtons();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer, &QTimer::timeout, this, &CaptureWindow::refreshCounter);
    m_timer->start(CounterIntervalMs);
}

void CaptureWindow::execFor(Session &session, QWidget *parent)
{
    FfmpegCaptureBackend backend(session.keys(), session.setup().ffmpeg, availableCaptureDevices());
    CaptureWindow window(backend, defaultCaptureFile(), parent);
    window.exec();
}

QString CaptureWindow::defaultCaptureFile()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("dvcapture.avi"));
}

void CaptureWindow::chooseDevice(int index)
{
    if (index < 0)
        return;
    // A recording is finished from the device it came from.
    m_backend.stopCapture();
    m_backend.setConnected(false);
    m_backend.selectDevice(index);
    m_backend.setConnected(true);
    for (int i = 0; i < 4; ++i) {
        QSlider *slider = m_sliders[size_t(i)];
        const QSignalBlocker quiet(slider);
        const std::optional<CameraControlRange> range =
            m_backend.cameraControlRange(CameraProperty(i));
        slider->setEnabled(range.has_value());
        if (CameraProperty(i) == CameraProperty::Roll)
            slider->setToolTip(
                QStringLiteral("Roll cannot be set: V4L2 cameras have no roll control."));
        else
            slider->setToolTip(range ? QString()
                                     : QStringLiteral("This camera offers no %1 control.")
                                           .arg(QLatin1String(controlNames[i])));
        if (!range)
            continue;
        slider->setRange(range->minimum, range->maximum);
        slider->setSingleStep(qMax(1, range->step));
        if (const std::optional<int> value = m_backend.cameraControlGet(CameraProperty(i)))
            slider->setValue(*value);
    }
}

bool CaptureWindow::stopsInstead()
{
    if (m_devices->count() == 0)
        return true;
    if (m_backend.isCapturing()) {
        stopCapture();
        return true;
    }
    showStatus({});
    return false;
}

void CaptureWindow::startCapture()
{
    if (stopsInstead())
        return;
    CaptureRequest request{m_file->text()};
    const QString file = QFileInfo(request.file).absoluteFilePath();
    if (!request.file.isEmpty() && isPathTaken(file) && !QFileInfo(file).isDir()) {
        QMessageBox ask(QMessageBox::Question, QStringLiteral("Clipwright"),
                        QStringLiteral("The capture file %1 exists already.\nReplace it with "
                                       "the new recording when the capture stops?")
                            .arg(QDir::toNativeSeparators(file)),
                        QMessageBox::Yes | QMessageBox::No, this);
        ask.setDefaultButton(QMessageBox::No);
        ask.setTextFormat(Qt::PlainText);
        if (ask.exec() != QMessageBox::Yes)
            return;
        request.replaceExisting = true;
    }
    m_backend.setPreview(true);
    m_backend.startCapture(request);
    refreshButtons();
}

void CaptureWindow::stopCapture()
{
    m_backend.stopCapture();
    refreshButtons();
}

void CaptureWindow::preview()
{
    if (stopsInstead())
        return;
    m_backend.setPreview(true);
}

void CaptureWindow::browse()
{
    const QString chosen =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Video File"), m_file->text(),
                                     QStringLiteral("Avi Video file (*.avi)"), nullptr,
                                     // Start asks before an existing file is replaced.
                                     QFileDialog::DontConfirmOverwrite);
    if (!chosen.isEmpty())
        m_file->setText(QDir::toNativeSeparators(chosen));
}

void CaptureWindow::reject()
{
    if (!m_backend.isCapturing()) {
        m_closing = false;
        m_backend.setConnected(false);
        return QDialog::reject();
    }
    if (m_closing)
        return;
    m_closing = true;
    showStatus(QStringLiteral("Finishing the capture file…"));
    refreshButtons();
    // Closes when the file is finished (onCapturingChanged).
    m_backend.setPreview(false);
    m_backend.stopCapture();
}

void CaptureWindow::refreshButtons()
{
    const bool any = m_devices->count() > 0;
    const bool capturing = m_backend.isCapturing();
    m_start->setEnabled(any && !capturing && !m_closing);
    m_preview->setEnabled(any && !capturing && !m_closing);
    m_stop->setEnabled(any && !m_closing);
    m_devices->setEnabled(!m_closing);
}

void CaptureWindow::refreshCounter()
{
    if (m_backend.isCapturing())
        m_counter->setText(captureCounterText(m_backend.statistics()));
}

void CaptureWindow::onCapturingChanged(bool capturing)
{
    if (!capturing) {
        // The final figures, which come as FFmpeg closes the file.
        m_counter->setText(captureCounterText(m_backend.statistics()));
        if (m_closing)
            return reject();
    }
    refreshButtons();
}

void CaptureWindow::onFailed(const QString &reason)
{
    // The window stays open when finishing the file went wrong, so that the
    // reason can be read.
    m_closing = false;
    showStatus(reason);
    refreshButtons();
}

void CaptureWindow::showStatus(const QString &text)
{
    m_status->setText(text);
}
