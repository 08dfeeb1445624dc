#pragma once

#include <QString>
#include <QVector>
#include <functional>
#include <optional>

// A device a recording can come from.
struct CaptureDevice
{
    enum class Kind
    {
        V4l2,       // a camera or capture card: /dev/videoN
        FireWireDv, // a DV camcorder on FireWire, through iec61883
        TestGraph   // an FFmpeg lavfi graph standing in for a camera
    };
    Kind kind = Kind::V4l2;
    QString id;   // what the command line takes: /dev/videoN, dv, lavfi:GRAPH
    QString name; // what the window lists
};

// What VIDIOC_QUERYCAP says about a node.
struct V4l2Capability
{
    QString card;
    quint32 deviceCaps = 0; // the node's own capabilities
};

using CapabilityQuery = std::function<std::optional<V4l2Capability>(const QString &node)>;

// Asks the V4L2 driver behind `node`; nullopt when it is not a V4L2 node or
// cannot be opened.
std::optional<V4l2Capability> queryV4l2Capability(const QString &node);

// The devices under `devRoot`: the videoN nodes that capture video (a UVC
// camera's metadata node does not), in node order, named by their card
// (with the node in brackets when two share a name); then FireWire DV when
// a fwN node exists; then `testGraph` when it is not empty.
QVector<CaptureDevice> listCaptureDevices(const QString &devRoot, const QString &testGraph,
                                          const CapabilityQuery &query = queryV4l2Capability);

// The devices of this machine, with the test graph that the environment
// variable CLIPWRIGHT_TEST_CAMERA names.
QVector<CaptureDevice> availableCaptureDevices();

// The device named by a command-line `id` (/dev/videoN, dv, lavfi:GRAPH), or
// nullopt and the reason in `error`.
std::optional<CaptureDevice>
captureDeviceFromId(const QString &id, QString *error,
                    const CapabilityQuery &query = queryV4l2Capability);
