#pragma once

#include <QImage>

// The picture scaled to `size` with libswscale's bicubic filter (Qt's smooth
// scaling is bilinear). The result is opaque RGB32: transparent pixels must
// be flattened before. A null image when the size is empty or the scaler
// refuses the sizes.
QImage scaleBicubic(const QImage &image, QSize size);
