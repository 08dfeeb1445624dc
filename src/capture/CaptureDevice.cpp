#include "capture/CaptureDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

const QString TestPrefix = QStringLiteral("lavfi:");

CaptureDevice testDevice(const QString &graph)
{
    return {CaptureDevice::Kind::TestGraph, TestPrefix + graph,
            QStringLiteral("Test picture (%1)").arg(graph)};
}

CaptureDevice dvDevice()
{
    return {CaptureDevice::Kind::FireWireDv, QStringLiteral("dv"),
            QStringLiteral("FireWire DV camcorder")};
}

bool capturesVideo(const V4l2Capability &capability)
{
    return (capability.deviceCaps & V4L2_CAP_VIDEO_CAPTURE) != 0;
}

} // namespace

std::optional<V4l2Capability> queryV4l2Capability(const QString &node)
{
    const int fd = ::open(QFile::encodeName(node).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    v4l2_capability capability{};
    int result;
    do
        result = ::ioctl(fd, VIDIOC_QUERYCAP, &capability);
    while (result < 0 && errno == EINTR);
    ::close(fd);
    if (result < 0)
        return std::nullopt;
    // Older drivers fill in only the capabilities of the whole device.
    const quint32 caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps
                                                                          : capability.capabilities;
    const auto card = reinterpret_cast<const char *>(capability.card);
    return V4l2Capability{
        QString::fromUtf8(card, qsizetype(::strnlen(card, sizeof capability.card))), caps};
}

QVector<CaptureDevice> listCaptureDevices(const QString &devRoot, const QString &testGraph,
                                          const CapabilityQuery &query)
{
    const QDir root(devRoot);
    static const QRegularExpression videoNode(QStringLiteral("^video(\\d+)$"));
    QVector<std::pair<int, QString>> nodes;
    for (const QString &name : root.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = videoNode.match(name);
        if (match.hasMatch())
            nodes.append({match.captured(1).toInt(), root.filePath(name)});
    }
    std::sort(nodes.begin(), nodes.end());

    QVector<CaptureDevice> devices;
    QHash<QString, int> nameCount;
    for (const auto &node : std::as_const(nodes)) {
        const std::optional<V4l2Capability> capability = query(node.second);
        if (!capability || !capturesVideo(*capability))
            continue;
        const QString card = capability->card.isEmpty() ? node.second : capability->card;
        devices.append({CaptureDevice::Kind::V4l2, node.second, card});
        ++nameCount[card];
    }
    for (CaptureDevice &device : devices) {
        if (nameCount.value(device.name) > 1)
            device.name += QStringLiteral(" (%1)").arg(device.id);
    }

    static const QRegularExpression fireWireNode(QStringLiteral("^fw\\d+$"));
    const QStringList fireWire =
        root.entryList({QStringLiteral("fw*")}, QDir::System | QDir::Files);
    if (std::any_of(fireWire.cbegin(), fireWire.cend(),
                    [](const QString &name) { return fireWireNode.match(name).hasMatch(); }))
        devices.append(dvDevice());
    if (!testGraph.isEmpty())
        devices.append(testDevice(testGraph));
    return devices;
}

QVector<CaptureDevice> availableCaptureDevices()
{
    return listCaptureDevices(QStringLiteral("/dev"),
                              qEnvironmentVariable("CLIPWRIGHT_TEST_CAMERA").trimmed());
}

std::optional<CaptureDevice> captureDeviceFromId(const QString &id, QString *error,
                                                 const CapabilityQuery &query)
{
    if (id == QLatin1String("dv"))
        return dvDevice();
    if (id.startsWith(TestPrefix)) {
        if (id.size() > TestPrefix.size())
            return testDevice(id.mid(TestPrefix.size()));
        *error = QStringLiteral("lavfi: needs a filter graph, e.g. lavfi:testsrc");
        return std::nullopt;
    }
    if (!id.startsWith(QLatin1Char('/'))) {
        *error =
            QStringLiteral("unknown device \"%1\": give /dev/videoN, dv or lavfi:GRAPH").arg(id);
        return std::nullopt;
    }
    if (!QFileInfo::exists(id)) {
        *error = QStringLiteral("there is no device %1").arg(id);
        return std::nullopt;
    }
    const std::optional<V4l2Capability> capability = query(id);
    if (!capability || !capturesVideo(*capability)) {
        *error = QStringLiteral("%1 is not a video capture device").arg(id);
        return std::nullopt;
    }
    return CaptureDevice{CaptureDevice::Kind::V4l2, id,
                         capability->card.isEmpty() ? id : capability->card};
}
