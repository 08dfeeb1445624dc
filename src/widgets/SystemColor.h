#pragma once

#include <QColor>
#include <QPalette>

// An OLE colour value: 0x00BBGGRR, or 0x800000NN for the system colour NN,
// which is taken from the palette role that plays its part here (button
// face, highlight, shadows, ...).
QColor systemColor(quint32 oleColor, const QPalette &palette);
