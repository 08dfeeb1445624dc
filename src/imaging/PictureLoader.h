#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// Why a picture could not be loaded, in the form the editor's caller sees.
struct PictureError
{
    int number = 0;      // 999 for a picture that could not be loaded
    QString source;      // "GDI+ Module"
    QString description; // "Error loading picture " and the path
};

// Loads the picture at `fileName` and draws it onto an opaque canvas of
// width x height filled with `background`, so that transparent parts show
// that colour. When either size is -1 (or any value below 1) both become the
// picture's own size, and the caller sees them. With `keepAspect` the
// picture is fitted inside the canvas at its top-left corner and the rest
// keeps the background; otherwise it is stretched over the whole canvas.
// Scaling is bicubic. On failure the image is null and `error` says why.
QImage LoadPictureGDIPlus(const QString &fileName, int &width, int &height,
                          const QColor &background, bool keepAspect, PictureError *error = nullptr);
