#include "imaging/BicubicScale.h"

#include <memory>

extern "C" {
#include <libswscale/swscale.h>
}

QImage scaleBicubic(const QImage &image, QSize size)
{
    if (image.isNull() || size.isEmpty())
        return {};
    // RGBA in and out: swscale then scales the channels directly, without a
    // detour through YUV that would blur the colours.
    const QImage source = image.convertToFormat(QImage::Format_RGBA8888);
    QImage scaled(size, QImage::Format_RGBA8888);
    if (scaled.isNull())
        return {};
    const std::unique_ptr<SwsContext, void (*)(SwsContext *)> context(
        sws_getContext(source.width(), source.height(), AV_PIX_FMT_RGBA, size.width(),
                       size.height(), AV_PIX_FMT_RGBA, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr,
                       nullptr, nullptr),
        sws_freeContext);
    if (!context)
        return {};
    const uint8_t *const sourcePlanes[] = {source.constBits()};
    const int sourceStrides[] = {int(source.bytesPerLine())};
    uint8_t *const scaledPlanes[] = {scaled.bits()};
    const int scaledStrides[] = {int(scaled.bytesPerLine())};
    if (sws_scale(context.get(), sourcePlanes, sourceStrides, 0, source.height(), scaledPlanes,
                  scaledStrides) != size.height())
        return {};
    return scaled.convertToFormat(QImage::Format_RGB32);
}
