#include "capture/V4l2CameraControls.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// 0 for roll: V4L2 defines no such control.
quint32 controlId(CameraProperty property)
{
    switch (property) {
    case CameraProperty::Pan:
        return V4L2_CID_PAN_ABSOLUTE;
    case CameraProperty::Tilt:
        return V4L2_CID_TILT_ABSOLUTE;
    case CameraProperty::Zoom:
        return V4L2_CID_ZOOM_ABSOLUTE;
    case CameraProperty::Roll:
        break;
    }
    return 0;
}

bool control(int fd, unsigned long request, void *argument)
{
    int result;
    do
        result = ::ioctl(fd, request, argument);
    while (result < 0 && errno == EINTR);
    return result == 0;
}

} // namespace

V4l2CameraControls::V4l2CameraControls(const QString &node)
    : m_fd(::open(QFile::encodeName(node).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC))
{
}

V4l2CameraControls::~V4l2CameraControls()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<CameraControlRange> V4l2CameraControls::range(CameraProperty property) const
{
    v4l2_queryctrl query{};
    query.id = controlId(property);
    if (m_fd < 0 || query.id == 0 || !control(m_fd, VIDIOC_QUERYCTRL, &query) ||
        (query.flags & V4L2_CTRL_FLAG_DISABLED))
        return std::nullopt;
    return CameraControlRange{query.minimum, query.maximum, query.step};
}

std::optional<int> V4l2CameraControls::get(CameraProperty property) const
{
    v4l2_control value{};
    value.id = controlId(property);
    if (m_fd < 0 || value.id == 0 || !control(m_fd, VIDIOC_G_CTRL, &value))
        return std::nullopt;
    return value.value;
}

bool V4l2CameraControls::set(CameraProperty property, int value) const
{
    v4l2_control setting{};
    setting.id = controlId(property);
    setting.value = value;
    return m_fd >= 0 && setting.id != 0 && control(m_fd, VIDIOC_S_CTRL, &setting);
}
