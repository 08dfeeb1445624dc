#pragma once

#include "capture/CaptureBackend.h"

#include <QString>
#include <optional>

// Pan, tilt and zoom of a V4L2 camera through its absolute controls. V4L2
// has no roll control, so roll is never offered. The node stays open while
// the object lives; controls work beside a running capture.
class V4l2CameraControls
{
public:
    explicit V4l2CameraControls(const QString &node);
    ~V4l2CameraControls();
    V4l2CameraControls(const V4l2CameraControls &) = delete;
    V4l2CameraControls &operator=(const V4l2CameraControls &) = delete;

    std::optional<CameraControlRange> range(CameraProperty property) const;
    std::optional<int> get(CameraProperty property) const;
    bool set(CameraProperty property, int value) const;

private:
    int m_fd = -1;
};
