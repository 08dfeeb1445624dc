#pragma once

#include "engine/ConversionEngine.h"

class QString;
class QWidget;

// The program's message boxes: the title is always "Clipwright". The text
// is shown as it is: file names and reasons from other programs may hold
// "<" and "&".
void showMessage(QWidget *parent, const QString &text, MessageIcon icon);

// A tooltip that shows `text` as it is, lines and blanks included, however
// much it looks like markup; empty text gives no tooltip.
QString plainToolTip(const QString &text);
