#include "../TestSupport.h"
#include "capture/CaptureBackend.h"
#include "widgets/CaptureWindow.h"

namespace {

// A capture layer that records what the window asks of it. Start and stop
// take effect at once; stop reports the file as finished first, as the
// real one does.
using Ranges = QMap<int, CameraControlRange>;

struct FakeBackend : CaptureBackend
{
    QStringList devices = {"Camera"};
    Ranges ranges; // a control's value is two steps above its minimum
    bool capturing = false;
    QString file;
    QStringList log;

    int deviceCount() const override { return int(devices.size()); }
    QString deviceName(int index) const override { return devices.value(index); }
    void selectDevice(int index) override { log << QString("select %1").arg(index); }
    void setConnected(bool on) override { log << QString("connect %1").arg(on); }
    void setPreview(bool on) override { log << QString("preview %1").arg(on); }
    void startCapture(const CaptureRequest &request) override
    {
        log << "start " + request.file + (request.replaceExisting ? " replace" : "");
        file = request.file;
        capturing = true;
        emit capturingChanged(true);
    }
    void stopCapture() override
    {
        if (!capturing)
            return;
        log << "stop";
        capturing = false;
        emit captureFinished(file);
        emit capturingChanged(false);
    }
    bool isCapturing() const override { return capturing; }
    CaptureStatistics statistics() const override { return {}; }
    std::optional<CameraControlRange> cameraControlRange(CameraProperty p) override
    {
        return ranges.contains(int(p)) ? std::optional(ranges[int(p)]) : std::nullopt;
    }
    std::optional<int> cameraControlGet(CameraProperty p) override
    {
        const auto range = cameraControlRange(p);
        return range ? std::optional(range->minimum + 2 * range->step) : std::nullopt;
    }
    bool cameraControlSet(CameraProperty p, int value) override
    {
        log << QString("set %1 %2").arg(int(p)).arg(value);
        return true;
    }
};

} // namespace

class TestCaptureWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file = m_dir.filePath("dvcapture.avi");

private slots:
    void init() { QFile::remove(m_file); }

    // Pan and zoom offered, tilt not, roll never.
    void cameraControls()
    {
        FakeBackend backend;
        backend.ranges = {{0, {-36000, 36000, 3600}}, {3, {100, 500, 10}}};
        CaptureWindow window(backend, m_file);
        for (int i = 0; i < 4; ++i) {
            auto *slider = window.findChild<QSlider *>(qPrintable(QString("Slider%1").arg(i)));
            const CameraControlRange range = backend.ranges.value(i);
            QCOMPARE(slider->isEnabled(), backend.ranges.contains(i));
            QCOMPARE(slider->toolTip().isEmpty(), slider->isEnabled()); // why it is off
            if (!slider->isEnabled())
                continue;
            QCOMPARE(QList<int>({slider->minimum(), slider->maximum(), slider->value()}),
                     QList<int>({range.minimum, range.maximum, range.minimum + 2 * range.step}));
            slider->setValue(range.maximum);
            QCOMPARE(backend.log.last(), QString("set %1 %2").arg(i).arg(range.maximum));
        }
    }

    // Actions: a click on start, stop, preview, exit or browse; device1
    // (choose the second device), existing (an earlier capture in the file),
    // and the answer to the next modal window (Yes, No, Cancel). `calls` ends
    // with the messages shown.
    void buttonRules_data()
    {
        addColumns<int, QString, QStringList, QString>("devices", "actions", "calls", "status");
        using L = QStringList;
        const QString start = "start " + m_file, saved = "Saved as " + m_file;
        newRow("no device: nothing starts", 0, "start preview", L{},
               "No capture device was found.");
        newRow("start", 2, "start", L{"preview 1", start}, "");
        newRow("stop, then preview", 2, "start stop preview",
               L{"preview 1", start, "stop", "preview 1", "preview 1"}, "");
        newRow("another device stops first", 2, "start device1",
               L{"preview 1", start, "stop", "preview 1", "connect 0", "select 1", "connect 1"},
               saved);
        newRow("exit stops, then closes", 2, "start exit",
               L{"preview 1", start, "preview 0", "stop", "connect 0"}, "closed");
        const QString exists = "Clipwright i The capture file " + m_file + " exists already.";
        newRow("existing file kept on No", 2, "existing No start", L{exists}, "");
        newRow("browse cancelled keeps the path", 2, "Cancel browse", L{}, "");
    }
    void buttonRules()
    {
        QFETCH(int, devices);
        QFETCH(QString, actions);
        QFETCH(QStringList, calls);
        QFETCH(QString, status);
        FakeBackend backend;
        backend.devices = QStringList{"Camera A", "Camera B"}.mid(0, devices);
        CaptureWindow window(backend, m_file);
        window.show();
        backend.log.clear();
        ModalAnswerer answerer;
        const QStringList order = {"start", "stop", "preview", "exit", "browse"}; // Command1...
        for (const QString &action : actions.split(' ')) {
            if (action[0].isUpper())
                answerer.press = action;
            else if (action == "existing")
                QVERIFY(writeFile(m_file, "an earlier capture"));
            else if (action == "device1")
                window.findChild<QComboBox *>("Combo1")->setCurrentIndex(1);
            else
                window
                    .findChild<QPushButton *>(QString("Command%1").arg(order.indexOf(action) + 1))
                    ->click();
        }
        QCOMPARE(backend.log + answerer.texts, calls); // which tells whether it records
        QCOMPARE(window.isVisible() ? window.findChild<QLabel *>("status")->text() : "closed",
                 status);
        if (!window.isVisible())
            return;
        const auto on = [&](const char *name) {
            return window.findChild<QWidget *>(name)->isEnabled();
        };
        const bool idle = devices > 0 && !backend.capturing; // Start, Preview; then Stop
        QCOMPARE(QList<bool>({on("Command1"), on("Command3"), on("Command2")}),
                 QList<bool>({idle, idle, devices > 0}));
        QCOMPARE(window.findChild<QLineEdit *>("Text1")->text(), m_file);
    }
};

QTEST_MAIN(TestCaptureWindow)
#include "tst_CaptureWindow.moc"
