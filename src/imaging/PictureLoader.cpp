#include "imaging/PictureLoader.h"

#include "imaging/BicubicScale.h"

#include <QImageReader>
#include <QPainter>
#include <cmath>

namespace {

QImage failed(const QString &fileName, PictureError *error)
{
    if (error)
        *error = {999, QStringLiteral("GDI+ Module"), "Error loading picture " + fileName};
    return {};
}

// Where the picture goes on a width x height canvas.
QSize drawnSize(QSize picture, int width, int height, bool keepAspect)
{
    if (!keepAspect)
        return {width, height};
    const double pictureRatio = double(picture.width()) / picture.height();
    const double boxRatio = double(width) / height;
    if (boxRatio < pictureRatio)
        return {width, int(std::nearbyint(width / pictureRatio))};
    return {int(std::nearbyint(height * pictureRatio)), height};
}

} // namespace

QImage LoadPictureGDIPlus(const QString &fileName, int &width, int &height,
                          const QColor &background, bool keepAspect, PictureError *error)
{
    QImageReader reader(fileName);
    const QImage picture = reader.read();
    if (picture.isNull())
        return failed(fileName, error);
    if (width < 1 || height < 1) {
        width = picture.width();
        height = picture.height();
    }

    // A canvas is held to the limit Qt sets for decoded pictures: a larger
    // one may be granted lazily and exhaust memory only as it is filled.
    const qint64 limit = qint64(QImageReader::allocationLimit()) << 20;
    if (limit > 0 && qint64(width) * height * 4 > limit)
        return failed(fileName, error);
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull())
        return failed(fileName, error);
    const QColor opaque(background.red(), background.green(), background.blue());
    canvas.fill(opaque);

    const QSize drawn = drawnSize(picture.size(), width, height, keepAspect);
    if (drawn.isEmpty())
        return canvas; // a sliver that rounds to nothing
    // Flattened over the background first, so that the scaler sees an opaque
    // picture and transparent pixels cannot bleed their hidden colour.
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(opaque);
    QPainter(&flat).drawImage(0, 0, picture);
    const QImage scaled = drawn == picture.size() ? flat : scaleBicubic(flat, drawn);
    if (scaled.isNull())
        return failed(fileName, error);
    QPainter(&canvas).drawImage(0, 0, scaled);
    if (error)
        *error = {};
    return canvas;
}
