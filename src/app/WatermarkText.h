#pragma once

#include <QString>

// The watermark a row carries, as the text "image;PATH;area;PLACEMENT".
struct WatermarkText
{
    QString picturePath;
    QString placement;

    // Splits at every ";": field 2 is the picture, field 4 the placement.
    // Missing fields come back empty.
    static WatermarkText parse(const QString &text);
    QString format() const;

    // Whether a picture path survives format() and parse(): a ";" in it
    // would split it, and the row would convert without the mark.
    static bool canHold(const QString &picturePath);
};
